#include "common/ListForms.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/Question.h"
#include "common/Suplfunc.h"
#include "platform/Codepage.h"

namespace listforms {

ListWindow::ListWindow(ui::Component* owner, std::string name, int limit, const char* deleteQuestion)
    : ui::Form(owner, std::move(name)), limit_(limit), deleteQuestion_(deleteQuestion) {
    SetBorderStyle(ui::BorderStyle::Dialog);
    SetBorderIcons(ui::border_icon::SystemMenu);
    SetPosition(ui::Position::ScreenCenter);
    StringGrid1.OnClick = [this] { StringGrid1Click(); };
    StringGrid1.OnDblClick = [this] { StringGrid1DblClick(); };
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
    SpeedButton2.OnClick = [this] { SpeedButton2Click(); };
    BitBtn1.OnClick = [this] { BitBtn1Click(); };
    BitBtn2.OnClick = [this] { BitBtn2Click(); };
    BitBtn3.OnClick = [this] { BitBtn3Click(); };
    BitBtn4.OnClick = [this] { BitBtn4Click(); };
    BitBtn5.OnClick = [this] { BitBtn5Click(); };
}

void ListWindow::ShowEmptyGrid() {
    // A grid keeps at least one row: it stays, empty.
    ShowEmptyList(StringGrid1, BitBtn1, BitBtn2, BitBtn3);
}

void ListWindow::FinishRefresh(int count, int index) {
    StringGrid1.SetRow(index);
    BitBtn1.SetEnabled(true);
    BitBtn2.SetEnabled(count < limit_);
    BitBtn3.SetEnabled(true);
}

void ListWindow::StringGrid1Click() {
    const Header h = ListHeader();
    if (!h.num || *h.num == 0) return;
    *h.index = std::uint8_t(std::clamp(StringGrid1.Row(), 0, std::min<int>(*h.num, limit_) - 1));
}

void ListWindow::StringGrid1DblClick() {
    StringGrid1Click();
    BitBtn1Click();
}

void ListWindow::SpeedButton1Click() {
    const Header h = ListHeader();
    if (!h.sort) return;
    *h.sort = 0;
    Refresh();
}

void ListWindow::SpeedButton2Click() {
    const Header h = ListHeader();
    if (!h.sort) return;
    *h.sort = 1;
    Refresh();
}

void ListWindow::BitBtn1Click() {
    const Header h = ListHeader();
    if (!h.num || *h.num == 0 || *h.index >= *h.num || *h.index >= limit_) return;
    if (EditEntry(*h.index, 1)) Refresh();
}

void ListWindow::BitBtn2Click() {
    const Header h = ListHeader();
    if (!h.num || *h.num >= limit_) return;
    if (!EditEntry(*h.num, 0)) return;
    *h.index = *h.num;
    ++*h.num;
    Refresh();
}

void ListWindow::BitBtn3Click() {
    const Header h = ListHeader();
    if (!h.num || *h.num == 0) return;
    MessageKind = 3;
    ShowQues("Ви дійсно хочете", deleteQuestion_);
    if (!MessageAnswer) return;
    ui::HourGlass hourglass;
    const int n = std::min<int>(*h.num, limit_);
    const int at = std::min<int>(*h.index, n - 1);
    RemoveEntry(n, at);
    *h.index = std::uint8_t(at > 0 ? at - 1 : 0);
    *h.num = std::uint8_t(n - 1);
    Refresh();
}

void ListWindow::BitBtn5Click() { Close(); }

void LayOutColumns(std::initializer_list<Column> columns, ui::StringGrid& grid, int gridWidth, int gridHeight) {
    int x = 8;
    for (const Column& c : columns) {
        c.head->SetCaption(c.caption);
        c.head->SetBevelOuter(ui::Bevel::Raised);
        c.head->SetBounds(x, 8, c.width, 24);
        x += c.width;
    }
    grid.SetBounds(8, 32, gridWidth, gridHeight);
    grid.SetColCount(int(columns.size()));
    grid.SetRowCount(1);
    grid.SetFixedCols(0);
    grid.SetFixedRows(0);
    grid.SetDefaultRowHeight(20);
    int col = 0;
    for (const Column& c : columns) grid.SetColWidth(col++, c.width - 1);
    ui::GridOptions o;
    o.rowSelect = true;
    grid.SetOptions(o);
    grid.SetScrollBars(ui::ScrollBars::Vertical);
}

void SortButton(ui::Button& b, ui::Panel& head, const char* hint) {
    b.SetParent(&head);
    b.SetCaption("▼");
    b.SetFlat(true);
    b.Hint = hint;
    b.SetBounds(head.Width() - 23, 2, 20, 20);
}

void ListButtons(const ButtonPlace (&places)[5], int top, int width) {
    const char* captions[5] = {"Змінити", "Додати", "Видалити", "Прийняти", "Відмінити"};
    for (int i = 0; i < 5; ++i) {
        places[i].button->SetCaption(captions[i]);
        places[i].button->SetBounds(places[i].left, top, width, 32);
    }
    places[3].button->SetGlyph(ui::Glyph::Ok);
    places[4].button->SetGlyph(ui::Glyph::Cancel);
    places[4].button->SetCancel(true);
}

void ShowSortOrder(int sort, ui::Button& byName, ui::Button& byOther) {
    if (sort == 0) {
        byName.SetEnabled(false);
        byOther.SetEnabled(true);
    } else if (sort == 1) {
        byOther.SetEnabled(false);
        byName.SetEnabled(true);
    }
}

void ShowEmptyList(ui::StringGrid& grid, ui::Button& change, ui::Button& add, ui::Button& remove) {
    grid.SetRowCount(1);
    for (int c = 0; c < grid.ColCount(); ++c) grid.SetCell(c, 0, {});
    change.SetEnabled(false);
    remove.SetEnabled(false);
    add.SetEnabled(true);
}

std::string Format(const char* fmt, unsigned v) {
    char buf[100];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

void AcceptCancelButtons(ui::Button& accept, ui::Button& cancel, int left, int top) {
    accept.SetCaption("Прийняти");
    accept.SetGlyph(ui::Glyph::Ok);
    accept.SetBounds(left, top, 120, 32);
    accept.SetDefault(true);
    cancel.SetCaption("Відмінити");
    cancel.SetGlyph(ui::Glyph::Cancel);
    cancel.SetCancel(true);
    cancel.SetBounds(left + 140, top, 120, 32);
}

void SetUpAddressBox(ui::ComboBox& c) {
    c.SetDropDownCount(16);
    c.SetMaxLength(3);
}

void FillAddresses(ui::ComboBox& c) {
    c.ClearItems();
    for (int a = 1; a <= 255; ++a) c.AddItem(std::to_string(a));
}

bool IsBlankText(const std::string& text) { return platform::TrimSpace(text).empty(); }

bool CheckNameAndAddress(const ui::Edit& name, const ui::ComboBox& address, int& value) {
    MessageKind = 2;
    if (address.Text().empty() || IsBlankText(name.Text())) {
        ShowQues("Уведені не всі параметри", "");
        return false;
    }
    if (!TryStrToInt(address.Text(), value) || value < 1 || value > 255) {
        ShowQues("Адреса поза припустимого діапазону", "(1...255)");
        return false;
    }
    return true;
}

}  // namespace listforms
