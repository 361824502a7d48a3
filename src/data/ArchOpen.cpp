#include "data/ArchOpen.h"

#include <string>

#include "config/MainHost.h"
#include "common/Question.h"
#include "data/ArchRead.h"
#include "data/ArchView.h"
#include "platform/FileWrite.h"
#include "ui/Ui.h"

int FileViewMode(ArchiveKind kind) {
    switch (kind) {
        case ArchiveKind::ChromHour: return viewmode::kHourly;
        case ArchiveKind::ChromDay: return viewmode::kDaily;
        case ArchiveKind::WmtHour: return viewmode::kWmtHourly;
        case ArchiveKind::WmtDay: return viewmode::kWmtDaily;
        case ArchiveKind::Diagnostic:
        case ArchiveKind::Intervention: return viewmode::kFromFile;
        default: return viewmode::kNone;
    }
}

bool ViewArchiveFileAt(ArchiveKind kind, const std::string& path) {
    ArchiveFileContents contents;
    FileMessage message;
    bool ok = false;
    {
        ui::HourGlass busy;
        ok = OpenArchiveFile(kind, path, contents, message);
    }
    if (!ok) {
        MessageKind = uint32_t(message.kind);
        ShowQues(message.line1, message.line2);
        return false;
    }
    if (contents.count == 0) {
        // A header and nothing after it: no viewer with an empty table. A
        // header that promised records tells of a file cut short.
        MessageKind = 6;
        ShowQues("Файл " + platform::BaseName(path) + " не містить жодного запису",
                 contents.declaredCount > 0
                     ? "(у заголовку вказано записів: " + std::to_string(contents.declaredCount) + ")"
                     : std::string());
        return false;
    }
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    ArchiveView view;
    view.kind = kind;
    view.header = contents.header;  // RecordCount: the entries really read
    view.entryKind = info.entry;
    view.entrySize = RecordSizeOf(info.entry);
    view.count = contents.count;
    view.records = std::move(contents.entries);
    view.mode = FileViewMode(kind);
    view.fromFile = true;
    view.fileName = path;
    ShowArchiveViewer(view);
    return true;
}

bool ViewArchiveFile(MainHost& form, ArchiveKind kind) {
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    ui::OpenDialog& pod = form.HostOpenDialog();
    pod.Title = kArchiveOpenTitle;
    pod.FileName.clear();
    pod.InitialDir = ArchiveFolder(kind);
    pod.Filter = kArchiveOpenFilter;
    pod.FilterIndex = info.filterIndex;
    if (!pod.Execute()) return false;
    return ViewArchiveFileAt(kind, pod.FileName);
}

void NAlaPrnClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::Diagnostic); }
void NAudPrnClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::Intervention); }
void NChrom_ViewMeasClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::ChromMeas); }
void NWmt_ViewMeasClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::WmtMeas); }
void NChrom_ViewHourClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::ChromHour); }
void NWmt_ViewHourClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::WmtHour); }
void NChrom_ViewDayClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::ChromDay); }
void NWmt_ViewDayClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::WmtDay); }
void NChrom_ViewClbClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::Calib); }
void NChrom_ViewVerifClick(MainHost& form, ui::MenuItem&) { ViewArchiveFile(form, ArchiveKind::Verif); }

const std::vector<MenuBinding>& ArchiveMenuBindings() {
    static const std::vector<MenuBinding> bindings = {
        {"NChrom_RdHour_1", NChrom_RdHourClick},   {"NChrom_RdHour_2", NChrom_RdHourClick},
        {"NChrom_RdDay_1", NChrom_RdDayClick},     {"NChrom_RdDay_2", NChrom_RdDayClick},
        {"NWmt_ReadHour", NWmt_ReadHourClick},     {"NWmt_ReadDay", NWmt_ReadDayClick},
        {"NChrom_RdMeas_1", NChrom_RdMeasClick},   {"NChrom_RdMeas_2", NChrom_RdMeasClick},
        {"NWmt_RdMeas", NWmt_RdMeasClick},         {"NChrom_RdClb", NChrom_RdClbClick},
        {"NChrom_RdVerif", NChrom_RdVerifClick},   {"NAlaPer", NArhPerClick},
        {"NAudPer", NArhPerClick},                 {"NAlaInd", NArhIndClick},
        {"NAudInd", NArhIndClick},                 {"NAlaPrn", NAlaPrnClick},
        {"NAudPrn", NAudPrnClick},                 {"NChrom_ViewMeas", NChrom_ViewMeasClick},
        {"NWmt_ViewMeas", NWmt_ViewMeasClick},     {"NChrom_ViewHour", NChrom_ViewHourClick},
        {"NWmt_ViewHour", NWmt_ViewHourClick},     {"NChrom_ViewDay", NChrom_ViewDayClick},
        {"NWmt_ViewDay", NWmt_ViewDayClick},       {"NChrom_ViewClb", NChrom_ViewClbClick},
        {"NChrom_ViewVerif", NChrom_ViewVerifClick},
    };
    return bindings;
}
