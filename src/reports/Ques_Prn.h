// The heading dialog shown before every printed report: what will be
// printed (kind, controller, period) and the report heading, the name of
// the organisation printed as the first title line. The heading is kept
// between runs in INI/title.ini (40 bytes, Windows-1251, zero-padded).
//
//   TFormQues_Prn q(nullptr);
//   q.Header = &header;
//   q.PrintKind = 3;
//   q.ShowModal();
//   if (q.accepted) heading = q.ReportHeading;
//
// RunReportPrint() is the whole road of a viewer's print button.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "data/ArchiveFiles.h"
#include "ui/Ui.h"

class TFormQues_Prn : public ui::Form {
public:
    explicit TFormQues_Prn(ui::Component* owner = nullptr);

    // Set by the caller before ShowModal.
    const ArchiveFileHeader* Header = nullptr;
    uint8_t PrintKind = 0;
    // Results.
    std::string ReportHeading;  // UTF-8, up to 40 characters
    uint8_t accepted = 0;

    ui::Panel Panel1{this, "Panel1"};
    ui::Label Label2{this, "Label2"};  // what is printed
    ui::Label Label7{this, "Label7"};  // "контролерa ЗБР_11"
    ui::Label Label8{this, "Label8"};  // the period
    ui::Label Label1{this, "Label1"};  // "Найменування організації"
    ui::Label Label3{this, "Label3"};  // "( до 40 символів )"
    ui::Edit Edit1{this, "Edit1"};
    ui::Button BitBtn1{this, "BitBtn1"};  // "Друк"
    ui::Button BitBtn2{this, "BitBtn2"};  // "Відмінити"

    const std::string& TitlePath() const { return titlePath_; }

private:
    void FormCreate();
    void FormShow();
    void BitBtn1Click();

    std::string titlePath_;
    std::string stored_;  // the heading as read from the file
};

// A viewer's print button: with no rows the message "Немає даних для друку"
// and nothing more; otherwise the heading dialog, and when it is accepted
// `build` with the heading (it builds the report and shows its preview). Any failure on that road is reported as
// "Помилка друку даних" and the caller carries on. True when the report
// was shown.
bool RunReportPrint(const ArchiveFileHeader& header, uint8_t kind, std::size_t rows,
                    const std::function<void(const std::string& heading)>& build);
