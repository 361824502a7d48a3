// The object window and the object list window through the headless driver,
// with "objects.ini" in a temporary WorkDir.
#include <gtest/gtest.h>

#include "DialogFixture.h"
#include "common/Object.h"
#include "common/Objects_list.h"

namespace {

using dlgtest::SameBytes;

class ObjectDialog : public dlgtest::Fixture {};

TEST_F(ObjectDialog, AcceptRefuseAndCancel) {
    ObjectRecord rec{};
    rec.SetName("ГРС-1");
    rec.contr_adr = 3;
    const ObjectRecord before = rec;
    struct Case {
        const char* name;
        const char* address;
        const char* line1;
        const char* line2;
    };
    const Case refusals[] = {
        {"", "5", "Уведені не всі параметри", ""},
        {"  \t ", "5", "Уведені не всі параметри", ""},
        {"Об'єкт", "", "Уведені не всі параметри", ""},
        {"Об'єкт", "0", "Адреса поза припустимого діапазону", "(1...255)"},
        {"Об'єкт", "256", "Адреса поза припустимого діапазону", "(1...255)"},
        {"Об'єкт", "12345678901", "Адреса поза припустимого діапазону", "(1...255)"},
        {"Об'єкт", "2'", "Адреса поза припустимого діапазону", "(1...255)"},
    };
    for (const Case& c : refusals) {
        SCOPED_TRACE(c.address);
        drv.expectMessage(2, c.line1, c.line2);
        drv.onModal<TFormObject>([&](TFormObject& f) {
            EXPECT_EQ(f.Edit1.Text(), "ГРС-1");
            EXPECT_EQ(f.ComboBox1.Text(), "3");
            f.Edit1.SetText(c.name);
            f.ComboBox1.SetText(c.address);
            f.BitBtn4.Click();
            EXPECT_EQ(f.ModalResult(), ui::mrNone);
        });
        TFormObject f;
        f.edit_mode = 1;
        f.obj_rec = &rec;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
        EXPECT_TRUE(SameBytes(rec, before));
        drv.verify();
    }
    // Cancel.
    drv.onModal<TFormObject>([](TFormObject& f) {
        f.Edit1.SetText("Інше");
        f.BitBtn5.Click();
    });
    {
        TFormObject f;
        f.edit_mode = 1;
        f.obj_rec = &rec;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 0);
        EXPECT_TRUE(SameBytes(rec, before));
    }
    // A new object starts empty; the key filter takes digits only.
    drv.onModal<TFormObject>([](TFormObject& f) {
        EXPECT_EQ(f.Caption(), " Параметри об'єкту");
        EXPECT_EQ(f.Width(), 574);
        EXPECT_EQ(f.Height(), 140);
        EXPECT_EQ(f.ActiveControl(), &f.Edit1);
        EXPECT_TRUE(f.Edit1.Text().empty());
        EXPECT_TRUE(f.ComboBox1.Text().empty());
        f.Edit1.TypeText("ГРС Західна");
        f.ComboBox1.TypeText("4a2");
        EXPECT_EQ(f.ComboBox1.Text(), "42");
        f.BitBtn4.Click();
    });
    ObjectRecord fresh{};
    TFormObject f;
    f.obj_rec = &fresh;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(fresh.Name(), "ГРС Західна");
    EXPECT_EQ(fresh.contr_adr, 42);
}

class ObjectListWindow : public dlgtest::Fixture {};

TEST_F(ObjectListWindow, AcceptWithoutChangeWritesNothing) {
    dlgtest::AddObject("а", 3);
    dlgtest::AddObject("Б", 7);
    drv.onModal<TFormObjects_List>([](TFormObjects_List& f) {
        EXPECT_EQ(f.Caption(), " Список об'єктів");
        EXPECT_EQ(f.Width(), 545);
        EXPECT_EQ(f.Height(), 500);
        EXPECT_EQ(f.Panel7.Caption(), " Адреса");
        EXPECT_EQ(f.StringGrid1.RowTexts(0), (std::vector<std::string>{"  1", " а", "  3"}));
        EXPECT_EQ(f.StringGrid1.RowTexts(1), (std::vector<std::string>{"  2", " Б", "  7"}));
        f.BitBtn4.Click();
    });
    TFormObjects_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_FALSE(std::filesystem::exists(ObjectsIniPath()));
}

TEST_F(ObjectListWindow, SortByAddressIsWrittenOnAccept) {
    dlgtest::AddObject("Б", 7);
    dlgtest::AddObject("а", 3);
    ObjectList.obj_index = 0;  // "Б"
    drv.onModal<TFormObjects_List>([](TFormObjects_List& f) {
        // Shown sorted by name: а, Б; "Б" still selected.
        EXPECT_EQ(f.StringGrid1.Cell(1, 0), " а");
        EXPECT_EQ(ObjectList.obj_index, 1);
        EXPECT_EQ(f.StringGrid1.Row(), 1);
        EXPECT_FALSE(f.SpeedButton1.Enabled());
        EXPECT_TRUE(f.SpeedButton2.Enabled());
        f.SpeedButton2.Click();
        EXPECT_EQ(f.StringGrid1.Cell(2, 0), "  3");
        EXPECT_EQ(f.StringGrid1.Cell(2, 1), "  7");
        EXPECT_EQ(f.StringGrid1.Row(), 1);
        EXPECT_TRUE(f.SpeedButton1.Enabled());
        EXPECT_FALSE(f.SpeedButton2.Enabled());
        f.BitBtn4.Click();
    });
    TFormObjects_List f;
    f.ShowModal();
    EXPECT_EQ(dlgtest::IniInt(ObjectsIniPath(), "OBJECT_LIST", "sort_prz"), 1);
    EXPECT_EQ(dlgtest::IniInt(ObjectsIniPath(), "OBJECT_LIST", "obj_num"), 2);
    EXPECT_EQ(dlgtest::IniInt(ObjectsIniPath(), "OBJECT_2", "contr_adr"), 7);
}

TEST_F(ObjectListWindow, CloseBoxAfterAddingRestoresTheList) {
    dlgtest::AddObject("Перший", 1);
    const ObjectListRecord before = ObjectList;
    int added = 0;
    drv.onModal<TFormObject>([&](TFormObject& f) {
        f.Edit1.TypeText("Новий " + std::to_string(++added));
        f.ComboBox1.TypeText("9");
        f.BitBtn4.Click();
    });
    drv.onModal<TFormObjects_List>([](TFormObjects_List& f) {
        // One object: both sort buttons off.
        EXPECT_FALSE(f.SpeedButton1.Enabled());
        EXPECT_FALSE(f.SpeedButton2.Enabled());
        f.BitBtn2.Click();
        f.BitBtn2.Click();
        EXPECT_EQ(ObjectList.obj_num, 3);
        EXPECT_EQ(f.StringGrid1.RowCount(), 3);
        // left open: the driver closes it like the window's close box
    });
    TFormObjects_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_TRUE(SameBytes(ObjectList, before));
    EXPECT_FALSE(std::filesystem::exists(ObjectsIniPath()));
}

TEST_F(ObjectListWindow, EmptyListFullListAndDelete) {
    drv.onModal<TFormObjects_List>([](TFormObjects_List& f) {
        EXPECT_FALSE(f.BitBtn1.Enabled());
        EXPECT_FALSE(f.BitBtn3.Enabled());
        EXPECT_TRUE(f.BitBtn2.Enabled());
        EXPECT_EQ(f.StringGrid1.RowCount(), 1);
    });
    {
        TFormObjects_List f;
        f.ShowModal();
    }
    for (int i = 0; i < 49; ++i) dlgtest::AddObject("O" + std::to_string(100 + i), uint8_t(i + 1));
    drv.onModal<TFormObject>([](TFormObject& f) {
        f.Edit1.TypeText("Z");
        f.ComboBox1.TypeText("200");
        f.BitBtn4.Click();
    });
    drv.onModal<TFormObjects_List>([&](TFormObjects_List& f) {
        f.BitBtn2.Click();
        EXPECT_EQ(ObjectList.obj_num, 50);
        EXPECT_FALSE(f.BitBtn2.Enabled());
        EXPECT_EQ(ObjectList.objs[ObjectList.obj_index].Name(), "Z");
        drv.expectQuestion(3, "Ви дійсно хочете", "видалити цей об'єкт?", true);
        f.BitBtn3.Click();
        EXPECT_EQ(ObjectList.obj_num, 49);
        EXPECT_TRUE(f.BitBtn2.Enabled());
        EXPECT_EQ(ObjectList.obj_index, 48);
        EXPECT_EQ(ObjectList.objs[49].obj_name[0], 0);
        f.BitBtn4.Click();
    });
    TFormObjects_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(dlgtest::IniInt(ObjectsIniPath(), "OBJECT_LIST", "obj_num"), 49);
}

TEST_F(ObjectListWindow, FailedWriteIsReportedAndTheWindowStays) {
    dlgtest::AddObject("Перший", 1);
    dlgtest::AddObject("Другий", 2);
    const ObjectListRecord before = ObjectList;
    std::filesystem::remove_all(dir / "INI");  // nowhere to write
    drv.onModal<TFormObjects_List>([&](TFormObjects_List& f) {
        f.SpeedButton2.Click();
        drv.expectMessage(1, "Помилка роботи з файлом", ObjectsIniPath());
        f.BitBtn4.Click();
        EXPECT_EQ(f.accepted, 0);
        EXPECT_EQ(f.ModalResult(), ui::mrNone);
        EXPECT_EQ(ObjectList.sort_prz, 1);  // the edits are still there
        f.BitBtn5.Click();
    });
    TFormObjects_List f;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_TRUE(SameBytes(ObjectList, before));
}

TEST_F(ObjectDialog, EnterAccepts) {
    ObjectRecord rec{};
    drv.onModal<TFormObject>([this](TFormObject& f) {
        f.Edit1.TypeText("ГРС-2");
        f.ComboBox1.SetFocus();
        f.ComboBox1.TypeText("x9");
        drv.pressKey(ui::key::Return);
    });
    TFormObject f;
    f.obj_rec = &rec;
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(rec.Name(), "ГРС-2");
    EXPECT_EQ(rec.contr_adr, 9);
}

}  // namespace
