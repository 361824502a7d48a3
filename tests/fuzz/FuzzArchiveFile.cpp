// Saved archive files of every kind, from any bytes (the first byte picks
// the kind): a file is refused with a message or opens with the whole
// entries it holds, never more than its header declares.
#include "data/ArchiveFiles.h"
#include "fuzz/FuzzSupport.h"

using namespace zbr_fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const auto kind = ArchiveKind(data[0] % kArchiveKindCount);
    const std::string path = InputFile(data + 1, size - 1, "archive.bin");
    ArchiveFileContents out;
    FileMessage message;
    if (!OpenArchiveFile(kind, path, out, message)) {
        Check(!message.line1.empty(), "a refusal without a message");
        return 0;
    }
    const ArchiveKindInfo& info = ArchiveInfo(kind);
    const std::size_t entrySize = RecordSizeOf(info.entry);
    Check(entrySize > 0, "an entry size of 0");
    Check(out.entries.size() == std::size_t(out.count) * entrySize, "entries do not match their count");
    Check(out.count <= out.declaredCount, "more entries than the header declares");
    Check(kArchiveHeaderSize + out.entries.size() <= size - 1, "more bytes than the file holds");
    Check(ArchiveHeaderMatches(kind, out.header), "an accepted header that does not match its kind");
    return 0;
}
