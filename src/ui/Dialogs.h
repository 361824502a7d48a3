// Open and save dialogs. Filter is "Description|pattern[|Description|pattern...]"
// (patterns separated by ';'); DefaultExt ("hch" or ".hch") is added to a
// chosen name that has no extension.
#pragma once
#include <string>
#include <vector>

#include "ui/Component.h"

namespace ui {

class FileDialog : public Component {
public:
    FileDialog(Component* owner, std::string name, bool save);
    bool IsSave() const { return save_; }
    std::string Title;
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string DefaultExt;
    std::string FileName;       // in: proposed name; out: the full chosen path
    bool OverwritePrompt = false;
    bool FileMustExist = false;
    bool HideReadOnly = true;
    bool NoChangeDir = true;
    // Runs the dialog; true when a file was chosen (FileName holds it).
    bool Execute();
    // Filter as (description, patterns) pairs.
    struct FilterEntry { std::string description, patterns; };
    std::vector<FilterEntry> FilterEntries() const;
private:
    bool save_;
};

class OpenDialog : public FileDialog {
public:
    OpenDialog(Component* owner, std::string name) : FileDialog(owner, std::move(name), false) { FileMustExist = true; }
};

class SaveDialog : public FileDialog {
public:
    SaveDialog(Component* owner, std::string name) : FileDialog(owner, std::move(name), true) {}
};

}  // namespace ui
