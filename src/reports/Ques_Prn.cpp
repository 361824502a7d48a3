#include "reports/Ques_Prn.h"

#include <exception>

#include "common/Question.h"
#include "platform/FileWrite.h"
#include "reports/PrnText.h"

namespace {
const ArchiveFileHeader kNoHeader{};
}

TFormQues_Prn::TFormQues_Prn(ui::Component* owner) : ui::Form(owner, "FormQues_Prn") {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    SetCaption(" Дані для друку");
    SetBounds(0, 0, 532, 212);

    Panel1.SetBounds(8, 6, 508, 70);
    Panel1.SetBevelOuter(ui::Bevel::Lowered);
    Panel1.SetCaption({});
    for (ui::Label* l : {&Label2, &Label7, &Label8}) {
        l->SetParent(&Panel1);
        l->SetAlignment(ui::TextAlign::Center);
    }
    Label2.SetFontBold(true);
    Label2.SetBounds(4, 6, 500, 17);
    Label7.SetBounds(4, 26, 500, 17);
    Label8.SetBounds(4, 46, 500, 17);

    Label1.SetCaption("Найменування організації");
    Label1.SetBounds(16, 86, 190, 17);
    Label3.SetCaption("( до 40 символів )");
    Label3.SetBounds(212, 86, 150, 17);
    Edit1.SetBounds(16, 106, 492, 24);
    Edit1.SetMaxLength(int(kReportHeadingBytes));

    BitBtn1.SetCaption("Друк");
    BitBtn1.SetGlyph(ui::Glyph::Ok);
    BitBtn1.SetDefault(true);
    BitBtn2.SetCaption("Відмінити");
    BitBtn2.SetGlyph(ui::Glyph::Cancel);
    BitBtn2.SetCancel(true);
    BitBtn2.SetModalResult(ui::mrCancel);
    BitBtn1.SetBounds(128, 142, 120, 30);
    BitBtn2.SetBounds(276, 142, 120, 30);

    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    OnShow = [this] { FormShow(); };
    FormCreate();
}

void TFormQues_Prn::FormCreate() {
    Header = nullptr;
    PrintKind = 0;
    ReportHeading.clear();
    accepted = 0;
    titlePath_ = TitleIniPath();
}

void TFormQues_Prn::FormShow() {
    SetBounds(Left(), Top(), 532, 212);
    stored_ = ReadReportHeading(titlePath_);
    ReportHeading = stored_;
    Edit1.SetText(stored_);
    const ArchiveFileHeader& h = Header ? *Header : kNoHeader;
    Label7.SetCaption(PrnVersionLine());
    Label2.SetCaption(PrintKindText(PrintKind));
    Label8.SetCaption(PrintPeriodText(h, PrintKind));
    Edit1.SetFocus();
    Edit1.SelectAll();
}

void TFormQues_Prn::BitBtn1Click() {
    const std::string heading = StoredReportHeading(Edit1.Text());
    if (heading != stored_) {
        std::string why;
        if (WriteReportHeading(titlePath_, heading, &why)) {
            stored_ = heading;
        } else {
            // The heading still serves this report; only keeping it failed.
            MessageKind = 1;
            ShowQues("Помилка роботи з файлом", platform::BaseName(titlePath_));
        }
    }
    ReportHeading = heading;
    accepted = 1;
    SetModalResult(ui::mrOk);
}

bool RunReportPrint(const ArchiveFileHeader& header, uint8_t kind, std::size_t rows,
                    const std::function<void(const std::string& heading)>& build) {
    if (rows == 0) {
        MessageKind = 6;
        ShowQues("Немає даних для друку", "");
        return false;
    }
    std::string heading;
    {
        TFormQues_Prn q(nullptr);
        q.Header = &header;
        q.PrintKind = kind;
        q.ShowModal();
        if (!q.accepted) return false;
        heading = q.ReportHeading;
    }
    try {
        build(heading);
        return true;
    } catch (const std::exception&) {
    } catch (...) {
    }
    MessageKind = 1;
    ShowQues("Помилка друку даних", "");
    return false;
}
