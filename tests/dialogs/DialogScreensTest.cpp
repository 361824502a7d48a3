// The dialogs rendered offscreen through the Qt backend to PNG files in the
// build tree (dialog-screens/), checked for size and for text where each
// label and button stands.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <cstring>
#include <filesystem>

#include "common/Abonent.h"
#include "common/Abonents_list.h"
#include "common/IniPaths.h"
#include "common/ListFiles.h"
#include "common/Object.h"
#include "common/Objects_list.h"
#include "common/Question.h"
#include "common/Rd_wr_ini.h"
#include "link/Conn_par.h"
#include "link/Connect.h"
#include "link/Hgcbox.h"
#include "platform/Paths.h"
#include "support/QtScreens.h"
#include "support/TestFolders.h"
#include "ui/qt/QtUi.h"

namespace {

using zbr_test::AreaOf;
using zbr_test::InkIn;

std::string ScreenFile(const std::string& name) { return zbr_test::ScreenFile("dialog-screens", name); }

// Shows the form (its OnShow lays it out), renders it and checks that every
// listed control shows text.
QImage Render(ui::Form& f, const std::string& name, std::initializer_list<ui::Control*> inked) {
    f.Show();
    ui::Application::ProcessMessages();
    const std::string file = ScreenFile(name);
    EXPECT_TRUE(ui::qt::RenderToPng(f, file));
    QImage img(QString::fromStdString(file));
    EXPECT_EQ(img.width(), f.Width()) << name;
    EXPECT_EQ(img.height(), f.Height()) << name;
    for (ui::Control* c : inked) EXPECT_GT(InkIn(img, AreaOf(f, *c)), 15) << name << ": " << c->Name();
    f.Close();
    return img;
}

class DialogScreens : public ::testing::Test {
protected:
    void SetUp() override {
        const auto dir = zbr_test::FreshWorkDir("dialog-screens");
        std::filesystem::create_directories(dir / "INI");
        std::memset(&ProgramSettings, 0, sizeof ProgramSettings);
        ReadProgramIni(SettingsIniPath(), 1280, 1024);
        SettingsShadow = ProgramSettings;
        auto& fon = ProgramSettings.Fon.Users;
        fon.users_num = 2;
        fon.users[0].SetName("ГРС Березне");
        fon.users[0].contr_adr = 4;
        fon.users[0].SetPhone("0-362-55-12");
        fon.users[1].SetName("ГРС Західна");
        fon.users[1].contr_adr = 17;
        fon.users[1].SetPhone("0-362-55-77");
        auto& e = ProgramSettings.Ethr.Users;
        e.users_num = 1;
        e.users[0].SetName("Вузол обліку №3");
        e.users[0].contr_adr = 5;
        e.users[0].ip_adr = 0xC0A8000A;
        e.users[0].port = 502;
    }
};

TEST_F(DialogScreens, ConnectWindow) {
    ProgramSettings.Conn_Prz = 0;
    {
        TFormConnect f;
        Render(f, "FormConnect_direct.png", {&f.Label1, &f.ComboBox3, &f.Label2, &f.ComboBox1, &f.BitBtn1, &f.BitBtn3, &f.BitBtn2});
    }
    ProgramSettings.Conn_Prz = 1;
    TFormConnect f;
    Render(f, "FormConnect_phone.png", {&f.ComboBox3, &f.Label3, &f.ComboBox2, &f.BitBtn6, &f.BitBtn1, &f.BitBtn3, &f.BitBtn2});
    // The address comes from the subscriber: shown, greyed.
    EXPECT_FALSE(ui::qt::WidgetOf(f.ComboBox1)->isEnabled());
}

TEST_F(DialogScreens, SubscriberWindow) {
    ProgramSettings.Conn_Prz = 2;
    {
        TFormAbonent f;
        f.edit_mode = 1;
        f.ethr_rec = &ProgramSettings.Ethr.Users.users[0];
        Render(f, "FormAbonent_ethernet.png",
               {&f.Label1, &f.Edit1, &f.Label2, &f.ComboBox1, &f.Label4, &f.ip4, &f.ip1, &f.Edit11, &f.BitBtn4, &f.BitBtn5});
    }
    ProgramSettings.Conn_Prz = 1;
    TFormAbonent f;
    f.edit_mode = 1;
    f.fon_rec = &ProgramSettings.Fon.Users.users[0];
    Render(f, "FormAbonent_phone.png", {&f.Label3, &f.Edit2, &f.BitBtn4});
}

TEST_F(DialogScreens, ListsObjectAndParameters) {
    ProgramSettings.Conn_Prz = 2;
    {
        TFormAbonents_List f;
        Render(f, "FormAbonents_List.png", {&f.Panel3, &f.Panel4, &f.Panel7, &f.Panel8, &f.StringGrid1, &f.BitBtn1, &f.BitBtn5});
    }
    std::memset(&ObjectList, 0, sizeof ObjectList);
    ObjectList.obj_num = 2;
    ObjectList.objs[0].SetName("ГРС-1 Дослідна");
    ObjectList.objs[0].contr_adr = 1;
    ObjectList.objs[1].SetName("ГРС Березне");
    ObjectList.objs[1].contr_adr = 4;
    {
        TFormObjects_List f;
        Render(f, "FormObjects_List.png", {&f.Panel4, &f.Panel7, &f.StringGrid1, &f.BitBtn4});
        // The order in force has its sort button disabled, on the screen too.
        EXPECT_FALSE(ui::qt::WidgetOf(f.SpeedButton1)->isEnabled());
        EXPECT_TRUE(ui::qt::WidgetOf(f.SpeedButton2)->isEnabled());
    }
    {
        TFormObject f;
        f.edit_mode = 1;
        f.obj_rec = &ObjectList.objs[0];
        Render(f, "FormObject.png", {&f.Label1, &f.Label3, &f.Edit1, &f.Label2, &f.ComboBox1, &f.BitBtn4, &f.BitBtn5});
    }
    for (int type : {0, 1, 2}) {
        ProgramSettings.Conn_Prz = uint8_t(type);
        TFormConn_Par f;
        const char* names[] = {"FormConn_Par_direct.png", "FormConn_Par_phone.png", "FormConn_Par_ethernet.png"};
        if (type == 0) Render(f, names[type], {&f.Label1, &f.Label2, &f.Label6, &f.Edit2, &f.CheckBox1, &f.BitBtn4, &f.BitBtn2});
        if (type == 1) {
            Render(f, names[type], {&f.Label1, &f.Edit2, &f.Label8, &f.Label9, &f.Edit6, &f.Label10, &f.BitBtn1});
            EXPECT_FALSE(ui::qt::WidgetOf(f.CheckBox1)->isEnabled());
        }
        if (type == 2) Render(f, names[type], {&f.Label11, &f.Edit4, &f.Label16, &f.ComboBox6, &f.BitBtn1, &f.BitBtn2});
    }
}

// On the screen: the operator types into the address box (the focus rests
// on the combo box itself), letters stay out, and Enter accepts.
TEST_F(DialogScreens, TypingAndEnterOnTheScreen) {
    ProgramSettings.Conn_Prz = 1;
    PhoneSubscriber rec{};
    ui::qt::SetModalShownHook([&](ui::Form& form) {
        auto& f = static_cast<TFormAbonent&>(form);
        QTest::keyClicks(ui::qt::WidgetOf(f.Edit1), "Hrs");
        auto* cb = qobject_cast<QComboBox*>(ui::qt::WidgetOf(f.ComboBox1));
        ASSERT_NE(cb, nullptr);
        cb->setFocus();
        QTest::keyClicks(cb, "a1b7");
        EXPECT_EQ(f.ComboBox1.Text(), "17");
        EXPECT_EQ(cb->currentText().toStdString(), "17");
        QTest::keyClicks(ui::qt::WidgetOf(f.Edit2), "555");
        cb->setFocus();
        QTest::keyClick(cb, Qt::Key_Return);
    });
    {
        TFormAbonent f;
        f.fon_rec = &rec;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 1);
    }
    EXPECT_EQ(rec.contr_adr, 17);
    EXPECT_EQ(rec.Phone(), "555");

    // The connect dialog: Enter from the address box connects, here to a
    // port that is not there, which the message box says.
    ProgramSettings.Conn_Prz = 0;
    ProgramSettings.Dir.COMPort = 77;
    ProgramSettings.Do_Close_Port = 0;
    ProgramSettings.Free_Port_Wait = 0;
    HgcBox = new hgcbox(0);
    std::string said;
    ui::qt::SetModalShownHook([&](ui::Form& form) {
        if (auto* q = dynamic_cast<TFormQues*>(&form)) {
            said = q->Label1.Caption();
            q->BitBtn3.Click();
            return;
        }
        auto& f = static_cast<TFormConnect&>(form);
        auto* cb = qobject_cast<QComboBox*>(ui::qt::WidgetOf(f.ComboBox1));
        ASSERT_NE(cb, nullptr);
        cb->setFocus();
        cb->lineEdit()->selectAll();
        QTest::keyClicks(cb, "x3");
        EXPECT_EQ(f.ComboBox1.Text(), "3");
        QTest::keyClick(cb, Qt::Key_Return);
        EXPECT_EQ(said, "Комунікаційний порт СОМ77 недоступний");
        f.BitBtn2.Click();
    });
    {
        TFormConnect f;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
    }
    ui::qt::SetModalShownHook(nullptr);
    delete HgcBox;
    HgcBox = nullptr;
    EXPECT_EQ(said, "Комунікаційний порт СОМ77 недоступний");
}

}  // namespace
