// Typed input of the parameter editors, on blocks of their own: the link
// editors, the flow-computer row, the five limit kinds, the constants of a
// line and the names. Every wrong value gets the editor's message and leaves
// its block byte for byte as it was; the editors of lists and flags take no
// typed input at all.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>

#include "WindowInput.h"
#include "common/ReportFormat.h"
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
#include "config/Formate.h"
#include "config/GasParamRows.h"
#include "config/LimitRanges.h"
#include "config/Limits.h"
#include "config/OvgList.h"
#include "config/OvgPar.h"
#include "config/PrzDistr.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "platform/Codepage.h"

namespace {

using wi::Bad;
using wi::Msg;

const Msg kNotAll{2, "Уведені не всі параметри", ""};

template <std::size_t N> std::function<std::string()> Of(const std::array<uint8_t, N>& b) {
    return [&b] { return std::string(b.begin(), b.end()); };
}

// Opens F on a set-up function and reads its accepted flag.
template <class F> wi::Window::Opener Shows(ui::test::Driver& drv, std::function<void(F&)> setUp) {
    return [&drv, setUp](const std::function<void(ui::Form&)>& act) {
        drv.onModal<F>([&act](F& f) { act(f); });
        auto f = std::make_unique<F>(nullptr);
        setUp(*f);
        f->ShowModal();
        return int(f->accepted);
    };
}

class EditorWindowsInput : public ::testing::Test {
protected:
    void SetUp() override { InitConfigImage(); }
    void TearDown() override { drv.verify(); }
    ui::test::Driver drv;
};

TEST_F(EditorWindowsInput, EveryTypedFieldRefusesWhatItCannotTake) {
    std::vector<wi::Window> windows;

    // Link editors.
    std::array<uint8_t, 4> vu{1, 11, 0, 0};
    const Msg notAllRu{2, "Введены не все параметры", ""};
    for (uint8_t mode : {0, 1})
        windows.push_back({mode ? "TFormConVU mode 1" : "TFormConVU mode 0", Of(vu),
                           Shows<TFormConVU>(drv,
                                             [&vu, mode](TFormConVU& f) {
                                                 f.Block = vu.data();
                                                 f.Mode = mode;
                                             }),
                           mode ? "BitBtn1" : "BitBtn3", "BitBtn2",
                           {wi::Int("ComboBox1", 1, 254, notAllRu, {2, "Адрес должен быть", "в диапазоне 1...254"}),
                            wi::Int("Edit10", 0, 255, notAllRu,
                                    {2, "Количество преамбул не должно превышать 255", ""})}});

    std::array<uint8_t, 6> vich{2, 11, 3, 10, 2, 1};
    windows.push_back({"TFormConVich", Of(vich),
                       Shows<TFormConVich>(drv, [&vich](TFormConVich& f) { f.Block = vich.data(); }), "BitBtn3",
                       "BitBtn2",
                       {wi::Int("Edit2", 0, 255, kNotAll, {2, "Кількість преамбул не повинно перевищувати 255", ""})}});

    const Msg chromAddress{2, "Адреса повинна бути", "в діапазоні 1...247"};
    std::array<uint8_t, 14> hgc{1, 11, 1, 0, 10, 3, 3, 0x03, 7, 9, 1, 2, 1, 3};
    const std::array<uint8_t, 2> ovgAddresses{5, 9};
    std::array<uint8_t, 60> names{};
    windows.push_back({"TFormConHGC", Of(hgc),
                       Shows<TFormConHGC>(drv,
                                          [&](TFormConHGC& f) {
                                              f.Block = hgc.data();
                                              f.OvgCount = 2;
                                              f.OvgAddresses = ovgAddresses.data();
                                              f.Names = names.data();
                                          }),
                       "BitBtn3", "BitBtn2", {wi::Int("ComboBox3", 1, 247, kNotAll, chromAddress)}});

    std::array<uint8_t, 8> wmt{2, 11, 1, 0, 10, 3, 0, 0};
    windows.push_back({"TFormConWMT", Of(wmt), Shows<TFormConWMT>(drv, [&wmt](TFormConWMT& f) { f.Block = wmt.data(); }),
                       "BitBtn3", "BitBtn2",
                       {wi::Int("ComboBox3", 1, 247, kNotAll, chromAddress),
                        wi::Int("ComboBox8", 5, 255, kNotAll, {2, "Таймаут повинен бути", "в діапазоні 5...255"})}});

    // One flow computer, in either password layout.
    OvgRow row{};
    row.Address = 3;
    row.Mask = 0x01;
    std::memset(row.Password, ' ', sizeof row.Password);
    uint8_t layout = 0;
    auto rowBytes = [&] { return wi::Bytes(row) + std::string(1, char(layout)); };
    const Msg ovgNotAll{2, "Введені не всі параметри", ""};
    const wi::Field ovgAddress = wi::Int("ComboBox1", 1, 254, ovgNotAll, {2, "Адреса поза припустимого діапазону", ""});
    auto ovgPar = Shows<TFormOvgPar>(drv, [&](TFormOvgPar& f) {
        f.Row = &row;
        f.LayoutFlag = &layout;
        f.ThreadByte = 0x03;
    });
    windows.push_back({"TFormOvgPar 16-character password", rowBytes, ovgPar, "BitBtn3", "BitBtn2",
                       {ovgAddress, wi::Text("Edit2", 16, nullptr)}});
    for (const wi::Window& w : windows) wi::Check(drv, w);
    windows.clear();
    layout = 1;
    windows.push_back({"TFormOvgPar password and code", rowBytes, ovgPar, "BitBtn3", "BitBtn2",
                       {ovgAddress, wi::Text("Edit4", 12, nullptr), wi::Text("Edit3", 4, nullptr)}});

    // The names: blanks alone are no name.
    std::array<uint8_t, 60> ownNames{};
    for (int i = 0; i < 3; ++i) std::memcpy(ownNames.data() + 20 * i, "Name", 4);
    windows.push_back({"TFormContrName", Of(ownNames),
                       Shows<TFormContrName>(drv, [&ownNames](TFormContrName& f) { f.Block = ownNames.data(); }),
                       "BitBtn3", "BitBtn2",
                       {wi::Text("Edit1", 20, &kNotAll, true), wi::Text("Edit2", 20, &kNotAll, true),
                        wi::Text("Edit3", 20, &kNotAll, true)}});
    for (const wi::Window& w : windows) wi::Check(drv, w);
    windows.clear();

    // The five limit kinds, oxygen edited: every code but the gas
    // temperature, each in its own range.
    for (uint8_t kind = 0; kind < 5; ++kind) {
        std::array<uint8_t, 80> limits{};
        for (int c = 0; c < gasrows::kRows; ++c) gasrows::PutValue(limits.data(), c, LimitRanges[kind][c].def);
        std::vector<wi::Field> fields;
        for (int c = 0; c < gasrows::kRows; ++c) {
            if (!gasrows::Edited(c, true)) continue;
            const LimitRange& r = LimitRanges[kind][c];
            fields.push_back(wi::Real(gasrows::RowName("ev", c), r.min, r.max, kNotAll,
                                      {2, "Параметр \"" + gasrows::ParamName(c) + " \".",
                                       "Введіть значення відповідно до допустимого діапазону"},
                                      {{Bad::Blank, kNotAll}}, std::pow(10.0, -r.decimals)));
        }
        wi::Check(drv, {"TFormLimits kind " + std::to_string(kind), Of(limits),
                        Shows<TFormLimits>(drv,
                                           [&limits, kind](TFormLimits& f) {
                                               f.Block = limits.data();
                                               f.Kind = kind;
                                               f.Oxygen = 1;
                                           }),
                        "BitBtn3", "BitBtn2", fields});
    }

    // The constants of a line, every edited row ticked: no range, but a
    // value that is no finite number, or none in a ticked row, is refused.
    std::array<uint8_t, kConstBlockSize> consts{};
    std::vector<wi::Field> constFields;
    for (int c = 0; c < gasrows::kRows; ++c) {
        if (!gasrows::Edited(c, true)) continue;
        consts[std::size_t(c)] = 1;
        gasrows::PutValue(consts.data() + kConstValuesAt, c, 1.5f + float(c));
        const Msg none{2, gasrows::ParamName(c), "Не введено значення константи."};
        constFields.push_back(wi::Real(gasrows::RowName("ev", c), 1, 0, none, none));
    }
    windows.push_back({"TFormConst_Par", Of(consts),
                       Shows<TFormConst_Par>(drv,
                                             [&consts](TFormConst_Par& f) {
                                                 f.Block = consts.data();
                                                 f.Oxygen = 1;
                                             }),
                       "BitBtn1", "BitBtn2", constFields});

    // Lists, flags and choices only: nothing to type.
    std::array<uint8_t, 2> distr{3, 0};
    windows.push_back({"TFormDistr", Of(distr), Shows<TFormDistr>(drv, [&distr](TFormDistr& f) { f.Block = distr.data(); }),
                       "BitBtn3", "BitBtn2", {}});
    std::array<uint8_t, 20> prz{};
    windows.push_back({"TFormPrzDistr", Of(prz), Shows<TFormPrzDistr>(drv, [&prz](TFormPrzDistr& f) { f.Block = prz.data(); }),
                       "BitBtn3", "BitBtn2", {}});
    std::array<uint8_t, 12> sys{3, 0xC9, 3, 10, 0xC9, 4, 7, 1, 1, 1, 0x5A, 0xA5};
    windows.push_back({"TFormSys", Of(sys), Shows<TFormSys>(drv, [&sys](TFormSys& f) { f.Block = sys.data(); }),
                       "BitBtn3", "BitBtn2", {}});
    std::array<uint8_t, 4> sync{1, 0, 1, 0};
    windows.push_back({"TFormTime_Sinhr", Of(sync),
                       Shows<TFormTime_Sinhr>(drv, [&sync](TFormTime_Sinhr& f) { f.Block = sync.data(); }), "BitBtn1",
                       "BitBtn2", {}});
    ReportFormatRecord format = DefaultReportFormat();
    windows.push_back({"TFormRepConf", [&format] { return wi::Bytes(format); },
                       Shows<TFormRepConf>(drv, [&format](TFormRepConf& f) { f.format = &format; }), "BitBtn3",
                       "BitBtn2", {}});
    std::array<OvgRow, 16> rows{};
    rows[0] = row;
    windows.push_back({"TFormOvgList", [&rows] { return wi::Bytes(rows); },
                       Shows<TFormOvgList>(drv,
                                           [&rows](TFormOvgList& f) {
                                               f.Rows = rows.data();
                                               f.Count = 1;
                                           }),
                       "BitBtn1", "BitBtn2", {}});
    ConfigRecord rec;
    InitNewConfigFile(rec);
    windows.push_back({"TFormConfig", [&rec] { return wi::Bytes(rec); },
                       Shows<TFormConfig>(drv, [&rec](TFormConfig& f) { f.Record = &rec; }), "BitBtn1", "BitBtn2",
                       {}});
    for (const wi::Window& w : windows) wi::Check(drv, w);
}

// A name as long as its row, or longer, fills the row and not one byte
// beyond it.
TEST_F(EditorWindowsInput, NamesNeverReachPastTheirRows) {
    std::array<uint8_t, 64> block{};
    block.fill(0xEE);
    for (int i = 0; i < 3; ++i) std::memcpy(block.data() + 20 * i, "Name", 4);
    drv.onModal<TFormContrName>([](TFormContrName& f) {
        f.Edit1.SetText(std::string(60, 'A'));
        f.Edit2.SetText("Ж\xD0");  // the last byte is half a character
        f.Edit3.SetText("12345678901234567890");
        f.BitBtn3.Click();
    });
    TFormContrName f(nullptr);
    f.Block = block.data();
    f.ShowModal();
    ASSERT_EQ(f.accepted, 1);
    EXPECT_EQ(std::string(block.begin(), block.begin() + 20), std::string(20, 'A'));
    EXPECT_EQ(block[20], 0xC6);  // Ж in Windows-1251
    EXPECT_EQ(std::string(block.begin() + 40, block.begin() + 60), "12345678901234567890");
    for (int i = 60; i < 64; ++i) EXPECT_EQ(block[std::size_t(i)], 0xEE) << i;
}

}  // namespace
