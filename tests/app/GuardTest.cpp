// One exchange at a time: while a request is on the line nothing else that
// talks to the controller starts, closing the window waits until the
// exchange has unwound, and Esc ends only a long archive exchange.
#include "AppFixture.h"

#include "common/Stringi.h"
#include "config/Conffun.h"

namespace apptest {
namespace {

class ExchangeGuardTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        DirectSettings();
        StartPty();
        StartForm();
        RunConnect();
        ASSERT_EQ(IsConnected, 1);
        emu.ClearLog();
    }
    // Runs `hook` once, inside the message processing of the first request
    // that is on the line.
    void WhileOnTheLine(std::function<void()> hook) {
        drv->onProcessMessages([this, hook, done = false]() mutable {
            if (done || !HgcBox || !HgcBox->Busy()) return;
            done = true;
            hook();
        });
    }
};

TEST_F(ExchangeGuardTest, NothingElseStartsWhileAnExchangeRuns) {
    bool read = false, second = false;
    form->Attach(form->NContrDt, [&](TFormMain& f, ui::MenuItem&) { read = ReadTableRange({2, 0, 8}, &f.StatusBar1, true); });
    form->Attach("NFun", [&](TFormMain&, ui::MenuItem&) { second = true; });
    emu.QueueFault({emu::FaultKind::ReplyDelay, 150});
    WhileOnTheLine([&] {
        EXPECT_TRUE(LinkBusy());
        EXPECT_TRUE(ExchangeGuard::Refused(nullptr));
        EXPECT_TRUE(form->NFun.Click());     // the click arrives ...
        EXPECT_TRUE(form->NContrDt.Click());  // ... and so does a second one of the same item
        form->TimerStart.SetEnabled(true);
        EXPECT_TRUE(drv->fireTimer(form->TimerStart));
        form->BitBtn3.OnClick();  // the modal panel's hang-up
    });
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_TRUE(read);
    EXPECT_FALSE(second);                              // ... but no handler ran
    EXPECT_EQ(drv->modalCount<TFormConnect>(), 1);     // the connect sequence did not start again
    EXPECT_TRUE(form->TimerStart.Enabled());           // it tries again at its next tick
    EXPECT_EQ(IsConnected, 1);                         // nobody disconnected
    EXPECT_NE(HgcBox->hCom, platform::kNoHandle);
    EXPECT_EQ(Requests(), (std::vector<Request>{{1, 2, 0, 8}}));
    // Once it is over the other items work again.
    form->TimerStart.SetEnabled(false);
    ASSERT_TRUE(form->NFun.Click());
    EXPECT_TRUE(second);
    EXPECT_EQ(ExchangeGuard::Count(), 0);
}

TEST_F(ExchangeGuardTest, ClosingDuringAnExchangeWaitsUntilItHasUnwound) {
    bool finished = false, read = true;
    hgcbox* boxDuring = nullptr;
    form->Attach(form->NContrDt, [&](TFormMain& f, ui::MenuItem&) {
        read = ReadTableRange({2, 0, 8}, &f.StatusBar1, true);
        // The link object and the image are still there after the failed read.
        boxDuring = HgcBox;
        ConfigImage[cfgofs::kClock] = 1;
        finished = true;
    });
    emu.QueueFault({emu::FaultKind::ReplyDelay, 800});
    WhileOnTheLine([&] {
        form->Close();
        EXPECT_TRUE(form->Visible());
        EXPECT_TRUE(form->ClosePending());
        EXPECT_NE(HgcBox, nullptr);
        // A tick of the close timer while the exchange still runs changes nothing.
        EXPECT_TRUE(drv->fireTimer(form->TimerClose));
        EXPECT_TRUE(form->Visible());
        EXPECT_NE(HgcBox, nullptr);
    });
    // The request is aborted (error 19) and ends without asking to repeat it.
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_TRUE(finished);
    EXPECT_FALSE(read);
    EXPECT_NE(boxDuring, nullptr);
    EXPECT_LE(Requests().size(), 1u);  // the retry never reached the line
    EXPECT_TRUE(form->Visible());
    // The close runs at the close timer's next tick once the handler is over.
    EXPECT_TRUE(form->TimerClose.Enabled());
    EXPECT_TRUE(drv->fireTimer(form->TimerClose));
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(form->TimerClose.Enabled());
    EXPECT_EQ(HgcBox, nullptr);
    EXPECT_FALSE(form->ClosePending());
    // Menu items do nothing after the close.
    EXPECT_FALSE(form->Guarded([] { ADD_FAILURE() << "ran after the close"; }));
}

TEST_F(ExchangeGuardTest, EscEndsOnlyALongArchiveExchange) {
    bool read = true;
    uint32_t error = 0;
    form->Attach(form->NContrDt, [&](TFormMain&, ui::MenuItem&) {
        ArchiveExchange archive;
        read = ReadTableRange({2, 0, 8}, nullptr, false);
        error = HgcBox->Error;
        EXPECT_EQ(AbortRequested, 1);
    });
    emu.QueueFault({emu::FaultKind::ReplyDelay, 800});
    WhileOnTheLine([&] { drv->pressKey(ui::key::Escape); });
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_FALSE(read);
    EXPECT_EQ(error, hgcbox::kErrAborted);
    EXPECT_EQ(ExchangeActive, 0);
    EXPECT_FALSE(HgcBox->Abort.load());

    // Outside a long exchange Esc changes nothing and the request completes.
    AbortRequested = 0;
    form->Attach(form->NContrDt, [&](TFormMain&, ui::MenuItem&) { read = ReadTableRange({2, 0, 8}, nullptr, false); });
    emu.QueueFault({emu::FaultKind::ReplyDelay, 100});
    WhileOnTheLine([&] { drv->pressKey(ui::key::Escape); });
    ASSERT_TRUE(form->NContrDt.Click());
    EXPECT_TRUE(read);
    EXPECT_EQ(AbortRequested, 0);
}

}  // namespace
}  // namespace apptest
