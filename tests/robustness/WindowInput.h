// Typed input of the program's windows, table-driven: every field a window
// lets the operator type into is named with the values it must refuse (with
// the window's own message) and the values it must take. For each value the
// window is opened on its data, the value is put into the field as a paste
// would put it (no key filter), the accept button is pressed, and then:
//   - a refused value: exactly the field's message, the window still open,
//     "Відмінити" closes it, and the data (block, record, settings, files)
//     are byte for byte as before;
//   - a taken value: no message, the window closes accepted.
// Nothing may throw. Every window is also checked to have no typed field the
// table leaves out, and to leave its data alone when a valid change is
// typed and then cancelled.
//
//   wi::Window w{"TFormConVU", snapshot, open, "BitBtn3", "BitBtn2"};
//   w.fields = {wi::Int("ComboBox1", 1, 254, notAll, {"Адрес должен быть", "в диапазоне 1...254"})};
//   wi::Check(drv, w);
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/TestDriver.h"
#include "ui/Ui.h"

namespace wi {

struct Msg {
    int kind = 2;
    std::string line1, line2;
};

// A value put into a field, and the message it must get; `taken` values
// must be accepted instead.
struct Case {
    std::string what;
    std::string text;
    bool taken = false;
    Msg msg;
};

struct Field {
    std::string name;  // the control's name in its window
    std::vector<Case> cases;
    // A value that differs from what the window shows and is valid (for the
    // typed-then-cancelled check); empty: the field is not used for it.
    std::string validChange;
    // A second field that gets the same text (a value typed twice).
    std::string twin;
};

// Kinds of wrong text, each with the message a field gives for it (the
// range message unless said otherwise).
enum class Bad { Empty, Blank, Text, Negative, Below, Above, Huge, Fraction };

// An integer field of lo..hi: empty gives `empty`, everything else wrong
// `range`; `other` overrides the message of some kinds.
Field Int(const std::string& name, long long lo, long long hi, const Msg& empty, const Msg& range,
          const std::map<Bad, Msg>& other = {});
// A real-number field of lo..hi (single precision), or of any finite value
// when lo > hi. `step`: how far outside the range the values just below and
// above lie (a field that rounds what is typed to its decimals needs one
// of its last digits).
Field Real(const std::string& name, double lo, double hi, const Msg& empty, const Msg& bad,
           const std::map<Bad, Msg>& other = {}, double step = 0.0001);
// A free text cut to `bytes` bytes of Windows-1251: empty (and, when
// `blankIsEmpty`, blanks alone) gives `empty` when given, else is taken;
// long and odd texts are taken (and cut by the window).
Field Text(const std::string& name, int bytes, const Msg* empty, bool blankIsEmpty = false);

// An identification code of `digits` digits (typed twice into `twin` when
// given): what is no digit never reaches it, so text alone is no code.
Field Code(const std::string& name, const std::string& twin, int digits, const Msg& empty);

struct Window {
    using Opener = std::function<int(const std::function<void(ui::Form&)>& act)>;
    Window(std::string name, std::function<std::string()> snapshot, Opener open, std::string accept,
           std::string cancel, std::vector<Field> fields, std::set<std::string> notTyped = {})
        : name(std::move(name)), snapshot(std::move(snapshot)), open(std::move(open)), accept(std::move(accept)),
          cancel(std::move(cancel)), fields(std::move(fields)), notTyped(std::move(notTyped)) {}
    std::string name;
    // All the data the window may change, as bytes.
    std::function<std::string()> snapshot;
    // Creates the window on its data, runs `act` while it is shown modally
    // and returns the window's accepted flag.
    Opener open;
    std::string accept, cancel;
    std::vector<Field> fields;
    // Typed controls that the table knows to be read-only here or left to
    // another table (none by default).
    std::set<std::string> notTyped;
    // Run on the shown window before each value is put (to make the other
    // fields valid when the window opens with them empty).
    std::function<void(ui::Form&)> prepare;
    // Run before each value (to bring back data an accepted value changed).
    std::function<void()> reset;
};

// Puts a text into a field as a paste does (an edit's or an editable
// combo's text); false when the window has no such field.
bool Put(ui::Form& f, const std::string& field, const std::string& text);

// The names of the controls of a shown window the operator can type into:
// visible, enabled, writable edits and editable combo boxes.
std::set<std::string> TypedControls(const ui::Form& f);

// Runs every case of every field of `w`, the typed-field census and the
// typed-then-cancelled check.
void Check(ui::test::Driver& drv, const Window& w);

// ---- implementation --------------------------------------------------------

inline std::string Num(long long v) { return std::to_string(v); }

inline std::string Real6(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

inline Field Int(const std::string& name, long long lo, long long hi, const Msg& empty, const Msg& range,
                 const std::map<Bad, Msg>& other) {
    auto msg = [&](Bad b) {
        auto it = other.find(b);
        return it != other.end() ? it->second : (b == Bad::Empty ? empty : range);
    };
    Field f{name, {}, Num(lo == hi ? lo : lo + 1), {}};
    f.cases = {
        {"empty", "", false, msg(Bad::Empty)},
        {"blanks", "   ", false, msg(Bad::Blank)},
        {"text", "abc", false, msg(Bad::Text)},
        {"digits and a letter", "12a", false, msg(Bad::Text)},
        {"a sign alone", "-", false, msg(Bad::Text)},
        {"hexadecimal", "0x10", false, msg(Bad::Text)},
        {"full-width digits", "\xEF\xBC\x91\xEF\xBC\x92", false, msg(Bad::Text)},
        {"a fraction", "1,5", false, msg(Bad::Fraction)},
        {"one below", Num(lo - 1), false, msg(lo - 1 < 0 ? Bad::Negative : Bad::Below)},
        {"far below", Num(lo - 1000), false, msg(lo - 1000 < 0 ? Bad::Negative : Bad::Below)},
        {"one above", Num(hi + 1), false, msg(Bad::Above)},
        {"beyond 32 bits", "4294967296", false, msg(Bad::Huge)},
        {"beyond int", "99999999999", false, msg(Bad::Huge)},
        {"beyond 64 bits", "184467440737095516160000", false, msg(Bad::Huge)},
        {"three hundred digits", std::string(300, '9'), false, msg(Bad::Huge)},
        {"far below zero", "-99999999999", false, msg(Bad::Negative)},
        {"lowest", Num(lo), true, {}},
        {"highest", Num(hi), true, {}},
    };
    return f;
}

inline Field Real(const std::string& name, double lo, double hi, const Msg& empty, const Msg& bad,
                  const std::map<Bad, Msg>& other, double step) {
    auto msg = [&](Bad b) {
        auto it = other.find(b);
        return it != other.end() ? it->second : (b == Bad::Empty ? empty : bad);
    };
    const bool ranged = lo <= hi;
    Field f{name, {}, ranged ? Real6(lo + (hi - lo) / 2) : "12,5", {}};
    f.cases = {
        {"empty", "", false, msg(Bad::Empty)},
        {"blanks", "   ", false, msg(Bad::Blank)},
        {"text", "abc", false, msg(Bad::Text)},
        {"two separators", "1,2,3", false, msg(Bad::Text)},
        {"an exponent without digits", "1e", false, msg(Bad::Text)},
        {"an exponent alone", "e5", false, msg(Bad::Text)},
        {"two signs", "--1", false, msg(Bad::Text)},
        {"nan", "nan", false, msg(Bad::Text)},
        {"NAN as shown", "NAN", false, msg(Bad::Text)},
        {"inf", "inf", false, msg(Bad::Text)},
        {"-INF", "-INF", false, msg(Bad::Text)},
        {"beyond single precision", "1e39", false, msg(Bad::Huge)},
        {"below single precision", "-1e39", false, msg(Bad::Huge)},
        {"beyond double", "1e999", false, msg(Bad::Huge)},
        {"three hundred digits", std::string(300, '9'), false, msg(Bad::Huge)},
    };
    if (ranged) {
        f.cases.push_back({"just below", Real6(lo - step), false, msg(Bad::Below)});
        f.cases.push_back({"just above", Real6(hi + step), false, msg(Bad::Above)});
        f.cases.push_back({"lowest", Real6(lo), true, {}});
        f.cases.push_back({"highest", Real6(hi), true, {}});
        std::string comma = Real6(hi);
        for (char& c : comma)
            if (c == '.') c = ',';
        f.cases.push_back({"highest with a comma", comma, true, {}});
    } else {
        f.cases.push_back({"largest single", "3.4e38", true, {}});
        f.cases.push_back({"smallest single", "-3.4e38", true, {}});
        f.cases.push_back({"a tiny one", "1e-45", true, {}});
        f.cases.push_back({"zero", "0", true, {}});
    }
    return f;
}

inline Field Text(const std::string& name, int bytes, const Msg* empty, bool blankIsEmpty) {
    Field f{name, {}, "Зміна", {}};
    if (empty) f.cases.push_back({"empty", "", false, *empty});
    else f.cases.push_back({"empty", "", true, {}});
    if (empty && blankIsEmpty) f.cases.push_back({"blanks", "   ", false, *empty});
    f.cases.push_back({"Cyrillic to the limit", std::string() + [&] {
                           std::string s;
                           for (int i = 0; i < bytes; ++i) s += "Ж";
                           return s;
                       }(),
                       true, {}});
    std::string longer;
    for (int i = 0; i < bytes * 3 + 7; ++i) longer += "Щ";
    f.cases.push_back({"three times too long", longer, true, {}});
    f.cases.push_back({"characters Windows-1251 has not", "名前\xF0\x9F\x98\x80", true, {}});
    f.cases.push_back({"line breaks and tabs", "a\r\nb\tc", true, {}});
    f.cases.push_back({"a broken UTF-8 sequence", "ab\xD0", true, {}});
    return f;
}

inline Field Code(const std::string& name, const std::string& twin, int digits, const Msg& empty) {
    Field f{name, {}, "2468", twin};
    f.cases = {
        {"empty", "", false, empty},
        {"blanks", "    ", false, empty},
        {"letters", "abcd", false, empty},
        {"a sign", "-", false, empty},
        {"digits among letters", "1a2b", true, {}},
        {"too many digits", std::string(std::size_t(digits) * 3, '7'), true, {}},
        {"all digits", std::string(std::size_t(digits), '9'), true, {}},
    };
    return f;
}

inline bool Put(ui::Form& f, const std::string& field, const std::string& text) {
    ui::Component* c = f.FindComponent(field);
    if (auto* e = dynamic_cast<ui::Edit*>(c)) {
        e->SetText(text);
        return true;
    }
    if (auto* cb = dynamic_cast<ui::ComboBox*>(c)) {
        if (cb->Style() != ui::ComboStyle::DropDown) return false;
        cb->SetText(text);
        return true;
    }
    return false;
}

inline void CollectTyped(const ui::Component& owner, std::set<std::string>& out) {
    for (const ui::Component* c : owner.Components()) {
        if (const auto* e = dynamic_cast<const ui::Edit*>(c)) {
            if (e->Showing() && e->EffectivelyEnabled() && !e->ReadOnly()) out.insert(e->Name());
        } else if (const auto* cb = dynamic_cast<const ui::ComboBox*>(c)) {
            if (cb->Showing() && cb->EffectivelyEnabled() && cb->Style() == ui::ComboStyle::DropDown)
                out.insert(cb->Name());
        }
        if (!dynamic_cast<const ui::Form*>(c)) CollectTyped(*c, out);
    }
}

inline std::set<std::string> TypedControls(const ui::Form& f) {
    std::set<std::string> out;
    CollectTyped(f, out);
    return out;
}

inline ui::Button* ButtonOf(ui::Form& f, const std::string& name) { return f.Find<ui::Button>(name); }

inline void Check(ui::test::Driver& drv, const Window& w) {
    SCOPED_TRACE(w.name);
    auto guarded = [&](const std::function<void(ui::Form&)>& act) {
        int accepted = -1;
        try {
            accepted = w.open(act);
        } catch (const std::exception& e) {
            ADD_FAILURE() << "threw: " << e.what();
        } catch (...) {
            ADD_FAILURE() << "threw";
        }
        return accepted;
    };

    // The census: the table names every field the operator can type into.
    std::set<std::string> typed;
    guarded([&](ui::Form& f) {
        typed = TypedControls(f);
        if (ui::Button* c = ButtonOf(f, w.cancel)) c->Click();
    });
    std::set<std::string> listed = w.notTyped;
    for (const Field& fld : w.fields) {
        listed.insert(fld.name);
        if (!fld.twin.empty()) listed.insert(fld.twin);
    }
    EXPECT_EQ(typed, listed) << "typed fields of the window and of the table differ";
    drv.verify();

    for (const Field& fld : w.fields) {
        for (const Case& c : fld.cases) {
            SCOPED_TRACE(fld.name + ", " + c.what + ": \"" + c.text + "\"");
            if (w.reset) w.reset();
            const std::string before = w.snapshot();
            const std::size_t messages = drv.messages().size();
            bool put = false, stayed = false;
            const int accepted = guarded([&](ui::Form& f) {
                if (w.prepare) w.prepare(f);
                put = Put(f, fld.name, c.text) && (fld.twin.empty() || Put(f, fld.twin, c.text));
                if (!c.taken) {
                    drv.expectMessage(c.msg.kind, c.msg.line1, c.msg.line2);
                }
                ui::Button* ok = ButtonOf(f, w.accept);
                ASSERT_NE(ok, nullptr) << w.accept;
                EXPECT_TRUE(ok->Click());
                stayed = f.ModalResult() == ui::mrNone;
                if (!c.taken) {
                    ui::Button* cancel = ButtonOf(f, w.cancel);
                    ASSERT_NE(cancel, nullptr) << w.cancel;
                    EXPECT_TRUE(cancel->Click());
                }
            });
            EXPECT_TRUE(put) << "no such field";
            if (c.taken) {
                EXPECT_EQ(accepted, 1);
                EXPECT_EQ(drv.messages().size(), messages)
                    << "a message for a valid value: "
                    << (drv.messages().empty() ? "" : drv.messages().back().lines[0] + " / " + drv.messages().back().lines[1]);
            } else {
                EXPECT_TRUE(stayed) << "the window closed on a refused value";
                EXPECT_EQ(accepted, 0);
                EXPECT_EQ(drv.messages().size(), messages + 1);
                EXPECT_TRUE(w.snapshot() == before) << "the data changed";
            }
            drv.verify();
        }
    }

    // A valid change typed, then "Відмінити": nothing changes.
    for (const Field& fld : w.fields) {
        if (fld.validChange.empty()) continue;
        SCOPED_TRACE(fld.name + ", typed then cancelled");
        const std::string before = w.snapshot();
        const int accepted = guarded([&](ui::Form& f) {
            if (w.prepare) w.prepare(f);
            EXPECT_TRUE(Put(f, fld.name, fld.validChange));
            if (!fld.twin.empty()) {
                EXPECT_TRUE(Put(f, fld.twin, fld.validChange));
            }
            ui::Button* cancel = ButtonOf(f, w.cancel);
            ASSERT_NE(cancel, nullptr);
            EXPECT_TRUE(cancel->Click());
        });
        EXPECT_EQ(accepted, 0);
        EXPECT_TRUE(w.snapshot() == before) << "the data changed";
        drv.verify();
    }
}

// The bytes of any plain object.
template <class T> std::string Bytes(const T& v) {
    return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}

}  // namespace wi
