// Saved archive files of every kind, damaged: random bytes, valid files cut
// anywhere, valid headers with wild record counts, wrong tags and headers with
// single bytes changed. Every file either opens with only whole entries that
// the file really holds, or is refused with the open error or the "not a file
// of this kind" message.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "data/ArchiveFiles.h"
#include "robustness/Random.h"
#include "support/TestFolders.h"

using robust::Dice;

namespace {

constexpr ArchiveKind kKinds[] = {
    ArchiveKind::ChromMeas, ArchiveKind::WmtMeas, ArchiveKind::ChromHour,  ArchiveKind::ChromDay,
    ArchiveKind::WmtHour,   ArchiveKind::WmtDay,  ArchiveKind::Calib,      ArchiveKind::Verif,
    ArchiveKind::Diagnostic, ArchiveKind::Intervention,
};

std::size_t EntrySize(ArchiveKind kind) { return RecordSizeOf(ArchiveInfo(kind).entry); }

ArchiveFileHeader ValidHeader(ArchiveKind kind, uint32_t count) {
    ArchiveHeaderSource src;
    src.chromatographType = kSupportedChromatographType;
    std::memcpy(src.lineNames[0], "Line", 4);
    DeviceDateTime t{};
    return BuildArchiveHeader(kind, 0, src, t, t, count, t);
}

std::string HeaderBytes(const ArchiveFileHeader& h) { return std::string(reinterpret_cast<const char*>(&h), sizeof h); }

// Opens `bytes` as a file of `kind` and checks what every answer must hold.
// Returns whether it opened.
bool OpenChecked(ArchiveKind kind, const std::string& path, const std::string& bytes,
                 ArchiveFileContents& c, const char* what, int round) {
    zbr_test::WriteBytes(path, bytes);
    FileMessage m;
    const bool ok = OpenArchiveFile(kind, path, c, m);
    const std::size_t es = EntrySize(kind);
    SCOPED_TRACE(std::string(what) + " round " + std::to_string(round) + " kind " + ArchiveInfo(kind).tag);
    if (!ok) {
        EXPECT_EQ(m.kind, 1);
        EXPECT_EQ(m.line1, "Файл " + std::filesystem::path(path).filename().string() + " не є файлом, що містить");
        EXPECT_EQ(m.line2, ArchiveInfo(kind).refusal);
        return false;
    }
    EXPECT_GE(bytes.size(), kArchiveHeaderSize);
    const std::size_t held = bytes.size() >= kArchiveHeaderSize ? (bytes.size() - kArchiveHeaderSize) / es : 0;
    EXPECT_EQ(c.count, std::min<uint64_t>(held, c.declaredCount));
    EXPECT_EQ(c.entries.size(), std::size_t(c.count) * es);
    EXPECT_EQ(c.header.Count(), c.count);
    EXPECT_EQ(c.cutShort, c.count < c.declaredCount);
    if (c.count > 0) {
        EXPECT_EQ(0, std::memcmp(c.entries.data(), bytes.data() + kArchiveHeaderSize, c.entries.size()));
    }
    return true;
}

}  // namespace

TEST(ArchiveFilesRobust, RandomBytesAreRefusedOrOpenWhole) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    Dice dice(1001);
    for (ArchiveKind kind : kKinds) {
        const std::string path = (dir / (std::string("random") + ArchiveInfo(kind).extension)).string();
        for (int i = 0; i < 60; ++i) {
            ArchiveFileContents c;
            std::string bytes = dice.Bytes(std::size_t(dice.Int(0, 600)));
            // Half of them behind a header that passes, so the entry part is
            // what gets read.
            if (i % 2 && bytes.size() >= kArchiveHeaderSize) {
                ArchiveFileHeader h = ValidHeader(kind, 0);
                std::memcpy(h.RecordCount, bytes.data() + 70, 4);
                bytes.replace(0, kArchiveHeaderSize, HeaderBytes(h));
            }
            OpenChecked(kind, path, bytes, c, "random", i);
        }
    }
}

TEST(ArchiveFilesRobust, CutFilesKeepWholeEntries) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    Dice dice(1002);
    for (ArchiveKind kind : kKinds) {
        const std::string path = (dir / (std::string("cut") + ArchiveInfo(kind).extension)).string();
        const std::size_t es = EntrySize(kind);
        const uint32_t n = 5;
        const std::string whole = HeaderBytes(ValidHeader(kind, n)) + dice.Bytes(n * es);
        ArchiveFileContents c;
        ASSERT_TRUE(OpenChecked(kind, path, whole, c, "whole", 0));
        EXPECT_EQ(c.count, n);
        for (int i = 0; i < 80; ++i) {
            const std::size_t len = std::size_t(dice.Int(0, int64_t(whole.size()) - 1));
            const bool ok = OpenChecked(kind, path, whole.substr(0, len), c, "cut", i);
            EXPECT_EQ(ok, len >= kArchiveHeaderSize) << len;
            if (ok) {
                EXPECT_TRUE(c.cutShort);
            }
        }
    }
}

TEST(ArchiveFilesRobust, WildCountsAndDamagedHeaders) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    Dice dice(1003);
    const std::vector<uint32_t> wild = {0, 1, 2, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x00010000};
    for (ArchiveKind kind : kKinds) {
        const std::string path = (dir / (std::string("hdr") + ArchiveInfo(kind).extension)).string();
        const std::size_t es = EntrySize(kind);
        for (int i = 0; i < 100; ++i) {
            const uint32_t declared = dice.Chance(50) ? dice.Pick(wild) : uint32_t(dice.Int(0, 0xFFFFFFFF));
            const std::size_t held = std::size_t(dice.Int(0, 4));
            const std::string tail = dice.Bytes(held * es + std::size_t(dice.Int(0, int64_t(es) - 1)));
            ArchiveFileHeader h = ValidHeader(kind, declared);
            ArchiveFileContents c;
            ASSERT_TRUE(OpenChecked(kind, path, HeaderBytes(h) + tail, c, "count", i));
            EXPECT_EQ(c.count, std::min<uint64_t>(held, declared));

            // A wrong tag, version or chromatograph type is always refused.
            ArchiveFileHeader bad = h;
            switch (i % 3) {
            case 0: bad.KindTag[dice.Int(0, 2)] ^= char(dice.Int(1, 255)); break;
            case 1: bad.ProgramVersion = uint8_t(kArchiveProgramVersion + dice.Int(1, 255)); break;
            case 2: bad.ChromatographType = uint8_t(kSupportedChromatographType + dice.Int(1, 255)); break;
            }
            EXPECT_FALSE(OpenChecked(kind, path, HeaderBytes(bad) + tail, c, "bad header", i));

            // Any other header byte changed: refused or opened whole.
            std::string bytes = HeaderBytes(h) + tail;
            for (int k = int(dice.Int(1, 4)); k > 0; --k) bytes[std::size_t(dice.Int(0, 81))] = char(dice.Byte());
            OpenChecked(kind, path, bytes, c, "flipped", i);
        }
    }
    // Another kind's file is refused where the kinds differ in tag or device.
    for (ArchiveKind a : kKinds)
        for (ArchiveKind b : kKinds) {
            if (std::string_view(ArchiveInfo(a).tag) == ArchiveInfo(b).tag &&
                ArchiveInfo(a).device == ArchiveInfo(b).device)
                continue;
            ArchiveFileContents c;
            const std::string path = (dir / "other.bin").string();
            EXPECT_FALSE(OpenChecked(b, path, HeaderBytes(ValidHeader(a, 0)), c, "other kind", 0))
                << ArchiveInfo(a).extension << " as " << ArchiveInfo(b).extension;
        }
}

TEST(ArchiveFilesRobust, TempFilesReadWholeRecords) {
    const auto dir = zbr_test::FreshWorkDir("robustness");
    Dice dice(1004);
    const std::string path = (dir / "datafile.msd").string();
    for (int i = 0; i < 300; ++i) {
        const std::size_t rs = std::size_t(dice.Int(1, 300));
        const std::string bytes = dice.Bytes(std::size_t(dice.Int(0, 2000)));
        zbr_test::WriteBytes(path, bytes);
        const uint32_t maxCount = dice.Chance(30) ? 0xFFFFFFFF : uint32_t(dice.Int(0, 10));
        std::vector<uint8_t> out;
        uint32_t count = 0;
        ASSERT_TRUE(ReadTempArchive(path, rs, maxCount, out, count));
        EXPECT_EQ(count, std::min<uint64_t>(bytes.size() / rs, maxCount));
        EXPECT_EQ(out.size(), count * rs);
    }
}
