// The link, flow-computer, limits and constants items of the main menu
// against the emulator: the exact requests each makes (frame log), what the
// controller holds afterwards, and the follow-ups (the link at the
// controller's new address and rate, the menus with the line names).
#include "AppFixture.h"

#include <cmath>
#include <cstring>

#include "app/EditorHandlers.h"
#include "common/Rd_wr_ini.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/Const_Par.h"
#include "config/Distr.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/OvgPar.h"
#include "config/PrzDistr.h"
#include "platform/SerialSpeed.h"

namespace apptest {
namespace {

class EditorItems : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        DirectSettings();
        StartPty();
    }
    // Connects, attaches the items and forgets the connect's requests.
    void Connect() {
        StartForm();
        RunConnect();
        ASSERT_EQ(IsConnected, 1);
        ASSERT_EQ(AttachEditorHandlers(*form), 14);
        emu.ClearLog();
    }
    bool ClickItem(const char* name) {
        ui::MenuItem* i = form->MenuItemByName(name);
        return i && i->Click();
    }
    // The rows of the write requests (command 2) of table t, in order.
    std::vector<std::vector<uint8_t>> WrittenRows(int t) {
        std::vector<std::vector<uint8_t>> out;
        for (const emu::ReceivedFrame& f : emu.Log())
            if (f.command == 2 && f.data.size() >= 20 && f.data[17] == t) out.emplace_back(f.data.begin() + 20, f.data.end());
        return out;
    }
    std::vector<int> Addresses() {
        std::vector<int> out;
        for (const emu::ReceivedFrame& f : emu.Log()) out.push_back(f.address);
        return out;
    }
    static void Retype(ui::ComboBox& c, const std::string& text) {
        c.SetText({});
        ASSERT_TRUE(c.TypeText(text));
    }
};

std::vector<uint8_t> FloatBytes(float v) {
    std::vector<uint8_t> b(4);
    std::memcpy(b.data(), &v, 4);
    return b;
}

// ---------------------------------------------------------------- upper-level link

TEST_F(EditorItems, UpperLevelAddressChangeOverTheDirectLink) {
    Connect();
    // The address of each write and the port's line speed while its reply
    // is awaited (the last look of each write).
    std::vector<std::pair<int, uint32_t>> writes;
    drv->onProcessMessages([&] {
        if (!HgcBox || !HgcBox->Busy() || HgcBox->Tx[3] != 2) return;
        uint32_t speed = 0;
        ASSERT_EQ(platform::detail::GetLineSpeed(HgcBox->hCom, &speed), 0);
        if (writes.empty() || writes.back().first != HgcBox->Tx[1]) writes.emplace_back(HgcBox->Tx[1], speed);
        writes.back().second = speed;
    });
    drv->onModal<TFormConVU>([&](TFormConVU& f) {
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_TRUE(f.ComboBox2.Enabled());
        Retype(f.ComboBox1, "7");
        ASSERT_TRUE(f.ComboBox2.Select("57600"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NConVU"));
    // The same rows twice: first to address 1, then at the new address.
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 3, 0, 4}, {2, 3, 0, 2}, {2, 3, 0, 2}}));
    EXPECT_EQ(Addresses(), (std::vector<int>{1, 1, 7}));
    EXPECT_EQ(writes, (std::vector<std::pair<int, uint32_t>>{{1, 115200}, {7, 57600}}));
    EXPECT_EQ(WrittenRows(3), (std::vector<std::vector<uint8_t>>{{7, 19}, {7, 19}}));
    EXPECT_EQ(emu.Address(), 7);
    EXPECT_EQ(emu.Table(3)[1], 19);
    EXPECT_EQ(HgcBox->Address, 7);
    EXPECT_EQ(HgcBox->Baud, 57600u);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 7);
    EXPECT_EQ(uint32_t{ProgramSettings.Dir.Rate}, 57600u);  // a packed field: compared by value
    EXPECT_EQ(form->StatusBar1.PanelText(kPanelLink), " COM1,   57600 біт/с");
    // The next item talks to the controller where it now is.
    emu.ClearLog();
    drv->onModal<TFormConWMT>([](TFormConWMT& f) { ASSERT_TRUE(f.BitBtn2.Click()); });
    ASSERT_TRUE(ClickItem("NConnWMT"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 15, 0, 8}}));
    EXPECT_EQ(Addresses(), (std::vector<int>{7}));
    EXPECT_EQ(emu.Log().at(0).answered, true);
    EXPECT_EQ(HgcBox->Error, 0u);
}

TEST_F(EditorItems, UpperLevelUnchangedSendsNothing) {
    Connect();
    drv->onModal<TFormConVU>([](TFormConVU& f) { ASSERT_TRUE(f.BitBtn1.Click()); });
    ASSERT_TRUE(ClickItem("NConVU"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 3, 0, 4}}));
    drv->onModal<TFormConVU>([](TFormConVU& f) { ASSERT_TRUE(f.BitBtn2.Click()); });
    ASSERT_TRUE(ClickItem("NConVU"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 3, 0, 4}, {1, 3, 0, 4}}));
    EXPECT_EQ(HgcBox->Address, 1);
}

TEST_F(EditorItems, UpperLevelWriteRefusedLeavesTheLink) {
    Connect();
    drv->onModal<TFormConVU>([&](TFormConVU& f) {
        Retype(f.ComboBox1, "9");
        emu.QueueFault({emu::FaultKind::ErrorReply, 26});
        drv->answerNo();  // the table layer's retry question
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NConVU"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 3, 0, 4}, {2, 3, 0, 1}}));
    EXPECT_EQ(emu.Address(), 1);
    EXPECT_EQ(HgcBox->Address, 1);
    EXPECT_EQ(ProgramSettings.Dir.Adr, 1);
}

class EditorItemsTcp : public EditorItems {
protected:
    void SetUp() override {
        AppTest::SetUp();
        DirectSettings(1, 2);
        const int port = emu.StartTcp();
        WriteFile("INI/ethr_abonents.ini", "[ETHERNET_CONN_PAR]\r\nusers_num=1\r\nuser_index=0\r\nsort_prz=0\r\n"
                                           "[ETHERNET_ABONENT_1]\r\nuser_name=ГРС Північна\r\ncontr_adr=1\r\n"
                                           "ip_adr=2130706433\r\nport=" + std::to_string(port) + "\r\n");
    }
};

TEST_F(EditorItemsTcp, UpperLevelAddressChangeOverEthernetKeepsTheRate) {
    Connect();
    const uint32_t baud = HgcBox->Baud, rate = ProgramSettings.Ethr.Link.Rate;
    drv->onModal<TFormConVU>([&](TFormConVU& f) {
        EXPECT_FALSE(f.ComboBox2.Enabled());
        Retype(f.ComboBox1, "12");
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NConVU"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 3, 0, 4}, {2, 3, 0, 1}, {2, 3, 0, 1}}));
    EXPECT_EQ(Addresses(), (std::vector<int>{1, 1, 12}));
    EXPECT_EQ(emu.Table(3)[1], 11);  // still 9600 on the controller's line
    EXPECT_EQ(HgcBox->Address, 12);
    EXPECT_EQ(ProgramSettings.Ethr.Link.Adr, 12);
    EXPECT_EQ(HgcBox->Baud, baud);
    EXPECT_EQ(uint32_t{ProgramSettings.Ethr.Link.Rate}, rate);
}

// ---------------------------------------------------------------- flow-computer link

TEST_F(EditorItems, RaisingTheFlowComputerCountAndAnsweringNoSendsNothing) {
    Connect();
    drv->onModal<TFormConVich>([](TFormConVich& f) {
        ASSERT_TRUE(f.ComboBox10.Select("3"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    drv->expectQuestion(3, "Кількість обчислювачів не може бути збільшена",
                        "без введення параметрів. Виконати введення параметрів зараз?", false);
    ASSERT_TRUE(ClickItem("NVrgConn"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 6}}));
    EXPECT_EQ(*RowPtr(9, 0), 2);  // the image holds what the controller holds
    EXPECT_EQ(drv->modalCount<TFormOvgList>(), 0);
}

TEST_F(EditorItems, LoweringOrKeepingTheCountWritesTable9Only) {
    Connect();
    drv->onModal<TFormConVich>([](TFormConVich& f) {
        ASSERT_TRUE(f.ComboBox10.Select("1"));
        ASSERT_TRUE(f.ComboBox14.Select("20"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NVrgConn"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 6}, {2, 9, 0, 4}}));
    EXPECT_EQ(emu.Table(9), (std::vector<uint8_t>{1, 11, 3, 20, 2, 1}));
}

TEST_F(EditorItems, RaisingTheFlowComputerCountEntersTheNewRows) {
    Connect();
    drv->onModal<TFormConVich>([](TFormConVich& f) {
        ASSERT_TRUE(f.ComboBox10.Select("3"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    drv->expectQuestion(3, "Кількість обчислювачів не може бути збільшена",
                        "без введення параметрів. Виконати введення параметрів зараз?", true);
    drv->onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.Count, 3);
        EXPECT_EQ(f.ThreadByte, 0x03);  // the lines in use: ticked pipelines stay valid
        EXPECT_TRUE(f.BitBtn4.Visible());
        // The row of flow computer 2 (pipeline 1 from line 2) accepted as it is.
        f.StringGrid1.SetRow(1);
        drv->onModal<TFormOvgPar>([](TFormOvgPar& p) {
            EXPECT_TRUE(p.rbLine2[0]->Checked());
            ASSERT_TRUE(p.BitBtn3.Click());
        });
        ASSERT_TRUE(f.BitBtn3.Click());
        // The new third row: address and password.
        f.StringGrid1.SetRow(2);
        drv->onModal<TFormOvgPar>([](TFormOvgPar& p) {
            Retype(p.ComboBox1, "3");
            ASSERT_TRUE(p.cn1.Select(2));
            ASSERT_TRUE(p.cp1.Select(1));
            ASSERT_TRUE(p.Edit2.TypeText("ovg3"));
            ASSERT_TRUE(p.BitBtn3.Click());
        });
        ASSERT_TRUE(f.BitBtn3.Click());
        ASSERT_TRUE(f.BitBtn4.Click());
    });
    ASSERT_TRUE(ClickItem("NVrgConn"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 6},
                                                {1, 17, 0, 3},
                                                {1, 18, 0, 3},
                                                {1, 19, 0, 3},
                                                {1, 20, 0, 3},
                                                {2, 9, 0, 1},
                                                {2, 17, 2, 1},
                                                {2, 18, 2, 1},
                                                {2, 20, 2, 1},
                                                {2, 13, 2, 1}}));
    EXPECT_EQ(emu.Table(9)[0], 3);
    EXPECT_EQ(emu.Table(17)[2], 2);
    EXPECT_EQ(emu.Table(18)[2], 3);
    EXPECT_EQ(emu.Table(19)[1], 0x11);
    EXPECT_EQ(WrittenRows(13), (std::vector<std::vector<uint8_t>>{
                                   {'o', 'v', 'g', '3', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}}));
}

TEST_F(EditorItems, FlowComputerListDeleteWritesMovedRowsAndTheirPasswords) {
    Connect();
    drv->onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.Count, 2);
        EXPECT_EQ(f.ThreadByte, 0x03);
        f.StringGrid1.SetRow(0);
        drv->answerYes();
        ASSERT_TRUE(f.BitBtn8.Click());
        ASSERT_TRUE(f.BitBtn4.Click());
    });
    ASSERT_TRUE(ClickItem("NCurrVich"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 1},
                                                {1, 17, 0, 2},
                                                {1, 18, 0, 2},
                                                {1, 19, 0, 2},
                                                {1, 20, 0, 2},
                                                {2, 9, 0, 1},
                                                {2, 17, 0, 1},
                                                {2, 18, 0, 1},
                                                {2, 19, 0, 1},
                                                {2, 13, 0, 1}}));
    EXPECT_EQ(emu.Table(9)[0], 1);
    EXPECT_EQ(emu.Table(18)[0], 2);
    EXPECT_EQ(emu.Table(19)[0], 0x11);
}

TEST_F(EditorItems, FlowComputerCountsBeyondTheRowsAreClamped) {
    PatchTable(9, 0, 20);
    Connect();
    drv->onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.Count, 16);
        ASSERT_TRUE(f.BitBtn2.Click());
    });
    ASSERT_TRUE(ClickItem("NCurrVich"));
    EXPECT_EQ(Requests(), (std::vector<Request>{
                              {1, 9, 0, 1}, {1, 17, 0, 16}, {1, 18, 0, 16}, {1, 19, 0, 16}, {1, 20, 0, 16}}));
    // The chromatograph link offers 16 flow computers and reads 16 addresses.
    emu.ClearLog();
    drv->onModal<TFormConHGC>([](TFormConHGC& f) {
        EXPECT_EQ(f.ComboBox1.ItemCount(), 16);
        ASSERT_TRUE(f.BitBtn2.Click());
    });
    ASSERT_TRUE(ClickItem("NConHGC"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 1}, {1, 18, 0, 16}, {1, 5, 1, 2}, {1, 14, 0, 14}}));
}

TEST_F(EditorItems, NoFlowComputersYet) {
    PatchTable(9, 0, 0);
    // What an earlier configuration left in the rows no count covers now.
    PatchTable(19, 0, 0x5A);
    PatchTable(20, 0, 0x03);
    Connect();
    drv->onModal<TFormOvgList>([&](TFormOvgList& f) {
        EXPECT_EQ(f.Count, 1);
        drv->onModal<TFormOvgPar>([](TFormOvgPar& p) {
            Retype(p.ComboBox1, "40");
            ASSERT_TRUE(p.cn1.Select(3));
            ASSERT_TRUE(p.cp1.Select(0));
            ASSERT_TRUE(p.BitBtn3.Click());
        });
        ASSERT_TRUE(f.BitBtn3.Click());
        ASSERT_TRUE(f.BitBtn4.Click());
    });
    ASSERT_TRUE(ClickItem("NCurrVich"));
    // No request for zero rows; the added row, never read, is written whole,
    // so the controller holds what the list showed and not the old bytes.
    EXPECT_EQ(Requests(), (std::vector<Request>{
                              {1, 9, 0, 1}, {2, 9, 0, 1}, {2, 17, 0, 1}, {2, 18, 0, 1}, {2, 19, 0, 1}, {2, 20, 0, 1}}));
    EXPECT_EQ(emu.Table(18)[0], 40);
    EXPECT_EQ(emu.Table(17)[0], 3);
    for (int t = 17; t <= 20; ++t) EXPECT_EQ(emu.Table(t)[0], *RowPtr(t, 0)) << "table " << t;
    EXPECT_NE(emu.Table(19)[0], 0x5A);
    emu.ClearLog();
    PatchTable(9, 0, 0);
    drv->onModal<TFormConHGC>([](TFormConHGC& f) {
        EXPECT_FALSE(f.ComboBox1.Enabled());
        ASSERT_TRUE(f.BitBtn2.Click());
    });
    ASSERT_TRUE(ClickItem("NConHGC"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 1}, {1, 5, 1, 2}, {1, 14, 0, 14}}));
}

// ---------------------------------------------------------------- chromatograph and moisture meter

TEST_F(EditorItems, ChromatographLinkAndTheLineMenus) {
    emu.SetName(2, "Нитка Б");
    Connect();
    EXPECT_TRUE(Shown("NChrom_Mom_2"));
    drv->onModal<TFormConHGC>([](TFormConHGC& f) {
        EXPECT_EQ(f.CheckBox2.Caption(), " Задіяна нитка 2 (\"Нитка Б             \")");
        EXPECT_EQ(f.ComboBox1.Items(), (std::vector<std::string>{"0 (адр. 1)", "1 (адр. 2)"}));
        EXPECT_EQ(f.ComboBox4.Text(), "1 (адр. 2)");
        ASSERT_TRUE(f.CheckBox2.Click());
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NConHGC"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 9, 0, 1}, {1, 18, 0, 2}, {1, 5, 1, 2}, {1, 14, 0, 14}, {2, 14, 7, 7}}));
    EXPECT_EQ(emu.Table(14), (std::vector<uint8_t>{1, 11, 1, 0, 10, 3, 3, 0x01, 0, 0, 0, 1, 0, 0}));
    EXPECT_FALSE(Shown("NChrom_Mom_2"));
    EXPECT_TRUE(Shown("NChrom_Mom_1"));

    // Without flow computers configured neither table 9 nor 18 is read.
    PatchTable(6, 9, 0);
    ConfigImage[cfgofs::kSystem + 9] = 0;
    emu.ClearLog();
    drv->onModal<TFormConHGC>([](TFormConHGC& f) { ASSERT_TRUE(f.BitBtn2.Click()); });
    ASSERT_TRUE(ClickItem("NConHGC"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 5, 1, 2}, {1, 14, 0, 14}}));
}

TEST_F(EditorItems, MoistureMeterLink) {
    Connect();
    drv->onModal<TFormConWMT>([](TFormConWMT& f) {
        Retype(f.ComboBox8, "30");
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NConnWMT"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 15, 0, 8}, {2, 15, 4, 1}}));
    EXPECT_EQ(emu.Table(15)[4], 30);
}

// ---------------------------------------------------------------- limits, parameters written, period

TEST_F(EditorItems, LimitsOfEveryKind) {
    PatchTable(14, 7, 0x07);  // oxygen in the component set
    Connect();
    const char* const items[5] = {"NInsens", "NLowAttent", "NUpAttent", "NLowLimit", "NUpperLimit"};
    for (int kind = 0; kind < 5; ++kind) {
        emu.ClearLog();
        drv->onModal<TFormLimits>([&](TFormLimits& f) {
            EXPECT_EQ(f.Kind, kind);
            EXPECT_EQ(f.Caption(), TFormLimits::KindCaption(kind));
            EXPECT_TRUE(f.ev[15]->Enabled());
            f.ev[15]->SetText(kind == 0 ? "0,05" : "0,5");
            ASSERT_TRUE(f.BitBtn1.Click());
        });
        ASSERT_TRUE(ClickItem(items[kind]));
        const int t = 22 + kind;
        EXPECT_EQ(Requests(), (std::vector<Request>{{1, t, 0, 20}, {2, t, 15, 1}})) << kind;
        EXPECT_EQ(WrittenRows(t), (std::vector<std::vector<uint8_t>>{FloatBytes(kind == 0 ? 0.05f : 0.5f)}));
    }
}

TEST_F(EditorItems, ParametersWrittenAndTheirPeriod) {
    Connect();
    drv->onModal<TFormPrzDistr>([](TFormPrzDistr& f) {
        EXPECT_FALSE(f.cb[15]->Enabled());
        ASSERT_TRUE(f.cb[2]->Select(0));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("NDistr"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 21, 0, 20}, {2, 21, 2, 1}}));
    EXPECT_EQ(emu.Table(21)[2], 0);
    emu.ClearLog();
    drv->onModal<TFormDistr>([](TFormDistr& f) {
        EXPECT_EQ(f.ComboBox1.Text(), " 1");
        ASSERT_TRUE(f.ComboBox1.Select(" 12"));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    ASSERT_TRUE(ClickItem("Ndistrpar"));
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 28, 0, 2}, {2, 28, 0, 1}}));
    EXPECT_EQ(emu.Table(28), (std::vector<uint8_t>{12, 0}));
}

// ---------------------------------------------------------------- constants

TEST_F(EditorItems, ConstantsOfLineTwoGoAsTable46Then45) {
    Connect();
    drv->onModal<TFormConst_Par>([](TFormConst_Par& f) {
        EXPECT_EQ(f.Line, 1);
        EXPECT_EQ(f.Caption(), " Константи параметрів газу нитки 2");
        ASSERT_TRUE(f.cb[8]->Click());
        f.ev[8]->SetText("92,5");
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    ASSERT_TRUE(ClickItem("N2_Const"));
    // Row 8 and, stored as 0 by the editor, the constants of oxygen (not in
    // the component set) and gas temperature: one span is the cheaper request.
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 45, 0, 20}, {1, 46, 0, 20}, {2, 46, 8, 9}, {2, 45, 8, 1}}));
    std::vector<uint8_t> values = emu.Table(46);
    EXPECT_EQ(std::vector<uint8_t>(values.begin() + 32, values.begin() + 36), FloatBytes(92.5f));
    EXPECT_EQ(std::vector<uint8_t>(values.begin() + 60, values.begin() + 68), std::vector<uint8_t>(8, 0));
    EXPECT_EQ(emu.Table(45)[8], 1);

    // A failed write of the values leaves the flags unwritten.
    emu.ClearLog();
    drv->onModal<TFormConst_Par>([&](TFormConst_Par& f) {
        EXPECT_EQ(f.Line, 0);
        ASSERT_TRUE(f.cb[1]->Click());
        f.ev[1]->SetText("1,25");
        emu.QueueFault({emu::FaultKind::ErrorReply, 12});
        drv->answerNo();  // no second try
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    ASSERT_TRUE(ClickItem("N1_Const"));
    std::vector<Request> r = Requests();
    ASSERT_GE(r.size(), 3u);
    EXPECT_EQ(std::vector<Request>(r.begin(), r.begin() + 3),
              (std::vector<Request>{{1, 43, 0, 20}, {1, 44, 0, 20}, {2, 44, 1, 1}}));
    for (const Request& q : r) EXPECT_NE(std::get<1>(q), 43 * (std::get<0>(q) == 2)) << "flag table written";
    EXPECT_EQ(emu.Table(43)[1], 0);
}

}  // namespace
}  // namespace apptest
