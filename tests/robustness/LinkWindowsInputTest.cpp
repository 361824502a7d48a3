// Typed input of the link and list windows: the connect dialog, the link
// parameters of each link kind, the controller's Ethernet settings, the
// subscriber and object windows and their lists. Every wrong value gets the
// window's message and leaves the settings, the lists and their files as
// they were.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <memory>

#include "WindowInput.h"
#include "common/Abonent.h"
#include "common/Abonents_list.h"
#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/Objects_list.h"
#include "common/Rd_wr_ini.h"
#include "emulator/Emulator.h"
#include "link/Conn_par.h"
#include "link/Connect.h"
#include "link/Conneth.h"
#include "link/Hgcbox.h"
#include "support/TestFolders.h"

namespace {

namespace fs = std::filesystem;
using wi::Bad;
using wi::Msg;

const Msg kNotAll{2, "Уведені не всі параметри", ""};
const Msg kAddress{2, "Адреса поза припустимого діапазону", "(1...255)"};
const Msg kOctet{2, "Поле IP-адреси поза припустимого діапазону", "(0...255)"};
const Msg kPort{2, "Порт поза припустимого діапазону", "(1...65535)"};

// Every file below a folder, names and bytes, in name order.
std::string Files(const fs::path& dir) {
    std::vector<fs::path> all;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_regular_file()) all.push_back(it->path());
    std::sort(all.begin(), all.end());
    std::string out;
    for (const fs::path& p : all) out += p.string() + "\n" + zbr_test::ReadBytes(p.string()) + "\n";
    return out;
}

class LinkWindowsInput : public ::testing::Test {
protected:
    void SetUp() override {
        dir = zbr_test::FreshWorkDir("robustness");
        fs::create_directories(dir / "INI");
        std::memset(&ProgramSettings, 0, sizeof ProgramSettings);
        ReadProgramIni(SettingsIniPath(), 1280, 1024);
        ProgramSettings.Free_Port_Wait = 3;
        ProgramSettings.Dir.COMPort = 5;
        ProgramSettings.Fon.Link.COMPort = 5;
        SettingsShadow = ProgramSettings;
        std::memset(&ObjectList, 0, sizeof ObjectList);
        HgcBox = new hgcbox(0);
        emu.StartPty((dir / "dev" / "com5").string());
    }
    void TearDown() override {
        delete HgcBox;
        HgcBox = nullptr;
        drv.verify();
    }
    std::string State() const {
        return wi::Bytes(ProgramSettings) + wi::Bytes(SettingsShadow) + wi::Bytes(ObjectList) + Files(dir / "INI");
    }
    static void AddPhone(const char* name, uint8_t adr) {
        PhoneSubscriberList& l = ProgramSettings.Fon.Users;
        PhoneSubscriber& u = l.users[l.users_num++];
        u.SetName(name);
        u.contr_adr = adr;
        u.SetPhone("0441234567");
    }
    static void AddEthernet(const char* name, uint8_t adr) {
        EthernetSubscriberList& l = ProgramSettings.Ethr.Users;
        EthernetSubscriber& u = l.users[l.users_num++];
        u.SetName(name);
        u.contr_adr = adr;
        u.ip_adr = 0xC0A8000A;
        u.port = 502;
    }

    fs::path dir;
    emu::Emulator emu;
    ui::test::Driver drv;
    ui::Form main{nullptr, "FormMain"};
    ui::StatusBar bar{&main, "StatusBar1"};
};

template <class F> std::function<int(const std::function<void(ui::Form&)>&)> Shows(
    ui::test::Driver& drv, std::function<void(F&)> setUp) {
    return [&drv, setUp](const std::function<void(ui::Form&)>& act) {
        drv.onModal<F>([&act](F& f) { act(f); });
        auto f = std::make_unique<F>(nullptr);
        setUp(*f);
        f->ShowModal();
        return int(f->accepted);
    };
}

TEST_F(LinkWindowsInput, EveryTypedFieldRefusesWhatItCannotTake) {
    const auto state = [this] { return State(); };
    std::vector<wi::Window> windows;

    // The connect dialog, direct link; the port opens per exchange, so an
    // accepted address connects without a line.
    ProgramSettings.Do_Close_Port = true;
    SettingsShadow = ProgramSettings;
    windows.push_back({"TFormConnect direct", state,
                       Shows<TFormConnect>(drv, [this](TFormConnect& f) { f.status_bar = &bar; }), "BitBtn1",
                       "BitBtn2", {wi::Int("ComboBox1", 1, 255, kNotAll, kAddress)}});

    // The link parameters of each kind.
    const std::string out = "Параметр поза припустимого діапазону";
    auto range = [&out](const char* what) { return Msg{2, what, out}; };
    const Msg notAllRu{2, "Введены не все параметры", ""};
    auto connPar = Shows<TFormConn_Par>(drv, [](TFormConn_Par&) {});
    windows.push_back({"TFormConn_Par direct", state, connPar, "BitBtn1", "BitBtn2",
                       {wi::Int("Edit3", 0, 255, kNotAll, range("Кількість преамбул в запиті")),
                        wi::Int("Edit1", 1, 120, kNotAll, range("Час очікування першого байту відповіді")),
                        wi::Int("Edit2", 55, 5000, kNotAll, range("Час очікування наступних байтів відповіді")),
                        wi::Int("Edit13", 1, 20, kNotAll, range("Час очікування визволення СОМ порту"))}});

    for (const wi::Window& w : windows) wi::Check(drv, w);
    windows.clear();

    ProgramSettings.Conn_Prz = 1;
    ProgramSettings.Fon.Link.Rate = 9600;
    SettingsShadow = ProgramSettings;
    wi::Field command = wi::Text("Edit5", 199, nullptr);
    windows.push_back({"TFormConn_Par telephone", state, connPar, "BitBtn1", "BitBtn2",
                       {wi::Int("Edit3", 0, 255, kNotAll, range("Кількість преамбул в запиті")),
                        wi::Int("Edit1", 1, 120, kNotAll, range("Час очікування першого байту відповіді")),
                        wi::Int("Edit2", 55, 5000, kNotAll, range("Час очікування наступних байтів відповіді")),
                        wi::Int("Edit6", 1, 360, kNotAll, range("Очікування з'єднання")),
                        wi::Int("Edit10", 1, 10, kNotAll, range("Кількість спроб з'єднання")), command}});
    for (const wi::Window& w : windows) wi::Check(drv, w);
    windows.clear();
    ProgramSettings.Conn_Prz = 2;
    SettingsShadow = ProgramSettings;
    windows.push_back({"TFormConn_Par Ethernet", state, connPar, "BitBtn1", "BitBtn2",
                       {wi::Int("Edit8", 0, 255, notAllRu, range("Кількість преамбул в запиті")),
                        wi::Int("Edit7", 1, 120, notAllRu, range("Час очікування першого байту відповіді")),
                        wi::Int("Edit9", 55, 5000, notAllRu, range("Час очікування наступних байтів відповіді")),
                        wi::Int("Edit4", 1, 360, notAllRu, range("Ожидание соединения")),
                        wi::Int("Edit12", 1, 10, notAllRu, range("Кількість спроб з'єднання"))}});
    for (const wi::Window& w : windows) wi::Check(drv, w);
    windows.clear();

    // The controller's Ethernet settings: text in a field counts as nothing
    // typed there.
    std::array<uint8_t, 28> eth{10, 1, 168, 192, 0, 255, 255, 255, 1, 1, 168, 192};
    for (int i = 0; i < 4; ++i) eth[12 + 4 * i] = uint8_t(i + 1);  // ports 1..4
    const std::map<Bad, Msg> noNumber = {{Bad::Blank, kNotAll}, {Bad::Text, kNotAll}, {Bad::Negative, kNotAll},
                                         {Bad::Fraction, kNotAll}};
    std::vector<wi::Field> ethFields;
    for (const char* p : {"ip", "im", "is"})
        for (int n = 1; n <= 4; ++n)
            ethFields.push_back(wi::Int(p + std::to_string(n), 0, 255, kNotAll, kOctet, noNumber));
    for (int n = 1; n <= 4; ++n)
        ethFields.push_back(wi::Int("e" + std::to_string(n), 1, 65535, kNotAll, kPort, noNumber));
    for (uint8_t mode : {0, 1})
        windows.push_back({mode ? "TFormConEth mode 1" : "TFormConEth mode 0",
                           [&eth] { return std::string(eth.begin(), eth.end()); },
                           Shows<TFormConEth>(drv,
                                              [&eth, mode](TFormConEth& f) {
                                                  f.Block = eth.data();
                                                  f.Mode = mode;
                                              }),
                           mode ? "BitBtn14" : "BitBtn1", "BitBtn2", ethFields});

    // One subscriber of each list, and one object.
    PhoneSubscriber fon{};
    fon.SetName("Старий");
    fon.contr_adr = 9;
    fon.SetPhone("123");
    EthernetSubscriber ethr{};
    ethr.SetName("Старий");
    ethr.contr_adr = 9;
    ethr.ip_adr = 0x0A000001;
    ethr.port = 4001;
    ObjectRecord obj{};
    obj.SetName("ГРС-1");
    obj.contr_adr = 3;
    auto records = [&] { return wi::Bytes(fon) + wi::Bytes(ethr) + wi::Bytes(obj); };
    auto abonent = [&](uint8_t kind) {
        return [&, kind](const std::function<void(ui::Form&)>& act) {
            ProgramSettings.Conn_Prz = kind;
            drv.onModal<TFormAbonent>([&act](TFormAbonent& f) { act(f); });
            TFormAbonent f;
            f.edit_mode = 1;
            f.fon_rec = &fon;
            f.ethr_rec = &ethr;
            f.ShowModal();
            return int(f.accepted);
        };
    };
    const wi::Field name = wi::Text("Edit1", 49, &kNotAll);
    const wi::Field address = wi::Int("ComboBox1", 1, 255, kNotAll, kAddress);
    windows.push_back({"TFormAbonent telephone", records, abonent(1), "BitBtn4", "BitBtn5",
                       {name, address, wi::Text("Edit2", 29, &kNotAll)}});
    windows.push_back({"TFormAbonent Ethernet", records, abonent(2), "BitBtn4", "BitBtn5",
                       {name, address, wi::Int("ip4", 0, 255, kNotAll, kOctet), wi::Int("ip3", 0, 255, kNotAll, kOctet),
                        wi::Int("ip2", 0, 255, kNotAll, kOctet), wi::Int("ip1", 0, 255, kNotAll, kOctet),
                        wi::Int("Edit11", 1, 65535, kNotAll, kPort)}});
    windows.push_back({"TFormObject", records,
                       Shows<TFormObject>(drv,
                                          [&obj](TFormObject& f) {
                                              f.edit_mode = 1;
                                              f.obj_rec = &obj;
                                          }),
                       "BitBtn4", "BitBtn5", {name, address}});

    // The list windows take no typed input.
    ProgramSettings.Conn_Prz = 1;
    AddPhone("Південь", 4);
    AddEthernet("Північ", 5);
    ObjectList.obj_num = 1;
    ObjectList.objs[0] = obj;
    SettingsShadow = ProgramSettings;
    windows.push_back({"TFormAbonents_List", state, Shows<TFormAbonents_List>(drv, [](TFormAbonents_List&) {}),
                       "BitBtn4", "BitBtn5", {}});
    windows.push_back({"TFormObjects_List", state, Shows<TFormObjects_List>(drv, [](TFormObjects_List&) {}),
                       "BitBtn4", "BitBtn5", {}});
    for (const wi::Window& w : windows) wi::Check(drv, w);
}

// A telephone connect refused for want of a subscriber stores nothing, not
// even the address shown.
TEST_F(LinkWindowsInput, ARefusedTelephoneConnectChangesNoSetting) {
    ProgramSettings.Conn_Prz = 1;
    ProgramSettings.Fon.Link.Adr = 9;
    AddPhone("Південь", 4);
    SettingsShadow = ProgramSettings;
    const std::string before = State();
    for (bool newEntry : {false, true}) {
        SCOPED_TRACE(newEntry ? "the new-subscriber entry" : "no subscriber");
        drv.onModal<TFormConnect>([&](TFormConnect& f) {
            EXPECT_EQ(f.ComboBox1.Text(), "4");
            if (newEntry) f.ComboBox2.SetItemIndex(f.ComboBox2.ItemCount() - 1);
            else f.ComboBox2.SetItemIndex(-1);
            drv.expectMessage(2, "Уведені не всі параметри", "");
            f.BitBtn1.Click();
            EXPECT_EQ(f.ModalResult(), ui::mrNone);
            f.BitBtn2.Click();
        });
        TFormConnect f(&main);
        f.status_bar = &bar;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
        EXPECT_TRUE(State() == before);
        EXPECT_EQ(ProgramSettings.Fon.Link.Adr, 9);
        drv.verify();
    }
}

}  // namespace
