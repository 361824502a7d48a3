// Text ini files as the program keeps its settings and lists.
//
// The file is read once when the object is made; every read and write works
// on the copy in memory, and UpdateFile() stores it again in one piece.
//
// The format is the classic Windows profile file:
//   [Section]
//   Key=Value
// - section and key names match without regard to (ASCII) case;
// - when a section or a key stands twice, the first one counts (reads and
//   writes both go to it);
// - lines beginning with ';' or '#', blank lines and lines without '=' are
//   kept as they are and otherwise ignored;
// - a value is read with the spaces around it removed, and one pair of
//   matching quotes (" or ') around the whole value is dropped;
// - integers are signed decimal text (hex with a "0x" or "$" prefix is
//   accepted on reading), booleans "1"/"0"; a missing key, an empty value or
//   a value that is not a number reads as the caller's default;
// - the file holds Windows-1251 text; ReadString/WriteString convert to and
//   from UTF-8, ReadRawString/WriteRawString pass the file's bytes unchanged.
//
// Writing a key replaces its value in its own line and keeps every other
// line, section and comment; a new key goes after the last line of its
// section, a new section to the end of the file. CRLF and LF files both
// read; a file keeps its line-end style, a new file gets CRLF.
//
// UpdateFile() writes to a temporary file in the same folder and renames it
// over the old one, so a crash or a full disk never leaves half a file. A
// failure returns false and leaves the text in Error().
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class IniFile {
public:
    // Loads the file. A missing file is an empty one; a file that exists but
    // cannot be read also reads as empty, but is then never overwritten
    // (UpdateFile() fails), so data we could not see is not lost.
    explicit IniFile(std::string path);

    const std::string& FileName() const { return path_; }
    bool Exists() const { return exists_; }          // the file was there when loaded
    bool LoadFailed() const { return loadFailed_; }   // it was there but could not be read
    bool Modified() const { return modified_; }
    const std::string& Error() const { return error_; }

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Section names in file order (the first of duplicates only).
    std::vector<std::string> ReadSections() const;
    // Key names of a section in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    std::string ReadRawString(std::string_view section, std::string_view key, std::string_view def) const;
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view utf8);
    void WriteRawString(std::string_view section, std::string_view key, std::string_view bytes);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);

    // Writes the file when something changed since loading (or since the
    // last successful write). True on success or when nothing had to be
    // written.
    bool UpdateFile();

    // The whole text as it would be written.
    std::string Text() const;

    // Writes `bytes` to `path` through a temporary file in the same folder
    // and a rename. On failure returns false and puts a text naming the file
    // into *error.
    static bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error);

private:
    struct Line {
        std::string text;      // the line as in the file, without its line end
        std::string keyLower;  // key in lower case; empty for a non-key line
    };
    struct Section {
        std::string name;              // as written in the file; empty for the lines before the first section
        std::vector<Line> lines;       // lines after the header
        std::unordered_map<std::string, std::size_t> keys;  // first line of each key
        bool erased = false;
    };

    void Parse(std::string_view text);
    const Section* FindSection(std::string_view section) const;
    Section& GetOrAddSection(std::string_view section);
    const Line* FindLine(std::string_view section, std::string_view key) const;
    void Reindex(Section& s);

    std::string path_;
    std::string error_;
    bool exists_ = false;
    bool loadFailed_ = false;
    bool modified_ = false;
    bool crlf_ = true;
    std::vector<Section> sections_;   // sections_[0] holds the lines before the first header
    std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> first section
};

}  // namespace platform
