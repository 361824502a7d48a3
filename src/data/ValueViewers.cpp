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

// The view's entries as typed records: only whole records of the right
// size, never more than the view counts.
template <class R>
std::vector<R> RecordsOf(const ArchiveView& v) {
    if (v.entrySize != sizeof(R)) return {};
    std::vector<R> out = EntriesAs<R>(v.records);
    if (out.size() > v.count) out.resize(v.count);
    return out;
}

template <class F, class R>
void Show(ArchiveView& v, const std::vector<R>& records, int mode = -1) {
    F form(nullptr);
    form.Header = &v.header;
    form.Records = std::span<const R>(records);
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
