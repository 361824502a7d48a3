// The range dialogs rendered by the Qt backend offscreen into PNG files in
// the build tree (build/readers-screens): every caption fits its label and
// the buttons carry their texts.
#include <gtest/gtest.h>

#include <QtWidgets>
#include <functional>
#include <string>
#include <vector>

#include "common/Dtfun.h"
#include "config/ConfigImage.h"
#include "data/Index.h"
#include "config/ArchiveDefaults.h"
#include "data/Period.h"
#include "data/ShortDate.h"
#include "support/QtScreens.h"
#include "ui/qt/QtUi.h"

namespace {

// Captions of the form's visible labels, radio items and check boxes that
// the screen font cannot show in full.
std::vector<std::string> Clipped(ui::Form& f) {
    std::vector<std::string> out;
    for (ui::Component* c : f.Components()) {
        auto* ctl = dynamic_cast<ui::Control*>(c);
        auto* l = dynamic_cast<ui::Label*>(c);
        if (!l || !ctl->Visible() || l->Caption().empty()) continue;
        QWidget* w = ui::qt::WidgetOf(*l);
        if (w && QFontMetrics(w->font()).horizontalAdvance(QString::fromStdString(l->Caption())) > l->Width())
            out.push_back(l->Caption());
    }
    return out;
}

// Shows the form modally, renders it once it is up, then closes it.
void Render(ui::Form& f, const std::string& name, const std::function<void(ui::Form&)>& close) {
    const std::string file = zbr_test::ScreenFile("readers-screens", name);
    bool rendered = false;
    ui::qt::SetModalShownHook([&](ui::Form& form) {
        EXPECT_TRUE(ui::qt::RenderToPng(form, file));
        EXPECT_TRUE(Clipped(form).empty()) << name << ": " << (Clipped(form).empty() ? "" : Clipped(form)[0]);
        rendered = true;
        close(form);
        form.SetModalResult(ui::mrCancel);  // whatever panel the button sits on
    });
    f.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_TRUE(rendered) << name;
    QImage img(QString::fromStdString(file));
    EXPECT_FALSE(img.isNull()) << name;
}

TEST(RangeDialogScreens, PeriodShortDateAndIndex) {
    // The controller clock as the menu item has just read it: 20.03.2024 10:30.
    StoreRec6(DeviceDateTime{24, 3, 20, 10, 30, 0}, TablePtr(2));
    {
        TFormPeriod f(nullptr);
        Render(f, "FormPeriod.png", [](ui::Form& form) { static_cast<TFormPeriod&>(form).BitBtn2.Click(); });
    }
    QueryPeriod range{};
    range.from = {24, 1, 1, 0, 0};
    range.to = {24, 3, 20, 10, 0};
    for (uint8_t mode : {uint8_t(0), uint8_t(1)}) {
        TFormShortDate f(nullptr);
        f.Range = &range;
        f.Mode = mode;
        Render(f, mode == 0 ? "FormShortDate_hours.png" : "FormShortDate_days.png",
               [](ui::Form& form) { static_cast<TFormShortDate&>(form).BitBtn4.Click(); });
    }
    {
        TFormIndex f(nullptr);
        f.Archive = 0;
        f.Oldest = 1;
        f.Newest = 250;
        Render(f, "FormIndex.png", [](ui::Form& form) { static_cast<TFormIndex&>(form).BitBtn2.Click(); });
    }
}

// On the screen: Enter in a date picker accepts the period, and the
// picker's calendar names months and days in Ukrainian.
TEST(RangeDialogScreens, EnterInTheDatePickerAcceptsAndTheCalendarIsUkrainian) {
    StoreRec6(DeviceDateTime{24, 3, 20, 10, 30, 0}, TablePtr(2));
    ArchiveRequestDefaults.PeriodKind = 2;
    TFormPeriod f(nullptr);
    QString month;
    ui::qt::SetModalShownHook([&](ui::Form&) {
        auto* date = qobject_cast<QDateTimeEdit*>(ui::qt::WidgetOf(f.tdDe));
        ASSERT_NE(date, nullptr);
        ASSERT_NE(date->calendarWidget(), nullptr);
        EXPECT_EQ(date->calendarWidget()->locale().language(), QLocale::Ukrainian);
        month = date->calendarWidget()->locale().standaloneMonthName(11);
        date->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
        QApplication::sendEvent(date, &press);  // on to its parents as a real key goes
        if (f.ModalResult() == ui::mrNone) f.SetModalResult(ui::mrCancel);
    });
    f.ShowModal();
    ui::qt::SetModalShownHook(nullptr);
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(month.toStdString(), "листопад");
}

}  // namespace
