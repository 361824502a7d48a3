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

#include "data/ArchiveFiles.h"

class TFormMain;
namespace ui {
class MenuItem;
}

// Asks for a file of `kind` and shows it. True when a viewer was given the file.
bool ViewArchiveFile(TFormMain& form, ArchiveKind kind);
// Shows the file at `path` as `kind` (the steps after the dialog). True when
// a viewer was given the file.
bool ViewArchiveFileAt(ArchiveKind kind, const std::string& path);

// The viewer mode of a kind's files.
int FileViewMode(ArchiveKind kind);

// The ten menu handlers.
void NAlaPrnClick(TFormMain& form, ui::MenuItem& item);
void NAudPrnClick(TFormMain& form, ui::MenuItem& item);
void NChrom_ViewMeasClick(TFormMain& form, ui::MenuItem& item);
void NWmt_ViewMeasClick(TFormMain& form, ui::MenuItem& item);
void NChrom_ViewHourClick(TFormMain& form, ui::MenuItem& item);
void NWmt_ViewHourClick(TFormMain& form, ui::MenuItem& item);
void NChrom_ViewDayClick(TFormMain& form, ui::MenuItem& item);
void NWmt_ViewDayClick(TFormMain& form, ui::MenuItem& item);
void NChrom_ViewClbClick(TFormMain& form, ui::MenuItem& item);
void NChrom_ViewVerifClick(TFormMain& form, ui::MenuItem& item);

// Attaches the archive readers and the openers above to the main window's
// menu items (through TFormMain::Attach, so each runs under the window's
// exchange guard). Returns the number of items attached (25); an item the
// window lacks is skipped.
int AttachArchiveHandlers(TFormMain& form);
