// Diagnostic and intervention records as the controller sends them, and the
// text rows of saved lists, from any bytes: every record decodes to texts
// that fit their fields, a row made of them reads back the same, and a row
// from a file never yields more than its field holds.
#include <cstring>

#include "data/MessageDecoders.h"
#include "fuzz/FuzzSupport.h"

using namespace zbr_fuzz;

namespace {

// Texts through a row and back: a field may be cut to its width, never grow.
template <class Texts, class Row>
void CheckRoundTrip(const Texts& texts, const Row& row) {
    const Texts back = TextsOf(row);
    for (std::size_t i = 0; i < texts.size(); ++i)
        Check(back[i].size() <= texts[i].size(), "a row field grew on its way through the row");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    data += 1;
    size -= 1;

    if (size >= sizeof(DiagnosticRecord)) {
        DiagnosticRecord r;
        std::memcpy(&r, data, sizeof r);
        const DiagnosticTexts t = DecodeDiagnosticRecord(r, uint8_t(flags % 4));
        CheckRoundTrip(t, MakeDiagnosticRow(t));
    }
    if (size >= sizeof(InterventionRecord)) {
        InterventionRecord r;
        std::memcpy(&r, data, sizeof r);
        const InterventionTexts a = DecodeInterventionRecord(r, (flags & 0x10) != 0);
        const InterventionTexts b = DecodeInterventionRecord(r, (flags & 0x10) != 0);
        Check(a == b, "decoding a record twice gave other texts");
        CheckRoundTrip(a, MakeInterventionRow(a));
    }
    if (size >= sizeof(DiagnosticRow)) {
        DiagnosticRow row;
        std::memcpy(&row, data, sizeof row);
        (void)TextsOf(row);
    }
    if (size >= sizeof(InterventionRow)) {
        InterventionRow row;
        std::memcpy(&row, data, sizeof row);
        (void)TextsOf(row);
    }
    (void)TransitionDayText(flags);
    return 0;
}
