// The zip package of a workbook: its parts by name.
//
// A package opened from a file keeps the file's bytes in memory; parts that
// are not replaced are copied into a saved file as they stand (compressed
// data, CRC and all), so a saved workbook carries them byte for byte.
// Internal to src/sheet.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct zip;
struct zip_source;

namespace sheet {

// Part names compare without regard to (ASCII) case, as the package format
// asks.
bool SamePartName(std::string_view a, std::string_view b);

class Package {
public:
    Package() = default;
    ~Package();
    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Opens the package held in `bytes` (the whole file). On failure `err`
    // gets the zip library's text.
    bool OpenBytes(std::string bytes, std::string& err);
    // Starts a package without a source file.
    void CreateEmpty();

    // Part names are compared without regard to case, as the package
    // format asks; a leading "/" is ignored.
    bool Has(const std::string& name) const;
    bool Read(const std::string& name, std::string& out, std::string& err) const;
    // Adds a part or replaces one (kept in memory).
    void Put(const std::string& name, std::string data);
    void Remove(const std::string& name);

    // Builds the whole zip file in memory into `out`. Parts named in
    // `replaced` are written from that text (compressed anew); every other
    // part comes from memory or is copied raw from the source file.
    bool Build(const std::map<std::string, const std::string*>& replaced, std::string& out,
               std::string& err) const;

private:
    struct Entry {
        std::string name;
        long long srcIndex = -1;   // index in the source zip, or -1
        bool inMemory = false;
        std::string data;
    };
    int Find(const std::string& name) const;

    std::string srcBytes_;
    zip* src_ = nullptr;
    std::vector<Entry> entries_;
};

// Writes `data` to `path` through a temporary file in the same folder that is
// flushed to disk and then renamed over the target. On failure nothing is left
// behind, an existing file is untouched and `err` tells why.
bool WriteFileAtomically(const std::string& path, const std::string& data, std::string& err);

// Reads a whole file. `err` tells why on failure (a folder, unreadable);
// `missing` is set when there is no such file.
bool ReadWholeFile(const std::string& path, std::string& out, std::string& err, bool& missing);

}  // namespace sheet
