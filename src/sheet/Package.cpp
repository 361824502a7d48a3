#include "sheet/Package.h"

#include <zip.h>

#include "platform/FileRead.h"
#include "platform/FileWrite.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sheet {

namespace {

std::string NormalName(const std::string& name) {
    size_t i = 0;
    while (i < name.size() && name[i] == '/') ++i;
    return name.substr(i);
}

std::string ZipErrorText(zip_error_t* ze) {
    return zip_error_strerror(ze);
}

// Level 1 deflate: the generated parts are plain, repetitive XML; a faster
// level costs little in size.
constexpr zip_uint32_t kDeflateLevel = 1;

}  // namespace

bool SamePartName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

Package::~Package() {
    if (src_) zip_discard(src_);
}

bool Package::OpenBytes(std::string bytes, std::string& err) {
    if (src_) {
        zip_discard(src_);
        src_ = nullptr;
    }
    entries_.clear();
    srcBytes_ = std::move(bytes);
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* s = zip_source_buffer_create(srcBytes_.data(), srcBytes_.size(), 0, &ze);
    if (!s) {
        err = ZipErrorText(&ze);
        zip_error_fini(&ze);
        return false;
    }
    zip_t* z = zip_open_from_source(s, ZIP_RDONLY | ZIP_CHECKCONS, &ze);
    if (!z) {
        err = ZipErrorText(&ze);
        zip_error_fini(&ze);
        zip_source_free(s);
        return false;
    }
    zip_error_fini(&ze);
    src_ = z;
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        const char* name = zip_get_name(z, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (!name) continue;
        Entry e;
        e.name = name;
        e.srcIndex = i;
        entries_.push_back(std::move(e));
    }
    return true;
}

void Package::CreateEmpty() {
    if (src_) {
        zip_discard(src_);
        src_ = nullptr;
    }
    srcBytes_.clear();
    entries_.clear();
}

int Package::Find(const std::string& name) const {
    const std::string n = NormalName(name);
    for (size_t i = 0; i < entries_.size(); ++i)
        if (SamePartName(entries_[i].name, n)) return static_cast<int>(i);
    return -1;
}

bool Package::Has(const std::string& name) const { return Find(name) >= 0; }

bool Package::Read(const std::string& name, std::string& out, std::string& err) const {
    const int i = Find(name);
    if (i < 0) {
        err = "відсутня частина " + NormalName(name);
        return false;
    }
    const Entry& e = entries_[static_cast<size_t>(i)];
    if (e.inMemory) {
        out = e.data;
        return true;
    }
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(src_, static_cast<zip_uint64_t>(e.srcIndex), 0, &st) != 0 ||
        !(st.valid & ZIP_STAT_SIZE)) {
        err = "не читається частина " + e.name;
        return false;
    }
    // Parts of a workbook worth reading are XML of modest size; a claimed
    // size beyond this is a damaged or hostile file.
    if (st.size > (zip_uint64_t{1} << 31)) {
        err = "завелика частина " + e.name;
        return false;
    }
    zip_file_t* f = zip_fopen_index(src_, static_cast<zip_uint64_t>(e.srcIndex), 0);
    if (!f) {
        err = "не читається частина " + e.name + ": " + zip_strerror(src_);
        return false;
    }
    out.assign(static_cast<size_t>(st.size), '\0');
    zip_uint64_t got = 0;
    while (got < st.size) {
        const zip_int64_t r = zip_fread(f, out.data() + got, st.size - got);
        if (r <= 0) break;
        got += static_cast<zip_uint64_t>(r);
    }
    const bool ok = got == st.size;
    if (!ok) err = "не читається частина " + e.name + ": " + zip_file_strerror(f);
    zip_fclose(f);
    if (!ok) out.clear();
    return ok;
}

void Package::Put(const std::string& name, std::string data) {
    const int i = Find(name);
    if (i >= 0) {
        Entry& e = entries_[static_cast<size_t>(i)];
        e.inMemory = true;
        e.srcIndex = -1;
        e.data = std::move(data);
        return;
    }
    Entry e;
    e.name = NormalName(name);
    e.inMemory = true;
    e.data = std::move(data);
    entries_.push_back(std::move(e));
}

void Package::Remove(const std::string& name) {
    const int i = Find(name);
    if (i >= 0) entries_.erase(entries_.begin() + i);
}

bool Package::Build(const std::map<std::string, const std::string*>& replaced, std::string& out,
                    std::string& err) const {
    zip_error_t ze;
    zip_error_init(&ze);
    zip_source_t* buf = zip_source_buffer_create(nullptr, 0, 0, &ze);
    if (!buf) {
        err = ZipErrorText(&ze);
        zip_error_fini(&ze);
        return false;
    }
    zip_t* za = zip_open_from_source(buf, ZIP_TRUNCATE, &ze);
    if (!za) {
        err = ZipErrorText(&ze);
        zip_error_fini(&ze);
        zip_source_free(buf);
        return false;
    }
    zip_error_fini(&ze);
    zip_source_keep(buf);   // the buffer outlives the archive: the result is read from it

    auto fail = [&](const std::string& what) {
        err = what + ": " + zip_strerror(za);
        zip_discard(za);
        zip_source_free(buf);
        return false;
    };

    for (const Entry& e : entries_) {
        const std::string* text = nullptr;
        for (const auto& [name, data] : replaced)
            if (SamePartName(NormalName(name), e.name)) text = data;
        if (!text && e.inMemory) text = &e.data;
        if (!text && !e.name.empty() && e.name.back() == '/') {
            if (zip_dir_add(za, e.name.c_str(), ZIP_FL_ENC_RAW) < 0) return fail("частина " + e.name);
            continue;
        }
        zip_source_t* s;
        if (text)
            s = zip_source_buffer(za, text->data(), text->size(), 0);
        else
            s = zip_source_zip(za, src_, static_cast<zip_uint64_t>(e.srcIndex), 0, 0, -1);
        if (!s) return fail("частина " + e.name);
        const zip_int64_t idx = zip_file_add(za, e.name.c_str(), s, ZIP_FL_ENC_RAW);
        if (idx < 0) {
            zip_source_free(s);
            return fail("частина " + e.name);
        }
        if (text && zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), ZIP_CM_DEFLATE,
                                             kDeflateLevel) != 0)
            return fail("частина " + e.name);
    }
    if (zip_close(za) != 0) return fail("архів");

    zip_stat_t st;
    zip_stat_init(&st);
    bool ok = zip_source_stat(buf, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
              zip_source_open(buf) == 0;
    if (ok) {
        out.assign(static_cast<size_t>(st.size), '\0');
        zip_uint64_t got = 0;
        while (got < st.size) {
            const zip_int64_t r = zip_source_read(buf, out.data() + got, st.size - got);
            if (r <= 0) break;
            got += static_cast<zip_uint64_t>(r);
        }
        ok = got == st.size;
        zip_source_close(buf);
    }
    if (!ok) err = std::string("архів: ") + zip_error_strerror(zip_source_error(buf));
    zip_source_free(buf);
    return ok;
}

bool ReadWholeFile(const std::string& path, std::string& out, std::string& err, bool& missing) {
    // No workbook this program opens comes near this; anything bigger is not one.
    constexpr std::size_t kMaxWorkbookBytes = std::size_t(512) << 20;
    bool tooBig = false;
    const platform::ReadResult r = platform::ReadRegularFile(path, out, kMaxWorkbookBytes, &err, &tooBig);
    missing = r == platform::ReadResult::Missing;
    if (r != platform::ReadResult::Ok) return false;
    if (tooBig) {
        out.clear();
        err = std::strerror(EFBIG);
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& data, std::string& err) {
    if (path.empty()) {
        err = std::strerror(ENOENT);
        return false;
    }
    return platform::WriteWholeFile(path, data, &err) == platform::WriteResult::Ok;
}

}  // namespace sheet
