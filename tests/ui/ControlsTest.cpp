// The controls' own semantics, without any window shown.
#include <gtest/gtest.h>

#include "ui/TestDriver.h"
#include "ui/Ui.h"

namespace {

struct Box : ui::Form {
    Box() : ui::Form(nullptr, "Box") {}
    ui::Panel pn{this, "pn"};
    ui::Edit Edit1{this, "Edit1"};
    ui::ComboBox ComboBox1{this, "ComboBox1"};
    ui::CheckBox CheckBox1{this, "CheckBox1"};
    ui::RadioButton rb1{this, "rb1"}, rb2{this, "rb2"}, rb3{this, "rb3"};
    ui::RadioGroup RadioGroup1{this, "RadioGroup1"};
    ui::ProgressBar ProgressBar1{this, "ProgressBar1"};
    ui::UpDown UpDown1{this, "UpDown1"};
    ui::StringGrid Grid{this, "Grid"};
    ui::ScrollBox Scroll{this, "Scroll"};
    ui::Memo Memo1{this, "Memo1"};
    ui::DateTimePicker Date1{this, "Date1"};
};

// Digits only, as the numeric fields of the dialogs take them.
void DigitsOnly(const std::string&, int, char32_t& key) {
    if (key != 8 && (key < U'0' || key > U'9')) key = 0;
}

TEST(Controls, EditTypingGoesThroughTheKeyFilterAndLimits) {
    ui::test::Driver drv;
    Box f;
    int changes = 0;
    f.Edit1.OnChange = [&] { ++changes; };
    f.Edit1.SetKeyFilter(DigitsOnly);
    f.Edit1.SetMaxLength(4);
    EXPECT_TRUE(f.Edit1.TypeText("1a2-3б45"));
    EXPECT_EQ(f.Edit1.Text(), "1234");  // letters dropped, fifth digit over the limit
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(f.Edit1.SelStart(), 4);
    f.Edit1.TypeKey(8);
    EXPECT_EQ(f.Edit1.Text(), "123");
    // The filter sees the text and the caret before the key.
    std::string seenText;
    int seenCaret = -1;
    f.Edit1.OnKeyPress = [&](char32_t& k) {
        seenText = f.Edit1.Text();
        seenCaret = f.Edit1.SelStart();
        if (k == U'x') k = U'ж';  // a filter may replace the key
    };
    f.Edit1.SetSelStart(1);
    f.Edit1.TypeKey(U'x');
    EXPECT_EQ(seenText, "123");
    EXPECT_EQ(seenCaret, 1);
    EXPECT_EQ(f.Edit1.Text(), "1ж23");
    EXPECT_EQ(f.Edit1.SelStart(), 2);  // characters, not bytes
    // Setting the text in code fires OnChange once, and only on a change.
    changes = 0;
    f.Edit1.SetText("Газ");
    f.Edit1.SetText("Газ");
    EXPECT_EQ(changes, 1);
    // A selection is replaced by the typed key.
    f.Edit1.OnKeyPress = nullptr;
    f.Edit1.SetSelStart(1);
    f.Edit1.SetSelLength(2);
    f.Edit1.TypeKey(U'і');
    EXPECT_EQ(f.Edit1.Text(), "Гі");
    f.Edit1.SetReadOnly(true);
    f.Edit1.TypeKey(U'z');
    EXPECT_EQ(f.Edit1.Text(), "Гі");
}

TEST(Controls, FormKeyPreviewSeesKeysFirst) {
    ui::test::Driver drv;
    Box f;
    f.SetKeyPreview(true);
    f.OnKeyPress = [](char32_t& k) { if (k == U'q') k = 0; };
    f.Edit1.TypeText("aqb");
    EXPECT_EQ(f.Edit1.Text(), "ab");
}

TEST(Controls, CheckBoxFiresOnClickOnlyWhenTheStateChanges) {
    ui::test::Driver drv;
    Box f;
    int clicks = 0;
    f.CheckBox1.OnClick = [&] { ++clicks; };
    f.CheckBox1.SetChecked(true);
    f.CheckBox1.SetChecked(true);
    EXPECT_EQ(clicks, 1);
    f.CheckBox1.Click();  // a user's click toggles and fires once
    EXPECT_FALSE(f.CheckBox1.Checked());
    EXPECT_EQ(clicks, 2);
}

TEST(Controls, ComboBoxIndexInCodeIsSilentAndOutOfRangeMeansNone) {
    ui::test::Driver drv;
    Box f;
    int changes = 0, clicks = 0;
    f.ComboBox1.OnChange = [&] { ++changes; };
    f.ComboBox1.OnClick = [&] { ++clicks; };
    f.ComboBox1.SetItems({"Безпосередній зв'язок", "Зв'язок по телефону", "Ethernet-інтерфейс"});
    f.ComboBox1.SetItemIndex(1);
    EXPECT_EQ(f.ComboBox1.Text(), "Зв'язок по телефону");
    f.ComboBox1.SetItemIndex(3);
    EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
    EXPECT_EQ(f.ComboBox1.Text(), "");
    f.ComboBox1.SetItemIndex(-7);
    EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(f.ComboBox1.Select("Ethernet-інтерфейс"));
    EXPECT_EQ(f.ComboBox1.ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    // OnSelect, when set, replaces OnChange for a choice from the list.
    int selects = 0;
    f.ComboBox1.OnSelect = [&] { ++selects; };
    f.ComboBox1.Select(0);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 1);
    // Shrinking the list drops a selection that no longer exists.
    f.ComboBox1.SetItems({"a"});
    EXPECT_EQ(f.ComboBox1.ItemIndex(), 0);
    f.ComboBox1.SetItemIndex(0);
    f.ComboBox1.SetItems({});
    EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
    // Typing into an editable box fires OnChange per key and follows the items.
    f.ComboBox1.SetItems({"12", "123"});
    f.ComboBox1.SetText("");
    changes = 0;
    f.ComboBox1.TypeText("12");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(f.ComboBox1.ItemIndex(), 0);
    // A list-only box selects the matching item or nothing.
    f.ComboBox1.SetStyle(ui::ComboStyle::DropDownList);
    f.ComboBox1.SetText("123");
    EXPECT_EQ(f.ComboBox1.ItemIndex(), 1);
    f.ComboBox1.SetText("9");
    EXPECT_EQ(f.ComboBox1.ItemIndex(), -1);
    EXPECT_EQ(f.ComboBox1.Text(), "");
}

TEST(Controls, RadioButtonsAndGroups) {
    ui::test::Driver drv;
    Box f;
    f.rb3.SetParent(&f.pn);  // another parent, another group
    int clicks = 0;
    f.rb2.OnClick = [&] { ++clicks; };
    f.rb1.SetChecked(true);
    f.rb3.SetChecked(true);
    f.rb2.Click();
    EXPECT_FALSE(f.rb1.Checked());
    EXPECT_TRUE(f.rb2.Checked());
    EXPECT_TRUE(f.rb3.Checked());
    EXPECT_EQ(clicks, 1);
    int groupClicks = 0;
    f.RadioGroup1.OnClick = [&] { ++groupClicks; };
    f.RadioGroup1.SetItems({"з", "по"});
    f.RadioGroup1.SetItemIndex(1);
    f.RadioGroup1.SetItemIndex(1);
    f.RadioGroup1.SetItemIndex(5);
    EXPECT_EQ(f.RadioGroup1.ItemIndex(), -1);
    EXPECT_EQ(groupClicks, 2);
}

TEST(Controls, PositionsAreClamped) {
    ui::test::Driver drv;
    Box f;
    f.ProgressBar1.SetPosition(150);
    EXPECT_EQ(f.ProgressBar1.Position(), 100);
    f.ProgressBar1.SetPosition(-3);
    EXPECT_EQ(f.ProgressBar1.Position(), 0);
    f.ProgressBar1.SetPosition(80);
    f.ProgressBar1.SetRange(0, 50);
    EXPECT_EQ(f.ProgressBar1.Position(), 50);
    f.ProgressBar1.SetMax(200);
    f.ProgressBar1.StepIt();
    EXPECT_EQ(f.ProgressBar1.Position(), 60);

    f.UpDown1.SetRange(1, 5);
    f.UpDown1.SetAssociate(&f.Edit1);
    f.UpDown1.SetPosition(9);
    EXPECT_EQ(f.Edit1.Text(), "5");
    f.Edit1.SetText("2");  // a number typed in the edit is where the arrows start
    f.UpDown1.ClickUp();
    EXPECT_EQ(f.UpDown1.Position(), 3);
    EXPECT_EQ(f.Edit1.Text(), "3");
    f.Edit1.SetText("abc");
    f.UpDown1.ClickDown();
    EXPECT_EQ(f.UpDown1.Position(), 2);
}

TEST(Controls, GridCellsSelectionAndStyles) {
    ui::test::Driver drv;
    std::vector<std::string> failures;
    drv.onFailure = [&](const std::string& w) { failures.push_back(w); };
    Box f;
    ui::StringGrid& g = f.Grid;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetCell(1, 1, "ГРС");
    g.SetCell(7, 7, "ignored");
    EXPECT_EQ(g.Cell(7, 7), "");
    g.SetRowCount(40);
    EXPECT_EQ(g.Cell(1, 1), "ГРС");  // kept through a resize
    g.SetColWidth(0, 2);
    EXPECT_EQ(g.ColWidth(0), 2);
    EXPECT_EQ(g.ColWidth(2), 64);
    // A refused selection leaves the current cell.
    g.OnSelectCell = [](int, int row, bool& can) { can = row != 5; };
    int clicks = 0;
    g.OnClick = [&] { ++clicks; };
    EXPECT_TRUE(g.SelectCell(2, 4));
    EXPECT_FALSE(g.SelectCell(2, 5));
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(clicks, 1);
    // Setting the row in code fires nothing and brings it into view.
    g.SetRow(39);
    EXPECT_EQ(clicks, 1);
    EXPECT_GE(39, g.TopRow());
    EXPECT_LT(39, g.TopRow() + g.VisibleRowCount());
    g.SetRow(1000);
    EXPECT_EQ(g.Row(), 39);
    // Styles: fixed cells grey, the current cell highlighted, own colours on top.
    EXPECT_EQ(g.StyleOf(0, 3).background, ui::clBtnFace);
    EXPECT_EQ(g.StyleOf(2, 39).background, ui::clHighlight);
    g.SetCellColor(1, 3, ui::clRed);
    EXPECT_EQ(g.StyleOf(1, 3).text, ui::clRed);
    g.OnDrawCell = [](int col, int, ui::CellStyle& s) { if (col == 2) s.bold = true; };
    EXPECT_TRUE(g.StyleOf(2, 3).bold);
    auto rev = g.Revision();
    g.SetCell(1, 2, "x");
    EXPECT_GT(g.Revision(), rev);
    // Fixed cells cannot be selected; editing needs the option.
    EXPECT_FALSE(g.SelectCell(0, 0));
    EXPECT_FALSE(g.EditCell(1, 1, "y"));
    EXPECT_EQ(failures.size(), 2u);
}

TEST(Controls, GridStartsOverAtItsFirstScrollableCell) {
    // A new number of fixed columns or rows puts the current cell and the
    // top-left corner at the first scrollable cell: with no fixed column,
    // column 0 shows.
    ui::test::Driver drv;
    Box f;
    ui::StringGrid& g = f.Grid;
    g.SetColCount(8);
    g.SetRowCount(30);
    EXPECT_EQ(g.LeftCol(), 1);
    g.SetFixedCols(0);
    g.SetFixedRows(0);
    EXPECT_EQ(g.LeftCol(), 0);
    EXPECT_EQ(g.Col(), 0);
    EXPECT_EQ(g.TopRow(), 0);
    EXPECT_EQ(g.Row(), 0);
    g.SetRow(20);
    g.SetFixedRows(2);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.TopRow(), 2);
    // The same number again changes nothing.
    g.SetRow(20);
    g.SetFixedRows(2);
    EXPECT_EQ(g.Row(), 20);
}

TEST(Controls, GridRowsFromTheirOwner) {
    ui::test::Driver drv;
    Box f;
    ui::StringGrid& g = f.Grid;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetFixedRows(2);
    g.SetCell(1, 0, "Дата");
    g.SetCell(1, 1, "heading 2");
    g.SetCell(1, 3, "stored");
    g.SetCellColor(1, 3, ui::clRed);

    // Row i of the owner's list: "r<i>" in column 1, "v<i>" in column 3 (column 2
    // left out), until the owner changes its texts.
    int asked = 0;
    std::string suffix;
    ui::RowFunctions rows([] { return 100000; },
                          [&](int row, std::vector<std::string>& t) {
                              ++asked;
                              EXPECT_TRUE(t.empty());
                              t = {"", "r" + std::to_string(row) + suffix, "", "v" + std::to_string(row)};
                          });
    g.SetRowSource(&rows);
    g.SetRowCount(2 + 100000 + 1);  // one more row than the owner has
    EXPECT_EQ(g.Source(), &rows);
    // The fixed rows stay stored; the stored text and colour of a row that
    // is now sourced are gone.
    EXPECT_EQ(g.Cell(1, 0), "Дата");
    EXPECT_EQ(g.Cell(1, 1), "heading 2");
    EXPECT_EQ(g.Cell(1, 2), "r0");
    EXPECT_EQ(g.Cell(1, 3), "r1");
    EXPECT_EQ(g.StyleOf(1, 3).text, g.Font().Color);
    EXPECT_EQ(g.Cell(3, 99999 + 2), "v99999");
    EXPECT_EQ(g.Cell(2, 5), "");
    EXPECT_EQ(g.Cell(1, 100002), "");  // past the owner's rows
    EXPECT_EQ(g.Cell(1, 100003), "");  // past the grid
    EXPECT_EQ(g.Cell(4, 5), "");
    EXPECT_EQ(g.RowTexts(7), (std::vector<std::string>{"", "r5", "", "v5"}));

    // A screen of rows read cell by cell, again and again: each row made once.
    asked = 0;
    for (int pass = 0; pass < 3; ++pass)
        for (int r = 500; r < 540; ++r)
            for (int c = 0; c < 4; ++c) g.Cell(c, r);
    EXPECT_EQ(asked, 40);

    // Writes to sourced rows are ignored; the owner's new texts show after
    // RowsChanged.
    const auto rev = g.Revision();
    g.SetCell(1, 500, "x");
    g.SetCellColor(1, 500, ui::clRed);
    EXPECT_EQ(g.Cell(1, 500), "r498");
    EXPECT_EQ(g.Revision(), rev);
    suffix = "'";
    EXPECT_EQ(g.Cell(1, 500), "r498");
    g.RowsChanged();
    EXPECT_GT(g.Revision(), rev);
    EXPECT_EQ(g.Cell(1, 500), "r498'");
    // Colours of sourced rows come from OnDrawCell.
    g.OnDrawCell = [&g](int, int row, ui::CellStyle& s) {
        if (g.Cell(1, row).back() == '\'') s.text = ui::clBlue;
    };
    EXPECT_EQ(g.StyleOf(1, 600).text, ui::clBlue);
    EXPECT_EQ(g.StyleOf(1, 0).text, ui::clBtnText);
    g.OnDrawCell = nullptr;

    // Selection and scrolling work over the whole row count.
    g.SetRow(100002);
    EXPECT_EQ(g.Row(), 100002);
    EXPECT_GE(g.TopRow(), 100002 - g.VisibleRowCount());
    // A typed text goes to the owner, not into the grid.
    ui::GridOptions o;
    o.editing = true;
    g.SetOptions(o);
    std::string typed;
    g.OnSetEditText = [&](int, int, const std::string& t) { typed = t; };
    EXPECT_TRUE(g.EditCell(1, 10, "new"));
    EXPECT_EQ(typed, "new");
    EXPECT_EQ(g.Cell(1, 10), "r8'");

    // Fewer fixed rows: the heading kept stays, the other becomes sourced.
    g.SetFixedRows(1);
    EXPECT_EQ(g.Cell(1, 0), "Дата");
    EXPECT_EQ(g.Cell(1, 1), "r0'");
    // Without the source the rows are stored (and empty) again.
    g.SetRowSource(nullptr);
    EXPECT_EQ(g.Cell(1, 0), "Дата");
    EXPECT_EQ(g.Cell(1, 1), "");
    g.SetCell(1, 7, "kept");
    EXPECT_EQ(g.Cell(1, 7), "kept");
}

TEST(Controls, ScrollBoxAndMemoAndDates) {
    ui::test::Driver drv;
    Box f;
    f.Scroll.SetBounds(0, 0, 200, 100);
    ui::Panel inner(&f, "inner");
    inner.SetParent(&f.Scroll);
    inner.SetBounds(0, 0, 1000, 50);
    EXPECT_TRUE(f.Scroll.HorzBarShown());
    f.Scroll.SetHorzPosition(5000);
    EXPECT_EQ(f.Scroll.HorzPosition(), 1000 - f.Scroll.ClientWidth());
    f.Scroll.SetVertPosition(30);
    EXPECT_EQ(f.Scroll.VertPosition(), 0);

    f.Memo1.AddLine("перший");
    f.Memo1.AddLine("другий");
    EXPECT_EQ(f.Memo1.Text(), "перший\nдругий");
    EXPECT_EQ(f.Memo1.LineCount(), 2);

    EXPECT_EQ(ui::EncodeDate(1899, 12, 30), 0.0);
    double dt = ui::EncodeDate(2024, 2, 29) + ui::EncodeTime(13, 45, 10);
    int y, m, d, h, n, s, ms;
    ui::DecodeDate(dt, y, m, d);
    ui::DecodeTime(dt, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20240229);
    EXPECT_EQ(h * 10000 + n * 100 + s, 134510);
    f.Date1.SetDateTime(dt);
    f.Date1.SetDate(ui::EncodeDate(2000, 1, 1));
    ui::DecodeTime(f.Date1.DateTime(), h, n, s, ms);
    EXPECT_EQ(h * 10000 + n * 100 + s, 134510);  // the time survives
}

TEST(Controls, Utf8CountsCharacters) {
    EXPECT_EQ(ui::utf8::Length("Так"), 3);
    EXPECT_EQ(ui::utf8::Sub("Повторити", 2, 3), "вто");
    EXPECT_EQ(ui::utf8::Encode(ui::utf8::Decode("ЗБР_11 ok")), "ЗБР_11 ok");
    EXPECT_EQ(ui::utf8::Length("\xFF\xD0"), 2);  // broken bytes count one each
}

}  // namespace
