// The limits editor and the constants editor through the headless backend:
// every range of every kind at its bounds and just beyond them, the rows of
// oxygen and gas temperature, values that are no finite number, and the
// exact bytes an accept stores.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "EditorTestUtil.h"
#include "common/Stringi.h"
#include "common/Suplfunc.h"
#include "config/Const_Par.h"
#include "config/GasParamRows.h"
#include "config/LimitRanges.h"
#include "config/Limits.h"
#include "ui/TestDriver.h"

using edtest::ExpectRefused;
using edtest::GetF;
using edtest::PutF;

namespace {

class LimitsConst : public ::testing::Test {
protected:
    void SetUp() override { SetDecimalSeparator(','); }
    void TearDown() override { drv.verify(); }
    ui::test::Driver drv;
};

std::string Name(int code) { return texts::GasParamNames.At(code); }
std::string RangeMessage(int code) { return "Параметр \"" + Name(code) + " \"."; }
const char* const kRangeHint = "Введіть значення відповідно до допустимого діапазону";

// A value as an operator would type it (six decimals, the separator in use).
std::string Typed(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

// A limit block of the defaults of a kind.
std::vector<uint8_t> Defaults(int kind) {
    std::vector<uint8_t> b(80);
    for (int c = 0; c < 20; ++c) PutF(b.data(), c, LimitRanges[kind][c].def);
    return b;
}

}  // namespace

// ---------------------------------------------------------------- limits

TEST_F(LimitsConst, LimitsShowTheirRowsAndFormatOnExit) {
    std::vector<uint8_t> block = Defaults(1);
    PutF(block.data(), 16, 777.0f);
    drv.onModal<TFormLimits>([&](TFormLimits& f) {
        EXPECT_EQ(f.Caption(), " Нижня попереджувальна уставка параметра газу");
        EXPECT_EQ(f.Width(), 550);
        EXPECT_EQ(f.Height(), 530);
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_FALSE(f.BitBtn3.Visible());
        for (int c = 0; c < 20; ++c) {
            const std::string n = std::to_string(c + 1);
            ASSERT_EQ(f.FindComponent("pn" + n), f.pn[c]);
            ASSERT_EQ(f.FindComponent("pd" + n), f.pd[c]);
            ASSERT_EQ(f.FindComponent("ev" + n), f.ev[c]);
            ASSERT_EQ(f.FindComponent("l" + n), f.l[c]);
            EXPECT_EQ(f.ev[c]->Tag(), c);
            EXPECT_EQ(f.pn[c]->Caption(), Name(c));
        }
        EXPECT_EQ(f.pd[8]->Caption(), " 40,000 - 100,000");
        EXPECT_EQ(f.ev[8]->Text(), "95,000");
        EXPECT_EQ(f.l[8]->Caption(), "%");
        EXPECT_EQ(f.l[11]->Caption(), "МДж/м3");
        EXPECT_EQ(f.ev[14]->Text(), "0,9980");
        // Oxygen (no flag) and gas temperature are not edited.
        for (int c : {15, 16}) {
            EXPECT_EQ(f.pd[c]->Caption(), "Не використов.");
            EXPECT_EQ(f.pd[c]->Font().Color, 0x800000u);
            EXPECT_EQ(f.ev[c]->Text(), "0");
            EXPECT_FALSE(f.ev[c]->Enabled());
            EXPECT_EQ(f.l[c]->Caption(), "");
        }
        // Typing 5 into a row of three decimals shows 5,000 once the edit is left.
        f.ev[8]->SetFocus();
        f.ev[8]->SetText({});
        ASSERT_TRUE(f.ev[8]->TypeText("5"));
        f.ev[9]->SetFocus();
        EXPECT_EQ(f.ev[8]->Text(), "5,000");
        // The key filter lets no letters in.
        f.ev[0]->SetText({});
        ASSERT_TRUE(f.ev[0]->TypeText("0x.5"));
        EXPECT_EQ(f.ev[0]->Text(), "0,5");
        // An empty edit anywhere among the edited rows.
        f.ev[19]->SetText({});
        ExpectRefused(drv, f, f.BitBtn1, 2, "Уведені не всі параметри");
        f.ev[19]->SetText("0,5");
        ExpectRefused(drv, f, f.BitBtn1, 2, RangeMessage(8), kRangeHint);  // 5 is no methane bound
        f.ev[8]->SetText("40");
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    const std::vector<uint8_t> before = block;
    TFormLimits f;
    f.Block = block.data();
    f.Mode = 1;
    f.Kind = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    EXPECT_EQ(GetF(block.data(), 8), 40.0f);
    EXPECT_EQ(GetF(block.data(), 0), 0.5f);
    EXPECT_EQ(GetF(block.data(), 16), 777.0f);  // never changed
    EXPECT_EQ(std::memcmp(block.data() + 60, before.data() + 60, 8), 0);  // codes 15 and 16 as they were
}

TEST_F(LimitsConst, EveryRangeAtItsBoundsAndBeyond) {
    for (int kind = 0; kind < kLimitKindCount; ++kind) {
        for (int pass = 0; pass < 2; ++pass) {  // accept at the lower, then at the upper bounds
            std::vector<uint8_t> block = Defaults(kind);
            drv.onModal<TFormLimits>([&](TFormLimits& f) {
                EXPECT_EQ(f.Caption(), TFormLimits::KindCaption(kind));
                const std::vector<uint8_t> shown = block;
                for (int c = 0; c < 20; ++c) {
                    if (c == 16) continue;
                    const LimitRange& r = LimitRanges[kind][c];
                    const std::string keep = f.ev[c]->Text();
                    // One step of the shown decimals beyond each bound (leaving
                    // the edit rounds the text to them).
                    const double step = std::pow(10.0, -r.decimals);
                    for (double outside : {double(r.min) - step, double(r.max) + step}) {
                        f.ev[c]->SetText(Typed(outside));
                        ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(c), kRangeHint);
                        EXPECT_EQ(block, shown) << kind << "/" << c;
                    }
                    f.ev[c]->SetText(keep);
                }
                for (int c = 0; c < 20; ++c) {
                    if (c == 16) continue;
                    const LimitRange& r = LimitRanges[kind][c];
                    f.ev[c]->SetText(gasrows::LimitText(pass == 0 ? r.min : r.max, r.decimals));
                }
                ASSERT_TRUE(f.BitBtn3.Click());
            });
            TFormLimits f;
            f.Block = block.data();
            f.Oxygen = 1;
            f.Kind = uint8_t(kind);
            f.ShowModal();
            ASSERT_EQ(f.accepted, 1) << kind;
            for (int c = 0; c < 20; ++c) {
                const LimitRange& r = LimitRanges[kind][c];
                const float want = c == 16 ? r.def : pass == 0 ? r.min : r.max;
                EXPECT_NEAR(GetF(block.data(), c), want, std::fabs(want) * 1e-6 + 1e-9) << kind << "/" << c;
            }
        }
    }
}

TEST_F(LimitsConst, LimitsNamedEdgeCases) {
    // Kind 1, methane: 40 and 100 pass, 39,9 does not.
    for (const char* text : {"40", "100", "39,9"}) {
        std::vector<uint8_t> block = Defaults(1);
        drv.onModal<TFormLimits>([&](TFormLimits& f) {
            f.ev[8]->SetText(text);
            if (std::string(text) == "39,9") {
                ExpectRefused(drv, f, f.BitBtn3, 2, "Параметр \"Молярна частка метану \".", kRangeHint);
                return;
            }
            ASSERT_TRUE(f.BitBtn3.Click());
        });
        TFormLimits f;
        f.Block = block.data();
        f.Kind = 1;
        f.ShowModal();
        EXPECT_EQ(f.accepted, std::string(text) == "39,9" ? 0 : 1) << text;
    }
    // Kind 0, density: 0,0001 and 0,001 pass, 0 does not.
    for (const char* text : {"0,0001", "0,001", "0"}) {
        std::vector<uint8_t> block = Defaults(0);
        drv.onModal<TFormLimits>([&](TFormLimits& f) {
            f.ev[12]->SetText(text);
            if (std::string(text) == "0") {
                ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(12), kRangeHint);
                return;
            }
            ASSERT_TRUE(f.BitBtn3.Click());
        });
        TFormLimits f;
        f.Block = block.data();
        f.Kind = 0;
        f.ShowModal();
        EXPECT_EQ(f.accepted, std::string(text) == "0" ? 0 : 1) << text;
    }
}

TEST_F(LimitsConst, LimitsRefuseWhatIsNoFiniteNumber) {
    std::vector<uint8_t> block = Defaults(2);
    PutF(block.data(), 3, std::numeric_limits<float>::quiet_NaN());
    PutF(block.data(), 15, 0.5f);
    const std::vector<uint8_t> original = block;
    drv.onModal<TFormLimits>([&](TFormLimits& f) {
        // A NaN from the controller shows as such and cannot be accepted.
        EXPECT_EQ(f.ev[3]->Text(), "NAN");
        ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(3), kRangeHint);
        f.ev[3]->SetText("1e39");  // beyond single precision
        ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(3), kRangeHint);
        f.ev[3]->SetText("-");
        ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(3), kRangeHint);
        // Leaving an edit that holds no number keeps the text as typed.
        f.ev[3]->SetFocus();
        f.ev[4]->SetFocus();
        EXPECT_EQ(f.ev[3]->Text(), "-");
        EXPECT_EQ(block, original);
        // With the oxygen flag its row is checked like the others.
        EXPECT_TRUE(f.ev[15]->Enabled());
        EXPECT_EQ(f.ev[15]->Text(), "0,500");
        f.ev[3]->SetText("1,2");
        f.ev[15]->SetText("1,3");
        ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(15), kRangeHint);
        f.ev[15]->SetText("1,1");
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormLimits f;
    f.Block = block.data();
    f.Oxygen = 1;
    f.Kind = 2;
    f.ShowModal();
    EXPECT_EQ(GetF(block.data(), 3), 1.2f);
    EXPECT_EQ(GetF(block.data(), 15), 1.1f);
}

// ---------------------------------------------------------------- constants

TEST_F(LimitsConst, ConstantsStoreFlagsAndValues) {
    uint8_t block[100] = {};
    PutF(block + 20, 0, 0.0000005f);
    PutF(block + 20, 1, 123.4f);
    PutF(block + 20, 2, 7.0f);
    PutF(block + 20, 15, 3.0f);
    PutF(block + 20, 16, 12.5f);
    block[15] = 1;
    block[16] = 1;
    drv.onModal<TFormConst_Par>([&](TFormConst_Par& f) {
        EXPECT_EQ(f.Caption(), " Константи параметрів газу нитки 2");
        EXPECT_EQ(f.Width(), 596);
        EXPECT_EQ(f.Height(), 724);
        EXPECT_TRUE(f.BitBtn3.Visible());
        EXPECT_FALSE(f.BitBtn1.Visible());
        for (int c = 0; c < 20; ++c) {
            const std::string n = std::to_string(c + 1);
            ASSERT_EQ(f.FindComponent("cb" + n), f.cb[c]);
            ASSERT_EQ(f.FindComponent("ev" + n), f.ev[c]);
            EXPECT_EQ(f.pn[c]->Caption(), Name(c));
        }
        EXPECT_EQ(f.ev[0]->Text(), FormatValue(0.0000005f));
        EXPECT_NE(f.ev[0]->Text().find_first_of("eE"), std::string::npos);
        EXPECT_EQ(f.ev[1]->Text(), FormatValue(123.4f));
        for (int c : {15, 16}) {
            EXPECT_FALSE(f.ev[c]->Enabled());
            EXPECT_FALSE(f.cb[c]->Enabled());
            EXPECT_EQ(f.ev[c]->Text(), "");
            EXPECT_EQ(f.ev[c]->Color(), 0xD3D3D3u);
            EXPECT_EQ(f.pn[c]->Font().Color, 0x800000u);
        }
        // A ticked row without a value names its parameter.
        ASSERT_TRUE(f.cb[4]->Click());
        f.ev[4]->SetText({});
        ExpectRefused(drv, f, f.BitBtn3, 2, Name(4), "Не введено значення константи.");
        ASSERT_TRUE(f.ev[4]->TypeText("2,5"));
        // No finite single-precision number: refused with the parameter's name.
        f.ev[7]->SetText("1e39");
        ExpectRefused(drv, f, f.BitBtn3, 2, Name(7), "Не введено значення константи.");
        f.ev[7]->SetText("e");
        ExpectRefused(drv, f, f.BitBtn3, 2, Name(7), "Не введено значення константи.");
        f.ev[7]->SetText("-1,5");  // no range: any finite number
        // An unticked row with a value keeps the value; an empty unticked row its constant.
        f.ev[9]->SetText("0,25");
        f.ev[2]->SetText({});
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormConst_Par f;
    f.Line = 1;
    f.Block = block;
    f.Mode = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 1);
    std::vector<uint8_t> flags(block, block + 20);
    std::vector<uint8_t> want(20, 0);
    want[4] = 1;
    EXPECT_EQ(flags, want);
    EXPECT_EQ(GetF(block + 20, 4), 2.5f);
    EXPECT_EQ(GetF(block + 20, 7), -1.5f);
    EXPECT_EQ(GetF(block + 20, 9), 0.25f);
    EXPECT_EQ(GetF(block + 20, 2), 7.0f);
    EXPECT_EQ(GetF(block + 20, 15), 0.0f);  // no oxygen: flag 0, constant 0
    EXPECT_EQ(GetF(block + 20, 16), 0.0f);
}

TEST_F(LimitsConst, ConstantsRefusedLeaveTheBlockAndOxygenIsEditedWithItsFlag) {
    uint8_t block[100] = {};
    PutF(block + 20, 15, 0.25f);
    block[15] = 1;
    const std::vector<uint8_t> original(block, block + 100);
    drv.onModal<TFormConst_Par>([&](TFormConst_Par& f) {
        EXPECT_EQ(f.Caption(), " Константи параметрів газу нитки 1");
        EXPECT_TRUE(f.BitBtn1.Visible());
        EXPECT_TRUE(f.cb[15]->Checked());
        EXPECT_TRUE(f.ev[15]->Enabled());
        EXPECT_EQ(f.ev[15]->Text(), FormatValue(0.25f));
        f.ev[15]->SetText({});
        ExpectRefused(drv, f, f.BitBtn1, 2, Name(15), "Не введено значення константи.");
        EXPECT_EQ(std::vector<uint8_t>(block, block + 100), original);
        f.ev[15]->SetText("0,5");
        ASSERT_TRUE(f.BitBtn2.Click());
    });
    TFormConst_Par f;
    f.Block = block;
    f.Oxygen = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(std::vector<uint8_t>(block, block + 100), original);
}

// ---------------------------------------------------------------- the shared rows

TEST(GasParamRows, EditedCodesAndValueTexts) {
    for (int c = 0; c < 20; ++c) {
        EXPECT_EQ(gasrows::Edited(c, true), c != 16) << c;
        EXPECT_EQ(gasrows::Edited(c, false), c != 15 && c != 16) << c;
    }
    EXPECT_FALSE(gasrows::Edited(-1, true));
    EXPECT_FALSE(gasrows::Edited(20, true));
    EXPECT_TRUE(gasrows::OxygenInComponents(0x07));
    EXPECT_FALSE(gasrows::OxygenInComponents(0x03));
    EXPECT_EQ(gasrows::RowName("pn", 0), "pn1");
    float v = 1;
    EXPECT_EQ(gasrows::ReadSingle("  ", v), gasrows::Value::Empty);
    EXPECT_EQ(gasrows::ReadSingle("3.4e38", v), gasrows::Value::Number);
    EXPECT_EQ(gasrows::ReadSingle("3.5e38", v), gasrows::Value::Invalid);  // infinite in single precision
    EXPECT_EQ(gasrows::ReadSingle("1,5", v), gasrows::Value::Number);
    EXPECT_EQ(v, 1.5f);
}

// ---------------------------------------------------------------- untouched values stay exact

TEST_F(LimitsConst, AcceptingUntouchedEditsKeepsTheStoredValuesExactly) {
    // Values with more digits than the editors show.
    std::vector<uint8_t> limits = Defaults(1);
    PutF(limits.data(), 4, 0.00015f);   // shown with 4 decimals: "0,0002"
    PutF(limits.data(), 12, 0.678901f);  // shown with 3: "0,679"
    const std::vector<uint8_t> limitsBefore = limits;
    drv.onModal<TFormLimits>([&](TFormLimits& f) {
        EXPECT_EQ(f.ev[4]->Text(), "0,0002");
        f.ev[4]->SetFocus();
        f.ev[12]->SetFocus();  // leaving an edit unchanged changes nothing either
        ASSERT_TRUE(f.BitBtn3.Click());
    });
    TFormLimits lf;
    lf.Block = limits.data();
    lf.Kind = 1;
    lf.ShowModal();
    EXPECT_EQ(lf.accepted, 1);
    EXPECT_EQ(limits, limitsBefore);

    uint8_t consts[100] = {};
    PutF(consts + 20, 0, 0.0312345f);
    PutF(consts + 20, 1, 0.000051234f);
    PutF(consts + 20, 2, 12345.678f);
    consts[1] = 1;
    const std::vector<uint8_t> constsBefore(consts, consts + 100);
    drv.onModal<TFormConst_Par>([&](TFormConst_Par& f) {
        EXPECT_EQ(f.ev[1]->Text(), FormatValue(0.000051234f));
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConst_Par cf;
    cf.Block = consts;
    cf.Oxygen = 1;
    cf.ShowModal();
    EXPECT_EQ(cf.accepted, 1);
    EXPECT_EQ(std::vector<uint8_t>(consts, consts + 100), constsBefore);

    // A NaN constant is not kept: it must be replaced by a number.
    PutF(consts + 20, 3, std::numeric_limits<float>::quiet_NaN());
    drv.onModal<TFormConst_Par>([&](TFormConst_Par& f) {
        EXPECT_EQ(f.ev[3]->Text(), "NAN");
        ExpectRefused(drv, f, f.BitBtn1, 2, Name(3), "Не введено значення константи.");
        f.ev[3]->SetText("0");
        ASSERT_TRUE(f.BitBtn1.Click());
    });
    TFormConst_Par nf;
    nf.Block = consts;
    nf.Oxygen = 1;
    nf.ShowModal();
    EXPECT_EQ(GetF(consts + 20, 3), 0.0f);
    EXPECT_EQ(GetF(consts + 20, 0), 0.0312345f);
}

TEST_F(LimitsConst, StoredValueJustOutsideItsRangeIsReplacedByTheValueShown) {
    // The controller holds methane's lower warning set point a little below
    // its range; the editor shows it rounded to the bound. Accepting what is
    // shown, or typing the bound, stores the bound.
    for (const char* typed : {"", "40"}) {
        std::vector<uint8_t> block = Defaults(1);
        PutF(block.data(), 8, 39.9999f);
        PutF(block.data(), 0, 0.6004f);  // shown "0,600", above 0,6
        std::vector<uint8_t> want = block;
        PutF(want.data(), 8, 40.0f);
        PutF(want.data(), 0, 0.6f);
        drv.onModal<TFormLimits>([&](TFormLimits& f) {
            EXPECT_EQ(f.ev[8]->Text(), "40,000");
            EXPECT_EQ(f.ev[0]->Text(), "0,600");
            if (*typed) {
                f.ev[8]->SetFocus();
                f.ev[8]->SetText(typed);
                f.ev[0]->SetFocus();  // leaving it shows "40,000" again
                EXPECT_EQ(f.ev[8]->Text(), "40,000");
            }
            ASSERT_TRUE(f.BitBtn3.Click());
        });
        TFormLimits f;
        f.Block = block.data();
        f.Kind = 1;
        f.ShowModal();
        EXPECT_EQ(f.accepted, 1) << typed;
        EXPECT_EQ(block, want) << typed;
    }
    // A stored value that the shown text does not bring into range is still refused.
    std::vector<uint8_t> block = Defaults(1);
    PutF(block.data(), 8, 39.0f);
    const std::vector<uint8_t> before = block;
    drv.onModal<TFormLimits>([&](TFormLimits& f) {
        EXPECT_EQ(f.ev[8]->Text(), "39,000");
        ExpectRefused(drv, f, f.BitBtn3, 2, RangeMessage(8), kRangeHint);
    });
    TFormLimits f;
    f.Block = block.data();
    f.Kind = 1;
    f.ShowModal();
    EXPECT_EQ(f.accepted, 0);
    EXPECT_EQ(block, before);
}
