#include "data/ArchView.h"

#include <array>

namespace {

std::array<ArchiveViewer, kArchiveKindCount>& Viewers() {
    static std::array<ArchiveViewer, kArchiveKindCount> viewers;
    return viewers;
}

bool KindOk(ArchiveKind kind) { return static_cast<std::size_t>(kind) < static_cast<std::size_t>(kArchiveKindCount); }

}  // namespace

void SetArchiveViewer(ArchiveKind kind, ArchiveViewer viewer) {
    if (KindOk(kind)) Viewers()[static_cast<std::size_t>(kind)] = std::move(viewer);
}

bool HasArchiveViewer(ArchiveKind kind) {
    return KindOk(kind) && static_cast<bool>(Viewers()[static_cast<std::size_t>(kind)]);
}

bool ShowArchiveViewer(ArchiveView& view) {
    if (!HasArchiveViewer(view.kind)) return false;
    // A copy: the viewer may register another one while it runs.
    ArchiveViewer viewer = Viewers()[static_cast<std::size_t>(view.kind)];
    viewer(view);
    return true;
}
