// The wait box shown during long operations, without modality:
//
//   TFormWait wait(nullptr);
//   wait.Mode = 1;                      // reading archive data
//   wait.Show();
//   ... wait.ProgressBar1.SetPosition(percent); platform::PumpMessages(); ...
//   // destroyed at the end
//
// Modes: 0 checking the configuration, 1 reading archive data (Esc aborts),
// 2 writing the configuration, 3 reading the configuration, 4 creating a
// spreadsheet, 5 waiting for the link to come back after a command.
#pragma once
#include <cstdint>

#include "ui/Ui.h"

class TFormWait : public ui::Form {
public:
    explicit TFormWait(ui::Component* owner = nullptr);

    std::uint8_t Mode = 0;  // set by the caller before Show()

    ui::Label Label1{this, "Label1"};
    ui::Label Label2{this, "Label2"};
    ui::Label Label3{this, "Label3"};
    ui::ProgressBar ProgressBar1{this, "ProgressBar1"};

private:
    void FormCreate();
    void FormShow();
};
