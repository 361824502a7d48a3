#include "ui/Dialogs.h"

#include "ui/Application.h"

namespace ui {

FileDialog::FileDialog(Component* owner, std::string name, bool save)
    : Component(owner, std::move(name)), save_(save) {}

bool FileDialog::Execute() {
    if (!Backend::Current().RunFileDialog(*this)) return false;
    std::string ext = DefaultExt;
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::size_t slash = FileName.find_last_of('/');
    std::string base = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
    if (!ext.empty() && !base.empty() && base.find('.') == std::string::npos) FileName += "." + ext;
    return !FileName.empty();
}

std::vector<FileDialog::FilterEntry> FileDialog::FilterEntries() const {
    std::vector<std::string> parts;
    std::size_t b = 0;
    for (;;) {
        std::size_t e = Filter.find('|', b);
        parts.push_back(Filter.substr(b, e == std::string::npos ? std::string::npos : e - b));
        if (e == std::string::npos) break;
        b = e + 1;
    }
    std::vector<FilterEntry> out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) out.push_back({parts[i], parts[i + 1]});
    return out;
}

}  // namespace ui
