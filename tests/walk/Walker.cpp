#include "walk/Walker.h"

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace walk {

// ---------------------------------------------------------------- output

namespace {
std::mutex g_messagesLock;
std::vector<std::string> g_messages;
QtMessageHandler g_previous = nullptr;

void CatchQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
        const char* kind = type == QtWarningMsg ? "warning" : type == QtCriticalMsg ? "critical" : "fatal";
        std::lock_guard<std::mutex> lock(g_messagesLock);
        g_messages.push_back(std::string(kind) + ": " + text.toStdString());
    }
    if (g_previous) g_previous(type, context, text);
}
}  // namespace

OutputCapture::OutputCapture() {
    {
        std::lock_guard<std::mutex> lock(g_messagesLock);
        g_messages.clear();
    }
    g_previous = qInstallMessageHandler(CatchQtMessage);
    if (std::getenv("WALK_KEEP_STDERR")) return;  // for a look at a crash as it happens
    char name[] = "/tmp/zbr-walk-stderr-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return;
    file_ = name;
    std::fflush(stderr);
    savedErr_ = dup(2);
    dup2(fd, 2);
    close(fd);
}

OutputCapture::~OutputCapture() {
    StopStderr();
    qInstallMessageHandler(g_previous);
    g_previous = nullptr;
}

std::string OutputCapture::StopStderr() {
    if (savedErr_ < 0) return {};
    std::fflush(stderr);
    dup2(savedErr_, 2);
    close(savedErr_);
    savedErr_ = -1;
    std::string text;
    if (FILE* f = std::fopen(file_.c_str(), "rb")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    std::remove(file_.c_str());
    if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stderr);
    return text;
}

std::vector<std::string> OutputCapture::QtMessages() {
    std::lock_guard<std::mutex> lock(g_messagesLock);
    return g_messages;
}

// ---------------------------------------------------------------- a window

QWidget* Walker::Window::Child(const char* name) const {
    QWidget* c = w->findChild<QWidget*>(QString::fromUtf8(name));
    if (!c) ADD_FAILURE() << Name().toStdString() << ": no control " << name;
    return c;
}

QString Walker::Window::Text(const char* name) const {
    QWidget* c = w->findChild<QWidget*>(QString::fromUtf8(name));
    if (!c) return {};
    if (auto* l = qobject_cast<QLabel*>(c)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(c)) return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(c)) return b->text();
    if (auto* cb = qobject_cast<QComboBox*>(c)) return cb->currentText();
    if (auto* t = qobject_cast<QPlainTextEdit*>(c)) return t->toPlainText();
    // Panels paint their caption themselves: the accessible text is not
    // there, but the peer keeps it in the widget's "caption" member, which
    // only the backend sees. Labels inside are what the scripts read.
    return {};
}

bool Walker::Window::Shows(const char* name) const {
    QWidget* c = w->findChild<QWidget*>(QString::fromUtf8(name));
    return c && c->isVisible();
}

void Walker::Window::Click(const char* name) const {
    auto* b = qobject_cast<QAbstractButton*>(Child(name));
    if (!b) {
        ADD_FAILURE() << Name().toStdString() << ": " << name << " is not a button";
        return;
    }
    if (!b->isVisible() || !b->isEnabled()) {
        ADD_FAILURE() << Name().toStdString() << ": button " << name << " (" << b->text().toStdString() << ") is "
                      << (b->isVisible() ? "disabled" : "hidden");
        return;
    }
    QTest::mouseClick(b, Qt::LeftButton);
}

void Walker::Window::Choose(const char* name, const QString& item) const {
    auto* cb = qobject_cast<QComboBox*>(Child(name));
    if (!cb) return;
    const int i = cb->findText(item);
    if (i < 0) {
        QStringList items;
        for (int k = 0; k < cb->count(); ++k) items << cb->itemText(k);
        ADD_FAILURE() << Name().toStdString() << ": " << name << " offers no \"" << item.toStdString() << "\" ("
                      << items.join(", ").toStdString() << ")";
        return;
    }
    cb->setCurrentIndex(i);
    emit cb->activated(i);
}

void Walker::Window::Type(const char* name, const QString& text) const {
    QWidget* c = Child(name);
    QLineEdit* le = qobject_cast<QLineEdit*>(c);
    if (!le)
        if (auto* cb = qobject_cast<QComboBox*>(c)) le = cb->lineEdit();
    if (!le) {
        ADD_FAILURE() << Name().toStdString() << ": " << name << " takes no typing";
        return;
    }
    le->setFocus();
    le->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(le, Qt::Key_Delete);
        return;
    }
    // Key by key with the character's text (QTest's own typing knows only
    // Latin keys).
    for (const QChar ch : text) {
        int key = Qt::Key_unknown;
        if (ch.isDigit() || (ch.unicode() < 128 && ch.isLetter())) key = ch.toUpper().unicode();
        else if (ch == ' ') key = Qt::Key_Space;
        else if (ch == '.') key = Qt::Key_Period;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(le, &press);
        QApplication::sendEvent(le, &release);
    }
}

void Walker::Window::Radio(const char* group, const QString& item) const {
    QWidget* g = Child(group);
    if (!g) return;
    for (QRadioButton* r : g->findChildren<QRadioButton*>())
        if (r->text() == item) {
            QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2));
            return;
        }
    ADD_FAILURE() << Name().toStdString() << ": " << group << " has no choice \"" << item.toStdString() << "\"";
}

qint64 Walker::Window::ShownMs() const {
    return QDateTime::currentMSecsSinceEpoch() - w->property("walkSeenAt").toLongLong();
}

// ---------------------------------------------------------------- the walker

void Walker::Later(std::function<void()> f) {
    // A one-shot timer of its own: the action runs from the event loop of
    // whatever modal window is up then, and may open further ones; the
    // watching timer is not held up meanwhile.
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    connect(t, &QTimer::timeout, this, [t, f = std::move(f)] {
        t->deleteLater();
        f();
    });
    t->start(0);
}

Walker::Walker() {
    poll_.setInterval(4);
    connect(&poll_, &QTimer::timeout, this, [this] { Poll(); });
}

Walker::~Walker() { poll_.stop(); }

void Walker::AddStep(std::string label, std::function<void()> action) {
    steps_.emplace_back(std::move(label), std::move(action));
}

void Walker::Start() {
    sinceProgress_.start();
    topSince_.start();
    poll_.start();
}

namespace {
// The actions from the menu bar down to the leaf item `name` (visible ones).
bool PathTo(const QList<QAction*>& actions, const QString& name, std::vector<QAction*>& path) {
    for (QAction* a : actions) {
        if (!a->isVisible() || a->isSeparator()) continue;
        path.push_back(a);
        if (QMenu* m = a->menu()) {
            if (PathTo(m->actions(), name, path)) return true;
        } else if (a->objectName() == name) {
            return true;
        }
        path.pop_back();
    }
    return false;
}

// Runs the event loop until `done` or for at most `ms` milliseconds.
bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Down (from the top) until `target` is a menu's active action.
bool KeyTo(QMenu* menu, QAction* target) {
    for (int i = 0; menu->activeAction() != target && i <= 2 * int(menu->actions().size()); ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    return menu->activeAction() == target;
}
}  // namespace

bool Walker::TriggerMenu(QWidget* mainWindow, const QString& item, By by) {
    QPointer<QMenuBar> bar = mainWindow ? mainWindow->findChild<QMenuBar*>() : nullptr;
    std::vector<QAction*> path;
    if (!bar || !PathTo(bar->actions(), item, path)) return false;
    for (QAction* a : path)
        if (!a->isEnabled()) return false;
    // What must outlive the item's event: the bar, the menus on the way
    // (and the actions that open them) and the item's action.
    std::vector<QPointer<QObject>> keep{bar.data()};
    std::vector<QString> names{"the menu bar"};
    for (QAction* a : path) {
        keep.emplace_back(a);
        if (QMenu* m = a->menu()) {
            names.push_back("the action of menu " + m->objectName());
            keep.emplace_back(m);
            names.push_back("menu " + m->objectName());
        } else {
            names.push_back("action " + a->objectName());
        }
    }
    // The bar's menu (or an item of the bar itself): a click on its title.
    QMenu* menu = path.front()->menu();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(path.front()).center());
    if (menu && !WaitFor([&] { return menu->isVisible(); })) {
        ADD_FAILURE() << "the menu " << menu->objectName().toStdString() << " did not open";
        return false;
    }
    for (std::size_t i = 1; menu && i < path.size(); ++i) {
        // Nothing of the menus is touched after the item's event: it may
        // have destroyed them.
        QAction* a = path[i];
        QMenu* sub = a->menu();
        if (by == By::Keys) {
            if (!KeyTo(menu, a)) {
                ADD_FAILURE() << "the keys do not reach " << a->objectName().toStdString();
                QTest::keyClick(menu, Qt::Key_Escape);
                return false;
            }
            QTest::keyClick(menu, sub ? Qt::Key_Right : Qt::Key_Return);
        } else {
            const QPoint at = menu->actionGeometry(a).center();
            QTest::mouseMove(menu, at);
            QTest::mouseClick(menu, Qt::LeftButton, {}, at);
        }
        if (!sub) break;  // the item: its handler has run
        menu = sub;
        if (!WaitFor([&] { return menu->isVisible(); })) {
            ADD_FAILURE() << "the menu " << menu->objectName().toStdString() << " did not open";
            return false;
        }
    }
    for (std::size_t i = 0; i < keep.size(); ++i)
        EXPECT_FALSE(keep[i].isNull()) << "choosing " << item.toStdString() << ": " << names[i].toStdString()
                                       << " was destroyed inside its own event";
    return true;
}

std::vector<QString> Walker::MenuLeaves(QWidget* mainWindow) {
    std::vector<QString> out;
    auto* bar = mainWindow ? mainWindow->findChild<QMenuBar*>() : nullptr;
    if (!bar) return out;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* a : actions) {
            if (!a->isVisible() || a->isSeparator()) continue;
            if (QMenu* m = a->menu()) walk(m->actions());
            else out.push_back(a->objectName());
        }
    };
    walk(bar->actions());
    return out;
}

void Walker::Poll() {
    busy_.erase(std::remove_if(busy_.begin(), busy_.end(), [](const QPointer<QWidget>& p) { return p.isNull(); }),
                busy_.end());
    if (watch_) watch_();
    QWidget* top = QApplication::activeModalWidget();
    if (top != lastTop_) {
        lastTop_ = top;
        topSince_.restart();
        if (top && !top->property("walkSeenAt").isValid())
            top->setProperty("walkSeenAt", QDateTime::currentMSecsSinceEpoch());
    }
    if (top) {
        const bool acting = std::find(busy_.begin(), busy_.end(), QPointer<QWidget>(top)) != busy_.end();
        // A window is acted on once it has shown for a moment, as a user
        // would see it first.
        if (!acting && top->isVisible() && topSince_.elapsed() >= 8) Act(top);
    } else if (!stepRunning_ && busy_.empty() && (!idle_ || idle_())) {
        if (stepOpen_) {
            stepOpen_ = false;
            sinceProgress_.restart();
            if (stepEnd_) stepEnd_(current_);
        }
        if (next_ < steps_.size()) {
            auto [label, action] = steps_[next_++];
            current_ = label;
            stepWindows_.clear();
            stepTitles_.clear();
            stepRunning_ = stepOpen_ = true;
            sinceProgress_.restart();
            Later([this, action] {
                action();
                stepRunning_ = false;
                sinceProgress_.restart();
            });
        }
    }
    if (sinceProgress_.elapsed() > stallLimit_.count()) Stalled();
}

void Walker::Act(QWidget* top) {
    Script* script = nullptr;
    auto it = scripts_.find(top->objectName());
    if (it != scripts_.end()) script = &it->second;
    if (!script)
        for (const QMetaObject* m = top->metaObject(); m && !script; m = m->superClass()) {
            auto c = classScripts_.find(m->className());
            if (c != classScripts_.end()) script = &c->second;
        }
    if (!script && fallback_) script = &fallback_;
    if (!script) return;
    const int visit = top->property("walkVisit").toInt();
    if (visit > 40) {
        // Round in circles: the same window back again and again.
        ADD_FAILURE() << "step " << current_ << ": " << top->objectName().toStdString()
                      << " keeps coming back; closed";
        top->close();
        return;
    }
    // Asked now whether it is ready (cheap), acted on from a queued call.
    QPointer<QWidget> guard(top);
    busy_.push_back(guard);

    Later([this, guard, script, visit] {
        if (guard) {
            Window w{guard.data(), visit};
            // Named before the script runs, so that the windows it opens
            // come after it; taken back when it did nothing yet.
            const std::size_t at = stepWindows_.size();
            if (visit == 0) {
                stepWindows_.push_back(guard->objectName().isEmpty() ? std::string(guard->metaObject()->className())
                                                                     : guard->objectName().toStdString());
                stepTitles_.push_back(guard->windowTitle().trimmed().toStdString());
            }
            // WALK_SCREENS=<folder>: every window as it first shows, for a look.
            if (visit == 0 && std::getenv("WALK_SCREENS") && !guard->property("walkShot").isValid()) {
                guard->setProperty("walkShot", true);
                const QString folder = QString::fromLocal8Bit(std::getenv("WALK_SCREENS"));
                QDir().mkpath(folder);
                static int shot = 0;
                guard->grab().save(QString("%1/%2-%3.png")
                                       .arg(folder)
                                       .arg(++shot, 3, 10, QChar('0'))
                                       .arg(guard->objectName().isEmpty() ? guard->metaObject()->className()
                                                                          : guard->objectName()));
            }
            const bool acted = (*script)(w);
            if (!acted && visit == 0 && at < stepWindows_.size()) {
                stepWindows_.erase(stepWindows_.begin() + std::ptrdiff_t(at));
                stepTitles_.erase(stepTitles_.begin() + std::ptrdiff_t(at));
            }
            if (acted) {
                if (guard) guard->setProperty("walkVisit", visit + 1);
                sinceProgress_.restart();
            }
        }
        busy_.erase(std::remove(busy_.begin(), busy_.end(), guard), busy_.end());
    });
}

void Walker::Stalled() {
    std::fprintf(stdout, "\nThe walk is stuck at step \"%s\" (nothing happened for %lld ms).\n", current_.c_str(),
                 static_cast<long long>(stallLimit_.count()));
    QWidget* top = QApplication::activeModalWidget();
    std::fprintf(stdout, "Top modal window: %s (%s) visit %d\n",
                 top ? top->objectName().toStdString().c_str() : "none",
                 top ? top->metaObject()->className() : "-", top ? top->property("walkVisit").toInt() : 0);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            std::fprintf(stdout, "  visible window %s (%s) \"%s\"\n", w->objectName().toStdString().c_str(),
                         w->metaObject()->className(), w->windowTitle().toStdString().c_str());
    std::fflush(stdout);
    std::_Exit(3);
}

}  // namespace walk
