// Where a read archive or an opened archive file goes: the viewer of its kind.
//
// The readers (ArchRead.h) and the "view from file" openers (ArchOpen.h) end
// by handing the header, the records and the viewer's mode to the viewer
// registered for the archive kind. Each viewer window registers itself once
// at start-up:
//
//   SetArchiveViewer(ArchiveKind::ChromHour, [](ArchiveView& v) {
//       TFormArhivHDM_Chr f(nullptr);
//       f.Header = &v.header; f.Records = v.records.data(); f.Mode = v.mode; ...
//       f.ShowModal();
//   });
//
// The viewer runs modally inside the call; the header and the records belong
// to the caller and live until the call returns. Without a registered viewer
// the hand-over does nothing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "data/ArchiveRecords.h"

// Viewer modes.
namespace viewmode {
inline constexpr int kNone = -1;        // viewers without a mode (measured values, calibration, verification)
inline constexpr int kHourly = 0;       // chromatograph hourly values
inline constexpr int kDaily = 1;        // chromatograph daily values
inline constexpr int kWmtHourly = 6;    // moisture-meter hourly values
inline constexpr int kWmtDaily = 7;     // moisture-meter daily values
inline constexpr int kByIndex = 0;      // diagnostic messages / interventions read by index
inline constexpr int kByPeriod = 1;     // ... read by period
inline constexpr int kFromFile = 2;     // ... opened from a saved file (text rows)
}  // namespace viewmode

// What a viewer is given.
struct ArchiveView {
    ArchiveKind kind = ArchiveKind::ChromMeas;
    // The header: built by the reader, or as the file holds it (RecordCount
    // is then the number of entries really read).
    ArchiveFileHeader header;
    // What each entry is: the controller's record for reads, the saved
    // entry for files (text rows for diagnostic and intervention files).
    RecordKind entryKind = RecordKind::ChromMeas;
    std::size_t entrySize = 0;
    uint32_t count = 0;            // entries in `records`
    std::vector<uint8_t> records;  // count x entrySize bytes
    int mode = viewmode::kNone;    // see viewmode
    bool fromFile = false;         // opened from a saved archive file
    uint32_t firstIndex = 0;       // reads by index: the first index asked for
    std::string fileName;          // opened file (full path); empty for reads

    const uint8_t* Entry(uint32_t i) const { return records.data() + std::size_t(i) * entrySize; }
};

using ArchiveViewer = std::function<void(ArchiveView&)>;

// Registers (or, with an empty function, removes) the viewer of a kind.
void SetArchiveViewer(ArchiveKind kind, ArchiveViewer viewer);
// True when a viewer is registered for the kind.
bool HasArchiveViewer(ArchiveKind kind);
// Hands the view to the kind's viewer; returns after the viewer closed.
// False when no viewer is registered.
bool ShowArchiveViewer(ArchiveView& view);
