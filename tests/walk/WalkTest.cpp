// The whole program, end to end: the real main window through the Qt screen
// (offscreen), wired as the program's entry wires it, against the controller
// emulator. A user starts it, sets up the direct link and connects over the
// pseudo-terminal, identifies, opens every window the main menu leads to
// and uses its main button (each item chosen through the menus' own events,
// by the mouse and by the keys in turn), renames a line and switches the
// moisture meter off and on (handlers that change the menus while their
// menu's event runs), presses Esc during a slow read, connects over
// TCP to a new Ethernet subscriber and walks the menu again, disconnects,
// dials a new telephone subscriber through the emulator's modem and hangs
// up with the call panel's button, walks what is left offline and leaves
// through "Вихід". Nothing may crash, hang, print a Qt warning or anything
// else on standard error, show "not available in this version" or an error.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/Handlers.h"
#include "app/Main.h"
#include "config/ConfigImage.h"
#include "config/Globals.h"
#include "data/ArchRead.h"
#include "platform/Tcp.h"
#include "emulator/Emulator.h"
#include "print/Output.h"
#include "emulator/Modem.h"
#include "support/EmulatorModem.h"
#include "support/TestFolders.h"
#include "ui/qt/QtUi.h"
#include "walk/Walker.h"

namespace {

namespace fs = std::filesystem;
using walk::Walker;
using Window = Walker::Window;

const QString kNotAvailable = QString::fromUtf8("Ця функція в цій версії програми ще не доступна");
const QString kViewerNotAvailable = QString::fromUtf8("Перегляд цих даних в цій версії програми ще не доступний");

QString U(const char* s) { return QString::fromUtf8(s); }

// The action of a main-menu item in the window of `main` (of a submenu:
// its menu's action; null when none).
QAction* MenuAction(ui::Form& main, const char* name) {
    QWidget* win = ui::qt::WidgetOf(main);
    auto* bar = win ? win->findChild<QMenuBar*>() : nullptr;
    if (!bar) return nullptr;
    if (auto* m = bar->findChild<QMenu*>(QString::fromUtf8(name))) return m->menuAction();
    return bar->findChild<QAction*>(QString::fromUtf8(name));
}

// A message the program showed, with the step that showed it.
struct Shown {
    std::string step, window, caption, text;
};

std::string Join(const std::vector<std::string>& v, const char* sep = ", ") {
    std::string out;
    for (const auto& s : v) out += (out.empty() ? "" : sep) + s;
    return out;
}

// The newest file of a folder that matches one of the name patterns.
QString NewestMatching(const QDir& dir, const QStringList& patterns) {
    const QFileInfoList files = dir.entryInfoList(patterns, QDir::Files, QDir::Time);
    return files.isEmpty() ? QString() : files.first().absoluteFilePath();
}

// The patterns of a file dialog's selected filter ("DataFiles(*.hch)" -> "*.hch").
QStringList FilterPatterns(const QString& filter) {
    const int open = filter.lastIndexOf('('), close = filter.lastIndexOf(')');
    if (open < 0 || close < open) return {"*"};
    return filter.mid(open + 1, close - open - 1).split(' ', Qt::SkipEmptyParts);
}

// Where a user's click puts the cursor of a date box before typing: into
// the day, into the month, after the year, or anywhere and then all of the
// text selected (Ctrl+A).
enum class Into { Day, Month, End, All };

// A date typed into a date box as a user types it: the click, the keys one
// by one, then `after` (Tab or Enter).
void TypeDate(QDateTimeEdit* box, Into into, const QString& keys, Qt::Key after = Qt::Key_Tab) {
    auto* text = box->findChild<QLineEdit*>();
    if (!text) {
        ADD_FAILURE() << "a date box without its text";
        return;
    }
    const int pos = into == Into::Month ? 4 : into == Into::End ? int(text->text().size()) : 0;
    const int x = 2 + text->fontMetrics().horizontalAdvance(text->text().left(pos));
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(x, text->height() / 2));
    const auto part = into == Into::Month ? QDateTimeEdit::MonthSection
                      : into == Into::End ? QDateTimeEdit::YearSection
                                          : QDateTimeEdit::DaySection;
    EXPECT_EQ(box->currentSection(), part) << "the click at " << x << " went elsewhere in " << text->text().toStdString();
    if (into == Into::All) QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    for (const QChar ch : keys) QTest::keyClick(box, ch.toLatin1());
    QTest::keyClick(box, after);
}

class Walk : public ::testing::Test {
protected:
    fs::path dir;
    emu::Emulator emu{20240611};
    int tcpPort = 0;
    std::vector<Shown> shown;
    std::vector<std::string> report;  // one line per step: windows and messages
    // The telephone: a second controller behind the emulator's modem on COM2.
    emu::Emulator phoneEmu{20240612};
    emu::Modem* modem = nullptr;
    std::size_t dials = 0;  // rounds the telephone connect dialled
    zbr_test::ModemTimingsForTest timings{{.prepareTimeoutMs = 1000,
                                           .escapeGuardMs = zbr_test::kEscapeGuardMs,
                                           .beforeDialMs = 0,
                                           .betweenCommandsMs = 0,
                                           .afterConnectMs = 0,
                                           .gsmTimeoutMs = 1000,
                                           .hangUpTimeoutMs = 500,
                                           .hangUpGuardMs = zbr_test::kEscapeGuardMs}};
    enum class Link { Direct, Tcp, Phone, Leave } link = Link::Direct;
    // Changes the walk makes on purpose, written to the controller from the
    // main menu (none while empty / negative): a new name of line 1, the
    // moisture meter's box of the system parameters.
    QString lineName;
    int moistureMeter = -1;

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("walk");
        // The certificate templates lie beside the program.
        for (const char* t : {"day_report_title_v11.xlsx", "mon_report_title_v11.xlsx"})
            fs::copy_file(fs::path(ZBR_TEMPLATE_DIR) / t, dir / t);
        // A desktop session has its runtime folder; without one Qt says so.
        // What Qt keeps of a session (the file dialogs' history) stays in
        // the test's folder, not in the home folder.
        const fs::path runtime = dir / "runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        for (const char* var : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) {
            const fs::path d = dir / "home" / var;
            fs::create_directories(d);
            setenv(var, d.c_str(), 1);
        }
        // The links to the chromatograph and the moisture meter stay up (the
        // emulator loses them now and then otherwise).
        emu.SetTable(33, {1, 1});
        emu.StartPty((dir / "dev" / "com1").string());
        tcpPort = emu.StartTcp();
        modem = &zbr_test::EnableModem(phoneEmu);
        phoneEmu.SetTable(33, {1, 1});
        phoneEmu.StartPty((dir / "dev" / "com2").string());
        InitConfigImage();
    }
    void TearDown() override {
        emu.Stop();
        phoneEmu.Stop();
    }

    // ---- what the program says

    void Record(const std::string& step, const std::string& window, const std::string& caption,
                const std::string& text) {
        shown.push_back({step, window, caption, text});
    }

    // ---- the scripts of the windows

    void Scripts(Walker& w) {
        // The program's message box: every message is kept; a question is
        // answered "Так" (replace the file, the PC clock is right), the
        // offer to try a failed exchange again "Ні" (none may fail).
        w.On("FormQues", [this, &w](Window& q) {
            const QString text = (q.Text("Label1") + "|" + q.Text("Label2") + "|" + q.Text("Label3"));
            Record(w.CurrentStep(), "FormQues", q.w->windowTitle().toStdString(), text.toStdString());
            if (q.Shows("BitBtn1")) q.Click(q.Text("Label3").isEmpty() ? "BitBtn1" : "BitBtn2");
            else q.Click("BitBtn3");
            return true;
        });
        // Qt's own boxes (the backend's message box; none may show).
        w.OnClass("QMessageBox", [this, &w](Window& m) {
            auto* box = static_cast<QMessageBox*>(m.w);
            Record(w.CurrentStep(), "QMessageBox", box->windowTitle().toStdString(), box->text().toStdString());
            QAbstractButton* b = box->button(QMessageBox::Yes);
            if (!b) b = box->button(QMessageBox::Ok);
            if (!b) b = box->defaultButton();
            if (!b && !box->buttons().isEmpty()) b = box->buttons().first();
            if (b) QTest::mouseClick(b, Qt::LeftButton);
            return true;
        });
        // File dialogs: a save keeps the proposed name (in the WorkDir); an
        // open takes the newest file of its folder that its filter shows.
        w.OnClass("QFileDialog", [](Window& f) {
            auto* d = static_cast<QFileDialog*>(f.w);
            auto* name = d->findChild<QLineEdit*>("fileNameEdit");
            EXPECT_NE(name, nullptr) << "a file dialog without its name box";
            if (!name) {
                d->reject();
                return true;
            }
            QString file;
            if (d->acceptMode() == QFileDialog::AcceptOpen) {
                file = NewestMatching(d->directory(), FilterPatterns(d->selectedNameFilter()));
                EXPECT_FALSE(file.isEmpty()) << "nothing to open in " << d->directory().path().toStdString() << " ("
                                             << d->selectedNameFilter().toStdString() << ")";
            } else {
                // The proposed name, in the folder the dialog shows.
                file = d->directory().absoluteFilePath(name->text());
                EXPECT_FALSE(name->text().isEmpty()) << "a save dialog without a proposed name";
            }
            if (file.isEmpty() || f.visit > 0) {
                if (f.visit > 0) ADD_FAILURE() << "the file dialog did not take " << file.toStdString();
                d->reject();
                return true;
            }
            EXPECT_TRUE(file.startsWith(QString::fromStdString(fs::path(ZBR_TEST_TMP).string())))
                << "a file outside the test folder: " << file.toStdString();
            // Typed in full into the name box, then the accept button.
            name->setText(file);
            static_cast<QDialog*>(d)->accept();
            return true;
        });
        // The print preview: saved as PDF through its own button, then closed.
        w.OnClass("QPrintPreviewDialog", [](Window& p) {
            if (p.visit == 0) {
                auto* save = p.w->findChild<QAction*>("actionSavePdf");
                EXPECT_NE(save, nullptr) << "the preview has no PDF button";
                if (save) {
                    save->trigger();
                    return true;
                }
            }
            p.w->close();
            return true;
        });

        // ---- the connect sequence
        w.On("FormConnect", [this](Window& c) {
            switch (link) {
            case Link::Direct:
                if (c.visit == 0) {
                    c.Choose("ComboBox3", U("Безпосередній зв'язок"));
                    c.Click("BitBtn3");  // the link parameters: COM1
                } else {
                    c.Click("BitBtn1");
                }
                return true;
            case Link::Tcp:
                if (c.visit == 0) c.Choose("ComboBox3", U("Ethernet-інтерфейс"));
                else if (c.visit == 1) c.Choose("ComboBox2", U("Новый абонент"));
                else if (c.visit == 2) c.Click("BitBtn6");  // the subscriber list
                else c.Click("BitBtn1");
                return true;
            case Link::Phone:
                if (c.visit == 0) c.Choose("ComboBox3", U("Зв'язок по телефону"));
                else if (c.visit == 1) c.Click("BitBtn3");  // the modem's port: COM2
                else if (c.visit == 2) c.Choose("ComboBox2", U("Новый абонент"));
                else c.Click("BitBtn1");
                return true;
            case Link::Leave: c.Click("BitBtn2"); return true;
            }
            return true;
        });
        w.On("FormConn_Par", [this](Window& p) {
            if (p.Shows("pn_dir")) p.Choose("ComboBox1", link == Link::Phone ? "COM2" : "COM1");
            p.Click("BitBtn1");
            return true;
        });
        w.On("FormAbonent", [this](Window& a) {
            a.Type("Edit1", U("Емулятор ЗБР"));
            a.Choose("ComboBox1", "1");
            if (a.Shows("pn_ethr")) {
                a.Type("ip4", "127");
                a.Type("ip3", "0");
                a.Type("ip2", "0");
                a.Type("ip1", "1");
                a.Type("Edit11", QString::number(tcpPort));
            } else {
                a.Type("Edit2", "0441234567");
            }
            a.Click("BitBtn4");
            return true;
        });
        w.On("FormShortUsPass", [](Window& u) {
            u.Type("Edit1", "1111");
            u.Type("Edit2", "12345");
            u.Click("BitBtn1");
            return true;
        });

        // ---- parameter editors: the accept button of the mode they are in
        // ("Прийняти" from the configuration editor, "Записати в пристрій"
        // from the main menu), with nothing changed.
        const std::vector<std::tuple<const char*, const char*, const char*>> editors = {
            {"FormContrName", "BitBtn3", "BitBtn1"}, {"FormConVU", "BitBtn3", "BitBtn1"},
            {"FormConVich", "BitBtn3", "BitBtn1"},   {"FormConHGC", "BitBtn3", "BitBtn1"},
            {"FormConWMT", "BitBtn3", "BitBtn1"},    {"FormLimits", "BitBtn3", "BitBtn1"},
            {"FormPrzDistr", "BitBtn3", "BitBtn1"},  {"FormDistr", "BitBtn3", "BitBtn1"},
            {"FormSys", "BitBtn3", "BitBtn1"},       {"FormConst_Par", "BitBtn1", "BitBtn3"},
            {"FormConEth", "BitBtn1", "BitBtn14"},   {"FormTime_Sinhr", "BitBtn1", "BitBtn14"},
            {"FormOvgPar", "BitBtn3", "BitBtn3"},
            {"FormRepConf", "BitBtn3", "BitBtn3"},   {"FormChangeAccess", "BitBtn1", "BitBtn1"},
        };
        for (const auto& [name, accept, write] : editors)
            w.On(name, [this, &w, accept = accept, write = write](Window& e) {
                if (e.visit == 0) {
                    // A new configuration file has no Ethernet ports yet
                    // (0, which the editor refuses): typed as a user must.
                    if (e.Name() == "FormConEth")
                        for (const char* port : {"e1", "e2", "e3", "e4"})
                            if (e.Text(port) == "0") e.Type(port, port[1] == '1' ? "502" : port[1] == '2' ? "503" : "5020");
                    if (e.Name() == "FormContrName" && !lineName.isEmpty()) e.Type("Edit2", lineName);
                    if (e.Name() == "FormSys" && moistureMeter >= 0) {
                        auto* box = qobject_cast<QCheckBox*>(e.Child("CheckBox2"));
                        if (box && box->isChecked() != (moistureMeter != 0))
                            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
                    }
                    e.Click(e.Shows(accept) ? accept : write);
                } else {
                    ADD_FAILURE() << w.CurrentStep() << ": " << e.Name().toStdString() << " refused to be accepted ("
                                  << (shown.empty() ? std::string() : shown.back().text) << ")";
                    e.Click("BitBtn2");
                }
                return true;
            });
        // The users of a configuration: a new file has none, and the list
        // is refused without the manufacturer: registered as a user must.
        w.On("FormAccess", [](Window& a) {
            if (a.visit == 0 && a.Text("cb1") == U("Немає доступу")) {
                a.Choose("cb1", U("Виробник-наладчик"));
                a.Type("ek1", "ZBR");
                a.Click("bt1");
                return true;
            }
            a.Click(a.Shows("BitBtn1") ? "BitBtn1" : "BitBtn3");
            return true;
        });
        w.On("FormUsPass", [](Window& u) {
            u.Type("Edit1", "12345");
            u.Type("Edit2", "12345");
            u.Type("Edit3", "1111");
            u.Type("Edit4", "1111");
            u.Click("BitBtn1");
            return true;
        });
        // The certificate's day and object: a new object first, the object
        // list, then the day.
        w.On("FormExcRep_Date", [](Window& d) {
            if (d.visit == 0 && d.Text("ComboBox1").isEmpty()) d.Choose("ComboBox1", U("Новый объект"));
            else if (d.visit <= 1) d.Click("BitBtn1");
            else d.Click("BitBtn5");
            return true;
        });
        w.On("FormObject", [](Window& o) {
            o.Type("Edit1", U("ГРС Дослідна"));
            o.Choose("ComboBox1", "1");
            o.Click("BitBtn4");
            return true;
        });
        w.On("FormAbonents_List", [](Window& l) {
            l.Click("BitBtn4");
            return true;
        });
        w.On("FormObjects_List", [](Window& l) {
            l.Click("BitBtn4");
            return true;
        });
        // The flow-computer list: one computer's parameters, then the list.
        w.On("FormOvgList", [](Window& e) {
            if (e.visit == 0 && e.Shows("BitBtn3")) {
                e.Click("BitBtn3");
                return true;
            }
            e.Click(e.Shows("BitBtn1") ? "BitBtn1" : "BitBtn4");
            return true;
        });
        // The configuration editor: every table's editor in turn, accepted
        // unchanged, then the editor itself.
        w.On("FormConfig", [](Window& c) {
            std::vector<QPushButton*> parts;
            for (QPushButton* b : c.w->findChildren<QPushButton*>()) {
                const QString n = b->objectName();
                if (n == "BitBtn1" || n == "BitBtn14" || n == "BitBtn2" || !b->isVisible() || !b->isEnabled())
                    continue;
                parts.push_back(b);
            }
            std::sort(parts.begin(), parts.end(), [](QPushButton* a, QPushButton* b) {
                const QPoint pa = a->mapTo(a->window(), QPoint()), pb = b->mapTo(b->window(), QPoint());
                return std::pair(pa.x(), pa.y()) < std::pair(pb.x(), pb.y());
            });
            if (c.visit < int(parts.size())) {
                QTest::mouseClick(parts[std::size_t(c.visit)], Qt::LeftButton);
                return true;
            }
            c.Click(c.Shows("BitBtn1") ? "BitBtn1" : "BitBtn14");
            return true;
        });

        // ---- windows that show and close
        for (const auto& [name, button] : std::vector<std::pair<const char*, const char*>>{
                 {"FormTableInfo", "BitBtn2"}, {"FormQues_Prn", "BitBtn1"}, {"FormDt", "BitBtn3"}})
            w.On(name, [button = button](Window& f) {
                f.Click(button);
                return true;
            });
        // Windows that only show: left with Esc, as their "Вихід" promises.
        for (const auto& [name, button] : std::vector<std::pair<const char*, const char*>>{
                 {"FormIdent", "BitBtn1"}, {"FormChrom_Ser_Num", "BitBtn1"}, {"FormFunInfo", "BitBtn2"},
                 {"FormVichInf", "BitBtn2"}, {"FormChromError", "BitBtn2"}})
            w.On(name, [&w, button = button](Window& f) {
                if (f.visit == 0) {
                    QTest::keyClick(f.w, Qt::Key_Escape);
                } else {
                    ADD_FAILURE() << w.CurrentStep() << ": " << f.Name().toStdString() << " stayed after Esc";
                    f.Click(button);
                }
                return true;
            });
        // About: closed by its close box.
        w.On("FormAbout", [](Window& a) {
            a.w->close();
            return true;
        });
        // The controller's state: the exchange with the flow computers, the
        // table states, then out.
        w.On("FormPrz", [](Window& p) {
            if (p.visit == 0 && p.ShownMs() < 1300) return false;  // its refresh comes every second
            if (p.visit == 0) p.Click("BitBtn6");
            else if (p.visit == 1) p.Click("BitBtn1");
            else p.Click("BitBtn2");
            return true;
        });
        // The monitors: their first refresh has come when they show; it
        // must not have failed. One leaves by its button, the other by the
        // window's close box.
        for (const char* name : {"FormMom", "FormMomWmt"})
            w.On(name, [](Window& m) {
                EXPECT_TRUE(m.Text("lbState").isEmpty()) << m.Name().toStdString() << ": "
                                                         << m.Text("lbState").toStdString();
                if (m.Name() == "FormMom") m.Click("BitBtn2");
                else m.w->close();
                return true;
            });
        // The certificate window works by itself and closes.
        w.On("FormXls_Report", [](Window&) { return false; });

        // ---- archive reads: a short period each
        w.On("FormShortDate", [&w](Window& d) {
            if (d.Shows("pn_hou") && w.CurrentStep().find("NChrom_RdHour_1") != std::string::npos) {
                // The period given by hand: its start typed over in every
                // way a user types a date, each one either that date or
                // none (the old one shown as it was), never a mixture; the
                // last one the start offered, so that the read stays short.
                d.Radio("RadioGroup3", U("Заданий період"));
                auto* begin = qobject_cast<QDateTimeEdit*>(d.Child("tdHb"));
                if (!begin) return true;
                const QDate offered = begin->date();
                QDate holds = offered;
                // `keys` typed; the date the box takes from them (none: it
                // keeps the one it held).
                auto typed = [&](Into into, const QString& keys, const QDate& taken, Qt::Key after = Qt::Key_Tab) {
                    TypeDate(begin, into, keys, after);
                    if (taken.isValid()) holds = taken;
                    const char* how[] = {"into the day", "into the month", "after the year", "over all selected"};
                    const std::string want = holds.toString("dd.MM.yyyy").toStdString();
                    EXPECT_EQ(begin->date().toString("dd.MM.yyyy").toStdString(), want)
                        << "typed " << keys.toStdString() << " " << how[int(into)];
                    EXPECT_EQ(begin->text().toStdString(), want) << "typed " << keys.toStdString() << " " << how[int(into)];
                };
                auto dotted = [](const QDate& date) { return date.toString("dd.MM.yyyy"); };
                auto plain = [](const QDate& date) { return date.toString("ddMMyyyy"); };
                const QDate a = offered.addYears(-1).addMonths(-1).addDays(-1);
                const QDate b = offered.addMonths(-2).addDays(-3);
                typed(Into::All, dotted(a), a);
                typed(Into::All, plain(b), b);
                typed(Into::Month, dotted(a), a);
                typed(Into::End, plain(b), b);
                // A date before any a controller holds, one that does not
                // exist, one left unfinished (Tab; Enter, which must not
                // take the period meanwhile).
                typed(Into::All, "01.11.1999", {});
                typed(Into::All, "30.02.2025", {});
                typed(Into::All, a.toString("dd.MM.yy"), {});
                typed(Into::All, a.toString("dd.MM"), {}, Qt::Key_Enter);
                EXPECT_TRUE(d.w->isVisible()) << "Enter took the period with its start unfinished";
                typed(Into::All, plain(offered), offered);
                d.Click("BitBtn3");
            } else if (d.Shows("pn_hou")) {
                d.Radio("RadioGroup3", U("За останню добу"));
                d.Click("BitBtn3");
            } else {
                d.Radio("RadioGroup2", U("За останній місяць"));
                d.Click("BitBtn5");
            }
            return true;
        });
        // The measurements: the last hour; the messages and verifications,
        // which come seldom: the last day; the calibrations, weekly: the
        // last eight days.
        w.On("FormPeriod", [&w](Window& d) {
            const std::string& step = w.CurrentStep();
            if (step.find("RdMeas") != std::string::npos) {
                d.Radio("RadioGroup1", U("За останню годину"));
            } else if (step.find("NChrom_RdClb") == std::string::npos) {
                d.Radio("RadioGroup1", U("За останню добу"));
            } else {
                d.Radio("RadioGroup1", U("Заданний період"));
                // The start typed as a user types it: a click into the
                // day, the date with its dots, Tab.
                if (auto* begin = qobject_cast<QDateTimeEdit*>(d.Child("tdDb"))) {
                    const QDate start = QDate::currentDate().addDays(-8);
                    TypeDate(begin, Into::Day, start.toString("dd.MM.yyyy"));
                    EXPECT_EQ(begin->date(), start) << "typed " << start.toString("dd.MM.yyyy").toStdString()
                                                    << ", the box shows " << begin->text().toStdString();
                }
            }
            d.Click("BitBtn1");
            return true;
        });
        w.On("FormIndex", [](Window& d) {
            d.Radio("RadioGroup1", U("Останні 50 записів"));
            d.Click("BitBtn1");
            return true;
        });
        // ---- the viewers: save, spreadsheet, print (to PDF), state signs, out
        for (const char* name : {"FormArhMeas_Chr", "FormArhivHDM_Chr", "FormArhiv_Clb", "FormArhiv_Verif",
                                 "FormArhMeas_Wmt", "FormArhivHD_Wmt", "FormAla", "FormAud"})
            w.On(name, [](Window& v) {
                if (v.visit == 0) {
                    // A look first: the window made smaller, the list run
                    // through to its end and back with the keyboard.
                    v.w->resize(std::max(300, v.w->width() * 2 / 3), std::max(200, v.w->height() * 2 / 3));
                    auto* grid = qobject_cast<QTableView*>(v.w->findChild<QWidget*>(v.Shows("StringGrid2") ? "StringGrid2" : "StringGrid1"));
                    EXPECT_NE(grid, nullptr) << v.Name().toStdString();
                    if (grid) {
                        grid->setFocus();
                        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
                        QTest::keyClick(grid, Qt::Key_PageUp);
                        QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
                        QTest::keyClick(grid, Qt::Key_Down);
                    }
                    return true;
                }
                std::vector<const char*> buttons;
                for (const char* b : {"BitBtn2", "BitBtn5", "BitBtn3", "BitBtn4"})
                    if (v.Shows(b)) buttons.push_back(b);
                if (v.visit - 1 < int(buttons.size())) v.Click(buttons[std::size_t(v.visit - 1)]);
                else v.Click("BitBtn1");
                return true;
            });

        w.Fallback([this, &w](Window& f) {
            ADD_FAILURE() << "step " << w.CurrentStep() << ": a window the walk does not know: "
                          << f.Name().toStdString() << " (" << f.w->metaObject()->className() << ") \""
                          << f.w->windowTitle().toStdString() << "\"";
            f.w->close();
            return true;
        });
    }
};

TEST_F(Walk, EveryWindowOfTheMainMenuOverEveryLink) {
    const auto started = std::chrono::steady_clock::now();
    walk::OutputCapture capture;
    int rc = -1;
    std::vector<std::string> walked[3];  // leaves walked per pass
    std::vector<std::string> modelLeaves[3];
    {
        static int argc = 1;
        static char name[] = "zbr";
        static char* argv[] = {name, nullptr};
        ui::qt::Screen screen(argc, argv);
        // The offscreen screen has no display: the preview is shown all the same.
        print::AllowPreviewWithoutDisplay(true);

        TFormMain main(nullptr);
        AttachMenuHandlers(main);
        // The program's pause before every TCP request (for slow converters)
        // would make the TCP pass take minutes.
        HgcBox->TcpSendDelayMs = 0;
        // Nor does the walk wait to see the full progress bar of every read.
        ArchiveReadEndPauseMs = 0;

        Walker w;
        Scripts(w);
        w.SetIdleCheck([&main] {
            return ExchangeGuard::Count() == 0 && !LinkBusy() && !main.TimerStart.Enabled() && !main.ClosePending();
        });

        // The leaves of the main menu as the model holds them (visible ones).
        auto modelLeavesNow = [&main] {
            std::vector<std::string> out;
            std::function<void(ui::MenuItem&)> add = [&](ui::MenuItem& m) {
                for (ui::MenuItem* i : m.Items()) {
                    if (!i->Visible() || i->IsSeparator()) continue;
                    if (i->Count()) add(*i);
                    else out.push_back(i->Name());
                }
            };
            add(main.MainMenu1.Items());
            return out;
        };

        QString oldLineName;
        std::set<std::string> leafSteps;
        std::size_t shownAtStep = 0;
        auto stepClock = std::chrono::steady_clock::now();
        w.OnStepEnd([&](const std::string& step) {
            const auto now = std::chrono::steady_clock::now();
            const long ms = long(std::chrono::duration_cast<std::chrono::milliseconds>(now - stepClock).count());
            stepClock = now;
            std::vector<std::string> msgs;
            for (std::size_t i = shownAtStep; i < shown.size(); ++i)
                msgs.push_back(shown[i].caption + ": " + shown[i].text);
            // A menu item opens a window of its own, not only a message.
            if (leafSteps.count(step)) {
                const auto& seen = w.StepWindows();
                EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const std::string& n) {
                    return n != "FormQues" && n != "QMessageBox";
                })) << step << " opened no window (" << Join(msgs, "; ") << ")";
            }
            std::vector<std::string> windows;
            for (std::size_t i = 0; i < w.StepWindows().size(); ++i) {
                const std::string& title = w.StepTitles()[i];
                windows.push_back(w.StepWindows()[i] + (title.empty() ? "" : " \"" + title + "\""));
            }
            report.push_back(std::to_string(ms) + " ms  " + step + "  [" + Join(windows) + "]" + (msgs.empty() ? "" : "  " + Join(msgs, "; ")));
            shownAtStep = shown.size();
        });

        // One pass: every leaf of the menu as it stands, except the two the
        // walk takes deliberately ("Зв'язок з іншим пристроєм", "Вихід").
        std::function<void(int, std::function<void()>)> pass = [&](int n, std::function<void()> after) {
            QWidget* win = ui::qt::WidgetOf(main);
            modelLeaves[n] = modelLeavesNow();
            int k = 0;
            for (const QString& leaf : Walker::MenuLeaves(win)) {
                const std::string item = leaf.toStdString();
                walked[n].push_back(item);
                if (item == "Nconnect" || item == "NExit") continue;
                // By the mouse and by the keys in turn, the other way round
                // in the next pass.
                const Walker::By by = (k++ + n) % 2 ? Walker::By::Keys : Walker::By::Mouse;
                w.AddStep("pass " + std::to_string(n + 1) + " " + item, [&main, leaf, item, by] {
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), leaf, by)) << item;
                });
                leafSteps.insert("pass " + std::to_string(n + 1) + " " + item);
            }
            w.AddStep("after pass " + std::to_string(n + 1), after);
        };

        // Esc to the wait box of a read ends the read.
        bool escArmed = false, escSent = false;
        w.SetWatch([&] {
            if (!escArmed) return;
            for (QWidget* t : QApplication::topLevelWidgets())
                if (t->objectName() == "FormWait" && t->isVisible()) {
                    escArmed = false;
                    escSent = true;
                    QTest::keyClick(t, Qt::Key_Escape);
                    return;
                }
        });

        w.AddStep("connected over the pseudo-terminal", [&] {
            EXPECT_EQ(IsConnected, 1);
            // The operator makes the main window smaller first.
            QWidget* win = ui::qt::WidgetOf(main);
            win->resize(win->width() - 200, win->height() - 150);
            QCoreApplication::processEvents();
            EXPECT_EQ(main.Width(), win->width() + main.Width() - main.ClientWidth());
            pass(0, [&] {
                // Handlers that change the menus while the menu's own event
                // is still running: line 1 renamed and named back, the
                // moisture meter switched off and on again, each written to
                // the controller, by the keys and by the mouse.
                w.AddStep("rename line 1 (keys)", [&] {
                    QAction* a = MenuAction(main, "NChrom_Mom_1");
                    ASSERT_NE(a, nullptr);
                    oldLineName = a->text();
                    lineName = U("Нитка перша");
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "NContrName", Walker::By::Keys));
                });
                w.AddStep("line 1 renamed; named back (mouse)", [&] {
                    for (const char* item : {"NChrom_Mom_1", "NChrom_RdHour_1", "N1_Const"}) {
                        QAction* a = MenuAction(main, item);
                        EXPECT_EQ(a ? a->text() : QString(), lineName) << item;
                    }
                    lineName = oldLineName;
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "NContrName", Walker::By::Mouse));
                });
                w.AddStep("line 1 named back; moisture meter off (keys)", [&] {
                    QAction* a = MenuAction(main, "NChrom_Mom_1");
                    EXPECT_EQ(a ? a->text() : QString(), oldLineName);
                    lineName.clear();
                    moistureMeter = 0;
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "Nsys", Walker::By::Keys));
                });
                w.AddStep("moisture meter off; on again (mouse)", [&] {
                    for (const char* item : {"NConnWMT", "NWmt_Data"}) {
                        QAction* a = MenuAction(main, item);
                        EXPECT_FALSE(a && a->isVisible()) << item;
                    }
                    moistureMeter = 1;
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "Nsys", Walker::By::Mouse));
                });
                w.AddStep("moisture meter on", [&] {
                    for (const char* item : {"NConnWMT", "NWmt_Data"}) {
                        QAction* a = MenuAction(main, item);
                        EXPECT_TRUE(a && a->isVisible()) << item;
                    }
                    moistureMeter = -1;
                });
                // A slow line: every reply a quarter of a second late; Esc
                // once the wait box shows.
                w.AddStep("Esc during a read: NChrom_RdMeas_1", [&] {
                    for (int i = 0; i < 40; ++i) emu.QueueFault({emu::FaultKind::ReplyDelay, 250});
                    escArmed = true;
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "NChrom_RdMeas_1", Walker::By::Keys));
                });
                w.AddStep("after the Esc", [&] {
                    EXPECT_TRUE(escSent);
                    EXPECT_FALSE(escArmed);
                    emu.ClearFaults();
                });
                // Over TCP to a new Ethernet subscriber.
                link = Link::Tcp;
                w.AddStep("connect over TCP", [&] {
                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "Nconnect", Walker::By::Mouse));
                });
                w.AddStep("connected over TCP", [&] {
                    EXPECT_EQ(IsConnected, 1);
                    EXPECT_NE(HgcBox->Sock, platform::kNoSocket);
                    pass(1, [&] {
                        // Disconnect: the connect dialog left with "Вихід".
                        link = Link::Leave;
                        w.AddStep("disconnect", [&] {
                            ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "Nconnect", Walker::By::Keys));
                        });
                        w.AddStep("disconnected", [&] {
                            EXPECT_EQ(IsConnected, 0);
                            EXPECT_EQ(HgcBox->Sock, platform::kNoSocket);
                            // By telephone to a new subscriber.
                            link = Link::Phone;
                            ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "Nconnect", Walker::By::Mouse));
                        });
                        w.AddStep("connected by telephone", [&] {
                            EXPECT_EQ(IsConnected, 1);
                            EXPECT_EQ(main.ModemLinked, 1);
                            // The number dialled; on a loaded machine a round may miss the
                            // modem's guard time and be dialled again, as the settings allow.
                            ASSERT_FALSE(modem->Numbers().empty());
                            for (const std::string& n : modem->Numbers()) EXPECT_EQ(n, "0441234567");
                            dials = modem->Numbers().size();
                            EXPECT_TRUE(ui::qt::WidgetOf(main.BitBtn3)->isVisible());
                            ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "Nident", Walker::By::Keys));
                        });
                        w.AddStep("hang up", [&] {
                            // The call panel's own button.
                            QWidget* hangUp = ui::qt::WidgetOf(main.BitBtn3);
                            ASSERT_TRUE(hangUp && hangUp->isVisible());
                            QTest::mouseClick(hangUp, Qt::LeftButton);
                        });
                        w.AddStep("hung up", [&] {
                            EXPECT_EQ(IsConnected, 0);
                            EXPECT_EQ(std::size_t(modem->HangUps()), dials);  // each round hung up
                            EXPECT_FALSE(modem->Connected());
                            EXPECT_FALSE(ui::qt::WidgetOf(main.BitBtn3)->isVisible());
                            pass(2, [&] {
                                w.AddStep("exit", [&] {
                                    ASSERT_TRUE(Walker::TriggerMenu(ui::qt::WidgetOf(main), "NExit", Walker::By::Mouse));
                                });
                            });
                        });
                    });
                });
            });
        });
        w.Start();
        rc = ui::Application::Run(main);
    }
    const std::string err = capture.StopStderr();
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::printf("The walk (%.1f s):\n", seconds);
    for (const std::string& line : report) std::printf("  %s\n", line.c_str());

    EXPECT_EQ(rc, 0);
    // What went to the controllers: the editors accepted unchanged wrote
    // nothing; the clock correction went out.
    std::map<std::string, int> writes;
    int corrections = 0;
    for (emu::Emulator* e : {&emu, &phoneEmu})
        for (const emu::ReceivedFrame& f : e->Log()) {
            if (f.command == 12) ++corrections;
            if (f.command == 2 && f.data.size() >= 20)
                ++writes["table " + std::to_string(f.data[17]) + " row " + std::to_string(f.data[18])];
        }
    // "OK" of the users' window writes the user's row as it stands, and so
    // does the time synchronisation window its two pairs of flags; the
    // constants of a line clear the oxygen constant, which the controller
    // does not measure (once: the second pass finds it cleared).
    // Line 1 renamed and named back, the moisture meter off and on again:
    // two writes each.
    const std::map<std::string, int> expectedWrites = {
        {"table 4 row 0", 2},  {"table 5 row 1", 2},   {"table 6 row 8", 2},  {"table 6 row 10", 2},
        {"table 14 row 8", 2}, {"table 44 row 15", 1}, {"table 46 row 15", 1}};
    EXPECT_EQ(writes, expectedWrites);
    EXPECT_EQ(corrections, 2);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(walked[n], modelLeaves[n]) << "pass " << n + 1 << ": the menu bar and the menu differ";
        EXPECT_GT(walked[n].size(), 2u) << "pass " << n + 1;
    }
    for (const Shown& s : shown) {
        const QString text = QString::fromStdString(s.text);
        EXPECT_FALSE(text.contains(kNotAvailable) || text.contains(kViewerNotAvailable)) << s.step << ": " << s.text;
        EXPECT_NE(s.caption, "Помилка") << s.step << ": " << s.text;
        EXPECT_NE(s.caption, "Результат обміну з пристроєм") << s.step << ": " << s.text;
        EXPECT_NE(s.caption, "ЗБР") << s.step << ": " << s.text;  // an exception's box
        // Every message in the program's own box.
        EXPECT_NE(s.window, "QMessageBox") << s.step << ": " << s.caption << ": " << s.text;
    }
    // The offscreen screen has no window manager to pass a fixed window's
    // size limits to, and says so whenever a shown dialog changes its size;
    // nor can it raise a window or grab the keyboard for a menu as it pops
    // up. A real screen does these silently. Every other message counts.
    const std::set<std::string> offscreenOnly = {"This plugin does not support propagateSizeHints()",
                                                 "This plugin does not support raise()",
                                                 "This plugin does not support grabbing the keyboard"};
    std::vector<std::string> qt;
    int offscreen = 0;
    for (const std::string& m : walk::OutputCapture::QtMessages())
        if (m.rfind("warning: ", 0) == 0 && offscreenOnly.count(m.substr(9))) ++offscreen;
        else qt.push_back(m);
    std::printf("What the offscreen screen could not do (size limits, raise, keyboard grab): %d\n", offscreen);
    EXPECT_EQ(qt, std::vector<std::string>{});
    std::string errLeft;
    for (std::size_t at = 0; at < err.size();) {
        std::size_t end = err.find('\n', at);
        if (end == std::string::npos) end = err.size();
        const std::string line = err.substr(at, end - at);
        if (!offscreenOnly.count(line)) errLeft += line + "\n";
        at = end + 1;
    }
    EXPECT_EQ(errLeft, "");
}

}  // namespace
