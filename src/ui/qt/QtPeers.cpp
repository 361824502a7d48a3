// Widgets for every kind of control, and how each follows its model.
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/qt/QtInternal.h"

namespace ui::qt::detail {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string S(const QString& s) { return s.toStdString(); }

QString StripAccel(const std::string& s) {
    QString in = Q(s), out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '&') {
            if (i + 1 < in.size() && in[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += in[i];
    }
    return out;
}

QString WindowTitle(const std::string& caption) { return caption.empty() ? QStringLiteral(" ") : Q(caption); }

QColor ToQColor(ui::Color c) { return QColor(ui::RedOf(c), ui::GreenOf(c), ui::BlueOf(c)); }

QFont ToQFont(const ui::Font& f) {
    QFont q(Q(f.Name));
    q.setPixelSize(f.Height > 0 ? f.Height : 11);
    q.setBold(f.Bold);
    q.setItalic(f.Italic);
    q.setUnderline(f.Underline);
    return q;
}

int ToKeyCode(int k) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return ui::key::F1 + (k - Qt::Key_F1);
    switch (k) {
    case Qt::Key_Escape: return ui::key::Escape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return ui::key::Return;
    case Qt::Key_Backspace: return ui::key::Back;
    case Qt::Key_Tab: return ui::key::Tab;
    case Qt::Key_Space: return ui::key::Space;
    case Qt::Key_Delete: return ui::key::Delete;
    case Qt::Key_Insert: return ui::key::Insert;
    case Qt::Key_Home: return ui::key::Home;
    case Qt::Key_End: return ui::key::End;
    case Qt::Key_Left: return ui::key::Left;
    case Qt::Key_Right: return ui::key::Right;
    case Qt::Key_Up: return ui::key::Up;
    case Qt::Key_Down: return ui::key::Down;
    case Qt::Key_PageUp: return ui::key::PageUp;
    case Qt::Key_PageDown: return ui::key::PageDown;
    default: return 0;
    }
}

ui::Shift ShiftOf(Qt::KeyboardModifiers m) {
    ui::Shift s;
    s.shift = m & Qt::ShiftModifier;
    s.ctrl = m & Qt::ControlModifier;
    s.alt = m & Qt::AltModifier;
    return s;
}

namespace {
Qt::Alignment AlignOf(ui::TextAlign a, ui::TextLayout l = ui::TextLayout::Center) {
    Qt::Alignment h = a == ui::TextAlign::Center ? Qt::AlignHCenter : a == ui::TextAlign::Right ? Qt::AlignRight : Qt::AlignLeft;
    Qt::Alignment v = l == ui::TextLayout::Top ? Qt::AlignTop : l == ui::TextLayout::Bottom ? Qt::AlignBottom : Qt::AlignVCenter;
    return h | v;
}

template <class W> W* As(const QPointer<QWidget>& w) { return static_cast<W*>(w.data()); }
}  // namespace

// ---------------------------------------------------------------- Peer

Peer::~Peer() {
    if (w) {
        // The widget goes later (it may be inside its own signal now): from
        // here on nothing in it may call back into the model.
        for (QObject* o : w->findChildren<QObject*>()) o->blockSignals(true);
        w->blockSignals(true);
        w->disconnect();
        w->hide();
        w->deleteLater();
    }
}

void Peer::PushFont(QWidget* target) {
    ui::Font f = ctl->Font();
    if (!first_ && f == font_) return;
    font_ = f;
    target->setFont(ToQFont(f));
    QPalette p = target->palette();
    QColor c = ToQColor(f.Color);
    // Only the enabled groups take the control's colour: a disabled control
    // keeps the style's greyed text, so it looks disabled.
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, c);
        p.setColor(g, QPalette::Text, c);
        p.setColor(g, QPalette::ButtonText, c);
    }
    target->setPalette(p);
}

void Peer::PushBackground(QWidget* target, QPalette::ColorRole role, bool fill) {
    ui::Color c = ctl->Color();
    if (!first_ && c == bg_) return;
    bg_ = c;
    QPalette p = target->palette();
    p.setColor(role, ToQColor(c));
    target->setPalette(p);
    target->setAutoFillBackground(fill);
}

void Peer::Push() {
    QRect g(ctl->Left(), ctl->Top(), ctl->Width(), ctl->Height());
    if (first_ || g != geom_) {
        geom_ = g;
        w->setGeometry(g);
    }
    bool en = ctl->Enabled();
    if (first_ || en != enabled_) {
        enabled_ = en;
        w->setEnabled(en);
    }
    if (first_ || w->toolTip() != Q(ctl->Hint)) w->setToolTip(Q(ctl->Hint));
    PushFont(w);
    bool vis = ctl->Visible();
    if (first_ || vis != visible_ || w->isHidden() == vis) {
        visible_ = vis;
        w->setVisible(vis);
    }
}

// ---------------------------------------------------------------- forms

FormWindow::FormWindow(QtBackend& b, ui::Form& f, QWidget* parent) : QDialog(parent), b(b), form(&f) {
    setObjectName(Q(f.Name()));
    client = new QWidget(this);
    client->setObjectName(Q(f.Name() + "#client"));
    client->setAutoFillBackground(true);
    setWindowFlags(wantedFlags());
    setSizeGripEnabled(false);
}

Qt::WindowFlags FormWindow::wantedFlags() const {
    // The program's main window is a window of its own kind to the window
    // manager (task bar, normal stacking); every other form is a dialog.
    const bool main = ui::Application::MainForm() == form;
    Qt::WindowFlags fl = (main ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint;
    if (form->BorderStyle() == ui::BorderStyle::None) return fl | Qt::FramelessWindowHint;
    fl |= Qt::WindowTitleHint;
    int icons = form->BorderIcons();
    if (icons & ui::border_icon::SystemMenu) fl |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (icons & ui::border_icon::Minimize) fl |= Qt::WindowMinimizeButtonHint;
    if ((icons & ui::border_icon::Maximize) && form->BorderStyle() == ui::BorderStyle::Sizeable)
        fl |= Qt::WindowMaximizeButtonHint;
    return fl;
}

void FormWindow::reject() {
    b.User(form, [this] { form->DialogKey(ui::key::Escape); });
}

void FormWindow::closeEvent(QCloseEvent* e) {
    if (allowClose) {
        e->accept();
        return;
    }
    e->ignore();
    b.User(form, [this] { form->Close(); });
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        b.User(form, [this] { form->DialogKey(ui::key::Return); });
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(e);
}

void FormWindow::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    if (b.pushing || !b.Alive(form)) return;
    int menu = bar ? form->MenuHeight() : 0;
    int cw = e->size().width(), ch = e->size().height() - menu;
    if (cw == form->ClientWidth() && ch == form->ClientHeight()) return;
    b.User(form, [&] {
        form->SetBounds(form->Left(), form->Top(), cw + form->Width() - form->ClientWidth(),
                        ch + form->Height() - form->ClientHeight());
    });
}

// A window the user moved: the form's place follows (the windows that
// open over it are placed by it).
void FormWindow::moveEvent(QMoveEvent* e) {
    QDialog::moveEvent(e);
    if (b.pushing || !b.Alive(form) || !isVisible()) return;
    const QPoint at = frameGeometry().topLeft();
    if (at.x() == form->Left() && at.y() == form->Top()) return;
    b.User(form, [&] { form->SetBounds(at.x(), at.y(), form->Width(), form->Height()); });
}

void FormWindow::changeEvent(QEvent* e) {
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && b.Alive(form) && form->Visible())
        b.User(form, [this] { form->Activate(); });
}

namespace {
void SignatureOf(const ui::MenuItem& item, std::string& sig) {
    char id[32];
    for (ui::MenuItem* i : item.Items()) {
        std::snprintf(id, sizeof id, "%p", static_cast<const void*>(i));
        sig += id;
        sig += i->Caption();
        sig += char('0' + (i->Visible() ? 1 : 0) + (i->Enabled() ? 2 : 0) + (i->Checked() ? 4 : 0));
        if (i->Count()) {
            sig += '{';
            SignatureOf(*i, sig);
            sig += '}';
        }
        sig += '|';
    }
}
}  // namespace

// Takes an action out of every widget that shows it and lets it (with its
// menu, for a submenu's action) go once the events now running are over.
void FormWindow::DropAction(QAction* a) {
    actions.erase(a);
    for (QObject* o : a->associatedObjects())
        if (auto* w = qobject_cast<QWidget*>(o)) w->removeAction(a);
    if (QMenu* m = a->menu(); m && m->menuAction() == a) {
        m->hide();
        m->deleteLater();
    } else {
        a->deleteLater();
    }
}

// The action of an item, made when the item has none yet (or when it
// became a submenu or stopped being one). Every action and menu belongs to
// the bar, so that one dropped takes no other with it.
QAction* FormWindow::ActionOf(ui::MenuItem& item) {
    const bool submenu = item.Count() > 0;
    auto it = itemActions.find(&item);
    if (it != itemActions.end()) {
        if (QAction* a = it->second; a && (a->menu() != nullptr) == submenu) return a;
        if (it->second) DropAction(it->second);
        itemActions.erase(it);
    }
    QAction* a;
    if (submenu) {
        auto* sub = new QMenu(bar);
        sub->setObjectName(Q(item.Name()));
        a = sub->menuAction();
    } else {
        a = new QAction(bar);
        a->setObjectName(Q(item.Name()));
        if (item.IsSeparator()) a->setSeparator(true);
        actions[a] = &item;
        QObject::connect(a, &QAction::triggered, this, [this, a] {
            auto found = actions.find(a);
            if (found == actions.end()) return;
            ui::MenuItem* chosen = found->second;
            b.User(form, [chosen] { chosen->Click(); });
        });
    }
    itemActions[&item] = a;
    return a;
}

// The actions of `parent`'s items in `into` (the bar or a menu), in order,
// each with the item's caption and state.
void FormWindow::SyncMenu(QWidget* into, const ui::MenuItem& parent) {
    const bool inBar = into == bar;
    QList<QAction*> want;
    for (ui::MenuItem* i : parent.Items()) {
        QAction* a = ActionOf(*i);
        want.push_back(a);
        const QString text = i->IsSeparator() ? QString() : Q(i->Caption());
        if (a->text() != text) a->setText(text);
        // The bar shows no separators.
        const bool visible = i->Visible() && !(inBar && i->IsSeparator());
        if (a->isVisible() != visible) a->setVisible(visible);
        if (QMenu* m = a->menu()) {
            if (m->title() != text) m->setTitle(text);
            if (m->isEnabled() != i->Enabled()) m->setEnabled(i->Enabled());
            SyncMenu(m, *i);
        } else {
            if (a->isEnabled() != i->Enabled()) a->setEnabled(i->Enabled());
            if (a->isCheckable() != i->Checked()) a->setCheckable(i->Checked());
            if (a->isChecked() != i->Checked()) a->setChecked(i->Checked());
        }
    }
    if (into->actions() == want) return;
    // Items gone from here (or moved elsewhere) leave; the rest take the
    // model's order.
    for (QAction* a : into->actions())
        if (!want.contains(a)) into->removeAction(a);
    for (qsizetype k = 0; k < want.size(); ++k) {
        const QList<QAction*> now = into->actions();
        if (k < now.size() && now[k] == want[k]) continue;
        into->insertAction(k < now.size() ? now[k] : nullptr, want[k]);
    }
}

void FormWindow::BuildMenu() {
    ui::MainMenu* menu = form->Menu();
    if (!menu) {
        if (!bar) return;
        for (auto& [item, a] : itemActions)
            if (a) DropAction(a);
        itemActions.clear();
        actions.clear();
        menuSignature.clear();
        bar->hide();
        bar->deleteLater();
        bar = nullptr;
        return;
    }
    std::string sig;
    SignatureOf(menu->Items(), sig);
    if (!bar) {
        bar = new QMenuBar(this);
        bar->setNativeMenuBar(false);
        bar->setObjectName(Q(menu->Name()));
    }
    if (sig == menuSignature) return;
    menuSignature = sig;
    SyncMenu(bar, menu->Items());
}

void FormWindow::ForgetMenuItem(const ui::Component* c) {
    auto it = itemActions.find(c);
    if (it == itemActions.end()) return;
    if (it->second) DropAction(it->second);
    itemActions.erase(it);
    menuSignature = "\x01";  // in step again at the next push
}

FormPeer::FormPeer(QtBackend& b, ui::Form& f, QWidget* parent) : Peer(b, f) {
    win = new FormWindow(b, f, parent);
    w = win;
}

void FormPeer::Push() {
    auto* f = static_cast<ui::Form*>(ctl);
    if (win->windowTitle() != WindowTitle(f->Caption())) win->setWindowTitle(WindowTitle(f->Caption()));
    if (!win->isVisible() && win->windowFlags() != win->wantedFlags()) win->setWindowFlags(win->wantedFlags());
    win->BuildMenu();
    int menu = win->bar ? f->MenuHeight() : 0;
    QSize size(f->ClientWidth(), f->ClientHeight() + menu);
    if (first_ || size != size_) {
        size_ = size;
        if (f->BorderStyle() == ui::BorderStyle::Sizeable) {
            win->setMinimumSize(0, 0);
            win->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            win->resize(size);
        } else {
            win->setFixedSize(size);
        }
    }
    if (win->bar) win->bar->setGeometry(0, 0, f->ClientWidth(), menu);
    win->client->setGeometry(0, menu, f->ClientWidth(), f->ClientHeight());
    QPoint pos(f->Left(), f->Top());
    if (pos != pos_) {
        pos_ = pos;
        win->move(pos);
    }
    if (first_ || f->Enabled() != enabled_) {
        enabled_ = f->Enabled();
        win->setEnabled(enabled_);
    }
    PushFont(win->client);
    PushBackground(win->client, QPalette::Window, true);
    first_ = false;
}

// ---------------------------------------------------------------- containers

namespace {

class PanelWidget : public QFrame {
public:
    using QFrame::QFrame;
    QString caption;
    Qt::Alignment align = Qt::AlignCenter;
protected:
    void paintEvent(QPaintEvent* e) override {
        QFrame::paintEvent(e);
        if (caption.isEmpty()) return;
        QPainter p(this);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(contentsRect().adjusted(2, 0, -2, 0), int(align), caption);
    }
};

class PanelPeer : public Peer {
public:
    PanelPeer(QtBackend& b, ui::Panel& c) : Peer(b, c) { w = new PanelWidget; }
    void Push() override {
        auto* p = static_cast<ui::Panel*>(ctl);
        auto* pw = As<PanelWidget>(w);
        QString cap = StripAccel(p->Caption());
        Qt::Alignment al = AlignOf(p->Alignment());
        if (cap != pw->caption || al != pw->align) {
            pw->caption = cap;
            pw->align = al;
            pw->update();
        }
        int shape = p->BevelOuter() == ui::Bevel::None ? QFrame::NoFrame
                    : QFrame::Panel | (p->BevelOuter() == ui::Bevel::Raised ? QFrame::Raised : QFrame::Sunken);
        if (pw->frameStyle() != shape) pw->setFrameStyle(shape);
        PushBackground(pw, QPalette::Window, true);
        Peer::Push();
        first_ = false;
    }
};

class GroupBoxPeer : public Peer {
public:
    GroupBoxPeer(QtBackend& b, ui::GroupBox& c) : Peer(b, c) { w = new QGroupBox; }
    void Push() override {
        auto* g = As<QGroupBox>(w);
        if (g->title() != Q(ctl->Caption())) g->setTitle(Q(ctl->Caption()));
        PushBackground(g, QPalette::Window, true);
        Peer::Push();
        first_ = false;
    }
};

class ScrollBoxPeer : public Peer {
public:
    ScrollBoxPeer(QtBackend& b, ui::ScrollBox& c) : Peer(b, c) {
        area = new QScrollArea;
        content = new QWidget;
        content->setObjectName(Q(c.Name() + "#content"));
        content->setAutoFillBackground(true);
        area->setWidget(content);
        area->setWidgetResizable(false);
        w = area;
        auto scrolled = [this] {
            auto* sb = static_cast<ui::ScrollBox*>(ctl);
            this->b.User(sb, [this, sb] {
                sb->UserScroll(area->horizontalScrollBar()->value(), area->verticalScrollBar()->value());
            });
        };
        QObject::connect(area->horizontalScrollBar(), &QScrollBar::valueChanged, area, scrolled);
        QObject::connect(area->verticalScrollBar(), &QScrollBar::valueChanged, area, scrolled);
    }
    QWidget* Container() const override { return content; }
    void Push() override {
        auto* sb = static_cast<ui::ScrollBox*>(ctl);
        area->setFrameShape(sb->BorderSingle() ? QFrame::StyledPanel : QFrame::NoFrame);
        QSize vp = area->viewport()->size();
        QSize cs(std::max(sb->HorzRange(), 1), std::max(sb->VertRange(), 1));
        if (content->size() != cs) content->resize(cs);
        (void)vp;
        area->horizontalScrollBar()->setSingleStep(sb->HorzIncrement());
        area->verticalScrollBar()->setSingleStep(sb->VertIncrement());
        PushBackground(content, QPalette::Window, true);
        Peer::Push();
        if (area->horizontalScrollBar()->value() != sb->HorzPosition())
            area->horizontalScrollBar()->setValue(sb->HorzPosition());
        if (area->verticalScrollBar()->value() != sb->VertPosition())
            area->verticalScrollBar()->setValue(sb->VertPosition());
        first_ = false;
    }
    QScrollArea* area;
    QWidget* content;
};

// ---------------------------------------------------------------- texts

class LabelPeer : public Peer {
public:
    LabelPeer(QtBackend& b, ui::Label& c) : Peer(b, c) {
        auto* l = new QLabel;
        l->setTextFormat(Qt::PlainText);
        w = l;
    }
    void Push() override {
        auto* m = static_cast<ui::Label*>(ctl);
        auto* l = As<QLabel>(w);
        QString t = StripAccel(m->Caption());
        if (l->text() != t) l->setText(t);
        Qt::Alignment al = AlignOf(m->Alignment(), m->Layout());
        if (l->alignment() != al) l->setAlignment(al);
        if (l->wordWrap() != m->WordWrap()) l->setWordWrap(m->WordWrap());
        PushBackground(l, QPalette::Window, !m->Transparent());
        Peer::Push();
        if (m->AutoSize() && !m->WordWrap()) {
            QSize h = l->sizeHint();
            if (h.width() > l->width()) l->resize(h.width(), l->height());
        }
        first_ = false;
    }
};

// Edit box whose typed keys go through the model's OnKeyPress first.
class LineEdit : public QLineEdit {
public:
    LineEdit(QtBackend& b, ui::Edit& e) : b(b), edit(&e) {}
    QtBackend& b;
    ui::Edit* edit;
protected:
    void keyPressEvent(QKeyEvent* e) override {
        QString t = e->text();
        bool back = e->key() == Qt::Key_Backspace;
        bool printable = !t.isEmpty() && t.at(0).isPrint();
        ui::Form* f = b.Alive(edit) ? edit->ParentForm() : nullptr;
        bool filtered = b.Alive(edit) && (edit->OnKeyPress || (f && f->KeyPreview() && f->OnKeyPress));
        if (!(back || printable) || !filtered || isReadOnly()) {
            QLineEdit::keyPressEvent(e);
            return;
        }
        char32_t key = back ? 8 : char32_t(t.toUcs4().value(0));
        char32_t typed = key;
        b.User(edit, [&] {
            PullCaret();
            if (f && f->KeyPreview() && f->OnKeyPress) f->OnKeyPress(key);
            if (key && edit->OnKeyPress) edit->OnKeyPress(key);
        });
        if (key == 0) {
            e->accept();
            return;
        }
        if (key == typed) {
            QLineEdit::keyPressEvent(e);
            return;
        }
        if (key == 8) backspace();
        else insert(QString::fromUcs4(&key, 1));
    }
    void PullCaret() {
        // The model's caret and selection in characters.
        int start = hasSelectedText() ? selectionStart() : cursorPosition();
        int len = hasSelectedText() ? int(selectedText().size()) : 0;
        QString before = text().left(start);
        edit->SetSelStart(int(before.toUcs4().size()));
        edit->SetSelLength(int(text().mid(start, len).toUcs4().size()));
    }
    friend class EditPeer;
};

class EditPeer : public Peer {
public:
    EditPeer(QtBackend& b, ui::Edit& c) : Peer(b, c) {
        auto* le = new LineEdit(b, c);
        w = le;
        QObject::connect(le, &QLineEdit::textChanged, le, [this, le](const QString& s) {
            auto* e = static_cast<ui::Edit*>(ctl);
            QtBackend* backend = &this->b;
            backend->User(e, [backend, e, le, &s] {
                e->SetText(S(s));
                // The change's handler may have closed the window and
                // taken the edit (and this peer) with it.
                if (backend->Alive(e)) le->PullCaret();
            });
        });
    }
    void Push() override {
        auto* e = static_cast<ui::Edit*>(ctl);
        auto* le = As<LineEdit>(w);
        if (le->text() != Q(e->Text())) le->setText(Q(e->Text()));
        int max = e->MaxLength() > 0 ? e->MaxLength() : 32767;
        if (le->maxLength() != max) le->setMaxLength(max);
        auto mode = e->PasswordChar() ? QLineEdit::Password : QLineEdit::Normal;
        if (le->echoMode() != mode) le->setEchoMode(mode);
        if (le->isReadOnly() != e->ReadOnly()) le->setReadOnly(e->ReadOnly());
        Qt::Alignment al = AlignOf(e->Alignment());
        if (le->alignment() != al) le->setAlignment(al);
        PushBackground(le, QPalette::Base, false);
        Peer::Push();
        first_ = false;
    }
};

class MemoPeer : public Peer {
public:
    MemoPeer(QtBackend& b, ui::Memo& c) : Peer(b, c) {
        auto* te = new QPlainTextEdit;
        w = te;
        QObject::connect(te, &QPlainTextEdit::textChanged, te, [this, te] {
            auto* m = static_cast<ui::Memo*>(ctl);
            this->b.User(m, [m, te] { m->SetText(S(te->toPlainText())); });
        });
    }
    void Push() override {
        auto* m = static_cast<ui::Memo*>(ctl);
        auto* te = As<QPlainTextEdit>(w);
        if (te->toPlainText() != Q(m->Text())) te->setPlainText(Q(m->Text()));
        if (te->isReadOnly() != m->ReadOnly()) te->setReadOnly(m->ReadOnly());
        te->setLineWrapMode(m->WordWrap() ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        QTextOption option = te->document()->defaultTextOption();
        const Qt::Alignment al = AlignOf(m->Alignment(), ui::TextLayout::Top) & Qt::AlignHorizontal_Mask;
        if (option.alignment() != al) {
            option.setAlignment(al);
            te->document()->setDefaultTextOption(option);
        }
        auto sb = m->ScrollBars();
        bool h = sb == ui::ScrollBars::Horizontal || sb == ui::ScrollBars::Both;
        bool v = sb == ui::ScrollBars::Vertical || sb == ui::ScrollBars::Both;
        te->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        te->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        PushBackground(te, QPalette::Base, false);
        Peer::Push();
        first_ = false;
    }
};

// Keys typed into an editable combo box go through the model's OnKeyPress
// first, as in an edit box: a key set to 0 is dropped, another key typed
// in its place. Watched on the combo box and on its line edit both: the
// focus is normally on the combo box, which hands a key on to the line
// edit's event() directly, past any filter on the line edit; a key that
// reaches the line edit on its own passes only the filter there.
class ComboKeys : public QObject {
public:
    ComboKeys(QtBackend& b, ui::ComboBox& c, QLineEdit* le) : QObject(le), b(b), combo(&c), le(le) {}
protected:
    bool eventFilter(QObject*, QEvent* ev) override {
        if (ev->type() != QEvent::KeyPress) return false;
        auto* e = static_cast<QKeyEvent*>(ev);
        QString t = e->text();
        bool back = e->key() == Qt::Key_Backspace;
        bool printable = !t.isEmpty() && t.at(0).isPrint();
        if (!(back || printable) || le->isReadOnly() || !b.Alive(combo) || !combo->OnKeyPress) return false;
        char32_t key = back ? 8 : char32_t(t.toUcs4().value(0));
        char32_t typed = key;
        b.User(combo, [&] { combo->OnKeyPress(key); });
        if (key == typed) return false;
        if (key == 8) le->backspace();
        else if (key) le->insert(QString::fromUcs4(&key, 1));
        return true;
    }
private:
    QtBackend& b;
    ui::ComboBox* combo;
    QLineEdit* le;
};

class ComboPeer : public Peer {
public:
    ComboPeer(QtBackend& b, ui::ComboBox& c) : Peer(b, c) {
        auto* cb = new QComboBox;
        cb->setInsertPolicy(QComboBox::NoInsert);
        w = cb;
        QObject::connect(cb, &QComboBox::activated, cb, [this](int i) {
            auto* c = static_cast<ui::ComboBox*>(ctl);
            this->b.User(c, [c, i] { c->Select(i); });
        });
    }
    void Push() override {
        auto* c = static_cast<ui::ComboBox*>(ctl);
        auto* cb = As<QComboBox>(w);
        bool editable = c->Style() == ui::ComboStyle::DropDown;
        if (cb->isEditable() != editable) {
            cb->setEditable(editable);
            if (editable) {
                auto* keys = new ComboKeys(b, *c, cb->lineEdit());
                cb->lineEdit()->installEventFilter(keys);
                cb->installEventFilter(keys);
                QObject::connect(cb->lineEdit(), &QLineEdit::textEdited, cb, [this](const QString& s) {
                    auto* c = static_cast<ui::ComboBox*>(ctl);
                    this->b.User(c, [c, &s] {
                        c->SetText(S(s));
                        if (c->OnChange) c->OnChange();
                    });
                });
            }
        }
        bool same = cb->count() == c->ItemCount();
        for (int i = 0; same && i < cb->count(); ++i) same = cb->itemText(i) == Q(c->Items()[i]);
        if (!same) {
            cb->clear();
            for (const auto& s : c->Items()) cb->addItem(Q(s));
        }
        if (cb->currentIndex() != c->ItemIndex()) cb->setCurrentIndex(c->ItemIndex());
        if (editable && cb->currentText() != Q(c->Text())) cb->setEditText(Q(c->Text()));
        if (editable) {
            int max = c->MaxLength() > 0 ? c->MaxLength() : 32767;
            if (cb->lineEdit()->maxLength() != max) cb->lineEdit()->setMaxLength(max);
        }
        if (cb->maxVisibleItems() != c->DropDownCount()) cb->setMaxVisibleItems(std::max(1, c->DropDownCount()));
        PushBackground(cb, QPalette::Base, false);
        Peer::Push();
        first_ = false;
    }
};

// ---------------------------------------------------------------- buttons

class CheckPeer : public Peer {
public:
    CheckPeer(QtBackend& b, ui::CheckBox& c) : Peer(b, c) {
        auto* cb = new QCheckBox;
        w = cb;
        QObject::connect(cb, &QCheckBox::clicked, cb, [this] { this->b.User(ctl, [this] { ctl->Click(); }); });
    }
    void Push() override {
        auto* c = static_cast<ui::CheckBox*>(ctl);
        auto* cb = As<QCheckBox>(w);
        if (cb->text() != Q(c->Caption())) cb->setText(Q(c->Caption()));
        if (cb->isChecked() != c->Checked()) cb->setChecked(c->Checked());
        PushBackground(cb, QPalette::Window, false);
        Peer::Push();
        first_ = false;
    }
};

class RadioPeer : public Peer {
public:
    RadioPeer(QtBackend& b, ui::RadioButton& c) : Peer(b, c) {
        auto* rb = new QRadioButton;
        rb->setAutoExclusive(false);
        w = rb;
        QObject::connect(rb, &QRadioButton::clicked, rb, [this] { this->b.User(ctl, [this] { ctl->Click(); }); });
    }
    void Push() override {
        auto* c = static_cast<ui::RadioButton*>(ctl);
        auto* rb = As<QRadioButton>(w);
        if (rb->text() != Q(c->Caption())) rb->setText(Q(c->Caption()));
        if (rb->isChecked() != c->Checked()) rb->setChecked(c->Checked());
        Peer::Push();
        first_ = false;
    }
};

class RadioGroupPeer : public Peer {
public:
    RadioGroupPeer(QtBackend& b, ui::RadioGroup& c) : Peer(b, c) { w = new QGroupBox; }
    void Push() override {
        auto* g = static_cast<ui::RadioGroup*>(ctl);
        auto* box = As<QGroupBox>(w);
        if (box->title() != Q(g->Caption())) box->setTitle(Q(g->Caption()));
        Peer::Push();
        if (items_ != g->Items() || columns_ != g->Columns() || size_ != box->size()) {
            // The buttons are kept and laid out again (a click's handler
            // may change the items while the button is inside its click).
            items_ = g->Items();
            columns_ = g->Columns();
            size_ = box->size();
            int n = int(items_.size()), cols = std::max(1, columns_);
            int rows = std::max(1, (n + cols - 1) / cols);
            int top = 18, cw = (box->width() - 16) / cols, rh = std::max(16, (box->height() - top - 4) / rows);
            while (int(buttons_.size()) < n) {
                auto* r = new QRadioButton(box);
                r->setAutoExclusive(false);
                const int i = int(buttons_.size());
                QObject::connect(r, &QRadioButton::clicked, r, [this, i] {
                    auto* g = static_cast<ui::RadioGroup*>(ctl);
                    this->b.User(g, [g, i] { g->Select(i); });
                });
                buttons_.push_back(r);
            }
            for (int i = 0; i < int(buttons_.size()); ++i) {
                QRadioButton* r = buttons_[i];
                if (i >= n) {
                    r->hide();
                    r->setText({});
                    continue;
                }
                if (r->text() != Q(items_[i])) r->setText(Q(items_[i]));
                r->setGeometry(8 + (i / rows) * cw, top + (i % rows) * rh, cw, std::min(rh, 20));
                r->show();
            }
        }
        for (int i = 0; i < int(items_.size()); ++i)
            if (buttons_[i]->isChecked() != (i == g->ItemIndex())) buttons_[i]->setChecked(i == g->ItemIndex());
        first_ = false;
    }
private:
    std::vector<std::string> items_;
    int columns_ = 0;
    QSize size_;
    std::vector<QRadioButton*> buttons_;
};

QStyle::StandardPixmap PixmapOf(ui::Glyph g) {
    switch (g) {
    case ui::Glyph::Ok: return QStyle::SP_DialogOkButton;
    case ui::Glyph::Cancel: return QStyle::SP_DialogCancelButton;
    case ui::Glyph::Close: return QStyle::SP_DialogCloseButton;
    case ui::Glyph::Yes: return QStyle::SP_DialogYesButton;
    case ui::Glyph::No: return QStyle::SP_DialogNoButton;
    case ui::Glyph::Help: return QStyle::SP_DialogHelpButton;
    case ui::Glyph::Retry: return QStyle::SP_BrowserReload;
    case ui::Glyph::Open: return QStyle::SP_DialogOpenButton;
    case ui::Glyph::Save: return QStyle::SP_DialogSaveButton;
    default: return QStyle::SP_CustomBase;
    }
}

class ButtonPeer : public Peer {
public:
    ButtonPeer(QtBackend& b, ui::Button& c) : Peer(b, c) {
        auto* pb = new QPushButton;
        pb->setAutoDefault(false);
        pb->setDefault(false);
        w = pb;
        QObject::connect(pb, &QPushButton::clicked, pb, [this] { this->b.User(ctl, [this] { ctl->Click(); }); });
    }
    void Push() override {
        auto* c = static_cast<ui::Button*>(ctl);
        auto* pb = As<QPushButton>(w);
        if (pb->text() != Q(c->Caption())) pb->setText(Q(c->Caption()));
        if (first_ || glyph_ != c->Glyph()) {
            glyph_ = c->Glyph();
            pb->setIcon(glyph_ == ui::Glyph::None ? QIcon() : pb->style()->standardIcon(PixmapOf(glyph_)));
        }
        if (pb->isFlat() != c->Flat()) pb->setFlat(c->Flat());
        bool checkable = c->GroupIndex() > 0;
        if (pb->isCheckable() != checkable) pb->setCheckable(checkable);
        if (checkable && pb->isChecked() != c->Down()) pb->setChecked(c->Down());
        Peer::Push();
        first_ = false;
    }
private:
    ui::Glyph glyph_ = ui::Glyph::None;
};

// ---------------------------------------------------------------- bars

class ProgressPeer : public Peer {
public:
    ProgressPeer(QtBackend& b, ui::ProgressBar& c) : Peer(b, c) {
        auto* pb = new QProgressBar;
        pb->setTextVisible(false);
        w = pb;
    }
    void Push() override {
        auto* c = static_cast<ui::ProgressBar*>(ctl);
        auto* pb = As<QProgressBar>(w);
        if (pb->minimum() != c->Min() || pb->maximum() != c->Max()) pb->setRange(c->Min(), c->Max());
        if (pb->value() != c->Position()) pb->setValue(c->Position());
        Peer::Push();
        first_ = false;
    }
};

class UpDownPeer : public Peer {
public:
    UpDownPeer(QtBackend& b, ui::UpDown& c) : Peer(b, c) {
        w = new QWidget;
        up = new QToolButton(w);
        down = new QToolButton(w);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        QObject::connect(up, &QToolButton::clicked, up, [this] {
            auto* u = static_cast<ui::UpDown*>(ctl);
            this->b.User(u, [u] { u->ClickUp(); });
        });
        QObject::connect(down, &QToolButton::clicked, down, [this] {
            auto* u = static_cast<ui::UpDown*>(ctl);
            this->b.User(u, [u] { u->ClickDown(); });
        });
    }
    void Push() override {
        Peer::Push();
        int h = ctl->Height() / 2;
        up->setGeometry(0, 0, ctl->Width(), h);
        down->setGeometry(0, h, ctl->Width(), ctl->Height() - h);
        first_ = false;
    }
    QToolButton *up, *down;
};

class StatusPeer : public Peer {
public:
    StatusPeer(QtBackend& b, ui::StatusBar& c) : Peer(b, c) {
        w = new QWidget;
        w->setAutoFillBackground(true);
    }
    void Push() override {
        auto* s = static_cast<ui::StatusBar*>(ctl);
        PushBackground(w, QPalette::Window, true);
        Peer::Push();
        int n = s->SimplePanel() ? 1 : s->PanelCount();
        while (int(labels_.size()) < n) {
            auto* l = new QLabel(w);
            l->setTextFormat(Qt::PlainText);
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            l->setObjectName(Q(s->Name() + "#" + std::to_string(labels_.size())));
            labels_.push_back(l);
        }
        int x = 0, h = s->Height();
        for (int i = 0; i < int(labels_.size()); ++i) {
            QLabel* l = labels_[i];
            if (i >= n) {
                l->hide();
                continue;
            }
            const bool last = i == n - 1;
            int width = s->SimplePanel() ? s->Width() : (last ? std::max(s->Width() - x, 0) : s->Panel(i).Width);
            QString t = Q(s->SimplePanel() ? s->SimpleText() : s->Panel(i).Text);
            if (l->text() != t) l->setText(t);
            Qt::Alignment al = AlignOf(s->SimplePanel() ? ui::TextAlign::Left : s->Panel(i).Alignment);
            if (l->alignment() != al) l->setAlignment(al);
            QRect g(x, 1, std::max(width - 2, 0), h - 1);
            if (l->geometry() != g) l->setGeometry(g);
            if (l->isHidden()) l->show();
            x += width;
        }
        first_ = false;
    }
private:
    std::vector<QLabel*> labels_;
};

// A date or time box that takes a date (time) typed in full as that date.
//
// Qt's own box edits one part (day, month, year; hour, minute, second) at a
// time and drops the keys that do not fit where it is: digits typed into a
// part that is not selected (as after a click into it); digits typed over
// the whole text selected (Ctrl+A), after which the dot moved on to the
// month, so that "01.11.2026" kept the old day and took the month; and
// after a click into the month or the year the parts typed landed in the
// wrong places. Here:
// - a digit typed into a complete part starts that part anew, and the
//   separator typed right after a part moved on by itself is taken as done;
// - the keys typed over the whole text selected are an entry of their own,
//   shown as typed; once they make a whole date ("01.11.2026", "01112026",
//   "1.11.2026") the box takes it. An entry left unfinished (Tab, Enter, a
//   click, any other key), or a date that does not exist or lies outside
//   the box's range, brings the old date back (Enter then goes no further,
//   so that the window's button does not take a date not seen);
// - digits and separators typed in one go from anywhere else are that date
//   too once they make a whole one, whatever the parts did on the way. Such
//   a run that does not fit the parts from where it began, or that stops
//   inside a part after passing through others ("01.11.202"), brings the
//   old date back; one that fills whole parts is those parts over the old
//   date; one within a single part stays as Qt's box took it.
class DateEdit : public QDateTimeEdit {
public:
    DateEdit() { lineEdit()->installEventFilter(this); }
    // A value set by the program: a run being typed is dropped.
    void Show(const QDateTime& v) {
        if (dateTime() == v) return;
        run_ = {};
        setDateTime(v);
    }
    // The dates offered (Qt's own bounds where none is given).
    void Limit(QDate first, QDate last) {
        if (!first.isValid()) first = qtFirst_;
        if (!last.isValid()) last = qtLast_;
        if (minimumDate() != first || maximumDate() != last) setDateRange(first, last);
    }
    void stepBy(int steps) override {
        EndRun();
        QDateTimeEdit::stepBy(steps);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const QString t = e->text();
        const bool plain = !(e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier));
        const bool digit = plain && t.size() == 1 && t[0].isDigit();
        const bool separator = plain && t.size() == 1 && QStringLiteral("./-,: ").contains(t[0]);
        const bool back = plain && e->key() == Qt::Key_Backspace;
        if (run_.fresh && (digit || separator || back)) {
            if (back) run_.keys.chop(1);
            else if (Fits(run_.keys + t, 0)) run_.keys += t;
            e->accept();
            if (!Finish()) ShowKeys();
            return;
        }
        if (!digit && !separator) {
            const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
            movedOn_ = false;
            // The old date shows again before Enter accepts anything.
            if (EndRun() && enter) {
                selectAll();
                e->accept();
                return;
            }
            QDateTimeEdit::keyPressEvent(e);
            return;
        }
        if (digit && AllSelected()) {
            run_ = {true, true, 0, t, dateTime()};
            movedOn_ = false;
            e->accept();
            ShowKeys();
            return;
        }
        if (digit && !run_.on) run_ = {true, false, std::max(currentSectionIndex(), 0), {}, dateTime()};
        if (run_.on) run_.keys += t;
        if (separator && movedOn_) {
            movedOn_ = false;
            e->accept();
        } else {
            const QDateTimeEdit::Section part = currentSection();
            if (digit && !lineEdit()->hasSelectedText() && part != NoSection) {
                if (sectionText(part).size() >= Width(part)) setSelectedSection(part);
            }
            const int before = currentSectionIndex();
            QDateTimeEdit::keyPressEvent(e);
            movedOn_ = digit && currentSectionIndex() != before;
        }
        Finish();
    }
    // Tab moves on to the next part, or out of the box after the last one.
    bool focusNextPrevChild(bool next) override {
        EndRun();
        return QDateTimeEdit::focusNextPrevChild(next);
    }
    void focusOutEvent(QFocusEvent* e) override {
        EndRun();
        movedOn_ = false;
        QDateTimeEdit::focusOutEvent(e);
    }
    void hideEvent(QHideEvent* e) override {
        EndRun();
        QDateTimeEdit::hideEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override {
        EndRun();
        QDateTimeEdit::mousePressEvent(e);
    }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == lineEdit() && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick))
            EndRun();
        return QDateTimeEdit::eventFilter(o, e);
    }
    // The entry being typed is shown as it stands, not read as a date.
    QValidator::State validate(QString& input, int& pos) const override {
        if (run_.fresh) return QValidator::Intermediate;
        return QDateTimeEdit::validate(input, pos);
    }

private:
    // Keys typed in one go: over the whole text selected (fresh: kept
    // apart from the parts and shown as typed), or from the part `from` on.
    struct Run {
        bool on = false;
        bool fresh = false;
        int from = 0;
        QString keys;
        QDateTime before;  // the value when the run began
    };

    static int Width(Section s) { return s == YearSection ? 4 : s == MSecSection ? 3 : 2; }
    bool AllSelected() const {
        const QLineEdit* le = lineEdit();
        return le->hasSelectedText() && le->selectedText() == le->text();
    }
    // Splits keys typed from part `from` on into the parts they fill: a
    // digit goes to the part until it is full, then to the next; a
    // separator ends a part that has digits. False when they do not fit.
    bool Split(const QString& keys, int from, QStringList& parts) const {
        parts.clear();
        const int n = sectionCount();
        if (from < 0 || from >= n) return false;
        parts << QString();
        for (const QChar c : keys) {
            const int i = from + int(parts.size()) - 1;
            if (c.isDigit()) {
                if (parts.back().size() >= Width(sectionAt(i))) {
                    if (i + 1 >= n) return false;
                    parts << QString();
                }
                parts.back() += c;
            } else {
                if (parts.back().isEmpty() || i + 1 >= n) return false;
                parts << QString();
            }
        }
        return true;
    }
    bool Fits(const QString& keys, int from) const {
        QStringList parts;
        return Split(keys, from, parts);
    }
    // Every part of the box filled, the last one in full.
    bool Whole(const QStringList& parts) const {
        const int n = sectionCount();
        return int(parts.size()) == n && parts.back().size() == Width(sectionAt(n - 1));
    }
    // The value the parts typed from part `from` on make over `base`; false
    // when there is no such date or time, or it lies outside the box's range.
    bool ValueOf(const QStringList& parts, int from, const QDateTime& base, QDateTime& out) const {
        int y = base.date().year(), mo = base.date().month(), d = base.date().day();
        int h = base.time().hour(), mi = base.time().minute(), s = base.time().second(), ms = base.time().msec();
        for (int i = 0; i < int(parts.size()); ++i) {
            const int v = parts[i].toInt();
            switch (sectionAt(from + i)) {
            case YearSection: y = v; break;
            case MonthSection: mo = v; break;
            case DaySection: d = v; break;
            case HourSection: h = v; break;
            case MinuteSection: mi = v; break;
            case SecondSection: s = v; break;
            case MSecSection: ms = v; break;
            default: return false;
            }
        }
        const QDate date(y, mo, d);
        const QTime time(h, mi, s, ms);
        if (!date.isValid() || !time.isValid()) return false;
        out = base;
        out.setDate(date);
        out.setTime(time);
        return out >= minimumDateTime() && out <= maximumDateTime();
    }
    // Once the run's keys make a whole date, the box takes it (the value
    // before the run when it is none) with the cursor after the last part,
    // as typing through the parts leaves it (Tab goes on to the next box).
    // True when the run ended so.
    bool Finish() {
        QStringList parts;
        if (!run_.on || !Split(run_.keys, 0, parts) || !Whole(parts)) return false;
        const Run r = std::exchange(run_, {});
        QDateTime v;
        Put(ValueOf(parts, 0, r.before, v) ? v : r.before, r.fresh);
        lineEdit()->setCursorPosition(int(lineEdit()->text().size()));
        return true;
    }
    // Ends a run that made no whole date. One within a single part stays as
    // the box took it; one that filled whole parts (the last one in full or
    // closed by a separator) is those parts over the value before it. Any
    // other -- an entry, a run that did not fit the parts from where it
    // began or that stopped inside a part, parts that make no date -- brings
    // the value before it back. True when it came back.
    bool EndRun() {
        if (!run_.on) return false;
        const Run r = std::exchange(run_, {});
        QStringList parts;
        if (!r.fresh && Split(r.keys, r.from, parts)) {
            const bool closed = parts.back().isEmpty();
            if (closed) parts.removeLast();
            const int last = r.from + int(parts.size()) - 1;
            if (parts.size() == 1) return false;
            QDateTime v;
            if ((closed || parts.back().size() == Width(sectionAt(last))) && ValueOf(parts, r.from, r.before, v)) {
                Put(v, false);
                return false;
            }
        }
        Put(r.before, r.fresh);
        return true;
    }
    // Sets the value at the end of a run. The box rewrites its text only
    // for a value other than the one it last showed, so an entry's keys
    // give way to the value's own text first.
    void Put(const QDateTime& v, bool fresh) {
        if (fresh) ShowText(textFromDateTime(dateTime()));
        setDateTime(v);
    }
    void ShowKeys() { ShowText(run_.keys); }
    // Text that Qt's box does not read as typed.
    void ShowText(const QString& text) {
        QLineEdit* le = lineEdit();
        const QSignalBlocker quiet(le);
        le->setText(text);
    }

    Run run_;
    bool movedOn_ = false;  // the last digit completed a part and moved on
    const QDate qtFirst_ = minimumDate(), qtLast_ = maximumDate();
};

class DatePeer : public Peer {
public:
    DatePeer(QtBackend& b, ui::DateTimePicker& c) : Peer(b, c) {
        auto* de = new DateEdit;
        de->setTimeSpec(Qt::UTC);  // fields only, no zone arithmetic
        w = de;
        QObject::connect(de, &QDateTimeEdit::dateTimeChanged, de, [this](const QDateTime& v) {
            auto* d = static_cast<ui::DateTimePicker*>(ctl);
            this->b.User(d, [d, v] {
                QDate dd = v.date();
                QTime tt = v.time();
                d->Pick(ui::EncodeDate(dd.year(), dd.month(), dd.day()) +
                        ui::EncodeTime(tt.hour(), tt.minute(), tt.second(), tt.msec()));
            });
        });
    }
    void Push() override {
        auto* d = static_cast<ui::DateTimePicker*>(ctl);
        auto* de = As<DateEdit>(w);
        bool date = d->Kind() == ui::DateTimeKind::Date;
        QString fmt = date ? "dd.MM.yyyy" : "HH:mm:ss";
        if (de->displayFormat() != fmt) {
            de->setDisplayFormat(fmt);
            de->setCalendarPopup(date);
        }
        int y, m, dd, h, n, s, ms;
        if (date) {
            // A bound of 0 is none: an invalid date leaves Qt's own.
            const auto bound = [&](double v) {
                if (v <= 0) return QDate();
                ui::DecodeDate(v, y, m, dd);
                return QDate(y, m, dd);
            };
            de->Limit(bound(d->MinDate()), bound(d->MaxDate()));
        }
        ui::DecodeDate(d->DateTime(), y, m, dd);
        ui::DecodeTime(d->DateTime(), h, n, s, ms);
        de->Show(QDateTime(QDate(y, m, dd), QTime(h, n, s, ms), Qt::UTC));
        PushBackground(de, QPalette::Base, false);
        Peer::Push();
        first_ = false;
    }
};

// ---------------------------------------------------------------- grid

class GridModel : public QAbstractTableModel {
public:
    GridModel(ui::StringGrid* g, QObject* parent) : QAbstractTableModel(parent), g(g) {}
    ui::StringGrid* g;  // null once the grid has gone: no rows then
    int rowCount(const QModelIndex& p = {}) const override {
        return p.isValid() || !g ? 0 : std::max(0, g->RowCount() - g->FixedRows());
    }
    int columnCount(const QModelIndex& p = {}) const override {
        return p.isValid() || !g ? 0 : std::max(0, g->ColCount() - g->FixedCols());
    }
    // The grid goes: the view, which lives a little longer, sees no cells.
    void Detach() {
        beginResetModel();
        g = nullptr;
        endResetModel();
    }
    QVariant data(const QModelIndex& i, int role) const override {
        if (!g) return {};
        int c = i.column() + g->FixedCols(), r = i.row() + g->FixedRows();
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return Q(g->Cell(c, r));
        case Qt::ForegroundRole: return QBrush(ToQColor(g->StyleOf(c, r).text));
        case Qt::BackgroundRole: return QBrush(ToQColor(g->StyleOf(c, r).background));
        case Qt::TextAlignmentRole: return int(AlignOf(g->StyleOf(c, r).align));
        case Qt::FontRole:
            if (g->StyleOf(c, r).bold) {
                QFont f = ToQFont(g->Font());
                f.setBold(true);
                return f;
            }
            return {};
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (!g) return {};
        if (role == Qt::DisplayRole) {
            QStringList parts;
            if (o == Qt::Horizontal)
                for (int r = 0; r < g->FixedRows(); ++r) parts << Q(g->Cell(section + g->FixedCols(), r));
            else
                for (int c = 0; c < g->FixedCols(); ++c) parts << Q(g->Cell(c, section + g->FixedRows()));
            return parts.join(o == Qt::Horizontal ? "\n" : " ");
        }
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (g && g->Options().editing) f |= Qt::ItemIsEditable;
        return i.isValid() ? f : Qt::NoItemFlags;
    }
    bool setData(const QModelIndex& i, const QVariant& v, int role) override;
    void Reset() { beginResetModel(); endResetModel(); }
    // Redraws the cells (the headers are redrawn by their owner: a header
    // told of a change to every section walks all of them).
    void Refresh() {
        if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    }
    QtBackend* b = nullptr;
};

bool GridModel::setData(const QModelIndex& i, const QVariant& v, int role) {
    if (role != Qt::EditRole || !g) return false;
    int c = i.column() + g->FixedCols(), r = i.row() + g->FixedRows();
    std::string text = S(v.toString());
    b->User(g, [this, c, r, text] { g->EditCell(c, r, text); });
    return true;
}

class GridPeer : public Peer {
public:
    GridPeer(QtBackend& b, ui::StringGrid& c) : Peer(b, c) {
        view = new QTableView;
        // The model belongs to the view and goes with it: the view may be
        // inside one of its own signals when the grid goes.
        model = new GridModel(&c, view);
        model->b = &b;
        view->setModel(model);
        view->setSelectionMode(QAbstractItemView::NoSelection);
        view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        view->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
        view->setWordWrap(false);
        view->setCornerButtonEnabled(false);
        view->horizontalHeader()->setMinimumSectionSize(0);
        view->verticalHeader()->setMinimumSectionSize(0);
        view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        // Row heights are the model's alone (the grids have no row sizing):
        // a row dragged taller on screen would stand beside a row of the
        // model's height in a neighbouring grid.
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->horizontalHeader()->setHighlightSections(false);
        view->verticalHeader()->setHighlightSections(false);
        view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
        w = view;
        auto* g = &c;
        QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                         [this, g](const QModelIndex& now) {
                             if (!now.isValid()) return;
                             this->b.User(g, [g, now] {
                                 g->SelectCell(now.column() + g->FixedCols(), now.row() + g->FixedRows());
                             });
                         });
        QObject::connect(view, &QTableView::doubleClicked, view, [this, g] { this->b.User(g, [g] { g->DblClick(); }); });
        auto scrolled = [this, g] {
            this->b.User(g, [this, g] {
                g->UserScroll(view->verticalScrollBar()->value() + g->FixedRows(),
                              view->horizontalScrollBar()->value() + g->FixedCols());
            });
        };
        QObject::connect(view->verticalScrollBar(), &QScrollBar::valueChanged, view, scrolled);
        QObject::connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, view, scrolled);
    }
    ~GridPeer() override {
        if (w) model->Detach();
    }
    void Push() override {
        auto* g = static_cast<ui::StringGrid*>(ctl);
        Peer::Push();
        if (!first_ && g->Revision() == rev_) return;
        rev_ = g->Revision();
        bool reshape = rows_ != g->RowCount() || cols_ != g->ColCount() || frows_ != g->FixedRows() ||
                       fcols_ != g->FixedCols();
        if (reshape) {
            rows_ = g->RowCount();
            cols_ = g->ColCount();
            frows_ = g->FixedRows();
            fcols_ = g->FixedCols();
            model->Reset();
        }
        auto* hh = view->horizontalHeader();
        auto* vh = view->verticalHeader();
        if (!reshape) {
            model->Refresh();
            hh->viewport()->update();
            vh->viewport()->update();
        }
        hh->setVisible(g->FixedRows() > 0);
        vh->setVisible(g->FixedCols() > 0);
        int fixedH = 0, fixedW = 0;
        for (int r = 0; r < g->FixedRows(); ++r) fixedH += g->RowHeight(r) + g->GridLineWidth();
        for (int c = 0; c < g->FixedCols(); ++c) fixedW += g->ColWidth(c) + g->GridLineWidth();
        if (g->FixedRows() > 0) hh->setFixedHeight(fixedH);
        if (g->FixedCols() > 0) vh->setFixedWidth(fixedW);
        for (int c = g->FixedCols(); c < g->ColCount(); ++c)
            if (hh->sectionSize(c - g->FixedCols()) != g->ColWidth(c) + g->GridLineWidth())
                hh->resizeSection(c - g->FixedCols(), g->ColWidth(c) + g->GridLineWidth());
        // Row heights: only when one may have changed (a list of a hundred
        // thousand rows is not walked on every redraw).
        if (reshape || heightsRev_ != g->RowHeightsRevision() || lineWidth_ != g->GridLineWidth()) {
            heightsRev_ = g->RowHeightsRevision();
            lineWidth_ = g->GridLineWidth();
            const int line = g->GridLineWidth(), normal = g->DefaultRowHeight() + line;
            vh->setDefaultSectionSize(normal);
            // After a reset every section has the default size.
            for (int r = g->FixedRows(); r < g->RowCount(); ++r) {
                const int want = g->RowHeight(r) + line;
                if (reshape ? want != normal : vh->sectionSize(r - g->FixedRows()) != want)
                    vh->resizeSection(r - g->FixedRows(), want);
            }
        }
        view->setShowGrid(g->GridLineWidth() > 0);
        auto sb = g->ScrollBars();
        bool h = sb == ui::ScrollBars::Horizontal || sb == ui::ScrollBars::Both;
        bool v = sb == ui::ScrollBars::Vertical || sb == ui::ScrollBars::Both;
        view->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        QModelIndex cur = model->index(g->Row() - g->FixedRows(), g->Col() - g->FixedCols());
        if (cur.isValid() && view->currentIndex() != cur)
            view->selectionModel()->setCurrentIndex(cur, QItemSelectionModel::NoUpdate);
        if (view->verticalScrollBar()->value() != g->TopRow() - g->FixedRows())
            view->verticalScrollBar()->setValue(g->TopRow() - g->FixedRows());
        if (view->horizontalScrollBar()->value() != g->LeftCol() - g->FixedCols())
            view->horizontalScrollBar()->setValue(g->LeftCol() - g->FixedCols());
        PushBackground(view, QPalette::Base, false);
        first_ = false;
    }
private:
    GridModel* model;
    QTableView* view;
    std::uint64_t rev_ = 0, heightsRev_ = 0;
    int rows_ = -1, cols_ = -1, frows_ = -1, fcols_ = -1, lineWidth_ = -1;
};

class GenericPeer : public Peer {
public:
    GenericPeer(QtBackend& b, ui::Control& c) : Peer(b, c) { w = new QWidget; }
    void Push() override {
        Peer::Push();
        first_ = false;
    }
};

}  // namespace

std::unique_ptr<Peer> MakePeer(QtBackend& b, ui::Control& c) {
    std::unique_ptr<Peer> p;
    if (auto* x = dynamic_cast<ui::Memo*>(&c)) p = std::make_unique<MemoPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::Edit*>(&c)) p = std::make_unique<EditPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::Label*>(&c)) p = std::make_unique<LabelPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::Button*>(&c)) p = std::make_unique<ButtonPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::Panel*>(&c)) p = std::make_unique<PanelPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::ComboBox*>(&c)) p = std::make_unique<ComboPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::CheckBox*>(&c)) p = std::make_unique<CheckPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::RadioButton*>(&c)) p = std::make_unique<RadioPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::RadioGroup*>(&c)) p = std::make_unique<RadioGroupPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::GroupBox*>(&c)) p = std::make_unique<GroupBoxPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::ScrollBox*>(&c)) p = std::make_unique<ScrollBoxPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::StringGrid*>(&c)) p = std::make_unique<GridPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::ProgressBar*>(&c)) p = std::make_unique<ProgressPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::UpDown*>(&c)) p = std::make_unique<UpDownPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::StatusBar*>(&c)) p = std::make_unique<StatusPeer>(b, *x);
    else if (auto* x = dynamic_cast<ui::DateTimePicker*>(&c)) p = std::make_unique<DatePeer>(b, *x);
    else p = std::make_unique<GenericPeer>(b, c);
    p->w->setObjectName(Q(c.Name()));
    return p;
}

}  // namespace ui::qt::detail
