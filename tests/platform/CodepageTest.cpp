#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/Codepage.h"

using namespace platform;

namespace {
std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) s.push_back(static_cast<char>(b));
    return s;
}
}  // namespace

TEST(Codepage, EveryByteOf1251RoundTripsExceptTheUnassignedOne) {
    const std::string all = AllBytes();
    const std::string utf8 = Cp1251ToUtf8(all);
    const std::string back = Utf8ToCp1251(utf8);
    ASSERT_EQ(back.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) {
            EXPECT_EQ(ByteToUnicode(0x98, CodePage::Cp1251), U'\uFFFD');
            EXPECT_EQ(back[b], '?');
        } else {
            EXPECT_EQ(static_cast<uint8_t>(back[b]), b) << "byte " << b;
        }
    }
}

// Code page 866 reads and writes exactly as the translation tables of the
// controller's names do: a name shows the same through either path.
TEST(Codepage, Cp866TextFollowsTheTranslationTables) {
    const std::string all = AllBytes();
    std::string via1251 = all;
    CodePage866To1251(reinterpret_cast<uint8_t*>(via1251.data()), via1251.size());
    EXPECT_EQ(Cp866ToUtf8(all), Cp1251ToUtf8(via1251));
    std::string back = Utf8ToCp1251(Cp1251ToUtf8(all));
    CodePage1251To866(reinterpret_cast<uint8_t*>(back.data()), back.size());
    EXPECT_EQ(Utf8ToCp866(Cp1251ToUtf8(all)), back);
    EXPECT_EQ(Cp866ToUtf8("\xBA\xCD\xC9\xDB"), "¦-+_");  // box drawing as the names show it
}

TEST(Codepage, UkrainianAndRussianLetters) {
    EXPECT_EQ(Utf8ToCp1251("ҐґЄєІіЇї"), "\xA5\xB4\xAA\xBA\xB2\xB3\xAF\xBF");
    EXPECT_EQ(Cp1251ToUtf8("\xA5\xB4\xAA\xBA\xB2\xB3\xAF\xBF"), "ҐґЄєІіЇї");
    EXPECT_EQ(Utf8ToCp1251("АЯаяЁё№"), "\xC0\xDF\xE0\xFF\xA8\xB8\xB9");
    EXPECT_EQ(Cp1251ToUtf8("\x88\xB0"), "€°");

    EXPECT_EQ(Utf8ToCp866("АЯаяЁёЄєЇї№"), "\x80\x9F\xA0\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xFC");
    EXPECT_EQ(Cp866ToUtf8("\x80\x9F\xA0\xEF\xF2\xF4"), "АЯаяЄЇ");
    // The 866 names of the controller hold the Latin I for the Ukrainian one.
    EXPECT_EQ(Utf8ToCp866("Іі"), "Ii");
    EXPECT_EQ(Utf8ToCp866("Ґ"), "_");  // in Windows-1251 but not in 866
}

TEST(Codepage, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a日b"), "a?b");
    EXPECT_EQ(Utf8ToCp1251("\xFF"), "?");
    EXPECT_EQ(Utf8ToCp1251("x\xD0"), "x?");              // cut sequence
    EXPECT_EQ(Utf8ToCp1251("\xC0\xAF"), "??");           // overlong '/'
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");      // surrogate
    EXPECT_EQ(Utf8ToCp1251("\xEF\xBF\xBD"), "?");        // U+FFFD itself
    EXPECT_EQ(Utf8ToCp866("日"), "?");
    EXPECT_EQ(Utf8ToCp866("€"), "_");
    EXPECT_EQ(Utf8ToCp1251(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Codepage, FixedWidthFields) {
    uint8_t f[8];
    std::memset(f, 0x55, sizeof f);
    EXPECT_TRUE(WriteField(f, 8, "ГРС", ' '));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 8), "\xC3\xD0\xD1     ");
    EXPECT_EQ(ReadField(f, 8), "ГРС");
    EXPECT_EQ(ReadField(f, 8, CodePage::Cp1251, false), "ГРС     ");

    // Cut to the width in bytes of the code page, not in UTF-8 bytes.
    std::memset(f, 0x55, sizeof f);
    EXPECT_FALSE(WriteField(f, 5, "Контролер", 0));
    EXPECT_EQ(ReadField(f, 5), "Контр");
    EXPECT_EQ(f[5], 0x55);  // nothing past the width

    EXPECT_TRUE(WriteField(f, 8, "Ab", 0, CodePage::Cp866));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(f), 8), std::string("Ab\0\0\0\0\0\0", 8));
    EXPECT_TRUE(WriteField(f, 8, "Нитка", ' ', CodePage::Cp866));
    EXPECT_EQ(ReadField(f, 8, CodePage::Cp866), "Нитка");
    EXPECT_EQ(ReadField(f, 8, CodePage::Cp1251), Cp1251ToUtf8("\x8D\xA8\xE2\xAA\xA0"));

    // A zero byte ends the text; a field full to the brim has no end mark.
    const char z[6] = {'a', 'b', 0, 'c', 'd', 'e'};
    EXPECT_EQ(ReadField(z, 6), "ab");
    const char full[3] = {'x', 'y', 'z'};
    EXPECT_EQ(ReadField(full, 3), "xyz");
}
