// The state-sign window: the status bits of one archive record as readable
// lines.
//
// Mode 0 (a measured value) shows the controller's status byte and, unless
// the controller was switched off or had no chromatograph link, the
// chromatograph's 16-bit status word. Mode 1 (an hourly or daily value)
// shows the controller's status byte only, with the texts of an averaging
// interval. The caller sets the fields and the caption, shows the window
// modally and destroys it.
//
// Every one of the eight status bits has a line of its own (ls1..ls8), so a
// status byte with all bits set is shown in full.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/Ui.h"

class TFormChromError : public ui::Form {
public:
    explicit TFormChromError(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal (cleared at creation).
    uint8_t mode = 0;        // 0 measured value, 1 hourly or daily value
    uint8_t wordLow = 0;     // chromatograph status word, low byte
    uint8_t wordHigh = 0;    // chromatograph status word, high byte
    uint8_t ctrlStatus = 0;  // the controller's status byte of the record

    static constexpr int kStatusLines = 8;
    static constexpr int kWordLines = 16;
    static constexpr int kLineHeight = 15;

    ui::Panel Panel3{this, "Panel3"};      // heading of the controller status
    ui::Panel pnstatus{this, "pnstatus"};  // ls1..ls8
    ui::Panel Panel2{this, "Panel2"};      // heading of the chromatograph status
    ui::Panel pnsit{this, "pnsit"};        // lh1..lh16
    ui::Button BitBtn2{this, "BitBtn2"};   // "Вихід"

    // The line labels, found by name at creation.
    ui::Label* ls[kStatusLines] = {};
    ui::Label* lh[kWordLines] = {};

    // The texts a status byte / word gives (what FormShow puts in the labels).
    static std::vector<std::string> StatusLines(uint8_t mode, uint8_t status);
    static std::vector<std::string> WordLines(uint8_t low, uint8_t high);

private:
    void FormCreate();
    void FormShow();
    int Fill(ui::Label* const* labels, int count, const std::vector<std::string>& lines);
};
