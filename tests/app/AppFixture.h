// Shared set-up of the main-window tests: a temporary WorkDir, the
// controller emulator on a pseudo-terminal linked as dev/com1 (and on
// loopback TCP when asked), settings files with short time-outs, the
// headless driver and the main window.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/Main.h"
#include "config/ConfigImage.h"
#include "emulator/Emulator.h"
#include "config/Shortuspass.h"
#include "link/Connect.h"
#include "link/Connectmodem.h"
#include "platform/Codepage.h"
#include "platform/Paths.h"
#include "support/EmulatorModem.h"
#include "support/TestFolders.h"
#include "ui/TestDriver.h"

namespace apptest {

// command, table, first row, rows of one request the emulator got.
using Request = std::tuple<int, int, int, int>;

class AppTest : public ::testing::Test {
protected:
    std::filesystem::path dir;
    emu::Emulator emu;
    std::unique_ptr<ui::test::Driver> drv;
    std::unique_ptr<TFormMain> form;
    // What the operator types into the identification window.
    std::string userCode = "1111", password = "12345";
    int identities = 0;

    void SetUp() override {
        dir = zbr_test::FreshWorkDir("app");
        std::filesystem::create_directories(dir / "INI");
        drv = std::make_unique<ui::test::Driver>();
        InitConfigImage();
        IsConnected = ExchangeActive = AbortRequested = RestoreThenDisconnect = 0;
    }

    void TearDown() override {
        form.reset();
        drv->verify();
        drv.reset();
        emu.Stop();
    }

    // A settings file of the WorkDir from UTF-8 text, stored in code page 1251.
    void WriteFile(const std::string& relative, const std::string& text) {
        zbr_test::WriteBytes((dir / relative).string(), platform::Utf8ToCp1251(text));
    }
    std::string ReadFile(const std::string& relative) { return zbr_test::ReadBytes((dir / relative).string()); }

    // zbr.ini for the direct link on COM1 at `adr`, short time-outs.
    void DirectSettings(int adr = 1, int linkType = 0) {
        WriteFile("INI/zbr.ini",
                  "[CURR_PAR]\r\nConn_Prz=" + std::to_string(linkType) +
                      "\r\nFree_Port_Wait=1\r\nDo_Close_Port=0\r\n"
                      "[DIR_CONN_PAR]\r\nCOMPort=1\r\nAdr=" +
                      std::to_string(adr) +
                      "\r\nRate=115200\r\nPreambles=2\r\nRepeat=1\r\nTimeOut=100\r\nWaitTime=1\r\n"
                      "[FON_CONN_PAR]\r\nCOMPort=1\r\nAdr=1\r\nRate=9600\r\nPreambles=0\r\nRepeat=1\r\n"
                      "TimeOut=100\r\nWaitTime=1\r\nCommand=\r\nConnectWaitTime=2\r\nConn_Repeat=1\r\n"
                      "[ETHERNET_CONN_PAR]\r\nAdr=1\r\nPreambles=0\r\nRepeat=1\r\nTimeOut=100\r\nWaitTime=1\r\n"
                      "ConnectWaitTime=2\r\nConn_Repeat=1\r\n");
    }

    // The emulator on dev/com1 (optionally behind its modem, with the short
    // guard time).
    void StartPty(bool modem = false) {
        if (modem) zbr_test::EnableModem(emu);
        emu.StartPty((dir / "dev" / "com1").string());
    }

    void StartForm() {
        form = std::make_unique<TFormMain>(nullptr);
        HgcBox->TcpSendDelayMs = 0;
        form->Show();
    }

    // Runs the connect sequence with the connect dialog's "Зв'язатися".
    void RunConnect() {
        drv->onModal<TFormConnect>([](TFormConnect& f) {
            f.ConnectSettleMs = 0;
            f.BitBtn1.Click();
        });
        drv->onModal<TFormShortUsPass>([this](TFormShortUsPass& f) {
            ++identities;
            f.Edit1.TypeText(userCode);
            f.Edit2.TypeText(password);
            f.BitBtn1.Click();
        });
        ASSERT_TRUE(drv->fireTimer(form->TimerStart));
    }

    // Table requests and other commands the emulator got, in order.
    std::vector<Request> Requests() {
        std::vector<Request> out;
        for (const emu::ReceivedFrame& f : emu.Log()) {
            if (f.command == 1 && f.data.size() >= 4) out.emplace_back(1, f.data[1], f.data[2], f.data[3]);
            else if (f.command == 2 && f.data.size() >= 20) out.emplace_back(2, f.data[17], f.data[18], f.data[19]);
            else out.emplace_back(f.command, -1, -1, -1);
        }
        return out;
    }

    // Replaces byte `at` of emulator table t.
    void PatchTable(int t, int at, uint8_t v) {
        std::vector<uint8_t> b = emu.Table(t);
        b.at(at) = v;
        emu.SetTable(t, b);
    }

    // Top-level and named items that are visible.
    bool Shown(const char* name) {
        ui::MenuItem* i = form->MenuItemByName(name);
        EXPECT_NE(i, nullptr) << name;
        return i && i->Visible();
    }
};

}  // namespace apptest
