// Fuzz target table_replies: see RunTableReplies in ReplyHarness.h.
#include "fuzz/ReplyHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zbr_fuzz::InputScript script(data, size);
    zbr_fuzz::RunTableReplies(script);
    return 0;
}
