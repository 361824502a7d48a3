// A message-list report built the way the print windows build theirs: page
// header with the controller name, page footer "Лист <n> з <count>", a title
// band and one framed seven-column table band per page.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "print/Report.h"

namespace printtest {

using namespace print;

struct SampleReport {
    TQuickRep rep;
    TQRBand* header = nullptr;
    TQRBand* footer = nullptr;
    TQRLabel* pageCount = nullptr;
    TQRSubDetail* title = nullptr;
    std::vector<TQRSubDetail*> tables;

    static std::string Message(int r) { return "Повідомлення №" + std::to_string(r + 1); }

    explicit SampleReport(int messages) {
        rep.Name = "QuickRep1";
        rep.ReportTitle = "Перелік діагностичних повідомлень";
        rep.Page.Value(4) = 12;
        rep.Page.Value(5) = 9;

        header = new TQRBand(&rep, rbPageHeader);
        header->Name = "QRBand1";
        header->Height = 28;
        auto* name = new TQRLabel(header);
        name->Name = "QRLabel3";
        name->Left = 400, name->Top = 6, name->Width = 300, name->Height = 17;
        name->Alignment = taRightJustify;
        name->Caption = "ГРС Південна";

        footer = new TQRBand(&rep, rbPageFooter);
        footer->Name = "PageFooterBand1";
        footer->Height = 28;
        auto* sheet = new TQRLabel(footer);
        sheet->Name = "QRLabel30";
        sheet->Left = 560, sheet->Top = 6, sheet->Width = 40;
        sheet->Caption = "Лист";
        auto* number = new TQRExpr(footer);
        number->Name = "QRExpr1";
        number->Left = 602, number->Top = 6, number->Width = 30;
        number->Alignment = taCenter;
        number->Expression = "PAGENUMBER";
        pageCount = new TQRLabel(footer);
        pageCount->Name = "QRLabel31";
        pageCount->Left = 634, pageCount->Top = 6, pageCount->Width = 60;

        title = new TQRSubDetail(&rep);
        title->Name = "title";
        title->Height = 135;
        const int tops[] = {3, 22, 46, 65, 88, 107}, heights[] = {20, 17, 20, 20, 17, 17};
        const int sizes[] = {12, 10, 12, 12, 10, 10};
        const char* texts[] = {"ТОВ «Газ-Контроль»", "Контролер \"ГРС-1\"  (адреса 5)",
                               "Перелік діагностичних повідомлень", "контролерa ЗБР_11",
                               "За період  з  01.02.24 00:00:00  по  29.02.24 23:59:59",
                               "Складено програмою zbr_11  01.03.24  08:15:00"};
        for (int i = 0; i < 6; ++i) {
            auto* l = new TQRLabel(title);
            l->Name = "title" + std::to_string(i + 1);
            l->Left = i == 1 ? 4 : 2, l->Top = tops[i], l->Width = ScaleFrom120(740), l->Height = heights[i];
            l->Font.Name = "MS Sans Serif";
            l->Font.Size = sizes[i];
            l->Font.Bold = i == 0 || i == 2 || i == 3;
            l->Alignment = i == 1 ? taLeftJustify : taCenter;
            l->Caption = texts[i];
        }

        const int firstPage = 63, nextPage = 71;
        int row = 0;
        while (row < messages) {
            const int n = std::min(messages - row, tables.empty() ? firstPage : nextPage);
            tables.push_back(Table(row, n));
            row += n;
        }
        pageCount->Caption = "з " + std::to_string(tables.empty() ? 1 : tables.size());
    }

    TQRSubDetail* Table(int first, int rows) {
        auto* band = new TQRSubDetail(&rep);
        band->Name = "table" + std::to_string(tables.size());
        band->Height = 74;
        band->Frame.SetAll(true);
        band->Font.Size = 8;
        const int base[] = {82, 82, 240, 240, 79, 79, 79};
        const char* heads[] = {"Дата", "Час", "Подія", "Об'єкт/Причина", "Поточне", "Значення", "Одиниця"};
        const int rowHeight = ScaleFrom120(16);
        int left = 3;
        for (int c = 0; c < 7; ++c) {
            const int w = ScaleFrom120(base[c]);
            auto* head = new TQRMemo(band);
            head->Name = "head" + std::to_string(c);
            head->Left = left, head->Top = 1, head->Width = w, head->Height = 58;
            head->Alignment = taCenter;
            head->Frame.DrawRight = c < 6;
            head->Lines.Add(heads[c]);
            auto* data = new TQRMemo(band);
            data->Name = "data" + std::to_string(c);
            data->Left = left, data->Top = 65, data->Width = w, data->Height = 3;
            for (int r = first; r < first + rows; ++r) {
                data->Lines.Add(c == 2 ? Message(r) : c == 0 ? "01.02.24" : std::to_string(r));
                data->Height += rowHeight;
            }
            band->Height = data->Top + data->Height + 3;
            left += w + 1;
        }
        return band;
    }
};

}  // namespace printtest
