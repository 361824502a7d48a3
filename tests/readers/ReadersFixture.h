// Shared set-up of the reader tests: a temporary WorkDir, the main window
// with the archive handlers attached, its link object connected over
// loopback TCP to the controller emulator, short time-outs, and a viewer
// registered for every archive kind that keeps what it is handed.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/ArchiveDefaults.h"
#include "app/Main.h"
#include "common/DateTime.h"
#include "config/Conffun.h"
#include "config/ConfigImage.h"
#include "data/ArchOpen.h"
#include "data/ArchRead.h"
#include "data/ArchView.h"
#include "data/Index.h"
#include "data/Period.h"
#include "data/ShortDate.h"
#include "emulator/ArchiveModel.h"
#include "emulator/Controller.h"
#include "emulator/Emulator.h"
#include "support/EmulatorLink.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

namespace readers {

using Bytes = std::vector<uint8_t>;

inline constexpr DeviceDateTime Rec(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {uint8_t(y), uint8_t(mo), uint8_t(d), uint8_t(h), uint8_t(mi), uint8_t(s)};
}

inline emu::DeviceTime Emu(const DeviceDateTime& r) { return {r.year, r.month, r.day, r.hour, r.minute, r.second}; }

class ReaderTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    emu::Emulator emu;
    emu::ArchiveModel& model = emu.Archives();  // the controller's archives, on its clock
    std::unique_ptr<ui::test::Driver> drv;
    std::unique_ptr<TFormMain> form;
    std::vector<ArchiveView> views;  // what the viewers were handed, in order

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("readers");
        std::filesystem::create_directories(dir / "INI");
        drv = std::make_unique<ui::test::Driver>();
        InitConfigImage();
        IsConnected = ExchangeActive = AbortRequested = 0;
        ArchiveReadEndPauseMs = 0;
        for (int k = 0; k < kArchiveKindCount; ++k)
            SetArchiveViewer(ArchiveKind(k), [this](ArchiveView& v) { views.push_back(v); });
        SetClock(kNow);
        form = std::make_unique<TFormMain>(nullptr);
        form->Show();
        form->FormActivate();  // the Esc hook
        ASSERT_EQ(form->AttachAll(ArchiveMenuBindings()), 25);
    }

    void TearDown() override {
        form.reset();
        drv->verify();
        drv.reset();
        for (int k = 0; k < kArchiveKindCount; ++k) SetArchiveViewer(ArchiveKind(k), {});
        emu.Stop();
    }

    // The controller's clock, standing still at 20.03.2024 10:30:00 unless a test moves it.
    static constexpr DeviceDateTime kNow = Rec(24, 3, 20, 10, 30, 0);
    void SetClock(const DeviceDateTime& t) {
        emu.SetClock(Emu(t));
        emu.FreezeClock(true);
    }
    // Tables 27, 10 and 11 set by hand to what the archive model has now;
    // from then on they stay as they are (left alone, the emulator keeps
    // them in step with the model).
    void PublishBounds() {
        emu.SetTable(27, model.Table27());
        emu.SetTable(10, model.IndexTable(emu::Archive::Diagnostic));
        emu.SetTable(11, model.IndexTable(emu::Archive::Intervention));
    }

    // The link over loopback TCP to the emulator (address 1), the
    // identification tables in the image, the menus of a connected window.
    void Connect() {
        HgcBox->Address = 1;
        zbr_test::OpenOverTcp(emu, *HgcBox);
        if (HasFatalFailure()) return;
        for (TableRequestHeader h : {TableRequestHeader{0, 0, 18}, TableRequestHeader{5, 0, 3}, TableRequestHeader{6, 0, 12},
                                     TableRequestHeader{14, 0, 14}, TableRequestHeader{15, 0, 8}})
            ASSERT_TRUE(ReadTableRange(h, &form->StatusBar1, true));
        IsConnected = 1;
        form->RefreshMenus();
        emu.ClearLog();
    }

    ui::MenuItem& Item(const char* name) {
        ui::MenuItem* i = form->MenuItemByName(name);
        EXPECT_NE(i, nullptr) << name;
        return *i;
    }

    // Requests of one command the emulator got, their data bytes.
    std::vector<Bytes> Requests(uint8_t command) const {
        std::vector<Bytes> out;
        for (const emu::ReceivedFrame& f : emu.Log())
            if (f.command == command) out.push_back(f.data);
        return out;
    }
    int Answered(uint8_t command) const {
        int n = 0;
        for (const emu::ReceivedFrame& f : emu.Log()) n += f.command == command && f.answered;
        return n;
    }

    // The records a viewer got, one vector per record.
    static std::vector<Bytes> Records(const ArchiveView& v) {
        std::vector<Bytes> out;
        for (uint32_t i = 0; i < v.count; ++i) out.emplace_back(v.Entry(i), v.Entry(i) + v.entrySize);
        return out;
    }

    // Presses Esc once, between two requests, after `replies` replies of `command`.
    void EscAfter(uint8_t command, int replies) {
        drv->onProcessMessages([this, command, replies, done = false]() mutable {
            if (done || !HgcBox || HgcBox->Busy() || !ExchangeActive) return;
            if (Answered(command) >= replies) {
                done = true;
                drv->pressKey(ui::key::Escape);
            }
        });
    }
};

}  // namespace readers
