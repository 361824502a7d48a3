// A configuration file whose header is right and whose tables are random
// bytes loads (only its size, kind and version are checked), so every
// editor of the configuration window may open on wild values: baud codes no
// rate has, counts beyond their lists, NaN limits, names without a zero,
// levels no user has. Each editor, accepted as it opens and then cancelled,
// must keep to its block, refuse what it cannot store and never throw; what
// it stores must open again.
#include <gtest/gtest.h>

#include <string>

#include "config/Access.h"
#include "config/ConHGC.h"
#include "config/ConVU.h"
#include "config/ConVich.h"
#include "config/ConWMT.h"
#include "config/Config.h"
#include "config/ConfigFile.h"
#include "config/ConfigImage.h"
#include "config/Const_Par.h"
#include "config/ContrName.h"
#include "config/Distr.h"
#include "config/Ident.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/OvgPar.h"
#include "config/PrzDistr.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "config/Uspass.h"
#include "link/Conneth.h"
#include "robustness/Random.h"
#include "ui/TestDriver.h"

namespace {

void ForEachButton(ui::Component& owner, const std::function<void(ui::Button&)>& f) {
    for (ui::Component* c : owner.Components()) {
        if (auto* b = dynamic_cast<ui::Button*>(c)) f(*b);
        if (!dynamic_cast<ui::Form*>(c)) ForEachButton(*c, f);
    }
}

bool Usable(const ui::Button& b) { return b.Showing() && b.EffectivelyEnabled(); }

// Presses the editor's accept button as the window opened; when it stays
// open (a refusal), its cancel button.
void AcceptOrCancel(ui::Form& f) {
    ForEachButton(f, [&f](ui::Button& b) {
        const std::string& c = b.Caption();
        if (f.ModalResult() == ui::mrNone && Usable(b) &&
            (c == "Прийняти" || c == "Записати в пристрій" || c == "Принять" || c == "OK"))
            b.Click();
    });
    if (f.ModalResult() != ui::mrNone) return;
    ForEachButton(f, [&f](ui::Button& b) {
        const std::string& c = b.Caption();
        if (f.ModalResult() == ui::mrNone && Usable(b) && (c == "Відмінити" || c == "Вихід")) b.Click();
    });
    EXPECT_NE(f.ModalResult(), ui::mrNone) << ui::test::Driver::ClassName(f) << " could not be closed";
}

template <class... F> void HandleAll(ui::test::Driver& drv, int& opened) {
    (drv.onModal<F>([&opened](F& f) {
         ++opened;
         AcceptOrCancel(f);
     }),
     ...);
}

}  // namespace

TEST(ConfigEditorsRobust, EveryEditorOnRandomTablesKeepsToItsBlock) {
    InitConfigImage();
    ui::test::Driver drv;
    drv.allowErrorMessages();  // random blocks hold values the editors refuse
    robust::Dice dice(3001);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        ConfigRecord rec;
        const std::string bytes = dice.Bytes(kConfigRecordSize);
        std::copy(bytes.begin(), bytes.end(), rec.Bytes.begin());
        rec[cnfofs::kControllerType] = 'I';
        rec[cnfofs::kVersion] = dice.Chance(50) ? 11 : 14;
        if (dice.Chance(30)) rec[cnfofs::kFlowLink] = uint8_t(dice.Int(0, 255));
        if (dice.Chance(50)) rec[cnfofs::kFlowPresent] = 1;
        if (dice.Chance(50)) rec[cnfofs::kWmtPresent] = 1;

        int opened = 0;
        HandleAll<TFormContrName, TFormIdent, TFormSys, TFormTime_Sinhr, TFormConVU, TFormConVich, TFormConHGC,
                  TFormConWMT, TFormConEth, TFormOvgList, TFormOvgPar, TFormPrzDistr, TFormDistr, TFormLimits,
                  TFormAccess, TFormUsPass, TFormConst_Par>(drv, opened);
        drv.onModal<TFormConfig>([](TFormConfig& f) {
            // Every editor button the window offers, then each once more on
            // what the first round stored.
            for (int pass = 0; pass < 2; ++pass)
                ForEachButton(f, [&f](ui::Button& b) {
                    if (&b == &f.BitBtn1 || &b == &f.BitBtn2 || &b == &f.BitBtn14 || !Usable(b)) return;
                    b.Click();
                });
            f.BitBtn2.Click();
        });
        // Questions (a deletion, say) are not asked by accepting or cancelling.
        try {
            TFormConfig f(nullptr);
            f.Record = &rec;
            f.ShowModal();
        } catch (const std::exception& e) {
            ADD_FAILURE() << "threw: " << e.what();
        }
        EXPECT_GE(opened, 20);
        for (const ui::MessageInfo& m : drv.messages()) EXPECT_NE(m.kind, 1) << m.lines[0];
        drv.clearMessages();
        EXPECT_TRUE(drv.failures().empty());
        // What the editors left loads and saves as a file.
        EXPECT_EQ(EncodeConfigFile(rec).size(), kConfigRecordSize);
    }
}
