// The link editors and the flow-computer editors through the headless
// backend: what each shows, the exact bytes an accept stores, every refusal
// with its message and the block left as it was.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "EditorTestUtil.h"
#include "common/Rd_wr_ini.h"
#include "common/Stringi.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/ConfigImage.h"
#include "config/Distr.h"
#include "config/OvgList.h"
#include "config/OvgPar.h"
#include "config/PrzDistr.h"
#include "platform/Codepage.h"
#include "ui/TestDriver.h"

using edtest::ExpectRefused;

namespace {

class LinkEditors : public ::testing::Test {
protected:
    void SetUp() override {
        InitConfigImage();
        ProgramSettings.Conn_Prz = 0;
        ConfigImage[cfgofs::kMultiBaud] = 1;
    }
    void TearDown() override { drv.verify(); }
    ui::test::Driver drv;
};

template <std::size_t N> std::vector<uint8_t> V(const uint8_t (&b)[N]) { return {b, b + N}; }

// Clears a typed combo and types into it as the operator would.
void Retype(ui::ComboBox& c, const std::string& text) {
    c.SetText({});
    ASSERT_TRUE(c.TypeText(text));
}
void Retype(ui::Edit& e, const std::string& text) {
    e.SetText({});
    ASSERT_TRUE(e.TypeText(text));
}

}  // namespace

// ---------------------------------------------------------------- upper level

TEST_F(LinkEditors, UpperLinkStoresAddressRateAndPreambles) {
    uint8_t block[4] = {1, 11, 0, 7};
    drv.onModal<TFormConVU>([&](TFormConVU& f) {
        EXPECT_EQ(f.Caption(), " Параметри зв'язку із верхнім рівнем ");
        EXPECT_EQ(f.Width(), 364);
        EXPECT_EQ(f.Height(), 210);
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_FALSE(f.BitBtn3.Visible());
        EXPECT_EQ(f.BitBtn1.Caption(), "Записати в пристрій");
        EXPECT_EQ(f.ComboBox1.Text(), "1");
        EXPECT_EQ(f.ComboBox2.Text(), "9600");
        EXPECT_EQ(f.ComboBox2.ItemCount(), 22);
        EXPECT_EQ(f.Edit10.Text(), "0");
        EXPECT_TRUE(f.ComboBox2.Enabled());  // direct link, several rates

        Retype(f.ComboBox1, "");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Введены не все параметры");
        Retype(f.ComboBox1, "2x5-5");  // digits only
        EXPECT_EQ(f.ComboBox1.Text(), "255");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Адрес должен быть", "в диапазоне 1...254");
        Retype(f.ComboBox1, "0");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Адрес должен быть", "в диапазоне 1...254");
        f.ComboBox1.SetText("99999999999");  // pasted: too long for any integer
        ExpectRefused(drv, f, f.BitBtn1, 2, "Адрес должен быть", "в диапазоне 1...254");
        Retype(f.ComboBox1, "254");
        Retype(f.Edit10, "");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Введены не все параметры");
        Retype(f.Edit10, "256");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Количество преамбул не должно превышать 255");
        f.Edit10.SetText("4294967296");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Количество преамбул не должно превышать 255");
        EXPECT_EQ(V(block), (std::vector<uint8_t>{1, 11, 0, 7}));

        Retype(f.Edit10, "255");
        ASSERT_TRUE(f.ComboBox2.Select("115200"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConVU f;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(V(block), (std::vector<uint8_t>{254, 20, 255, 0}));
}

TEST_F(LinkEditors, UpperLinkKeepsTheRateOverModemEthernetAndSingleRateControllers) {
    for (int variant = 0; variant < 3; ++variant) {
        ProgramSettings.Conn_Prz = variant == 0 ? 1 : variant == 1 ? 2 : 0;
        ConfigImage[cfgofs::kMultiBaud] = variant == 2 ? 0 : 1;
        uint8_t block[4] = {1, 30, 2, 0};  // a baud code no rate has
        drv.onModal<TFormConVU>([&](TFormConVU& f) {
            EXPECT_FALSE(f.ComboBox2.Enabled());
            EXPECT_EQ(f.ComboBox2.ItemIndex(), -1);
            Retype(f.ComboBox1, "1");
            ASSERT_TRUE(f.BitBtn1.Click());
        });
        TFormConVU f;
        f.Block = block;
        f.Mode = 1;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 1);
        EXPECT_EQ(V(block), (std::vector<uint8_t>{1, 30, 2, 0})) << variant;
    }
    // From the configuration editor (mode 0) the rate is always edited.
    ProgramSettings.Conn_Prz = 2;
    uint8_t block[4] = {1, 30, 2, 0};
    drv.onModal<TFormConVU>([&](TFormConVU& f) {
        EXPECT_TRUE(f.BitBtn3.Visible());
        EXPECT_FALSE(f.BitBtn1.Visible());
        EXPECT_EQ(f.BitBtn3.Caption(), "Прийняти");
        EXPECT_TRUE(f.ComboBox2.Enabled());
        ExpectRefused(drv, f, f.BitBtn3, 2, "Введены не все параметры");
        ASSERT_TRUE(f.ComboBox2.Select("300"));
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormConVU f;
    f.Block = block;
    f.ShowModal();
    EXPECT_EQ(V(block), (std::vector<uint8_t>{1, 0, 2, 0}));
}

TEST_F(LinkEditors, CancelLeavesTheBlock) {
    uint8_t block[4] = {3, 11, 1, 0};
    drv.onModal<TFormConVU>([&](TFormConVU& f) {
        Retype(f.ComboBox1, "9");
        f.KeyDown(ui::key::Escape);
    });
    TFormConVU f;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(V(block), (std::vector<uint8_t>{3, 11, 1, 0}));
}

// ---------------------------------------------------------------- flow-computer link

TEST_F(LinkEditors, FlowComputerLink) {
    uint8_t block[6] = {2, 11, 3, 10, 2, 3};  // write mode 3: none of the buttons
    drv.onModal<TFormConVich>([&](TFormConVich& f) {
        EXPECT_EQ(f.Caption(), " Параметри зв'язку з ОВГ");
        EXPECT_EQ(f.ComboBox10.Text(), "2");
        EXPECT_EQ(f.ComboBox11.Text(), "9600");
        EXPECT_EQ(f.ComboBox15.Text(), "3");
        EXPECT_EQ(f.ComboBox14.Text(), "10");
        EXPECT_EQ(f.Edit2.Text(), "2");
        ASSERT_EQ(f.FindComponent("rb3"), f.rb[2]);
        for (ui::RadioButton* r : f.rb) EXPECT_FALSE(r->Checked());
        ExpectRefused(drv, f, f.BitBtn1, 2, "Уведені не всі параметри");
        ASSERT_TRUE(f.rb[2]->Click());
        Retype(f.Edit2, "256");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Кількість преамбул не повинно перевищувати 255");
        Retype(f.Edit2, "");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Уведені не всі параметри");
        EXPECT_EQ(V(block), (std::vector<uint8_t>{2, 11, 3, 10, 2, 3}));
        Retype(f.Edit2, "255");
        ASSERT_TRUE(f.ComboBox10.Select("16"));
        ASSERT_TRUE(f.ComboBox11.Select("57600"));
        ASSERT_TRUE(f.ComboBox15.Select("10"));
        ASSERT_TRUE(f.ComboBox14.Select("255"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConVich f;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(V(block), (std::vector<uint8_t>{16, 19, 10, 255, 255, 2}));

    // A count above 16 shows no count: it must be chosen.
    uint8_t wild[6] = {40, 11, 3, 10, 0, 1};
    drv.onModal<TFormConVich>([&](TFormConVich& f) {
        EXPECT_TRUE(f.rb[1]->Checked());
        EXPECT_EQ(f.ComboBox10.ItemIndex(), -1);
        ExpectRefused(drv, f, f.BitBtn3, 2, "Уведені не всі параметри");
        ASSERT_TRUE(f.ComboBox10.Select("1"));
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormConVich g;
    g.Block = wild;
    g.ShowModal();
    EXPECT_EQ(V(wild), (std::vector<uint8_t>{1, 11, 3, 10, 0, 1}));
}

// ---------------------------------------------------------------- moisture meter

TEST_F(LinkEditors, MoistureMeterLink) {
    uint8_t block[8] = {2, 11, 1, 9, 10, 3, 0, 9};
    drv.onModal<TFormConWMT>([&](TFormConWMT& f) {
        EXPECT_EQ(f.Caption(), " Параметри зв'язку з вологоміром");
        EXPECT_EQ(f.ComboBox3.Text(), "2");
        EXPECT_EQ(f.ComboBox8.Text(), "10");
        EXPECT_EQ(f.ComboBox10.Text(), "ZEGAZ 5000");
        Retype(f.ComboBox3, "248");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Адреса повинна бути", "в діапазоні 1...247");
        Retype(f.ComboBox3, "0");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Адреса повинна бути", "в діапазоні 1...247");
        Retype(f.ComboBox3, "247");
        Retype(f.ComboBox8, "4");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Таймаут повинен бути", "в діапазоні 5...255");
        Retype(f.ComboBox8, "256");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Таймаут повинен бути", "в діапазоні 5...255");
        f.ComboBox8.SetText("123456789012345");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Таймаут повинен бути", "в діапазоні 5...255");
        Retype(f.ComboBox8, "");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Уведені не всі параметри");
        EXPECT_EQ(V(block), (std::vector<uint8_t>{2, 11, 1, 9, 10, 3, 0, 9}));
        Retype(f.ComboBox8, "5");
        ASSERT_TRUE(f.ComboBox10.Select("TOPOC"));
        ASSERT_TRUE(f.ComboBox6.Select(" ASCII"));
        ASSERT_TRUE(f.ComboBox5.Select("230400"));
        ASSERT_TRUE(f.ComboBox9.Select("10"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConWMT f;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(V(block), (std::vector<uint8_t>{247, 21, 0, 0, 5, 10, 2, 0}));
    // The highest time-out and the first address pass too.
    drv.onModal<TFormConWMT>([&](TFormConWMT& f) {
        Retype(f.ComboBox3, "1");
        Retype(f.ComboBox8, "255");
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormConWMT g;
    g.Block = block;
    g.ShowModal();
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[4], 255);
}

// ---------------------------------------------------------------- chromatograph

namespace {
struct ChromCase {
    uint8_t block[14] = {1, 11, 1, 0, 10, 3, 3, 0x03, 7, 9, 1, 2, 1, 3};
    uint8_t names[60];
    ChromCase() {
        platform::WriteField(names, 20, "ГРС-1");
        platform::WriteField(names + 20, 20, "Західна");
        platform::WriteField(names + 40, 20, "Східна");
    }
};
}  // namespace

TEST_F(LinkEditors, ChromatographWithoutFlowComputers) {
    ChromCase c;
    drv.onModal<TFormConHGC>([&](TFormConHGC& f) {
        EXPECT_EQ(f.Caption(), " Параметри зв'язку з хроматографом ");
        EXPECT_EQ(f.CheckBox1.Caption(), " Задіяна нитка 1 (\"Західна             \")");
        EXPECT_EQ(f.CheckBox2.Caption(), " Задіяна нитка 2 (\"Східна              \")");
        EXPECT_TRUE(f.CheckBox1.Checked());
        EXPECT_TRUE(f.CheckBox2.Checked());
        EXPECT_FALSE(f.CheckBox3.Checked());
        for (ui::Control* x : {static_cast<ui::Control*>(&f.ComboBox1), static_cast<ui::Control*>(&f.ComboBox2),
                               static_cast<ui::Control*>(&f.ComboBox4), static_cast<ui::Control*>(&f.ComboBox11),
                               static_cast<ui::Control*>(&f.Label9), static_cast<ui::Control*>(&f.Label12)})
            EXPECT_FALSE(x->Enabled()) << x->Name();
        EXPECT_EQ(f.GroupBox2.Font().Color, 0x808080u);
        ASSERT_TRUE(f.CheckBox3.Click());
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConHGC f;
    f.Block = c.block;
    f.Names = c.names;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    // Bytes 8 and 9 as they were, no temperature sources without flow computers.
    EXPECT_EQ(V(c.block), (std::vector<uint8_t>{1, 11, 1, 0, 10, 3, 3, 0x07, 7, 9, 0, 0, 0, 0}));
}

TEST_F(LinkEditors, ChromatographTemperatureSources) {
    ChromCase c;
    const uint8_t addresses[2] = {5, 9};
    drv.onModal<TFormConHGC>([&](TFormConHGC& f) {
        EXPECT_EQ(f.ComboBox1.Items(), (std::vector<std::string>{"0 (адр. 5)", "1 (адр. 9)"}));
        EXPECT_EQ(f.ComboBox1.Text(), "1 (адр. 9)");
        EXPECT_EQ(f.ComboBox2.Text(), "2");
        EXPECT_EQ(f.ComboBox4.Text(), "1 (адр. 9)");
        EXPECT_EQ(f.ComboBox11.Text(), "3");
        EXPECT_EQ(f.GroupBox3.Font().Color, 0x800000u);
        // The oxygen box leaves the line-2 group as the operator set it.
        ASSERT_TRUE(f.ComboBox11.Select("1"));
        ASSERT_TRUE(f.CheckBox3.Click());
        EXPECT_EQ(f.ComboBox11.Text(), "1");
        EXPECT_TRUE(f.ComboBox11.Enabled());
        // Clearing line 1 disables its group and clears it.
        ASSERT_TRUE(f.CheckBox1.Click());
        EXPECT_FALSE(f.ComboBox1.Enabled());
        EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
        EXPECT_EQ(f.GroupBox2.Font().Color, 0x808080u);
        // Neither line: refused.
        ASSERT_TRUE(f.CheckBox2.Click());
        ExpectRefused(drv, f, f.BitBtn1, 2, "Уведені не всі параметри");
        ASSERT_TRUE(f.CheckBox2.Click());
        EXPECT_EQ(f.ComboBox11.Text(), "3");  // the stored pipeline again
        ASSERT_TRUE(f.ComboBox11.Select("1"));
        Retype(f.ComboBox3, "248");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Адреса повинна бути", "в діапазоні 1...247");
        Retype(f.ComboBox3, "247");
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConHGC f;
    f.Block = c.block;
    f.Names = c.names;
    f.OvgCount = 2;
    f.OvgAddresses = addresses;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(V(c.block), (std::vector<uint8_t>{247, 11, 1, 0, 10, 3, 3, 0x06, 7, 9, 0, 0, 1, 1}));
}

TEST_F(LinkEditors, ChromatographRefusals) {
    ChromCase c;
    c.block[6] = 2;   // a type the window does not offer
    c.block[10] = 4;  // a flow computer beyond the list
    std::array<uint8_t, 20> addresses{};
    for (int i = 0; i < 20; ++i) addresses[i] = uint8_t(100 + i);
    drv.onModal<TFormConHGC>([&](TFormConHGC& f) {
        EXPECT_EQ(f.ComboBox1.ItemCount(), 16);  // more than 16 are taken as 16
        EXPECT_EQ(f.ComboBox1.Item(15), "15 (адр. 115)");
        EXPECT_EQ(f.ComboBox10.ItemIndex(), -1);
        EXPECT_EQ(f.ComboBox1.ItemIndex(), 4);
        ASSERT_TRUE(f.ComboBox1.Select(15));
        ExpectRefused(drv, f, f.BitBtn3, 2, "Уведені не всі параметри");  // no type
        ASSERT_TRUE(f.ComboBox10.Select("Orvix7200"));
        f.ComboBox2.SetItemIndex(-1);
        ExpectRefused(drv, f, f.BitBtn3, 2, "Уведені не всі параметри");  // line 1 without its pipeline
        ASSERT_TRUE(f.ComboBox2.Select("3"));
        Retype(f.ComboBox3, "");
        ExpectRefused(drv, f, f.BitBtn3, 2, "Уведені не всі параметри");
        f.ComboBox3.SetText("77777777777777");
        ExpectRefused(drv, f, f.BitBtn3, 2, "Адреса повинна бути", "в діапазоні 1...247");
        Retype(f.ComboBox3, "0");
        ExpectRefused(drv, f, f.BitBtn3, 2, "Адреса повинна бути", "в діапазоні 1...247");
        EXPECT_EQ(c.block[6], 2);
        Retype(f.ComboBox3, "1");
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormConHGC f;
    f.Block = c.block;
    f.Names = c.names;
    f.OvgCount = 20;
    f.OvgAddresses = addresses.data();
    f.ShowModal();
    EXPECT_EQ(V(c.block), (std::vector<uint8_t>{1, 11, 1, 0, 10, 3, 3, 0x03, 7, 9, 15, 3, 1, 3}));
}

// ---------------------------------------------------------------- flow-computer list

namespace {

OvgRow Row(uint8_t address, uint8_t type, uint8_t mask, uint8_t order, const char* password = "") {
    OvgRow r{};
    r.Address = address;
    r.Type = type;
    r.Mask = mask;
    r.ByteOrder = order;
    platform::WriteField(r.Password, 16, password);
    return r;
}

std::vector<uint8_t> Bytes(const OvgRow* rows, int n) {
    const auto* p = reinterpret_cast<const uint8_t*>(rows);
    return {p, p + 20 * n};
}

// The row editor's answer: the address typed, the type chosen, accepted.
std::function<void(TFormOvgPar&)> SetRow(const std::string& address, int type = 0, int order = 0) {
    return [=](TFormOvgPar& f) {
        Retype(f.ComboBox1, address);
        ASSERT_TRUE(f.cn1.Select(type));
        ASSERT_TRUE(f.cp1.Select(order));
        ASSERT_TRUE(f.BitBtn3.Click());
    };
}

}  // namespace

TEST_F(LinkEditors, FlowComputerListStartsWithOneEmptyRow) {
    OvgRow rows[16] = {};
    drv.onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.Caption(), " Параметри обчислювачів витрати газу");
        EXPECT_EQ(f.Width(), 526);
        EXPECT_EQ(f.Count, 1);
        EXPECT_EQ(f.StringGrid1.RowCount(), 1);
        EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"   0", " ВЕКТРОН", " Мол. адр. -- ст. байт", "      0x00"}));
        EXPECT_EQ(f.StringGrid1.Height(), 1 * (f.StringGrid1.DefaultRowHeight() + 1) + 3);
        EXPECT_EQ(f.Height(), f.StringGrid1.Top() + f.StringGrid1.Height() + 120);
        EXPECT_FALSE(f.BitBtn8.Enabled());
        EXPECT_TRUE(f.BitBtn6.Enabled());
        EXPECT_TRUE(f.BitBtn4.Visible());
        EXPECT_FALSE(f.BitBtn1.Visible());
        ExpectRefused(drv, f, f.BitBtn4, 2, "Обчислювач № 1", "Невірно задані параметри");
        drv.onModal<TFormOvgPar>(SetRow("7", 2, 1));
        ASSERT_TRUE(f.StringGrid1.DblClickCell(0, 0));
        EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"   7", " ЛС-4", " Мол. адр. -- мол. байт", "      0x00"}));
        ASSERT_TRUE(f.BitBtn4.Click());
    });
    TFormOvgList f;
    f.Rows = rows;
    f.Count = 0;
    f.ThreadByte = 3;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Count, 1);
    EXPECT_EQ(Bytes(rows, 1), Bytes(std::array<OvgRow, 1>{Row(7, 2, 0, 1)}.data(), 1));
    EXPECT_EQ(f.PasswordChanged[0], 0);  // the blank password was not touched
}

TEST_F(LinkEditors, FlowComputerListAddChangeDeleteAndDuplicates) {
    OvgRow rows[16] = {Row(1, 0, 0x01, 1), Row(2, 1, 0x11, 1), Row(4, 3, 0x07, 0)};
    const std::vector<uint8_t> original = Bytes(rows, 16);
    drv.onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.StringGrid1.RowTexts(1), (std::vector<std::string>{"   2", " МЕРІДОН, ТК-5Н", " Мол. адр. -- мол. байт", "      0x11"}));
        // Add a row with an address already used: refused by address.
        drv.onModal<TFormOvgPar>([&](TFormOvgPar& p) {
            EXPECT_EQ(p.Caption(), "Параметри обчислювача витрати газу № 4");
            SetRow("2")(p);
        });
        ASSERT_TRUE(f.BitBtn6.Click());
        EXPECT_EQ(f.Count, 4);
        EXPECT_EQ(f.StringGrid1.Row(), 3);
        EXPECT_EQ(f.PasswordChanged[3], 1);  // an added row is always flagged
        ExpectRefused(drv, f, f.BitBtn1, 2, "Повтор адреси 2");
        // A change that does not touch the password leaves its flag clear.
        drv.onModal<TFormOvgPar>(SetRow("3"));
        f.StringGrid1.SetRow(3);
        ASSERT_TRUE(f.BitBtn3.Click());
        EXPECT_EQ(f.PasswordChanged[3], 1);
        f.StringGrid1.SetRow(2);
        drv.onModal<TFormOvgPar>([](TFormOvgPar& p) { ASSERT_TRUE(p.BitBtn3.Click()); });
        ASSERT_TRUE(f.BitBtn3.Click());
        EXPECT_EQ(f.PasswordChanged[2], 0);
        // A new password flags its row.
        f.StringGrid1.SetRow(0);
        drv.onModal<TFormOvgPar>([](TFormOvgPar& p) {
            ASSERT_TRUE(p.Edit2.TypeText("пароль"));
            ASSERT_TRUE(p.BitBtn3.Click());
            EXPECT_EQ(p.changed, 1);
        });
        ASSERT_TRUE(f.BitBtn3.Click());
        EXPECT_EQ(f.PasswordChanged[0], 1);
        // Delete row 2 ("Ні" first): the rows below move up and are flagged.
        f.StringGrid1.SetRow(1);
        drv.expectQuestion(3, "Ви дійсно хочете видалити", "обчислювач адр. 2?", false);
        ASSERT_TRUE(f.BitBtn8.Click());
        EXPECT_EQ(f.Count, 4);
        drv.expectQuestion(3, "Ви дійсно хочете видалити", "обчислювач адр. 2?", true);
        ASSERT_TRUE(f.BitBtn8.Click());
        EXPECT_EQ(f.Count, 3);
        EXPECT_EQ(f.StringGrid1.RowCount(), 3);
        EXPECT_EQ(f.StringGrid1.Cell(0, 1), "   4");
        EXPECT_EQ(f.PasswordChanged[1], 1);
        EXPECT_EQ(f.PasswordChanged[2], 1);
        // Deleting the last row selects the one before it.
        f.StringGrid1.SetRow(2);
        drv.expectQuestion(3, "Ви дійсно хочете видалити", "обчислювач адр. 3?", true);
        ASSERT_TRUE(f.BitBtn8.Click());
        EXPECT_EQ(f.Count, 2);
        EXPECT_EQ(f.StringGrid1.Row(), 1);
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormOvgList f;
    f.Rows = rows;
    f.Count = 3;
    f.ThreadByte = 3;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(f.Count, 2);
    const OvgRow expected[2] = {Row(1, 0, 0x01, 1, "пароль"), Row(4, 3, 0x07, 0)};
    // The password is stored in Windows-1251, blank-padded.
    EXPECT_EQ(Bytes(rows, 2), Bytes(expected, 2));
    EXPECT_EQ(Bytes(rows + 2, 14), std::vector<uint8_t>(original.begin() + 40, original.end()));

    // "Відмінити" after changes leaves the caller's rows.
    const std::vector<uint8_t> before = Bytes(rows, 16);
    drv.onModal<TFormOvgList>([&](TFormOvgList& f) {
        drv.onModal<TFormOvgPar>(SetRow("99"));
        ASSERT_TRUE(f.BitBtn3.Click());
        drv.onModal<TFormOvgPar>(SetRow("98"));
        ASSERT_TRUE(f.BitBtn6.Click());
        EXPECT_EQ(f.Count, 3);
        EXPECT_EQ(f.StringGrid1.Cell(0, 0), "   99");
        ASSERT_TRUE(f.BitBtn2.Click());
    });
    TFormOvgList g;
    g.Rows = rows;
    g.Count = 2;
    g.ThreadByte = 3;
    g.ShowModal();
    EXPECT_EQ(g.accepted, 0);
    EXPECT_EQ(Bytes(rows, 16), before);
}

TEST_F(LinkEditors, FlowComputerListChecksEveryRowBeforeAnyDuplicate) {
    OvgRow rows[16] = {Row(1, 0, 0, 0), Row(1, 0, 0, 0), Row(3, 4, 0, 0)};
    drv.onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.StringGrid1.Cell(1, 2), " ?");
        ExpectRefused(drv, f, f.BitBtn1, 2, "Обчислювач № 3", "Невірно задані параметри");
        f.Work[2].Type = 0;
        f.Work[2].ByteOrder = 2;  // the last row is checked like the others
        ExpectRefused(drv, f, f.BitBtn1, 2, "Обчислювач № 3", "Невірно задані параметри");
        f.Work[2].ByteOrder = 1;
        f.Work[2].Address = 255;
        ExpectRefused(drv, f, f.BitBtn1, 2, "Обчислювач № 3", "Невірно задані параметри");
        f.Work[2].Address = 3;
        ExpectRefused(drv, f, f.BitBtn1, 2, "Повтор адреси 1");
    });
    TFormOvgList f;
    f.Rows = rows;
    f.Count = 3;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
}

TEST_F(LinkEditors, FlowComputerListOfSixteenAndMore) {
    OvgRow rows[16];
    for (int i = 0; i < 16; ++i) rows[i] = Row(uint8_t(10 + i), 0, 0, 0);
    for (int count : {16, 20, 255}) {
        drv.onModal<TFormOvgList>([&](TFormOvgList& f) {
            EXPECT_EQ(f.Count, 16);
            EXPECT_EQ(f.StringGrid1.RowCount(), 16);
            EXPECT_FALSE(f.BitBtn6.Enabled());
            EXPECT_TRUE(f.BitBtn8.Enabled());
            ASSERT_TRUE(f.BitBtn1.Click());
        });
        TFormOvgList f;
        f.Rows = rows;
        f.Count = uint8_t(count);
        f.ShowModal();
        EXPECT_EQ(f.Count, 16) << count;
    }
}

// ---------------------------------------------------------------- one flow computer

TEST_F(LinkEditors, FlowComputerPipelines) {
    OvgRow row = Row(5, 0, 0x67, 0);  // three pipelines, 2 and 3 from line 2
    uint8_t layout = 0;
    drv.onModal<TFormOvgPar>([&](TFormOvgPar& f) {
        EXPECT_EQ(f.Caption(), "Параметри обчислювача витрати газу № 3");
        EXPECT_EQ(f.GroupBox1.Caption(), "Необхідність запису параметрів газу");
        EXPECT_EQ(f.ComboBox1.Text(), "5");
        EXPECT_EQ(f.cn1.Text(), " ВЕКТРЕН");
        EXPECT_EQ(f.Pipelines, 3);
        ASSERT_EQ(f.FindComponent("rb2_2"), f.rbLine2[1]);
        EXPECT_TRUE(f.rbLine1[0]->Checked());
        EXPECT_FALSE(f.rbLine2[0]->Checked());
        EXPECT_TRUE(f.rbLine2[1]->Checked());
        EXPECT_TRUE(f.rbLine2[2]->Checked());
        EXPECT_TRUE(f.pn_p16.Visible());
        EXPECT_FALSE(f.pn_p12.Visible());
        // One pipeline for type 1.
        ASSERT_TRUE(f.cn1.Select(1));
        EXPECT_EQ(f.Pipelines, 1);
        EXPECT_FALSE(f.cb[1]->Enabled());
        EXPECT_FALSE(f.cb[2]->Checked());
        EXPECT_EQ(f.gb[2]->Font().Color, 0x808080u);
        EXPECT_TRUE(f.cb[0]->Checked());
        ASSERT_TRUE(f.rbLine2[0]->Click());
        Retype(f.ComboBox1, "255");
        ExpectRefused(drv, f, f.BitBtn3, 2, "Адреса поза припустимого діапазону");
        f.ComboBox1.SetText("123456789012");
        ExpectRefused(drv, f, f.BitBtn3, 2, "Адреса поза припустимого діапазону");
        Retype(f.ComboBox1, "");
        ExpectRefused(drv, f, f.BitBtn3, 2, "Введені не всі параметри");
        Retype(f.ComboBox1, "254");
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormOvgPar f;
    f.RowNumber = 3;
    f.Row = &row;
    f.LayoutFlag = &layout;
    f.ThreadByte = 3;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(row.Address, 254);
    EXPECT_EQ(row.Type, 1);
    EXPECT_EQ(row.Mask, 0x11);  // bits 1, 2, 5 and 6 cleared
    EXPECT_EQ(f.changed, 0);
}

TEST_F(LinkEditors, FlowComputerWithoutLineTwo) {
    OvgRow row = Row(5, 3, 0x13, 1);  // pipeline 1 from line 2, pipeline 2 from line 1
    uint8_t layout = 0;
    drv.onModal<TFormOvgPar>([&](TFormOvgPar& f) {
        for (int p = 0; p < 3; ++p) EXPECT_FALSE(f.rbLine2[p]->Enabled() && f.cb[p]->Checked()) << p;
        EXPECT_FALSE(f.rbLine1[0]->Checked());
        EXPECT_FALSE(f.rbLine2[0]->Checked());
        EXPECT_TRUE(f.rbLine1[1]->Checked());
        ExpectRefused(drv, f, f.BitBtn3, 2, "Введені не всі параметри");
        ASSERT_TRUE(f.rbLine1[0]->Click());
        // A pipeline ticked afresh offers line 1 only.
        ASSERT_TRUE(f.cb[2]->Click());
        EXPECT_TRUE(f.rbLine1[2]->Enabled());
        EXPECT_FALSE(f.rbLine2[2]->Enabled());
        // The 12 + 4 layout.
        ASSERT_TRUE(f.CheckBox1.Click());
        EXPECT_TRUE(f.pn_p12.Visible());
        EXPECT_FALSE(f.pn_p16.Visible());
        ASSERT_TRUE(f.Edit4.TypeText("abc"));
        ASSERT_TRUE(f.Edit3.TypeText("12x345"));
        EXPECT_EQ(f.Edit3.Text(), "1234");
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormOvgPar f;
    f.Row = &row;
    f.LayoutFlag = &layout;
    f.ThreadByte = 1;
    f.ShowModal();
    EXPECT_EQ(row.Mask, 0x07);
    EXPECT_EQ(layout, 1);
    EXPECT_EQ(f.changed, 1);
    EXPECT_EQ(std::string(row.Password, 16), "abc         1234");
}

// ---------------------------------------------------------------- parameters written

TEST_F(LinkEditors, ParametersWrittenIntoFlowComputers) {
    uint8_t block[20];
    std::memset(block, 1, sizeof block);
    drv.onModal<TFormPrzDistr>([&](TFormPrzDistr& f) {
        EXPECT_EQ(f.Caption(), " Необхідність запису значень параметрів газу до ВРГ");
        for (int c = 0; c < 20; ++c) {
            EXPECT_EQ(f.pn[c]->Name(), "pn" + std::to_string(c + 1));
            EXPECT_EQ(f.pn[c]->Caption(), texts::GasParamNames.At(c));
        }
        EXPECT_EQ(f.cb[15]->Text(), " Не записувати ");
        EXPECT_FALSE(f.cb[15]->Enabled());
        EXPECT_EQ(f.cb[15]->Color(), 0xE4E4E4u);
        EXPECT_FALSE(f.cb[16]->Enabled());
        EXPECT_EQ(f.cb[14]->Text(), " Записувати");
        ASSERT_TRUE(f.cb[0]->Select(0));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormPrzDistr f;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    std::vector<uint8_t> want(20, 1);
    want[0] = want[15] = want[16] = 0;
    EXPECT_EQ(V(block), want);

    // With oxygen its row is edited; a stored value above 1 must be chosen again.
    block[15] = 1;
    block[3] = 7;
    drv.onModal<TFormPrzDistr>([&](TFormPrzDistr& f) {
        EXPECT_TRUE(f.cb[15]->Enabled());
        EXPECT_EQ(f.cb[15]->Text(), " Записувати");
        EXPECT_EQ(f.cb[3]->ItemIndex(), -1);
        drv.expectMessage(0, "Уведені не всі параметри");
        ASSERT_TRUE(f.BitBtn3.Click());
        EXPECT_EQ(drv.messages().back().caption, "Помилка");
        EXPECT_EQ(block[3], 7);
        ASSERT_TRUE(f.cb[3]->Select(1));
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormPrzDistr g;
    g.Block = block;
    g.Oxygen = 1;
    g.ShowModal();
    EXPECT_EQ(block[3], 1);
    EXPECT_EQ(block[15], 1);
    EXPECT_EQ(block[16], 0);
}

TEST_F(LinkEditors, AveragingPeriod) {
    uint8_t block[2] = {5, 3};
    drv.onModal<TFormDistr>([&](TFormDistr& f) {
        EXPECT_EQ(f.ComboBox1.Items(), (std::vector<std::string>{" 1", " 2", " 3", " 4", " 6", " 12", " 24"}));
        EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
        ExpectRefused(drv, f, f.BitBtn1, 2, "Не введений період");
        EXPECT_EQ(V(block), (std::vector<uint8_t>{5, 3}));
        ASSERT_TRUE(f.ComboBox1.Select(" 6"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormDistr f;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(V(block), (std::vector<uint8_t>{6, 0}));
    block[0] = 24;
    drv.onModal<TFormDistr>([&](TFormDistr& f) {
        EXPECT_EQ(f.ComboBox1.Text(), " 24");
        EXPECT_TRUE(f.BitBtn3.Visible());
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormDistr g;
    g.Block = block;
    g.ShowModal();
    EXPECT_EQ(g.accepted, 1);
}
