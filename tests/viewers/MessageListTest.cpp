// The diagnostic-message and intervention windows through the headless
// driver: what they show, their captions and layout, saving an .ala / .aud
// file, reopening it through the "view from file" opener, and files made by
// hand as their layout says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ViewerTestUtil.h"
#include "config/ConfigImage.h"
#include "data/ArchOpen.h"
#include "data/ArchView.h"
#include "data/Iniala.h"
#include "data/Iniaud.h"
#include "data/MessageViewers.h"
#include "platform/Codepage.h"

namespace {

using namespace vt;

std::string Today() {
    const DeviceDateTime t = PcClockRecord();
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", t.year, t.month, t.day);
    return buf;
}

DiagnosticRecord Diag(int minute, uint8_t code, uint8_t b8 = 0, uint8_t b9 = 0, float v = 0, float sp = 0) {
    DiagnosticRecord r;
    r.time = {24, 3, 15, 9, uint8_t(minute), 5};
    r.event = code;
    r.object = b8;
    r.index = b9;
    PutF32(r.value, v);
    PutF32(r.setpoint, sp);
    SealRecord(r);
    return r;
}

InterventionRecord Aud(int minute, uint8_t table, uint8_t field, uint8_t unit, uint8_t o, uint8_t n) {
    InterventionRecord r;
    r.time = {24, 3, 15, 11, uint8_t(minute), 0};
    r.table = table;
    r.field = field;
    r.unit = unit;
    r.oldValue[0] = o;
    r.newValue[0] = n;
    std::memcpy(r.operatorName, "ZBR ", 4);
    SealRecord(r);
    return r;
}

// A mix of groups, two of them unreliable.
std::vector<DiagnosticRecord> DiagMix() {
    std::vector<DiagnosticRecord> v{Diag(1, 10, 33, 0),       Diag(2, 14, 0, 8, 89.5f, 90.0f), Diag(3, 22, 201, 3),
                                    Diag(4, 90, 12, 4),       Diag(5, 1, 202, 4),             Diag(6, 59),
                                    Diag(7, 43, 23),          Diag(8, 2)};
    Corrupt(v[3]);
    Corrupt(v[6]);
    return v;
}

std::vector<InterventionRecord> AudMix() {
    std::vector<InterventionRecord> v{Aud(1, 6, 6, 0, 7, 10), Aud(2, 3, 1, 0, 11, 15), Aud(3, 6, 1, 0, 0x89, 0xF9),
                                      Aud(4, 20, 1, 0, 0, 1), Aud(5, 2, 9, 5, 1, 2),   Aud(6, 5, 0, 0, 0, 0)};
    const std::string oldName = platform::Utf8ToCp866("ГРС-1 Дослідна");
    std::memcpy(v[5].oldValue, oldName.data(), 4);
    std::memcpy(v[5].newValue, platform::Utf8ToCp866("Північ").data(), 4);
    SealRecord(v[5]);
    Corrupt(v[1]);
    return v;
}

std::vector<std::vector<std::string>> GridRows(const ui::StringGrid& g) {
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < g.RowCount(); ++r) out.push_back(g.RowTexts(r));
    return out;
}

class MessageLists : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        for (const char* sub : {"ALAFILES", "AUDFILES"}) std::filesystem::create_directories(dir / sub);
        RegisterMessageViewers();
        TFormAla::PrintAction = nullptr;
    }
    void TearDown() override {
        for (int k = 0; k < kArchiveKindCount; ++k) SetArchiveViewer(ArchiveKind(k), {});
        TFormAla::PrintAction = nullptr;
        ViewerTest::TearDown();
    }
};

TEST_F(MessageLists, DiagnosticRecordsDecodedIntoTheGrid) {
    const std::vector<DiagnosticRecord> recs = DiagMix();
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic, uint32_t(recs.size()), false, 0);
    TFormAla f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 1;
    f.Show();
    EXPECT_EQ(f.Caption(), " Діагностичні повідомлення за період з 14.03.24 06:00:00 по 15.03.24 23:00:00");
    ASSERT_EQ(f.StringGrid1.RowCount(), 8);
    ASSERT_EQ(f.StringGrid1.ColCount(), 8);
    EXPECT_EQ(f.StringGrid1.RowTexts(0),
              (std::vector<std::string>{"", "  15.03.24", "  09:01:05", "Зник зв'язок", "Хроматограф", "", "", ""}));
    EXPECT_EQ(f.StringGrid1.RowTexts(1),
              (std::vector<std::string>{"", "  15.03.24", "  09:02:05", "Значення стало нижче нижньої ПУ",
                                        "Молярна частка метану", "89,500", "90,000", "%"}));
    EXPECT_EQ(f.StringGrid1.Cell(4, 2), "Біт 3. WDP too high");  // moisture-meter type 0 in the header
    EXPECT_EQ(f.StringGrid1.RowTexts(3), (std::vector<std::string>{"", "   ***", "", "", "", "", "", ""}));
    EXPECT_EQ(f.StringGrid1.Cell(4, 4), "Ready");
    EXPECT_EQ(f.StringGrid1.Cell(1, 6), "   ***");
    EXPECT_EQ(f.StringGrid1.Cell(3, 7), "Знято напругу живлення");
    // CellText hands out its own copy of the cell (it once returned a
    // reference to the grid's temporary).
    const std::string cell = f.CellText(3, 7);
    EXPECT_EQ(cell, "Знято напругу живлення");
    for (int r = 0; r < 8; ++r) {
        const DiagnosticTexts t = DecodeDiagnosticRecord(recs[std::size_t(r)], 0);
        for (int c = 0; c < 7; ++c) EXPECT_EQ(f.StringGrid1.Cell(c + 1, r), t[std::size_t(c)]) << r << " " << c;
        EXPECT_EQ(TextsOf(f.Rows()[std::size_t(r)]), t) << r;
    }
    // One message however many records fail.
    EXPECT_EQ(f.Panel9.Caption(), "  ***  Дані у запису недостовірні (не співпадає КС)");
    EXPECT_EQ(f.StringGrid1.Row(), 7);  // the last row selected
    EXPECT_FALSE(f.BitBtn3.Visible());  // no report set
    EXPECT_FALSE(f.BitBtn5.Visible());

    // The same record reads differently under another moisture-meter type.
    h.MoistureMeterType = 2;
    TFormAla g;
    g.Header = &h;
    g.Records = recs;
    g.Mode = 0;
    g.FirstIndex = 4000;
    g.Show();
    EXPECT_EQ(g.Caption(), " Діагностичні повідомлення з індексами від 4000 до 4007");
    EXPECT_EQ(g.StringGrid1.Cell(4, 2), "Помилка датчика тиску");
}

TEST_F(MessageLists, PrintButtonHandsTheRowsToTheReport) {
    const std::vector<DiagnosticRecord> recs = DiagMix();
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic, uint32_t(recs.size()));
    std::vector<std::string> printed;
    TFormAla::PrintAction = [&](TFormAla& f) {
        for (const DiagnosticRow& r : f.Rows()) printed.push_back(r.Get(kAlaEvent));
    };
    TFormAla f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 1;
    f.Show();
    ASSERT_TRUE(f.BitBtn3.Visible());
    EXPECT_EQ(f.BitBtn3.Caption(), "Друк");
    f.BitBtn3.Click();
    ASSERT_EQ(printed.size(), recs.size());
    EXPECT_EQ(printed[0], "Зник зв'язок");
    EXPECT_EQ(printed[3], "");
}

// Saved, the list is the header and one 300-byte row per record; reopened
// through the opener it reads as before, and saved again gives the same file.
TEST_F(MessageLists, DiagnosticListSavedAndReopened) {
    const std::vector<DiagnosticRecord> recs = DiagMix();
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic, uint32_t(recs.size()));
    TFormAla f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 1;
    f.Show();
    drv->chooseFile(Path("ALAFILES/messages"));
    drv->expectMessage(6, "Дані збережені в файлі messages.ala.", "");
    f.BitBtn2.Click();
    ASSERT_EQ(drv->fileDialogs().size(), 1u);
    const ui::test::FileDialogRecord& d = drv->fileDialogs()[0];
    EXPECT_TRUE(d.save);
    EXPECT_EQ(d.title, "Вибір файлу для збереження даних");
    EXPECT_EQ(d.filter, "DataFiles (*.ala)|*.ala");
    EXPECT_EQ(d.initialDir, Path("ALAFILES"));
    EXPECT_EQ(d.fileName, Path("ALAFILES/zbr11_005_" + Today() + ".ala"));

    const std::string saved = ReadBytes(Path("ALAFILES/messages.ala"));
    ASSERT_EQ(saved.size(), 82u + 8 * 300u);
    EXPECT_EQ(saved.substr(0, 82), std::string(reinterpret_cast<const char*>(&h), 82));
    // The row of an unreliable record: "   ***" and zeros.
    EXPECT_EQ(saved.substr(82 + 3 * 300, 300), "   ***" + std::string(294, '\0'));
    // Texts in Windows-1251 at their offsets, each ended by a zero byte.
    const std::string row1 = saved.substr(82 + 300, 300);
    EXPECT_EQ(row1.substr(0, 11), std::string("  15.03.24") + '\0');
    EXPECT_EQ(row1.substr(40, 32), platform::Utf8ToCp1251("Значення стало нижче нижньої ПУ") + '\0');
    EXPECT_EQ(row1.substr(140, 22), platform::Utf8ToCp1251("Молярна частка метану") + '\0');
    EXPECT_EQ(row1.substr(240, 7), std::string("89,500") + '\0');
    EXPECT_EQ(row1.substr(260, 7), std::string("90,000") + '\0');
    EXPECT_EQ(row1.substr(280, 2), std::string("%") + '\0');

    std::vector<std::vector<std::string>> reopened;
    drv->onModal<TFormAla>([&](TFormAla& g) {
        EXPECT_EQ(g.Mode, 2);
        EXPECT_EQ(g.Caption(), " Діагностичні повідомлення за період з 14.03.24 06:00:00 по 15.03.24 23:00:00");
        reopened = GridRows(g.StringGrid1);
        drv->chooseFile(Path("ALAFILES/again.ala"));
        drv->expectMessage(6, "Дані збережені в файлі again.ala.", "");
        g.BitBtn2.Click();
        g.BitBtn1.Click();
    });
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::Diagnostic, Path("ALAFILES/messages.ala")));
    EXPECT_EQ(reopened, GridRows(f.StringGrid1));
    EXPECT_EQ(ReadBytes(Path("ALAFILES/again.ala")), saved);
}

// A file made by hand as the layout says: the header and rows of zero-padded
// Windows-1251 fields, one field filled to its very end; the count claims
// more rows than the file holds. The rows it holds are shown as they stand.
TEST_F(MessageLists, HandMadeDiagnosticFileShownUnchanged) {
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic, 5);
    h.LineDevice = 0x37;  // never tested for these files
    std::string file(reinterpret_cast<const char*>(&h), 82);
    auto row = [](std::initializer_list<std::pair<std::size_t, std::string>> fields) {
        std::string r(300, '\0');
        for (auto& [at, text] : fields) r.replace(at, text.size(), text);
        return r;
    };
    const std::string cp = platform::Utf8ToCp1251("Ручний запис");
    file += row({{0, "  01.02.24"}, {20, "  03:04:05"}, {40, cp}, {140, "Obj"}, {240, "1,5"}, {260, "2"}, {280, "kg"}});
    file += row({{0, std::string(20, 'D')}, {20, "t"}, {40, std::string(100, 'E')}, {140, "O"}, {280, std::string(20, 'U')}});
    file += row({{0, "   ***"}});
    std::ofstream(Path("ALAFILES/hand.ala"), std::ios::binary) << file;

    drv->onModal<TFormAla>([&](TFormAla& g) {
        ASSERT_EQ(g.StringGrid1.RowCount(), 3);
        EXPECT_EQ(g.StringGrid1.RowTexts(0),
                  (std::vector<std::string>{"", "  01.02.24", "  03:04:05", "Ручний запис", "Obj", "1,5", "2", "kg"}));
        // A full field ends at its width: nothing of the next field joins it.
        EXPECT_EQ(g.StringGrid1.RowTexts(1), (std::vector<std::string>{"", std::string(20, 'D'), "t", std::string(100, 'E'),
                                                                         "O", "", "", std::string(20, 'U')}));
        EXPECT_EQ(g.StringGrid1.RowTexts(2), (std::vector<std::string>{"", "   ***", "", "", "", "", "", ""}));
        EXPECT_EQ(g.Panel9.Caption(), "");
        g.BitBtn1.Click();
    });
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::Diagnostic, Path("ALAFILES/hand.ala")));
    EXPECT_EQ(drv->modalCount<TFormAla>(), 1);
}

// A list shows a record as its saved row reads back and saves a file's row
// as reading and writing it again gives it, without making the row in
// between: the same texts and bytes for every byte value, texts longer than
// their fields, characters Windows-1251 lacks and broken UTF-8.
TEST_F(MessageLists, ShownAndSavedAgainAsTheSavedRowsHoldThem) {
    auto fill = [](auto& row) {
        auto* b = reinterpret_cast<uint8_t*>(&row);
        for (std::size_t i = 0; i < sizeof row; ++i) b[i] = uint8_t(1 + (i * 7) % 255);
    };
    DiagnosticRow d;
    fill(d);
    d.value[5] = 0;  // a field that ends early
    const DiagnosticRow dAgain = SavedAgain(d);
    const DiagnosticRow dMade = MakeDiagnosticRow(TextsOf(d));
    EXPECT_EQ(std::memcmp(&dAgain, &dMade, sizeof d), 0);
    InterventionRow a;
    fill(a);
    a.parameter[40] = 0;
    const InterventionRow aAgain = SavedAgain(a);
    const InterventionRow aMade = MakeInterventionRow(TextsOf(a));
    EXPECT_EQ(std::memcmp(&aAgain, &aMade, sizeof a), 0);

    std::string cyrillic;
    for (int i = 0; i < 60; ++i) cyrillic += "Їж";
    const DiagnosticTexts t{"  15.03.24", std::string(30, 'x'), "Подія € ✓ \xF0\x9F\x98\x80 ґЄ \xC3 кінець",
                            cyrillic, std::string("a\0b", 3), "", "\xEF\xBF\xBD%"};
    EXPECT_EQ(DiagnosticTextsAsSaved(t), TextsOf(MakeDiagnosticRow(t)));
    EXPECT_EQ(InterventionTextsAsSaved(t), TextsOf(MakeInterventionRow(t)));
}

TEST_F(MessageLists, InterventionRecordsDecodedIntoTheGrid) {
    const std::vector<InterventionRecord> recs = AudMix();
    ArchiveFileHeader h = Header(ArchiveKind::Intervention, uint32_t(recs.size()));
    TFormAud f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 0;
    f.FirstIndex = 17;
    f.NamesIn866 = true;
    f.Show();
    EXPECT_EQ(f.Caption(), "Повідомлення про втручання оператора з індексами від 17 до 22");
    ASSERT_EQ(f.StringGrid1.RowCount(), 6);
    EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"", "    15.03.24", "    11:01:00", "Контрактова година",
                                                                     "7", "10", "", "ZBR "}));
    EXPECT_EQ(f.StringGrid1.RowTexts(1), (std::vector<std::string>{"", "   ***", "", "", "", "", "", ""}));
    EXPECT_EQ(f.StringGrid1.RowTexts(2), (std::vector<std::string>{"", "    15.03.24", "    11:03:00",
                                                                     "День переходу на літній час", "1Нд", "пСб", "", "ZBR "}));
    // A text longer than its field reads as its saved line holds it.
    EXPECT_EQ(f.StringGrid1.Cell(4, 3), "Мол. адр. -- ст. ба");
    EXPECT_EQ(f.StringGrid1.RowTexts(4),
              (std::vector<std::string>{"", "    15.03.24", "    11:05:00", "Табл. 2;  Поле 9", "", "", "%", "ZBR "}));
    EXPECT_EQ(f.StringGrid1.Cell(3, 5), "Найменування контролера");
    EXPECT_EQ(f.StringGrid1.Cell(4, 5), "ГРС-...");
    EXPECT_EQ(f.StringGrid1.Cell(5, 5), "Пiвн...");  // code page 866 holds the Ukrainian i as a Latin one
    EXPECT_EQ(f.Panel9.Caption(), "  ***  Дані запису недостовірні (не збігається КС)");
    EXPECT_FALSE(f.BitBtn3.Visible());  // no printing from this window
    EXPECT_EQ(f.StringGrid1.Row(), 5);

    // Without a set flag the configuration image decides: byte 12 of table 0
    // not 0 means the names are Windows-1251.
    InitConfigImage();
    TablePtr(0)[12] = 1;
    TFormAud g;
    g.Header = &h;
    g.Records = recs;
    g.Mode = 1;
    g.Show();
    EXPECT_EQ(g.Caption(), "Повідомлення про втручання оператора за період з 14.03.24 06:00:00 по 15.03.24 23:00:00");
    EXPECT_EQ(g.StringGrid1.Cell(4, 5), platform::Cp1251ToUtf8(platform::Utf8ToCp866("ГРС-")) + "...");
    TablePtr(0)[12] = 0;
    TFormAud k;
    k.Header = &h;
    k.Records = recs;
    k.Show();
    EXPECT_EQ(k.StringGrid1.Cell(4, 5), "ГРС-...");
    InitConfigImage();
}

TEST_F(MessageLists, InterventionListSavedAndReopened) {
    const std::vector<InterventionRecord> recs = AudMix();
    ArchiveFileHeader h = Header(ArchiveKind::Intervention, uint32_t(recs.size()));
    h.ControllerAddress = 201;
    TFormAud f;
    f.Header = &h;
    f.Records = recs;
    f.Mode = 1;
    f.NamesIn866 = true;
    f.Show();
    drv->chooseFile(Path("AUDFILES/changes"));
    drv->expectMessage(6, "Дані збережені в файлі changes.aud.", "");
    f.BitBtn2.Click();
    ASSERT_EQ(drv->fileDialogs().size(), 1u);
    EXPECT_EQ(drv->fileDialogs()[0].filter, "DataFiles (*.aud)|*.aud");
    EXPECT_EQ(drv->fileDialogs()[0].initialDir, Path("AUDFILES"));
    EXPECT_EQ(drv->fileDialogs()[0].fileName, Path("AUDFILES/zbr11_201_" + Today() + ".aud"));
    const std::string saved = ReadBytes(Path("AUDFILES/changes.aud"));
    ASSERT_EQ(saved.size(), 82u + 6 * 205u);
    EXPECT_EQ(saved.substr(82 + 205, 205), "   ***" + std::string(199, '\0'));
    const std::string row0 = saved.substr(82, 205);
    EXPECT_EQ(row0.substr(40, 19), platform::Utf8ToCp1251("Контрактова година") + '\0');
    EXPECT_EQ(row0.substr(140, 2), std::string("7") + '\0');
    EXPECT_EQ(row0.substr(160, 3), std::string("10") + '\0');
    EXPECT_EQ(row0.substr(200, 5), std::string("ZBR ") + '\0');
    const std::string row3 = saved.substr(82 + 3 * 205, 205);
    EXPECT_EQ(row3.substr(140, 20), platform::Utf8ToCp1251("Мол. адр. -- ст. ба") + '\0');

    std::vector<std::vector<std::string>> reopened;
    drv->onModal<TFormAud>([&](TFormAud& g) {
        EXPECT_EQ(g.Mode, 2);
        EXPECT_FALSE(g.BitBtn3.Visible());
        reopened = GridRows(g.StringGrid1);
        drv->chooseFile(Path("AUDFILES/again.aud"));
        drv->expectMessage(6, "Дані збережені в файлі again.aud.", "");
        g.BitBtn2.Click();
    });
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::Intervention, Path("AUDFILES/changes.aud")));
    EXPECT_EQ(reopened, GridRows(f.StringGrid1));
    EXPECT_EQ(ReadBytes(Path("AUDFILES/again.aud")), saved);
}

TEST_F(MessageLists, HandMadeInterventionFileShownUnchanged) {
    ArchiveFileHeader h = Header(ArchiveKind::Intervention, 2);
    std::string file(reinterpret_cast<const char*>(&h), 82);
    std::string r(205, '\0');
    r.replace(0, 10, "  01.01.24");
    r.replace(20, 8, "12:00:00");
    const std::string p = platform::Utf8ToCp1251("Параметр вручну");
    r.replace(40, p.size(), p);
    r.replace(140, 20, std::string(20, 'o'));  // full field, no zero byte
    r.replace(160, 3, "new");
    r.replace(180, 3, "bar");
    r.replace(200, 5, "ABCDE");  // full operator field
    file += r;
    file += std::string(205, '\0');
    std::ofstream(Path("AUDFILES/hand.aud"), std::ios::binary) << file;
    drv->onModal<TFormAud>([&](TFormAud& g) {
        ASSERT_EQ(g.StringGrid1.RowCount(), 2);
        EXPECT_EQ(g.StringGrid1.RowTexts(0), (std::vector<std::string>{"", "  01.01.24", "12:00:00", "Параметр вручну",
                                                                         std::string(20, 'o'), "new", "bar", "ABCDE"}));
        EXPECT_EQ(g.StringGrid1.RowTexts(1), std::vector<std::string>(8));
    });
    EXPECT_TRUE(ViewArchiveFileAt(ArchiveKind::Intervention, Path("AUDFILES/hand.aud")));
}

// As high as the rows need; a long list stops short of the screen's bottom
// and its last column leaves room for the scroll bar.
TEST_F(MessageLists, WindowHeightFollowsTheRows) {
    ArchiveFileHeader h = Header(ArchiveKind::Diagnostic, 3);
    std::vector<DiagnosticRecord> few{Diag(1, 2), Diag(2, 3), Diag(3, 6)};
    TFormAla f;
    f.Header = &h;
    f.Records = few;
    f.Mode = 1;
    f.Show();
    EXPECT_EQ(f.Width(), 992);
    const int full = 3 * 21 + 3;
    EXPECT_EQ(f.Height(), full + MessageListForm::kGridTop + MessageListForm::kBelowGrid);
    EXPECT_EQ(f.StringGrid1.Height(), full);
    EXPECT_EQ(f.StringGrid1.ColWidth(7), 85);
    EXPECT_GE(f.BitBtn1.Top(), f.StringGrid1.Top() + f.StringGrid1.Height());

    std::vector<DiagnosticRecord> many;
    for (int i = 0; i < 200; ++i) many.push_back(Diag(i % 60, uint8_t(i % 82), 1, 2));
    TFormAud a;
    ArchiveFileHeader ha = Header(ArchiveKind::Intervention, 0);
    a.Header = &ha;
    a.Show();  // no rows at all
    EXPECT_EQ(a.Width(), 854);
    EXPECT_EQ(a.StringGrid1.RowCount(), 0);

    TFormAla g;
    g.Header = &h;
    g.Records = many;
    g.Mode = 1;
    g.Show();
    EXPECT_LE(g.Height(), 1024 - 60);
    EXPECT_GT(g.Height(), 1024 - 60 - 21);
    EXPECT_EQ(g.StringGrid1.ColWidth(7), 85 - 17);
    EXPECT_EQ(g.StringGrid1.Row(), 199);
    EXPECT_LE(g.StringGrid1.Left() + g.StringGrid1.Width(), g.ClientWidth());
    // Made high enough again for every row: full width of the last column.
    g.SetHeight(200 * 21 + 3 + MessageListForm::kGridTop + MessageListForm::kBelowGrid);
    EXPECT_EQ(g.StringGrid1.ColWidth(7), 85);
    EXPECT_EQ(g.StringGrid1.Height(), 200 * 21 + 3);
    g.SetHeight(400);
    EXPECT_EQ(g.StringGrid1.Height(), 400 - MessageListForm::kGridTop - MessageListForm::kBelowGrid);
}

}  // namespace
