#include "data/ValueViewers.h"

#include <algorithm>
#include <span>
#include <vector>

#include "data/ArhMeas_Chr.h"
#include "data/ArhMeas_Wmt.h"
#include "data/ArhivHDM_Chr.h"
#include "data/ArhivHD_Wmt.h"
#include "data/Arhiv_Clb.h"
#include "data/Arhiv_Verif.h"

namespace {

// The view's entries as typed records, in place (the records are byte
// arrays, alignment 1): only whole records of the right size, never more
// than the view counts. The view outlives the viewer.
template <ArchiveRecordType R>
std::span<const R> RecordsOf(const ArchiveView& v) {
    if (v.entrySize != sizeof(R)) return {};
    const std::size_t n = std::min<std::size_t>(v.records.size() / sizeof(R), v.count);
    return {reinterpret_cast<const R*>(v.records.data()), n};
}

template <class F, class R>
void Show(ArchiveView& v, std::span<const R> records, int mode = -1) {
    F form(nullptr);
    form.Header = &v.header;
    form.Records = records;
    if constexpr (requires { form.Mode; }) form.Mode = uint8_t(mode);
    form.ShowModal();
}

}  // namespace

bool ShowValueViewer(ArchiveView& v) {
    switch (v.kind) {
    case ArchiveKind::ChromMeas: Show<TFormArhMeas_Chr>(v, RecordsOf<ChromMeasRecord>(v)); return true;
    case ArchiveKind::ChromHour: Show<TFormArhivHDM_Chr>(v, RecordsOf<HdmArchiveRecord>(v), 0); return true;
    case ArchiveKind::ChromDay: Show<TFormArhivHDM_Chr>(v, RecordsOf<HdmArchiveRecord>(v), 1); return true;
    case ArchiveKind::Calib: Show<TFormArhiv_Clb>(v, RecordsOf<CalibRecord>(v)); return true;
    case ArchiveKind::Verif: Show<TFormArhiv_Verif>(v, RecordsOf<VerifRecord>(v)); return true;
    case ArchiveKind::WmtMeas: Show<TFormArhMeas_Wmt>(v, RecordsOf<WmtMomentaryRecord>(v)); return true;
    case ArchiveKind::WmtHour: Show<TFormArhivHD_Wmt>(v, RecordsOf<WmtArchiveRecord>(v), 6); return true;
    case ArchiveKind::WmtDay: Show<TFormArhivHD_Wmt>(v, RecordsOf<WmtArchiveRecord>(v), 7); return true;
    default: return false;
    }
}

void RegisterValueViewers() {
    for (ArchiveKind k : {ArchiveKind::ChromMeas, ArchiveKind::ChromHour, ArchiveKind::ChromDay, ArchiveKind::Calib,
                          ArchiveKind::Verif, ArchiveKind::WmtMeas, ArchiveKind::WmtHour, ArchiveKind::WmtDay})
        SetArchiveViewer(k, [](ArchiveView& v) { ShowValueViewer(v); });
}
