// The Qt backend: windows, the modal loop, message processing, timers,
// dialogs, the cursor and the key hook.
#include "ui/qt/QtInternal.h"

namespace ui::qt::detail {

QtBackend* g_backend = nullptr;

QtBackend::QtBackend() {
    qApp->installEventFilter(this);
    QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (pushing) return;
        ui::Control* c = ControlOfWidget(now);
        if (!c || dynamic_cast<ui::Form*>(c)) return;
        ui::Form* f = c->ParentForm();
        if (!f || f->ActiveControl() == c) return;
        if (FormWindow* w = WindowOf(*f)) w->lastActive = c;
        User(c, [f, c] { f->SetActiveControl(c); });
    });
}

QtBackend::~QtBackend() {
    qApp->removeEventFilter(this);
    if (hourglass_) QApplication::restoreOverrideCursor();
    for (auto& [t, q] : timers_) delete q;
    timers_.clear();
    owners_.clear();
    peers_.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool QtBackend::Alive(const ui::Component* c) const { return c && (peers_.count(c) || timers_.count(c)); }

Peer* QtBackend::PeerOf(const ui::Component* c) const {
    auto it = peers_.find(c);
    return it == peers_.end() ? nullptr : it->second.get();
}

ui::Control* QtBackend::ControlOfWidget(QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        auto it = owners_.find(w);
        if (it != owners_.end()) return it->second;
    }
    return nullptr;
}

FormWindow* QtBackend::WindowOf(ui::Form& form) {
    if (Peer* p = PeerOf(&form)) return static_cast<FormPeer*>(p)->win;
    // Every form is a window of its own: a child window would be disabled
    // with the main window while the wait box shows.
    QWidget* parent = nullptr;
    auto peer = std::make_unique<FormPeer>(*this, form, parent);
    FormWindow* win = peer->win;
    owners_[win] = &form;
    peers_[&form] = std::move(peer);
    return win;
}

void QtBackend::SyncTree(ui::Control& c, QWidget* container) {
    Peer* p = PeerOf(&c);
    if (!p) {
        auto np = MakePeer(*this, c);
        p = np.get();
        owners_[p->w] = &c;
        peers_[&c] = std::move(np);
    }
    if (p->w->parentWidget() != container) p->w->setParent(container);
    p->Push();
    if (!c.Visible()) return;
    for (ui::Control* k : std::vector<ui::Control*>(c.Controls())) SyncTree(*k, p->Container());
}

void QtBackend::SyncForm(ui::Form& form) {
    FormWindow* win = WindowOf(form);
    bool was = pushing;
    pushing = true;
    PeerOf(&form)->Push();
    for (ui::Control* k : std::vector<ui::Control*>(form.Controls())) SyncTree(*k, win->client);
    ui::Control* a = form.ActiveControl();
    if (a != win->lastActive && win->isVisible()) {
        win->lastActive = a;
        if (Peer* p = PeerOf(a); p && p->w && p->w->isVisible()) p->w->setFocus();
    }
    pushing = was;
}

void QtBackend::SyncAll() {
    if (syncing_) return;
    syncing_ = true;
    for (ui::Form* f : std::vector<ui::Form*>(ui::Form::All()))
        if (f->Visible()) SyncForm(*f);
    syncing_ = false;
}

void QtBackend::TryEndModal() {
    for (ui::Form* f : std::vector<ui::Form*>(modal_)) {
        Peer* p = PeerOf(f);
        if (!p || f->ModalResult() == ui::mrNone) continue;
        FormWindow* w = static_cast<FormPeer*>(p)->win;
        if (w->allowClose) continue;  // already ending
        if (!f->CloseModal()) continue;
        w->allowClose = true;
        w->done(f->ModalResult());
    }
}

void QtBackend::AfterEvent() {
    TryEndModal();
    SyncAll();
}

// A window opens within the free area (without the desktop's panels) of
// the screen it opens on: one larger than that area is made to fit it (a
// window of fixed size keeps its size), one reaching past it is moved in.
void QtBackend::FitToScreen(ui::Form& form) {
    const QRect asked(form.Left(), form.Top(), form.Width(), form.Height());
    QScreen* screen = QGuiApplication::screenAt(asked.center());
    if (!screen)
        if (ui::Form* main = ui::Application::MainForm(); main && main != &form && Alive(main))
            screen = WindowOf(*main)->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect free = screen->availableGeometry();
    if (screen == QGuiApplication::primaryScreen()) {
        // The forms lay themselves out for the screen ui::Screen gives (the
        // primary one, unless a test set another size): that screen less
        // what the desktop's panels take of the real one.
        const QRect whole = screen->geometry();
        free = QRect(0, 0, ui::Screen::Width(), ui::Screen::Height())
                   .adjusted(free.left() - whole.left(), free.top() - whole.top(), free.right() - whole.right(),
                             free.bottom() - whole.bottom());
    }
    QRect r = asked;
    if (form.BorderStyle() == ui::BorderStyle::Sizeable) {
        r.setWidth(std::min(r.width(), free.width()));
        r.setHeight(std::min(r.height(), free.height()));
    }
    r.moveLeft(std::clamp(r.left(), free.left(), std::max(free.left(), free.left() + free.width() - r.width())));
    r.moveTop(std::clamp(r.top(), free.top(), std::max(free.top(), free.top() + free.height() - r.height())));
    if (r != asked) User(&form, [&] { form.SetBounds(r.x(), r.y(), r.width(), r.height()); });
}

void QtBackend::RunModal(ui::Form& form) {
    FormWindow* w = WindowOf(form);
    FitToScreen(form);
    // OnShow may already have decided.
    if (form.ModalResult() != ui::mrNone && form.CloseModal()) return;
    modal_.push_back(&form);
    w->allowClose = false;
    w->setWindowModality(Qt::ApplicationModal);
    SyncForm(form);
    w->lastActive = nullptr;  // focus goes to the model's active control once shown
    QTimer::singleShot(0, w, [this, w] {
        w->activateWindow();
        SyncAll();
    });
    if (modalShownHook) RunShownHook(&form, 50);
    w->exec();
    w->allowClose = false;
    modal_.erase(std::remove(modal_.begin(), modal_.end(), &form), modal_.end());
}

// Runs the test hook once the dialog is up and active (activation may come
// a little after exec() started), or after a bounded number of tries.
void QtBackend::RunShownHook(ui::Form* f, int triesLeft) {
    QTimer::singleShot(triesLeft == 50 ? 0 : 10, qApp, [this, f, triesLeft] {
        if (!modalShownHook || !Alive(f)) return;
        FormWindow* w = WindowOf(*f);
        if (!w->isActiveWindow() && triesLeft > 0) {
            RunShownHook(f, triesLeft - 1);
            return;
        }
        auto hook = modalShownHook;
        User(f, [&] { hook(*f); });
    });
}

void QtBackend::FormShown(ui::Form& form) {
    if (form.Modal()) return;  // RunModal shows it
    FormWindow* w = WindowOf(form);
    FitToScreen(form);
    SyncForm(form);
    // A window that shows now comes up on top; one already showing is
    // brought there (asking a window that is not up yet to rise is an
    // error to some platforms).
    const bool wasShowing = w->isVisible();
    w->show();
    if (wasShowing) w->raise();
    w->activateWindow();
    w->lastActive = nullptr;
    SyncForm(form);
}

void QtBackend::FormHidden(ui::Form& form) {
    if (form.Modal()) return;  // the modal loop hides it
    if (Peer* p = PeerOf(&form)) {
        auto* w = static_cast<FormPeer*>(p)->win;
        w->allowClose = true;
        w->hide();
        w->allowClose = false;
    }
}

void QtBackend::ProcessMessages() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    AfterEvent();
}

int QtBackend::MessageBox(const std::string& text, const std::string& caption, int flags) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(WindowTitle(caption));
    box.setText(Q(text));
    int icon = flags & 0xF0;
    box.setIcon(icon == ui::MB_ICONERROR ? QMessageBox::Critical
                : icon == ui::MB_ICONQUESTION ? QMessageBox::Question
                : icon == ui::MB_ICONWARNING ? QMessageBox::Warning
                : icon == ui::MB_ICONINFORMATION ? QMessageBox::Information
                                                  : QMessageBox::NoIcon);
    switch (flags & 0xF) {
    case ui::MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case ui::MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    int r = box.exec();
    AfterEvent();
    switch (r) {
    case QMessageBox::Yes: return ui::IDYES;
    case QMessageBox::No: return ui::IDNO;
    case QMessageBox::Cancel: return ui::IDCANCEL;
    default: return ui::IDOK;
    }
}

int QtBackend::CaptionWidth(const std::string& caption, int icons) {
    if (caption.empty()) return 0;
    // The window manager draws the title in a font of its own: measured in
    // the wider of the system's title font and a bold 15-pixel sans, as
    // the common window managers draw titles on a 96-dpi screen.
    const QString text = Q(caption);
    QFont sans("DejaVu Sans");
    sans.setPixelSize(15);
    sans.setBold(true);
    QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    title.setBold(true);
    const int w = std::max(QFontMetrics(sans).horizontalAdvance(text), QFontMetrics(title).horizontalAdvance(text));
    return w + ui::TitleBarExtras(icons);
}

bool QtBackend::RunFileDialog(ui::FileDialog& d) {
    QFileDialog dlg(QApplication::activeWindow(), Q(d.Title), Q(d.InitialDir));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    dlg.setAcceptMode(d.IsSave() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(d.IsSave() || !d.FileMustExist ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !d.OverwritePrompt);
    QStringList filters;
    for (const auto& e : d.FilterEntries()) {
        QString pats = Q(e.patterns).replace(';', ' ');
        QString desc = Q(e.description);
        filters << (desc.contains("(" + pats + ")") ? desc : desc + " (" + pats + ")");
    }
    if (!filters.isEmpty()) {
        dlg.setNameFilters(filters);
        dlg.selectNameFilter(filters.value(std::clamp(d.FilterIndex - 1, 0, int(filters.size()) - 1)));
    }
    if (!d.FileName.empty()) dlg.selectFile(Q(d.FileName));
    bool ok = dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty();
    if (ok) {
        d.FileName = S(dlg.selectedFiles().value(0));
        d.FilterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
    }
    AfterEvent();
    return ok;
}

void QtBackend::TimerChanged(ui::Timer& t) {
    QTimer*& q = timers_[static_cast<const ui::Component*>(&t)];
    if (!q) {
        q = new QTimer(this);
        QObject::connect(q, &QTimer::timeout, this, [this, tp = &t] {
            if (!timers_.count(static_cast<const ui::Component*>(tp)) || pushing) return;
            try {
                tp->Fire();
            } catch (const std::exception& e) {
                ui::Application::ShowException(e.what());
            }
            AfterEvent();
        });
    }
    if (t.Enabled() && t.Interval() > 0) {
        if (q->interval() != t.Interval() || !q->isActive()) q->start(t.Interval());
    } else {
        q->stop();
    }
}

void QtBackend::ComponentDestroyed(ui::Component& c) {
    auto ti = timers_.find(&c);
    if (ti != timers_.end()) {
        ti->second->stop();
        ti->second->deleteLater();
        timers_.erase(ti);
        return;
    }
    for (auto& [comp, peer] : peers_)
        if (auto* fp = dynamic_cast<FormPeer*>(peer.get()); fp && !fp->win->itemActions.empty())
            fp->win->ForgetMenuItem(&c);
    auto it = peers_.find(&c);
    if (it == peers_.end()) return;
    Peer* p = it->second.get();
    // Children outlive their parent's widget: take theirs out first.
    for (ui::Control* k : p->ctl->Controls())
        if (Peer* kp = PeerOf(k); kp && kp->w) {
            kp->w->hide();
            kp->w->setParent(nullptr);
        }
    modal_.erase(std::remove_if(modal_.begin(), modal_.end(),
                                [p](ui::Form* f) { return static_cast<ui::Control*>(f) == p->ctl; }),
                 modal_.end());
    owners_.erase(p->w);
    for (auto& [comp, peer] : peers_)
        if (auto* fp = dynamic_cast<FormPeer*>(peer.get()); fp && fp->win->lastActive == p->ctl) fp->win->lastActive = nullptr;
    peers_.erase(it);
}

void QtBackend::CursorChanged(ui::Cursor c) {
    if (c == ui::Cursor::HourGlass && !hourglass_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        hourglass_ = true;
    } else if (c == ui::Cursor::Default && hourglass_) {
        QApplication::restoreOverrideCursor();
        hourglass_ = false;
    }
}

int QtBackend::RunMainLoop(ui::Form& mainForm) {
    qApp->setQuitOnLastWindowClosed(false);
    mainForm.Show();
    if (ui::Application::Terminated()) return 0;
    return QApplication::exec();
}

void QtBackend::Terminate() { QCoreApplication::quit(); }

bool QtBackend::eventFilter(QObject* obj, QEvent* ev) {
    if (ev->type() == QEvent::KeyRelease) {
        // The key is over: the next press is a new one, even when Qt builds
        // it at the same address as the last.
        lastKey_ = nullptr;
        lastKeyTarget_ = nullptr;
        return false;
    }
    if (ev->type() != QEvent::KeyPress || pushing || !obj->isWidgetType()) return false;
    auto* target = static_cast<QWidget*>(obj);
    auto* ke = static_cast<QKeyEvent*>(ev);
    // A key event not taken by a widget goes on to its parents: the same
    // event again, which the hook must see only once.
    if (ev == lastKey_ && lastKeyTarget_ && target->isAncestorOf(lastKeyTarget_) && ke->key() == lastKeyCode_ &&
        ke->timestamp() == lastKeyTime_)
        return false;
    lastKey_ = ev;
    lastKeyTarget_ = target;
    lastKeyCode_ = ke->key();
    lastKeyTime_ = ke->timestamp();
    int key = ToKeyCode(ke->key());
    if (!key) return false;
    auto* fw = dynamic_cast<FormWindow*>(target->window());
    bool consumed = false;
    if (fw && Alive(fw->form)) {
        User(fw->form, [&] { consumed = fw->form->PreKeyDown(key, ShiftOf(ke->modifiers())); });
    } else {
        ui::Message m;
        m.kind = ui::Message::KeyDown;
        m.key = key;
        m.shift = ShiftOf(ke->modifiers());
        consumed = ui::Application::Hook(m);
        AfterEvent();
    }
    return consumed;
}

}  // namespace ui::qt::detail

namespace ui::qt {

using detail::g_backend;

namespace {
// Fusion with scroll bars as thick as the windows' geometry counts them
// (ui::ScrollBox::kBar, the 17 pixels of the 96-dpi desktop). With
// Fusion's own 14 a scroll area's client is 3 pixels larger than the model
// computes, so it scrolls 3 pixels less than the model and the panes that
// follow its position (the date-time grid beside the value grid) stand 3
// pixels off.
class WindowsStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_ScrollBarExtent) return ui::ScrollBox::kBar;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    // Hidden text shows as '*', the character every password box of the
    // program is given, instead of the style's own dot.
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

struct ScreenState {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<detail::QtBackend> backend;
    ui::Backend* previous = nullptr;
    std::vector<std::unique_ptr<QTranslator>> translators;
};
ScreenState* g_state = nullptr;

// The few texts of the file dialog that Qt's Ukrainian catalogue lacks
// (the type column of folders and drives). Asked only after the catalogue.
class MissingTexts : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* text, const char*, int) const override {
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const std::pair<const char*, const char*> kTexts[] = {
            {"Folder", "Тека"}, {"Drive", "Диск"}, {"Shortcut", "Ярлик"}, {"Unknown", "Невідомо"}};
        for (const auto& [en, uk] : kTexts)
            if (qstrcmp(text, en) == 0) return QString::fromUtf8(uk);
        return {};
    }
};

// Qt's own texts (file dialogs, the calendar, the edit menus, the buttons
// of its boxes) in Ukrainian, as the program's: the Ukrainian locale for
// the names of months and days and the first day of the week, and Qt's
// Ukrainian catalogues where the system has them.
std::vector<std::unique_ptr<QTranslator>> InstallUkrainian() {
    const QLocale uk(QLocale::Ukrainian, QLocale::Ukraine);
    QLocale::setDefault(uk);
    std::vector<std::unique_ptr<QTranslator>> loaded;
    // Installed first: the catalogues installed after it are asked before it.
    auto missing = std::make_unique<MissingTexts>();
    if (QCoreApplication::installTranslator(missing.get())) loaded.push_back(std::move(missing));
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : {"qtbase"}) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(uk, QString::fromLatin1(catalogue), QStringLiteral("_"), dir) &&
            QCoreApplication::installTranslator(t.get()))
            loaded.push_back(std::move(t));
    }
    return loaded;
}
}  // namespace

bool UkrainianLoaded() { return g_state && g_state->translators.size() > 1; }

Screen::Screen(int& argc, char** argv) {
    auto* st = new ScreenState;
    if (!QApplication::instance()) st->app = std::make_unique<QApplication>(argc, argv);
    QApplication::setStyle(new WindowsStyle(QStyleFactory::create("Fusion")));
    st->translators = InstallUkrainian();
    // Disabled texts in the classic desktop's grey: the style's own greys
    // all but vanish on the button face the windows use.
    QPalette pal = QApplication::palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QColor(128, 128, 128));
    QApplication::setPalette(pal);
    // The classic desktop fonts are not here: the narrow DejaVu faces come
    // closest to their widths and carry Cyrillic.
    for (const char* f : {"Arial", "Tahoma", "MS Sans Serif", "Microsoft Sans Serif", "Verdana", "Segoe UI"})
        QFont::insertSubstitution(f, "DejaVu Sans Condensed");
    for (const char* f : {"Times New Roman", "Times"}) QFont::insertSubstitution(f, "DejaVu Serif Condensed");
    for (const char* f : {"Courier New", "Courier", "Lucida Console"}) QFont::insertSubstitution(f, "DejaVu Sans Mono");
    QFont base("Tahoma");
    base.setPixelSize(11);
    QApplication::setFont(base);
    st->backend = std::make_unique<detail::QtBackend>();
    g_backend = st->backend.get();
    st->previous = ui::Backend::Install(g_backend);
    if (QScreen* s = QGuiApplication::primaryScreen())
        ui::Screen::SetMetrics(s->geometry().width(), s->geometry().height(), int(std::lround(s->logicalDotsPerInch())));
    for (ui::Timer* t : ui::Timer::All()) g_backend->TimerChanged(*t);
    g_state = st;
}

Screen::~Screen() {
    if (!g_state) return;
    ui::Backend::Install(g_state->previous);
    g_state->backend.reset();
    g_backend = nullptr;
    for (auto& t : g_state->translators) QCoreApplication::removeTranslator(t.get());
    g_state->translators.clear();
    g_state->app.reset();
    delete g_state;
    g_state = nullptr;
}

QWidget* WidgetOf(const ui::Component& c) {
    if (!g_backend) return nullptr;
    detail::Peer* p = g_backend->PeerOf(&c);
    return p ? p->w.data() : nullptr;
}

void Sync() {
    if (g_backend) g_backend->SyncAll();
}

void SetModalShownHook(std::function<void(ui::Form&)> hook) {
    if (g_backend) g_backend->modalShownHook = std::move(hook);
}

bool RenderToPng(ui::Form& form, const std::string& path) {
    if (!g_backend) return false;
    detail::FormWindow* w = g_backend->WindowOf(form);
    g_backend->SyncForm(form);
    bool shown = w->isVisible();
    if (!shown) {
        w->setAttribute(Qt::WA_DontShowOnScreen, true);
        w->show();
    }
    QCoreApplication::sendPostedEvents();
    QPixmap client = w->grab();
    if (!shown) {
        w->allowClose = true;
        w->hide();
        w->allowClose = false;
        w->setAttribute(Qt::WA_DontShowOnScreen, false);
    }
    const int W = form.Width(), H = form.Height(), F = form.FrameWidth(), C = form.CaptionHeight();
    QImage img(std::max(W, 1), std::max(H, 1), QImage::Format_RGB32);
    img.fill(QColor(212, 208, 200));
    QPainter p(&img);
    if (F > 0) {
        p.setPen(QColor(255, 255, 255));
        p.drawLine(1, 1, W - 2, 1);
        p.drawLine(1, 1, 1, H - 2);
        p.setPen(QColor(64, 64, 64));
        p.drawLine(0, H - 1, W - 1, H - 1);
        p.drawLine(W - 1, 0, W - 1, H - 1);
    }
    if (C > 0) {
        QRect cap(F, F, W - 2 * F, C);
        QLinearGradient g(cap.topLeft(), cap.topRight());
        g.setColorAt(0, QColor(10, 36, 106));
        g.setColorAt(1, QColor(166, 202, 240));
        p.fillRect(cap, g);
        QFont f("Tahoma");
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(cap.adjusted(4, 0, -22, 0), int(Qt::AlignLeft | Qt::AlignVCenter), detail::Q(form.Caption()));
        if (form.BorderIcons() & ui::border_icon::SystemMenu) {
            QRect x(cap.right() - 17, cap.top() + 3, 16, C - 6);
            p.fillRect(x, QColor(212, 208, 200));
            p.setPen(QColor(64, 64, 64));
            p.drawRect(x.adjusted(0, 0, -1, -1));
            p.setPen(QPen(Qt::black, 1.6));
            p.drawLine(x.topLeft() + QPoint(4, 4), x.bottomRight() - QPoint(4, 4));
            p.drawLine(QPoint(x.left() + 4, x.bottom() - 4), QPoint(x.right() - 4, x.top() + 4));
        }
    }
    p.drawPixmap(F, F + C, client);
    p.end();
    return img.save(detail::Q(path), "PNG");
}

}  // namespace ui::qt
