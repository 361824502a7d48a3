// The subscriber window and the subscriber list window through the headless
// driver.
#include <gtest/gtest.h>

#include <functional>

#include "DialogFixture.h"
#include "common/Abonent.h"
#include "common/Abonents_list.h"

namespace {

using dlgtest::Ip;
using dlgtest::SameBytes;

class SubscriberDialog : public dlgtest::Fixture {};

TEST_F(SubscriberDialog, NewPhoneSubscriberIsStoredOnAccept) {
    ProgramSettings.Conn_Prz = 1;
    PhoneSubscriber rec{};
    rec.adr_modbus = 7;
    drv.onModal<TFormAbonent>([](TFormAbonent& f) {
        EXPECT_EQ(f.Caption(), " Параметри абонента (зв'зок телефоном)");
        EXPECT_EQ(f.Width(), 568);
        EXPECT_EQ(f.Height(), 220);
        EXPECT_TRUE(f.pn_fon.Visible());
        EXPECT_FALSE(f.pn_ethr.Visible());
        EXPECT_EQ(f.ActiveControl(), &f.Edit1);
        EXPECT_TRUE(f.Edit1.Text().empty());
        EXPECT_EQ(f.ComboBox1.ItemCount(), 255);
        EXPECT_EQ(f.ComboBox1.Item(254), "255");
        f.Edit1.TypeText("ГРС Березне");
        f.ComboBox1.Select("17");
        f.Edit2.TypeText("0-362-55-12");
        f.BitBtn4.Click();
    });
    TFormAbonent f;
    f.fon_rec = &rec;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(rec.Name(), "ГРС Березне");
    EXPECT_EQ(rec.contr_adr, 17);
    EXPECT_EQ(rec.Phone(), "0-362-55-12");
    EXPECT_EQ(rec.adr_modbus, 7);  // carried
}

TEST_F(SubscriberDialog, EthernetSubscriberOpensWithItsOctetsLeftToRight) {
    ProgramSettings.Conn_Prz = 2;
    EthernetSubscriber rec{};
    rec.SetName("Вузол 3");
    rec.contr_adr = 5;
    rec.ip_adr = Ip(192, 168, 0, 10);
    rec.port = 502;
    drv.onModal<TFormAbonent>([](TFormAbonent& f) {
        EXPECT_EQ(f.Caption(), " Параметри абонента (Ethernet-інтерфейс)");
        EXPECT_EQ(f.Height(), 224);
        EXPECT_TRUE(f.pn_ethr.Visible());
        EXPECT_FALSE(f.pn_fon.Visible());
        EXPECT_EQ(f.ip_edit[0], &f.ip1);
        EXPECT_EQ(f.ip_edit[3], &f.ip4);
        EXPECT_EQ(f.Edit1.Text(), "Вузол 3");
        EXPECT_EQ(f.ComboBox1.Text(), "5");
        EXPECT_EQ(f.ip4.Text(), "192");
        EXPECT_EQ(f.ip3.Text(), "168");
        EXPECT_EQ(f.ip2.Text(), "0");
        EXPECT_EQ(f.ip1.Text(), "10");
        EXPECT_EQ(f.Edit11.Text(), "502");
        // The digit filter drops anything else.
        f.ip1.SetText({});
        f.ip1.TypeText("2x0.");
        EXPECT_EQ(f.ip1.Text(), "20");
        f.BitBtn4.Click();
    });
    TFormAbonent f;
    f.edit_mode = 1;
    f.ethr_rec = &rec;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    const uint32_t ip = rec.ip_adr, port = rec.port;  // packed fields: copies
    EXPECT_EQ(ip, Ip(192, 168, 0, 20));
    EXPECT_EQ(port, 502u);
    EXPECT_EQ(rec.contr_adr, 5);
}

struct Refusal {
    const char* what;
    std::function<void(TFormAbonent&)> spoil;
    const char* line1;
    const char* line2;
};

// Each wrong input gives its message; the window stays open and the record
// keeps every former value.
void ExpectRefusals(ui::test::Driver& drv, uint8_t connPrz, const std::vector<Refusal>& cases) {
    ProgramSettings.Conn_Prz = connPrz;
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        PhoneSubscriber fon{};
        fon.SetName("Старий");
        fon.contr_adr = 9;
        fon.SetPhone("123");
        EthernetSubscriber ethr{};
        ethr.SetName("Старий");
        ethr.contr_adr = 9;
        ethr.ip_adr = Ip(10, 0, 0, 1);
        ethr.port = 4001;
        const PhoneSubscriber fonBefore = fon;
        const EthernetSubscriber ethrBefore = ethr;
        bool stayedOpen = false;
        drv.expectMessage(2, c.line1, c.line2);
        drv.onModal<TFormAbonent>([&](TFormAbonent& f) {
            f.Edit1.SetText("Новий");
            f.ComboBox1.SetText("12");
            f.Edit2.SetText("555");
            f.ip4.SetText("192");
            f.ip3.SetText("168");
            f.ip2.SetText("1");
            f.ip1.SetText("2");
            f.Edit11.SetText("502");
            c.spoil(f);
            f.BitBtn4.Click();
            stayedOpen = f.ModalResult() == ui::mrNone;
        });
        TFormAbonent f;
        f.edit_mode = 1;
        f.fon_rec = &fon;
        f.ethr_rec = &ethr;
        f.ShowModal();
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(f.accepted, 0);
        EXPECT_TRUE(SameBytes(fon, fonBefore));
        EXPECT_TRUE(SameBytes(ethr, ethrBefore));
        drv.verify();
    }
}

TEST_F(SubscriberDialog, WrongInputIsRefusedWithItsMessage) {
    const char* notAll = "Уведені не всі параметри";
    const char* adr = "Адреса поза припустимого діапазону";
    const char* octet = "Поле IP-адреси поза припустимого діапазону";
    const char* port = "Порт поза припустимого діапазону";
    ExpectRefusals(drv, 1,
                   {
                       {"no name", [](TFormAbonent& f) { f.Edit1.SetText({}); }, notAll, ""},
                       {"a name of blanks only", [](TFormAbonent& f) { f.Edit1.SetText("   "); }, notAll, ""},
                       {"no address", [](TFormAbonent& f) { f.ComboBox1.SetText({}); }, notAll, ""},
                       {"address 0", [](TFormAbonent& f) { f.ComboBox1.SetText("0"); }, adr, "(1...255)"},
                       {"address 256", [](TFormAbonent& f) { f.ComboBox1.SetText("256"); }, adr, "(1...255)"},
                       {"address beyond int", [](TFormAbonent& f) { f.ComboBox1.SetText("99999999999"); }, adr,
                        "(1...255)"},
                       {"address with a stray character", [](TFormAbonent& f) { f.ComboBox1.SetText("1%"); }, adr,
                        "(1...255)"},
                       {"no telephone number", [](TFormAbonent& f) { f.Edit2.SetText({}); }, notAll, ""},
                       {"a telephone number of blanks", [](TFormAbonent& f) { f.Edit2.SetText("  "); }, notAll, ""},
                   });
    ExpectRefusals(drv, 2,
                   {
                       {"no port", [](TFormAbonent& f) { f.Edit11.SetText({}); }, notAll, ""},
                       {"empty octet", [](TFormAbonent& f) { f.ip2.SetText({}); }, notAll, ""},
                       {"octet 256", [](TFormAbonent& f) { f.ip4.SetText("256"); }, octet, "(0...255)"},
                       {"octet beyond int", [](TFormAbonent& f) { f.ip1.SetText("4444444444"); }, octet, "(0...255)"},
                       {"port 0", [](TFormAbonent& f) { f.Edit11.SetText("0"); }, port, "(1...65535)"},
                       {"port 65536", [](TFormAbonent& f) { f.Edit11.SetText("65536"); }, port, "(1...65535)"},
                       {"port beyond int", [](TFormAbonent& f) { f.Edit11.SetText("99999999999"); }, port,
                        "(1...65535)"},
                   });
}

TEST_F(SubscriberDialog, CancelAndEscLeaveTheRecord) {
    ProgramSettings.Conn_Prz = 2;
    EthernetSubscriber rec{};
    rec.SetName("А");
    rec.contr_adr = 3;
    const EthernetSubscriber before = rec;
    for (bool esc : {false, true}) {
        drv.onModal<TFormAbonent>([&](TFormAbonent& f) {
            f.Edit1.SetText("Інший");
            if (esc) drv.pressKey(ui::key::Escape);
            else f.BitBtn5.Click();
        });
        TFormAbonent f;
        f.edit_mode = 1;
        f.ethr_rec = &rec;
        EXPECT_EQ(f.ShowModal(), ui::mrCancel);
        EXPECT_EQ(f.accepted, 0);
        EXPECT_TRUE(SameBytes(rec, before));
    }
}

TEST_F(SubscriberDialog, EnterAcceptsAndTheAddressBoxTakesDigitsOnly) {
    ProgramSettings.Conn_Prz = 1;
    PhoneSubscriber rec{};
    drv.onModal<TFormAbonent>([this](TFormAbonent& f) {
        f.Edit1.TypeText("Західна");
        f.ComboBox1.SetFocus();
        f.ComboBox1.TypeText("a1b7");  // letters do not get in
        EXPECT_EQ(f.ComboBox1.Text(), "17");
        f.Edit2.SetFocus();
        f.Edit2.TypeText("777");
        drv.pressKey(ui::key::Return);
    });
    TFormAbonent f;
    f.fon_rec = &rec;
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(rec.contr_adr, 17);
    EXPECT_EQ(rec.Phone(), "777");
}

// ---------------------------------------------------------------- list window

class SubscriberList : public dlgtest::Fixture {};

TEST_F(SubscriberList, AddingToAnEmptyListSelectsTheNewEntry) {
    ProgramSettings.Conn_Prz = 1;
    drv.onModal<TFormAbonent>([](TFormAbonent& f) {
        f.Edit1.TypeText("Перший");
        f.ComboBox1.TypeText("4");
        f.Edit2.TypeText("777");
        f.BitBtn4.Click();
    });
    drv.onModal<TFormAbonents_List>([](TFormAbonents_List& f) {
        EXPECT_EQ(f.Caption(), " Список абонентів (зв'язок по телефону)");
        EXPECT_EQ(f.Width(), 682);
        EXPECT_EQ(f.Height(), 560);
        EXPECT_EQ(f.StringGrid1.RowCount(), 1);
        EXPECT_EQ(f.StringGrid1.Cell(1, 0), "");
        EXPECT_FALSE(f.BitBtn1.Enabled());
        EXPECT_FALSE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.BitBtn2.Enabled());
        f.BitBtn2.Click();
        EXPECT_EQ(f.fon_list.users_num, 1);
        EXPECT_EQ(f.fon_list.user_index, 0);
        EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"  1", " Перший", " 4", " 777"}));
        EXPECT_TRUE(f.BitBtn1.Enabled());
        EXPECT_TRUE(f.BitBtn3.Enabled());
        // Nothing reaches the settings before "Прийняти".
        EXPECT_EQ(ProgramSettings.Fon.Users.users_num, 0);
        f.BitBtn4.Click();
    });
    TFormAbonents_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(ProgramSettings.Fon.Users.users_num, 1);
    EXPECT_EQ(ProgramSettings.Fon.Users.users[0].Name(), "Перший");
    // The window writes no file.
    EXPECT_FALSE(std::filesystem::exists(PhoneIniPath()));
}

TEST_F(SubscriberList, EthernetRowsShowAddressAndPort) {
    ProgramSettings.Conn_Prz = 2;
    dlgtest::AddEthernet("Вузол", 12, Ip(192, 168, 0, 10), 502);
    drv.onModal<TFormAbonents_List>([](TFormAbonents_List& f) {
        EXPECT_EQ(f.Caption(), "Список абонентів (Ethernet-інтерфейс)");
        EXPECT_EQ(f.Panel8.Caption(), "IP-адреса:порт");
        EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"  1", " Вузол", " 12", "192.168.0.10:502"}));
    });
    TFormAbonents_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
}

TEST_F(SubscriberList, ChangeAndDeleteFollowTheSelection) {
    ProgramSettings.Conn_Prz = 1;
    dlgtest::AddPhone("Альфа", 1, "111");
    dlgtest::AddPhone("Бета", 2, "222");
    dlgtest::AddPhone("Гамма", 3, "333");
    const PhoneSubscriberList before = ProgramSettings.Fon.Users;
    drv.onModal<TFormAbonent>([](TFormAbonent& f) {
        EXPECT_EQ(f.Edit1.Text(), "Бета");
        f.Edit2.SetText("2222");
        f.BitBtn4.Click();
    });
    drv.onModal<TFormAbonents_List>([&](TFormAbonents_List& f) {
        auto& l = f.fon_list;
        // Double click on the second row changes it.
        f.StringGrid1.DblClickCell(1, 1);
        EXPECT_EQ(l.user_index, 1);
        EXPECT_EQ(f.StringGrid1.Cell(3, 1), " 2222");
        // Deleting the first of three keeps position 0 (the former second).
        f.StringGrid1.SelectCell(0, 0);
        drv.expectQuestion(3, "Ви дійсно хочете", "видалити цей абонент?", true);
        f.BitBtn3.Click();
        EXPECT_EQ(l.users_num, 2);
        EXPECT_EQ(l.user_index, 0);
        EXPECT_EQ(l.users[0].Name(), "Бета");
        EXPECT_EQ(l.users[2].user_name[0], 0);  // freed slot zero-filled
        EXPECT_EQ(f.StringGrid1.RowCount(), 2);
        EXPECT_EQ(f.StringGrid1.Row(), 0);
        // Deleting the last selects the new last one.
        f.StringGrid1.SelectCell(0, 1);
        drv.expectQuestion(3, "Ви дійсно хочете", "видалити цей абонент?", true);
        f.BitBtn3.Click();
        EXPECT_EQ(l.users_num, 1);
        EXPECT_EQ(l.user_index, 0);
        // "Ні" deletes nothing.
        drv.expectQuestion(3, "Ви дійсно хочете", "видалити цей абонент?", false);
        f.BitBtn3.Click();
        EXPECT_EQ(l.users_num, 1);
        f.BitBtn5.Click();
    });
    TFormAbonents_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_TRUE(SameBytes(ProgramSettings.Fon.Users, before));  // "Відмінити" dropped it all
}

TEST_F(SubscriberList, SortButtonsResortAndKeepTheSelection) {
    ProgramSettings.Conn_Prz = 2;
    dlgtest::AddEthernet("а", 1, Ip(200, 1, 2, 3), 1);
    dlgtest::AddEthernet("Б", 2, Ip(9, 255, 255, 255), 2);
    dlgtest::AddEthernet("в", 3, Ip(10, 0, 0, 0), 3);
    ProgramSettings.Ethr.Users.user_index = 1;  // "Б"
    drv.onModal<TFormAbonents_List>([](TFormAbonents_List& f) {
        auto& l = f.ethr_list;
        EXPECT_FALSE(f.SpeedButton1.Enabled());
        EXPECT_TRUE(f.SpeedButton2.Enabled());
        EXPECT_EQ(f.StringGrid1.Cell(1, 0), " а");
        EXPECT_EQ(f.StringGrid1.Cell(1, 1), " Б");
        EXPECT_EQ(f.StringGrid1.Row(), 1);
        f.SpeedButton2.Click();
        EXPECT_EQ(l.sort_prz, 1);
        EXPECT_TRUE(f.SpeedButton1.Enabled());
        EXPECT_FALSE(f.SpeedButton2.Enabled());
        EXPECT_EQ(f.StringGrid1.Cell(3, 0), "9.255.255.255:2");
        EXPECT_EQ(f.StringGrid1.Cell(3, 1), "10.0.0.0:3");
        EXPECT_EQ(f.StringGrid1.Cell(3, 2), "200.1.2.3:1");
        EXPECT_EQ(l.user_index, 0);  // still "Б"
        EXPECT_EQ(f.StringGrid1.Row(), 0);
        f.StringGrid1.SelectCell(1, 2);  // "а"
        f.SpeedButton1.Click();
        EXPECT_EQ(l.user_index, 0);
        EXPECT_EQ(f.StringGrid1.Row(), 0);
        EXPECT_EQ(f.StringGrid1.Cell(1, 0), " а");
        f.BitBtn4.Click();
    });
    TFormAbonents_List f;
    f.ShowModal();
    EXPECT_EQ(ProgramSettings.Ethr.Users.sort_prz, 0);
    EXPECT_EQ(ProgramSettings.Ethr.Users.user_index, 0);
}

TEST_F(SubscriberList, TheTwoHundredthSubscriberDisablesAdd) {
    ProgramSettings.Conn_Prz = 1;
    for (int i = 0; i < 199; ++i) dlgtest::AddPhone("A" + std::to_string(1000 + i), 1, "1");
    drv.onModal<TFormAbonent>([](TFormAbonent& f) {
        f.Edit1.TypeText("Я");
        f.ComboBox1.TypeText("1");
        f.Edit2.TypeText("2");
        f.BitBtn4.Click();
    });
    drv.onModal<TFormAbonents_List>([](TFormAbonents_List& f) {
        EXPECT_TRUE(f.BitBtn2.Enabled());
        f.BitBtn2.Click();
        EXPECT_EQ(f.fon_list.users_num, 200);
        EXPECT_FALSE(f.BitBtn2.Enabled());
        EXPECT_EQ(f.fon_list.users[f.fon_list.user_index].Name(), "Я");
        EXPECT_EQ(f.StringGrid1.RowCount(), 200);
    });
    TFormAbonents_List f;
    f.ShowModal();
}

}  // namespace
