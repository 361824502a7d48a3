// "Перегляд з файлу": opening a saved archive file in the viewer of its kind.
//
// The main window's open dialog (`pod`) offers the kind's folder under
// WorkDir with the kind's filter chosen. The file is accepted when its
// header carries the kind's tag, program version 11, chromatograph type 3
// and (except diagnostic and intervention files) the kind's device in the
// low nibble of LineDevice; the entries it really holds (at most
// RecordCount) go to the viewer with the viewer's file mode. A file that
// cannot be opened gives (kind 1) "Помилка відкриття файлу"; a refused one
// "Файл %s не є файлом, що містить" with the kind's second line.
#pragma once

#include <vector>

#include "config/MainHost.h"
#include "data/ArchiveFiles.h"


// Asks for a file of `kind` and shows it. True when a viewer was given the file.
bool ViewArchiveFile(MainHost& form, ArchiveKind kind);
// Shows the file at `path` as `kind` (the steps after the dialog). True when
// a viewer was given the file.
bool ViewArchiveFileAt(ArchiveKind kind, const std::string& path);

// The viewer mode of a kind's files.
int FileViewMode(ArchiveKind kind);

// The ten menu handlers.
void NAlaPrnClick(MainHost& form, ui::MenuItem& item);
void NAudPrnClick(MainHost& form, ui::MenuItem& item);
void NChrom_ViewMeasClick(MainHost& form, ui::MenuItem& item);
void NWmt_ViewMeasClick(MainHost& form, ui::MenuItem& item);
void NChrom_ViewHourClick(MainHost& form, ui::MenuItem& item);
void NWmt_ViewHourClick(MainHost& form, ui::MenuItem& item);
void NChrom_ViewDayClick(MainHost& form, ui::MenuItem& item);
void NWmt_ViewDayClick(MainHost& form, ui::MenuItem& item);
void NChrom_ViewClbClick(MainHost& form, ui::MenuItem& item);
void NChrom_ViewVerifClick(MainHost& form, ui::MenuItem& item);

// The archive readers' and file openers' menu items and their handlers.
const std::vector<MenuBinding>& ArchiveMenuBindings();
