#include "platform/IniFile.h"

#include "platform/FileWrite.h"
#include "platform/FileRead.h"

#include "platform/Codepage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string Lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The key of a key line ("Key = Value"), or empty for any other line.
std::string_view KeyOf(std::string_view line) {
    std::string_view t = TrimSpace(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return {};
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {};
    return TrimSpace(t.substr(0, eq));
}

// The value of a key line as a reader sees it.
std::string_view ValueOf(std::string_view line) {
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    std::string_view v = TrimSpace(line.substr(eq + 1));
    if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return v;
}

// A value as it is written, so that a reader (ours or Windows') gets the same
// bytes back: line breaks cannot stand in a line, and a value that begins or
// ends with what the reader trims (a blank or another control character), or
// that is itself quoted, is put in one more pair of quotes (the reader takes
// exactly one pair off).
std::string EncodeValue(std::string_view bytes) {
    std::string v(bytes);
    for (char& c : v)
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    bool wrap = !v.empty() && (TrimSpace(v).size() != v.size() ||
                               (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()));
    if (wrap) v = '"' + v + '"';
    return v;
}

bool ParseInt32(std::string_view s, int32_t& out) {
    if (s.empty()) return false;
    bool neg = false;
    if (s.front() == '-' || s.front() == '+') {
        neg = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    bool hex = false;
    if (s.front() == '$') {
        hex = true;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        hex = true;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    if (hex) {
        if (s.size() > 8) return false;
        uint32_t v = 0;
        for (char c : s) {
            int d;
            if (c >= '0' && c <= '9') d = c - '0';
            else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else return false;
            v = (v << 4) | static_cast<uint32_t>(d);
        }
        if (neg) v = 0u - v;
        out = static_cast<int32_t>(v);
        return true;
    }
    int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return false;
    }
    if (neg) v = -v;
    if (v > 2147483647LL) return false;
    out = static_cast<int32_t>(v);
    return true;
}

std::string ErrorText(const std::string& path, const std::string& reason) {
    return "Не вдалося записати файл " + path + " (" + reason + ")";
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    sections_.emplace_back();  // lines before the first section
    // Far beyond any settings or list file the program writes; something that
    // big in their place is not one of them.
    constexpr std::size_t kMaxIniBytes = 64u << 20;
    std::string text, reason;
    bool tooBig = false;
    switch (ReadRegularFile(path_, text, kMaxIniBytes, &reason, &tooBig)) {
    case ReadResult::Missing:
        return;
    case ReadResult::Failed:
        loadFailed_ = true;
        exists_ = true;
        error_ = "Не вдалося прочитати файл " + path_ + " (" + reason + ")";
        return;
    case ReadResult::Ok:
        break;
    }
    exists_ = true;
    if (tooBig) {
        loadFailed_ = true;
        error_ = "Не вдалося прочитати файл " + path_ + " (файл завеликий)";
        return;
    }
    Parse(text);
}

void IniFile::Parse(std::string_view text) {
    std::size_t firstNl = text.find('\n');
    if (firstNl != std::string_view::npos) crlf_ = firstNl > 0 && text[firstNl - 1] == '\r';
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::string_view t = TrimSpace(line);
        if (!t.empty() && t.front() == '[') {
            std::size_t close = t.find(']');
            std::string_view name = TrimSpace(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            Section s;
            s.name = std::string(name);
            s.lines.push_back({std::string(line), {}});  // header line kept as written
            sections_.push_back(std::move(s));
            index_.emplace(Lower(name), sections_.size() - 1);
            continue;
        }
        Section& s = sections_.back();
        std::string_view key = KeyOf(line);
        Line l{std::string(line), Lower(key)};
        if (!l.keyLower.empty()) s.keys.emplace(l.keyLower, s.lines.size());
        s.lines.push_back(std::move(l));
    }
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
    auto it = index_.find(Lower(section));
    return it == index_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section& IniFile::GetOrAddSection(std::string_view section) {
    auto it = index_.find(Lower(section));
    if (it != index_.end()) return sections_[it->second];
    Section s;
    s.name = std::string(section);
    s.lines.push_back({"[" + s.name + "]", {}});
    sections_.push_back(std::move(s));
    index_.emplace(Lower(section), sections_.size() - 1);
    return sections_.back();
}

const IniFile::Line* IniFile::FindLine(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    auto it = s->keys.find(Lower(key));
    return it == s->keys.end() ? nullptr : &s->lines[it->second];
}

void IniFile::Reindex(Section& s) {
    s.keys.clear();
    for (std::size_t i = 0; i < s.lines.size(); ++i)
        if (!s.lines[i].keyLower.empty()) s.keys.emplace(s.lines[i].keyLower, i);
}

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindLine(section, key) != nullptr;
}

std::vector<std::string> IniFile::ReadSections() const {
    std::vector<std::string> names;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        const Section& s = sections_[i];
        if (s.erased) continue;
        auto it = index_.find(Lower(s.name));
        if (it != index_.end() && it->second == i) names.push_back(s.name);
    }
    return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    const Section* s = FindSection(section);
    if (!s) return keys;
    for (std::size_t i = 0; i < s->lines.size(); ++i) {
        const Line& l = s->lines[i];
        if (l.keyLower.empty()) continue;
        auto it = s->keys.find(l.keyLower);
        if (it != s->keys.end() && it->second == i) keys.emplace_back(KeyOf(l.text));
    }
    return keys;
}

std::string IniFile::ReadRawString(std::string_view section, std::string_view key, std::string_view def) const {
    const Line* l = FindLine(section, key);
    return l ? std::string(ValueOf(l->text)) : std::string(def);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const Line* l = FindLine(section, key);
    return l ? Cp1251ToUtf8(ValueOf(l->text)) : std::string(def);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    const Line* l = FindLine(section, key);
    if (!l) return def;
    int32_t v;
    return ParseInt32(ValueOf(l->text), v) ? v : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteRawString(std::string_view section, std::string_view key, std::string_view bytes) {
    std::string k(TrimSpace(key));
    std::string value = EncodeValue(bytes);
    Section& s = GetOrAddSection(section);
    std::string kl = Lower(k);
    auto it = s.keys.find(kl);
    if (it != s.keys.end()) {
        Line& l = s.lines[it->second];
        std::size_t eq = l.text.find('=');
        std::size_t start = eq + 1;
        while (start < l.text.size() && IsBlank(l.text[start])) ++start;
        if (start == l.text.size()) start = eq + 1;  // no value yet: write it right after '='
        std::string text = l.text.substr(0, start) + value;
        if (text != l.text) {
            l.text = std::move(text);
            modified_ = true;
        }
        return;
    }
    // After the last non-blank line of the section (the header at least).
    std::size_t at = s.lines.size();
    while (at > 0 && TrimSpace(s.lines[at - 1].text).empty()) --at;
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), Line{k + "=" + value, kl});
    Reindex(s);
    modified_ = true;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view utf8) {
    WriteRawString(section, key, Utf8ToCp1251(utf8));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteRawString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteRawString(section, key, value ? "1" : "0");
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
    auto it = index_.find(Lower(section));
    if (it == index_.end()) return;
    Section& s = sections_[it->second];
    auto k = s.keys.find(Lower(key));
    if (k == s.keys.end()) return;
    s.lines.erase(s.lines.begin() + static_cast<std::ptrdiff_t>(k->second));
    Reindex(s);
    modified_ = true;
}

void IniFile::EraseSection(std::string_view section) {
    std::string lower = Lower(section);
    bool any = false;
    for (std::size_t i = 1; i < sections_.size(); ++i) {
        if (!sections_[i].erased && Lower(sections_[i].name) == lower) {
            sections_[i].erased = true;
            any = true;
        }
    }
    if (!any) return;
    index_.erase(lower);
    modified_ = true;
}

std::string IniFile::Text() const {
    const char* eol = crlf_ ? "\r\n" : "\n";
    std::string out;
    for (const Section& s : sections_) {
        if (s.erased) continue;
        for (const Line& l : s.lines) {
            out += l.text;
            out += eol;
        }
    }
    return out;
}

bool IniFile::UpdateFile() {
    if (!modified_) return true;
    if (loadFailed_) {
        // Never replace a file whose contents we could not see.
        error_ = ErrorText(path_, "його вміст не вдалося прочитати");
        return false;
    }
    std::string err;
    if (!WriteFileReplacing(path_, Text(), &err)) {
        error_ = err;
        return false;
    }
    error_.clear();
    exists_ = true;
    modified_ = false;
    return true;
}

bool IniFile::WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error) {
    std::string reason;
    if (WriteWholeFile(path, bytes, &reason) == WriteResult::Ok) return true;
    if (error) *error = ErrorText(path, reason);
    return false;
}

}  // namespace platform
