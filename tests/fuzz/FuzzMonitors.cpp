// Fuzz target monitors: see RunMonitors in ReplyHarness.h.
#include "fuzz/ReplyHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zbr_fuzz::InputScript script(data, size);
    zbr_fuzz::RunMonitors(script);
    return 0;
}
