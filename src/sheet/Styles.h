// The style sheet of a workbook (xl/styles.xml) and the cell formats the
// program adds to it.
//
// A cell carries one index into the cell formats (cellXfs). Changing one
// property of a cell (font name, size or weight, fill, one border side,
// horizontal or vertical alignment, text wrapping, number format) gives a
// new format: a copy of the cell's format with that property changed,
// pointing at a copy of its font/fill/border changed likewise (a number
// format is a numFmt entry, found by its format code or added). New fonts, fills, borders and formats are appended after the
// workbook's own and reused when an equal one exists, so the template's own
// formats keep their indexes. Internal to src/sheet.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sheet {

struct StyleChange {
    enum class Kind { FontName, FontSize, FontBold, Fill, Border, HAlign, VAlign, Wrap, NumFmt };
    Kind kind = Kind::FontName;
    std::string name;      // FontName; HAlign / VAlign: the alignment value
                           // ("left", "center", "right", "top", "bottom"; "" = general);
                           // NumFmt: the format code ("0", "0.0000")
    double size = 0;       // FontSize, in points
    std::uint32_t rgb = 0; // Fill: 0xRRGGBB
    int side = 0;          // Border: 1 left, 2 right, 3 top, 4 bottom
    bool line = false;     // Border: true = thin continuous line, false = none
                           // FontBold / Wrap: on or off
};

class Styles {
public:
    Styles();
    ~Styles();
    Styles(const Styles&) = delete;
    Styles& operator=(const Styles&) = delete;

    // A minimal style sheet (one font, the two fills every workbook has,
    // one empty border, one cell format).
    static std::string DefaultXml();

    bool Load(std::string_view xml, std::string& err);

    // Registers a change once; the id is then applied to many cells.
    std::uint32_t Intern(const StyleChange& change);
    // The format index of `xf` with change `id` applied (cached).
    std::uint32_t Apply(std::uint32_t xf, std::uint32_t id);

    bool Changed() const { return changed_; }
    // True when format `xf` shows its cells as text (the "@" format): a
    // value typed into such a cell stays the text typed.
    bool IsTextFormat(std::uint32_t xf) const;
    // Number of cell formats.
    std::uint32_t Count() const;
    std::string Serialize() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    std::vector<StyleChange> changes_;
    std::unordered_map<std::string, std::uint32_t> changeIds_;
    std::unordered_map<std::uint64_t, std::uint32_t> cache_;
    bool changed_ = false;
};

}  // namespace sheet
