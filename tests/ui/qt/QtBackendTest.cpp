// The Qt screen keeps widgets and model in step: a user's action reaches
// the model and its events, model changes reach the widgets.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "platform/MessagePump.h"
#include "support/QtScreens.h"
#include "support/Waiting.h"
#include "ui/Ui.h"
#include "ui/qt/QtUi.h"

namespace {

void DigitsOnly(const std::string&, int, char32_t& key) {
    if (key != 8 && (key < U'0' || key > U'9')) key = 0;
}

class TFormSample : public ui::Form {
public:
    TFormSample() : ui::Form(nullptr, "FormSample") {
        SetCaption("Зразок");
        SetBounds(10, 10, 520, 420);
        MainMenu1.Add(N1);
        N1.Add(NExit);
        Panel1.SetBounds(0, 0, 500, 60);
        Edit1.SetParent(&Panel1);
        Edit1.SetBounds(8, 8, 120, 21);
        Edit1.SetKeyFilter(DigitsOnly);
        Edit1.OnChange = [this] { ++changes; };
        ComboBox1.SetBounds(8, 70, 200, 21);
        ComboBox1.SetStyle(ui::ComboStyle::DropDownList);
        ComboBox1.SetItems({"COM1", "COM2", "COM3"});
        ComboBox1.OnChange = [this] { StatusBar1.SetPanelText(0, ComboBox1.Text()); };
        CheckBox1.SetBounds(8, 100, 200, 17);
        CheckBox1.SetCaption("Звільняти порт");
        CheckBox1.OnClick = [this] { Edit1.SetEnabled(CheckBox1.Checked()); };
        Button1.SetBounds(220, 100, 90, 25);
        Button1.SetCaption("Змінити");
        Button1.OnClick = [this] { Label1.SetCaption("Натиснуто"); Grid.SetCell(1, 2, "нове"); };
        Label1.SetBounds(320, 100, 150, 17);
        Grid.SetBounds(8, 130, 300, 150);
        Grid.SetColCount(3);
        Grid.SetRowCount(6);
        Grid.SetCell(1, 0, "Дата");
        Grid.SetCell(1, 1, "01.02.24");
        Grid.OnClick = [this] { gridClicks++; };
        StatusBar1.AddPanel(175, "COM1  9600");
        StatusBar1.AddPanel(250);
        NExit.OnClick = [this] { exits++; };
        Timer1.SetInterval(10);
        Timer1.SetEnabled(false);
        Timer1.OnTimer = [this] { ++ticks; };
    }
    ui::MainMenu MainMenu1{this, "MainMenu1"};
    ui::MenuItem N1{this, "N1", "Файл"}, NExit{this, "NExit", "Вихід"};
    ui::Panel Panel1{this, "Panel1"};
    ui::Edit Edit1{this, "Edit1"};
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::CheckBox CheckBox1{this, "CheckBox1"};
    ui::Button Button1{this, "Button1"};
    ui::Label Label1{this, "Label1"};
    ui::StringGrid Grid{this, "Grid"};
    ui::StatusBar StatusBar1{this, "StatusBar1"};
    ui::Timer Timer1{this, "Timer1"};
    int changes = 0, gridClicks = 0, exits = 0, ticks = 0;
};

TEST(QtBackend, WidgetsCarryNamesAndGeometry) {
    TFormSample f;
    f.Show();
    QWidget* e = ui::qt::WidgetOf(f.Edit1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->objectName().toStdString(), "Edit1");
    EXPECT_EQ(e->parentWidget(), ui::qt::WidgetOf(f.Panel1));
    EXPECT_EQ(e->geometry(), QRect(8, 8, 120, 21));
    EXPECT_EQ(ui::qt::WidgetOf(f)->windowTitle().toStdString(), "Зразок");
    EXPECT_EQ(ui::qt::WidgetOf(f)->findChild<QWidget*>("StatusBar1"), ui::qt::WidgetOf(f.StatusBar1));
    // The status bar sits at the bottom of the client area.
    EXPECT_EQ(ui::qt::WidgetOf(f.StatusBar1)->geometry().bottom(), f.ClientHeight() - 1);
    // The whole window, menu bar and frame included, as a picture.
    std::string file = std::string(ZBR_BUILD_DIR) + "/ui-screens/FormSample.png";
    QDir().mkpath(QString::fromStdString(std::string(ZBR_BUILD_DIR) + "/ui-screens"));
    ASSERT_TRUE(ui::qt::RenderToPng(f, file));
    EXPECT_EQ(QImage(QString::fromStdString(file)).size(), QSize(f.Width(), f.Height()));
    f.Close();
}

TEST(QtBackend, TypingGoesThroughTheKeyFilter) {
    TFormSample f;
    f.Show();
    auto* le = qobject_cast<QLineEdit*>(ui::qt::WidgetOf(f.Edit1));
    ASSERT_NE(le, nullptr);
    le->setFocus();
    QTest::keyClicks(le, "12ab3");
    EXPECT_EQ(f.Edit1.Text(), "123");
    EXPECT_EQ(le->text().toStdString(), "123");
    EXPECT_EQ(f.changes, 3);
    EXPECT_EQ(f.ActiveControl(), &f.Edit1);
    QTest::keyClick(le, Qt::Key_Backspace);
    EXPECT_EQ(f.Edit1.Text(), "12");
    // A model change shows in the widget after the next message pass.
    f.Edit1.SetText("77");
    ui::Application::ProcessMessages();
    EXPECT_EQ(le->text().toStdString(), "77");
    f.Close();
}

TEST(QtBackend, ClicksAndChoicesReachTheModel) {
    TFormSample f;
    f.Show();
    auto* cb = qobject_cast<QComboBox*>(ui::qt::WidgetOf(f.ComboBox1));
    ASSERT_NE(cb, nullptr);
    EXPECT_EQ(cb->count(), 3);
    EXPECT_EQ(cb->currentIndex(), -1);
    emit cb->activated(2);  // what a choice from the drop-down list sends
    EXPECT_EQ(f.ComboBox1.ItemIndex(), 2);
    EXPECT_EQ(f.StatusBar1.PanelText(0), "COM3");
    auto* panel0 = ui::qt::WidgetOf(f)->findChild<QLabel*>("StatusBar1#0");
    ASSERT_NE(panel0, nullptr);
    EXPECT_EQ(panel0->text().toStdString(), "COM3");

    f.Edit1.SetEnabled(false);
    ui::qt::Sync();
    QTest::mouseClick(ui::qt::WidgetOf(f.CheckBox1), Qt::LeftButton);
    EXPECT_TRUE(f.CheckBox1.Checked());
    EXPECT_TRUE(ui::qt::WidgetOf(f.Edit1)->isEnabled());

    QTest::mouseClick(ui::qt::WidgetOf(f.Button1), Qt::LeftButton);
    EXPECT_EQ(qobject_cast<QLabel*>(ui::qt::WidgetOf(f.Label1))->text().toStdString(), "Натиснуто");
    auto* view = qobject_cast<QTableView*>(ui::qt::WidgetOf(f.Grid));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->model()->index(1, 0).data().toString().toStdString(), "нове");  // cell (1,2)
    EXPECT_EQ(view->model()->headerData(0, Qt::Horizontal).toString().toStdString(), "Дата");

    // A cell clicked in the view becomes the model's current cell.
    QRect cell = view->visualRect(view->model()->index(3, 1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(f.Grid.Row(), 4);
    EXPECT_EQ(f.Grid.Col(), 2);
    EXPECT_EQ(f.gridClicks, 1);

    // Menu items become actions that run the item's OnClick.
    auto* act = ui::qt::WidgetOf(f)->findChild<QAction*>("NExit");
    ASSERT_NE(act, nullptr);
    act->trigger();
    EXPECT_EQ(f.exits, 1);
    // Hidden, the item's action stays (changed in place) and is hidden.
    QPointer<QAction> kept(act);
    f.NExit.SetVisible(false);
    ui::qt::Sync();
    ASSERT_FALSE(kept.isNull());
    EXPECT_EQ(ui::qt::WidgetOf(f)->findChild<QAction*>("NExit"), kept.data());
    EXPECT_FALSE(kept->isVisible());
    f.Close();
}

TEST(QtBackend, TimersRunOnlyWhileEnabled) {
    TFormSample f;
    f.Timer1.SetEnabled(true);
    EXPECT_TRUE(zbr_test::WaitFor([&] { return f.ticks >= 2; }));
    f.Timer1.SetEnabled(false);
    int seen = f.ticks;
    for (int i = 0; i < 10; ++i) platform::IdleSlice(5);
    EXPECT_EQ(f.ticks, seen);
}

TEST(QtBackend, ModalFormEndsWithTheButtonsResultAndTheHookSeesEsc) {
    class TFormAsk : public ui::Form {
    public:
        TFormAsk() : ui::Form(nullptr, "FormAsk") {
            SetBounds(0, 0, 300, 150);
            SetBorderStyle(ui::BorderStyle::Dialog);
            Ok.SetModalResult(ui::mrOk);
            Ok.SetBounds(20, 60, 90, 25);
            Edit1.SetBounds(20, 20, 120, 21);
        }
        ui::Edit Edit1{this, "Edit1"};
        ui::Button Ok{this, "Ok"};
    } f;
    int escapes = 0;
    ui::Application::OnMessage = [&](const ui::Message& m, bool&) {
        if (m.kind == ui::Message::KeyDown && m.key == ui::key::Escape) ++escapes;
    };
    ui::qt::SetModalShownHook([&](ui::Form&) {
        QWidget* edit = ui::qt::WidgetOf(f.Edit1);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Escape);  // no Cancel button: the form stays
        QTest::keyClicks(edit, "ok");
        QTest::mouseClick(ui::qt::WidgetOf(f.Ok), Qt::LeftButton);
    });
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    ui::qt::SetModalShownHook(nullptr);
    ui::Application::OnMessage = nullptr;
    EXPECT_EQ(escapes, 1);
    EXPECT_EQ(f.Edit1.Text(), "ok");
    EXPECT_FALSE(ui::qt::WidgetOf(f)->isVisible());
}

TEST(QtBackend, EveryKeyPressReachesTheHookAndTheFocusedControl) {
    // Successive key events may be built at the same address; each is a key
    // of its own, not the trip of the last one up the parent chain.
    class TFormKeys : public ui::Form {
    public:
        TFormKeys() : ui::Form(nullptr, "FormKeys") {
            SetBounds(0, 0, 300, 150);
            SetBorderStyle(ui::BorderStyle::Dialog);
            Edit1.SetBounds(20, 20, 120, 21);
            Edit2.SetBounds(20, 50, 120, 21);
            Ok.SetBounds(20, 90, 90, 25);
            Ok.SetModalResult(ui::mrOk);
            Edit1.OnKeyDown = [this](int& key, ui::Shift) {
                if (key != ui::key::Return) return;
                key = 0;
                ++returns;
                Edit2.SetFocus();
            };
        }
        ui::Edit Edit1{this, "Edit1"};
        ui::Edit Edit2{this, "Edit2"};
        ui::Button Ok{this, "Ok"};
        int returns = 0;
    } f;
    int escapes = 0;
    ui::Application::OnMessage = [&](const ui::Message& m, bool&) {
        if (m.kind == ui::Message::KeyDown && m.key == ui::key::Escape) ++escapes;
    };
    ui::qt::SetModalShownHook([&](ui::Form&) {
        QWidget* edit = ui::qt::WidgetOf(f.Edit1);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Escape);
        QTest::keyClick(edit, Qt::Key_Escape);
        QTest::keyClicks(edit, "12");
        QTest::keyClick(edit, Qt::Key_Return);  // right after typed keys on the same edit
        QTest::mouseClick(ui::qt::WidgetOf(f.Ok), Qt::LeftButton);
    });
    EXPECT_EQ(f.ShowModal(), ui::mrOk);
    ui::qt::SetModalShownHook(nullptr);
    ui::Application::OnMessage = nullptr;
    EXPECT_EQ(escapes, 2);
    EXPECT_EQ(f.returns, 1);
    EXPECT_EQ(f.Edit1.Text(), "12");
}

}  // namespace

namespace {

TEST(QtBackend, MainLoopEndsWhenTheMainWindowCloses) {
    TFormSample f;
    bool closed = false;
    f.OnClose = [&](ui::CloseAction&) { closed = true; };
    // The window system's close box, a little after the loop started.
    f.Timer1.OnTimer = [&] {
        f.Timer1.SetEnabled(false);
        ui::qt::WidgetOf(f)->close();
    };
    f.Timer1.SetEnabled(true);
    ui::Application::Run(f);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f.Visible());
    EXPECT_TRUE(ui::Application::Terminated());
}

}  // namespace

namespace {

class TFormMore : public ui::Form {
public:
    TFormMore() : ui::Form(nullptr, "FormMore") {
        SetBounds(0, 0, 500, 400);
        Scroll.SetBounds(0, 0, 200, 100);
        Wide.SetParent(&Scroll);
        Wide.SetBounds(0, 0, 900, 60);
        Scroll.OnScroll = [this] { ++scrolls; };
        Memo1.SetBounds(210, 0, 200, 80);
        Group.SetBounds(0, 110, 200, 90);
        Group.SetItems({"з", "по", "за"});
        Group.OnClick = [this] { ++groupClicks; };
        Count.SetBounds(210, 110, 60, 21);
        Arrows.SetBounds(272, 110, 16, 21);
        Arrows.SetRange(0, 10);
        Arrows.SetAssociate(&Count);
        Date.SetBounds(210, 140, 120, 21);
        Date.SetDateTime(ui::EncodeDate(2024, 3, 1));
        Date.OnChange = [this] { ++dateChanges; };
    }
    ui::ScrollBox Scroll{this, "Scroll"};
    ui::Panel Wide{this, "Wide"};
    ui::Memo Memo1{this, "Memo1"};
    ui::RadioGroup Group{this, "Group"};
    ui::Edit Count{this, "Count"};
    ui::UpDown Arrows{this, "Arrows"};
    ui::DateTimePicker Date{this, "Date"};
    int scrolls = 0, groupClicks = 0, dateChanges = 0;
};

TEST(QtBackend, ScrollingMemosGroupsArrowsAndDatesFollowTheUser) {
    TFormMore f;
    f.Show();
    auto* area = qobject_cast<QScrollArea*>(ui::qt::WidgetOf(f.Scroll));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(ui::qt::WidgetOf(f.Wide)->parentWidget(), area->widget());
    area->horizontalScrollBar()->setValue(120);
    EXPECT_EQ(f.Scroll.HorzPosition(), 120);
    EXPECT_EQ(f.scrolls, 1);
    f.Scroll.SetHorzPosition(0);
    ui::qt::Sync();
    EXPECT_EQ(area->horizontalScrollBar()->value(), 0);

    auto* memo = qobject_cast<QPlainTextEdit*>(ui::qt::WidgetOf(f.Memo1));
    ASSERT_NE(memo, nullptr);
    memo->setFocus();
    QTest::keyClicks(memo, "row");  // (the test tool types ASCII only)
    EXPECT_EQ(f.Memo1.Text(), "row");
    f.Memo1.AddLine("другий");
    ui::qt::Sync();
    EXPECT_EQ(memo->toPlainText().toStdString(), "row\nдругий");

    auto buttons = ui::qt::WidgetOf(f.Group)->findChildren<QRadioButton*>();
    ASSERT_EQ(buttons.size(), 3);
    QTest::mouseClick(buttons[1], Qt::LeftButton, {}, QPoint(6, buttons[1]->height() / 2));
    EXPECT_EQ(f.Group.ItemIndex(), 1);
    EXPECT_EQ(f.groupClicks, 1);
    f.Group.SetItemIndex(2);
    ui::qt::Sync();
    EXPECT_TRUE(buttons[2]->isChecked());
    EXPECT_FALSE(buttons[1]->isChecked());
    // A click whose handler gives the group other items: the clicked
    // button is still inside its click when the widgets follow.
    f.Group.OnClick = [&f] { f.Group.SetItems({"один", "два"}); };
    QPointer<QRadioButton> clicked(buttons[0]);
    QTest::mouseClick(buttons[0], Qt::LeftButton, {}, QPoint(6, buttons[0]->height() / 2));
    ASSERT_FALSE(clicked.isNull()) << "a radio button destroyed inside its own click";
    EXPECT_EQ(clicked->text().toStdString(), "один");
    EXPECT_FALSE(buttons[2]->isVisible());

    auto arrows = ui::qt::WidgetOf(f.Arrows)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QTest::mouseClick(arrows[0], Qt::LeftButton);
    EXPECT_EQ(f.Arrows.Position(), 1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(ui::qt::WidgetOf(f.Count))->text().toStdString(), "1");

    auto* date = qobject_cast<QDateTimeEdit*>(ui::qt::WidgetOf(f.Date));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->date(), QDate(2024, 3, 1));
    date->setDate(QDate(2024, 3, 5));
    EXPECT_EQ(f.Date.Date(), ui::EncodeDate(2024, 3, 5));
    EXPECT_EQ(f.dateChanges, 1);
    f.Close();
}

}  // namespace

namespace {

class TFormAddress : public ui::Form {
public:
    TFormAddress() : ui::Form(nullptr, "FormAddress") {
        SetBounds(0, 0, 300, 120);
        SetBorderStyle(ui::BorderStyle::Dialog);
        Address.SetBounds(10, 10, 100, 21);
        Address.SetItems({"1", "2", "17"});
        Address.SetMaxLength(3);
        Address.OnKeyPress = [this](char32_t& key) { DigitsOnly(Address.Text(), 0, key); };
        Address.OnChange = [this] { ++changes; };
        Note.SetBounds(10, 40, 200, 20);
        Note.SetCaption("Час очікування визволення СОМ порту");
        Note.SetEnabled(false);
    }
    ui::ComboBox Address{this, "Address"};  // editable (DropDown)
    ui::Label Note{this, "Note"};
    int changes = 0;
};

TEST(QtBackend, TypingIntoAnEditableComboGoesThroughTheKeyFilterAndMaxLength) {
    TFormAddress f;
    f.Show();
    auto* cb = qobject_cast<QComboBox*>(ui::qt::WidgetOf(f.Address));
    ASSERT_NE(cb, nullptr);
    ASSERT_NE(cb->lineEdit(), nullptr);
    cb->lineEdit()->setFocus();
    QTest::keyClicks(cb->lineEdit(), "1a7x");
    EXPECT_EQ(f.Address.Text(), "17");
    EXPECT_EQ(f.Address.ItemIndex(), 2);
    EXPECT_EQ(cb->lineEdit()->text().toStdString(), "17");
    QTest::keyClicks(cb->lineEdit(), "123");
    EXPECT_EQ(f.Address.Text(), "171");
    QTest::keyClick(cb->lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(f.Address.Text(), "17");
    EXPECT_EQ(f.changes, 4);
    f.Close();
}

TEST(QtBackend, DisabledTextStaysReadable) {
    TFormAddress f;
    f.Show();
    ui::Application::ProcessMessages();
    QImage img = ui::qt::WidgetOf(f.Note)->grab().toImage();
    int darkest = 255;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) darkest = std::min(darkest, qGray(img.pixel(x, y)));
    // Greyed like the classic desktop's grey text, not washed out into the face.
    EXPECT_LT(darkest, 150);
    EXPECT_GT(darkest, 90);
    f.Close();
}

TEST(QtBackend, MemoTextTakesTheMemosAlignment) {
    ui::Form f(nullptr, "FormMemo");
    f.SetBounds(10, 10, 300, 200);
    ui::Memo m(&f, "Memo1");
    m.SetBounds(8, 8, 200, 80);
    m.SetText("Т т.роси\nWDP");
    m.SetAlignment(ui::TextAlign::Center);
    f.Show();
    ui::Application::ProcessMessages();
    auto* te = qobject_cast<QPlainTextEdit*>(ui::qt::WidgetOf(m));
    ASSERT_NE(te, nullptr);
    EXPECT_TRUE(te->document()->defaultTextOption().alignment() & Qt::AlignHCenter);
    f.Close();
}

}  // namespace

namespace {

// Runs `look` on the application's modal widget once it is up (the box or
// dialog that a call about to be made runs), then lets the caller's call go
// on: `look` must close what it found.
void WhenModalUp(std::function<void(QWidget*)> look, int triesLeft = 100) {
    QTimer::singleShot(10, qApp, [look = std::move(look), triesLeft]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) {
            if (triesLeft > 0) WhenModalUp(std::move(look), triesLeft - 1);
            return;
        }
        look(w);
    });
}

TEST(QtBackend, TypingIntoTheFocusedComboItselfGoesThroughTheKeyFilter) {
    // The focus rests on the combo box, not on its line edit, when the
    // operator tabs or clicks into it.
    TFormAddress f;
    f.Show();
    QWidget* win = ui::qt::WidgetOf(f);
    QApplication::setActiveWindow(win);
    ui::Application::ProcessMessages();
    auto* cb = qobject_cast<QComboBox*>(ui::qt::WidgetOf(f.Address));
    ASSERT_NE(cb, nullptr);
    cb->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), cb);
    QTest::keyClicks(cb, "a0b1");
    EXPECT_EQ(f.Address.Text(), "01");
    EXPECT_EQ(cb->lineEdit()->text().toStdString(), "01");
    QTest::keyClick(cb, Qt::Key_Backspace);
    EXPECT_EQ(f.Address.Text(), "0");
    f.Close();
}

TEST(QtBackend, TheMainWindowIsAWindowAndTheOthersDialogs) {
    TFormSample main;
    ui::Form other(nullptr, "FormOther");
    other.SetBorderStyle(ui::BorderStyle::Dialog);
    Qt::WindowType mainType = Qt::Widget, otherType = Qt::Widget, mainHandleType = Qt::Widget;
    main.Timer1.OnTimer = [&] {
        main.Timer1.SetEnabled(false);
        QWidget* w = ui::qt::WidgetOf(main);
        mainType = w->windowType();
        if (w->windowHandle()) mainHandleType = w->windowHandle()->type();
        other.Show();
        otherType = ui::qt::WidgetOf(other)->windowType();
        other.Close();
        main.Close();
    };
    main.Timer1.SetEnabled(true);
    ui::Application::Run(main);
    EXPECT_EQ(mainType, Qt::Window);
    EXPECT_EQ(mainHandleType, Qt::Window);
    EXPECT_EQ(otherType, Qt::Dialog);
}

TEST(QtBackend, AWindowOpensOverTheMainWindowWithinTheScreensFreeArea) {
    TFormSample main;
    ui::Form viewer(nullptr, "FormViewer");
    viewer.SetBorderStyle(ui::BorderStyle::Sizeable);
    viewer.SetPosition(ui::Position::MainFormCenter);
    QRect free;
    QPoint mainAt;
    main.Timer1.OnTimer = [&] {
        main.Timer1.SetEnabled(false);
        QWidget* w = ui::qt::WidgetOf(main);
        free = w->screen()->availableGeometry();
        ASSERT_EQ(w->screen()->geometry(), QRect(0, 0, ui::Screen::Width(), ui::Screen::Height()));
        // The user moves the main window: its form follows.
        w->move(free.left() + 200, free.top() + 40);
        mainAt = QPoint(main.Left(), main.Top());
        // A window taller than the screen's free area.
        viewer.SetBounds(0, 0, 300, free.height() + 200);
        viewer.Show();
        viewer.Close();
        main.Close();
    };
    main.Timer1.SetEnabled(true);
    ui::Application::Run(main);
    EXPECT_EQ(mainAt, QPoint(free.left() + 200, free.top() + 40));
    const QRect shown(viewer.Left(), viewer.Top(), viewer.Width(), viewer.Height());
    EXPECT_TRUE(free.contains(shown)) << shown.x() << "," << shown.y() << " " << shown.width() << "x"
                                      << shown.height();
    EXPECT_EQ(shown.height(), free.height());
    EXPECT_NEAR(shown.center().x(), main.Left() + main.Width() / 2, 1);
}

TEST(QtBackend, AnEmptyCaptionLeavesTheTitleBlank) {
    // The window system names an untitled window after the program ("zbr").
    ui::Form f(nullptr, "FormBlank");
    f.SetBorderStyle(ui::BorderStyle::Dialog);
    f.SetBounds(10, 10, 200, 100);
    f.Show();
    QWidget* w = ui::qt::WidgetOf(f);
    ASSERT_NE(w->windowHandle(), nullptr);
    EXPECT_FALSE(w->windowHandle()->title().isEmpty());
    EXPECT_TRUE(w->windowHandle()->title().trimmed().isEmpty());
    f.SetCaption("Помилка");
    ui::qt::Sync();
    EXPECT_EQ(w->windowHandle()->title().toStdString(), "Помилка");
    f.Close();

    QString boxTitle = "unset";
    WhenModalUp([&](QWidget* box) {
        boxTitle = box->windowTitle();
        static_cast<QDialog*>(box)->done(QMessageBox::Ok);
    });
    ui::Application::MessageBox("Помилка визову socket", "");
    EXPECT_FALSE(boxTitle.isEmpty());
    EXPECT_TRUE(boxTitle.trimmed().isEmpty());
}

TEST(QtBackend, CaptionWidthHoldsTheTitleInABoldFont) {
    const std::string caption = "Помилка вводу параметрів";
    QFont bold("DejaVu Sans");
    bold.setPixelSize(15);
    bold.setBold(true);
    const int text = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(caption));
    ui::Form f(nullptr, "FormCaption");
    f.SetBorderStyle(ui::BorderStyle::Dialog);
    f.SetBorderIcons(ui::border_icon::SystemMenu);
    f.SetCaption(caption);
    // The text, the window's icon and the close button, with room to spare.
    EXPECT_GE(f.CaptionWidth(), text + 24 + 28);
    EXPECT_GT(f.CaptionWidth(), 10 * 24 + 20);  // more than ten pixels a character
    f.SetCaption({});
    EXPECT_EQ(f.CaptionWidth(), 0);
}

TEST(QtBackend, QtsOwnTextsAreUkrainian) {
    ASSERT_TRUE(ui::qt::UkrainianLoaded()) << "Qt's Ukrainian catalogues (qt6-translations-l10n, scripts/setup)";
    EXPECT_EQ(QLocale().language(), QLocale::Ukrainian);
    EXPECT_EQ(QLocale().standaloneMonthName(11).toStdString(), "листопад");
    EXPECT_EQ(QLocale().firstDayOfWeek(), Qt::Monday);

    // The calendar of a date picker.
    QCalendarWidget cal;
    cal.setLocale(QLocale());
    cal.setCurrentPage(2024, 11);
    auto* month = cal.findChild<QToolButton*>("qt_calendar_monthbutton");
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text().toStdString(), "листопад");
    QString monday = cal.findChild<QTableView*>("qt_calendar_calendarview")->model()->headerData(
        0, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_NE(monday.toStdString(), "Mon");

    // The edit box's context menu.
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text();
    ASSERT_FALSE(texts.isEmpty());
    for (const QString& t : texts) EXPECT_FALSE(t.contains("Undo") || t.contains("Paste") || t.contains("Select All")) << t.toStdString();

    // The program's file dialog, on the screen as the operator sees it.
    ui::Form owner(nullptr, "FormFiles");
    ui::OpenDialog od(&owner, "od");
    od.Title = "Вибір файлу даних";
    od.Filter = "DataFiles(*.hch)|*.hch";
    od.InitialDir = QDir::tempPath().toStdString();
    QString lookIn, cancel, title;
    const std::string file = zbr_test::ScreenFile("ui-screens", "FileDialog.png");
    WhenModalUp([&](QWidget* w) {
        title = w->windowTitle();
        if (auto* l = w->findChild<QLabel*>("lookInLabel")) lookIn = l->text();
        if (auto* box = w->findChild<QDialogButtonBox*>("buttonBox"))
            if (QPushButton* b = box->button(QDialogButtonBox::Cancel)) cancel = b->text();
        w->grab().save(QString::fromStdString(file), "PNG");
        static_cast<QDialog*>(w)->reject();
    });
    EXPECT_FALSE(od.Execute());
    EXPECT_EQ(title.toStdString(), "Вибір файлу даних");
    EXPECT_FALSE(lookIn.isEmpty());
    EXPECT_NE(lookIn.toStdString(), "Look in:");
    EXPECT_FALSE(cancel.isEmpty());
    EXPECT_FALSE(cancel.contains("Cancel")) << cancel.toStdString();
    EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder").toStdString(), "Тека");
    EXPECT_FALSE(QImage(QString::fromStdString(file)).isNull());
}

}  // namespace

namespace {
std::vector<std::string>* g_qtWarnings = nullptr;
void KeepQtWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (g_qtWarnings && type != QtDebugMsg && type != QtInfoMsg) g_qtWarnings->push_back(text.toStdString());
}
}  // namespace

TEST(QtBackend, ShowingAWindowAsksNothingOfTheScreenItCannotDo) {
    // A window that comes up is on top already: asking it to rise before
    // the screen has it is refused with a warning by screens without a
    // window manager (the offscreen one among them). Shown again while up,
    // it is raised.
    std::vector<std::string> warnings;
    g_qtWarnings = &warnings;
    QtMessageHandler previous = qInstallMessageHandler(KeepQtWarning);
    {
        TFormSample f;
        f.Show();
        ui::Application::ProcessMessages();
        EXPECT_TRUE(ui::qt::WidgetOf(f)->isVisible());
        f.Close();
        ui::Application::ProcessMessages();
        f.Show();
        ui::Application::ProcessMessages();
        EXPECT_TRUE(ui::qt::WidgetOf(f)->isVisible());
        f.Close();
    }
    qInstallMessageHandler(previous);
    g_qtWarnings = nullptr;
    EXPECT_EQ(warnings, std::vector<std::string>{});
}
