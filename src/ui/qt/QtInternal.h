// Inside the Qt backend: the peers that mirror controls as widgets.
#pragma once
#include <QtWidgets>

#include <memory>
#include <unordered_map>

#include "ui/Ui.h"
#include "ui/qt/QtUi.h"

namespace ui::qt::detail {

QString Q(const std::string& s);
std::string S(const QString& s);
QString StripAccel(const std::string& s);  // "&&" -> "&", a lone "&" dropped
// The title a window gets for a caption: an empty caption becomes a blank,
// since the window system puts the program's name on an untitled window.
QString WindowTitle(const std::string& caption);
QColor ToQColor(ui::Color c);
QFont ToQFont(const ui::Font& f);
int ToKeyCode(int qtKey);
ui::Shift ShiftOf(Qt::KeyboardModifiers m);

class QtBackend;

// One control's widget and what was last pushed into it.
class Peer {
public:
    Peer(QtBackend& b, ui::Control& c) : b(b), ctl(&c) {}
    virtual ~Peer();
    virtual QWidget* Container() const { return w; }
    // Model -> widget. Called with the backend's pushing flag set.
    virtual void Push();
    QtBackend& b;
    ui::Control* ctl;
    QPointer<QWidget> w;

protected:
    void PushFont(QWidget* target);
    void PushBackground(QWidget* target, QPalette::ColorRole role, bool fill);
    QRect geom_;
    bool visible_ = false, enabled_ = true, first_ = true;
    ui::Font font_;
    ui::Color bg_ = 0xFFFFFFFFu;
};

class FormWindow;

class QtBackend : public QObject, public ui::Backend {
public:
    QtBackend();
    ~QtBackend() override;

    // ui::Backend
    void RunModal(ui::Form& form) override;
    void FormShown(ui::Form& form) override;
    void FormHidden(ui::Form& form) override;
    void ProcessMessages() override;
    int MessageBox(const std::string& text, const std::string& caption, int flags) override;
    int CaptionWidth(const std::string& caption, int icons) override;
    bool RunFileDialog(ui::FileDialog& dialog) override;
    void TimerChanged(ui::Timer& t) override;
    void ComponentDestroyed(ui::Component& c) override;
    void CursorChanged(ui::Cursor c) override;
    int RunMainLoop(ui::Form& mainForm) override;
    void Terminate() override;

    // Runs a user's action on a live component: guarded against pushes,
    // exceptions shown, then the model is pushed back.
    template <class F> void User(const ui::Component* c, F&& f) {
        if (pushing || !Alive(c)) return;
        try {
            f();
        } catch (const std::exception& e) {
            ui::Application::ShowException(e.what());
        } catch (...) {
            ui::Application::ShowException("Unknown error");
        }
        AfterEvent();
    }
    bool Alive(const ui::Component* c) const;
    void AfterEvent();
    void SyncAll();
    void SyncForm(ui::Form& form);
    FormWindow* WindowOf(ui::Form& form);
    Peer* PeerOf(const ui::Component* c) const;
    ui::Control* ControlOfWidget(QWidget* w) const;

    bool pushing = false;
    std::function<void(ui::Form&)> modalShownHook;

protected:
    bool eventFilter(QObject* obj, QEvent* ev) override;

private:
    void SyncTree(ui::Control& c, QWidget* container);
    void FitToScreen(ui::Form& form);
    void TryEndModal();
    void RunShownHook(ui::Form* f, int triesLeft);
    std::unordered_map<const ui::Component*, std::unique_ptr<Peer>> peers_;
    std::unordered_map<QWidget*, ui::Control*> owners_;
    std::unordered_map<const ui::Component*, QTimer*> timers_;
    std::vector<ui::Form*> modal_;
    bool hourglass_ = false;
    // The key press last seen, so that its trip up the parent chain counts
    // once (cleared by the key's release).
    const QEvent* lastKey_ = nullptr;
    QPointer<QWidget> lastKeyTarget_;
    int lastKeyCode_ = 0;
    quint64 lastKeyTime_ = 0;
    bool syncing_ = false;
    friend class Peer;
};

extern QtBackend* g_backend;

// The window of a form: a dialog with a menu bar and a client widget.
class FormWindow : public QDialog {
public:
    FormWindow(QtBackend& b, ui::Form& f, QWidget* parent);
    QtBackend& b;
    ui::Form* form;
    QWidget* client;
    QMenuBar* bar = nullptr;
    bool allowClose = false;
    ui::Control* lastActive = nullptr;
    // Brings the menu bar in step with the form's menu. The bar, its menus
    // and their actions are changed in place, never rebuilt: a menu item's
    // handler runs inside the event of the menu that shows it
    // (QMenu::keyPressEvent, mouseReleaseEvent), and a menu destroyed there
    // is written to by that event after it was freed. Only what has gone
    // from the model goes, and later (deleteLater).
    void BuildMenu();
    void ForgetMenuItem(const ui::Component* c);
    std::string menuSignature;
    // The action that shows each item (for an item with sub-items, its
    // menu's menuAction()), and the item each leaf action chooses.
    std::unordered_map<const ui::Component*, QPointer<QAction>> itemActions;
    std::unordered_map<QAction*, ui::MenuItem*> actions;
    Qt::WindowFlags wantedFlags() const;

private:
    QAction* ActionOf(ui::MenuItem& item);
    void SyncMenu(QWidget* into, const ui::MenuItem& parent);
    void DropAction(QAction* a);

protected:
    void reject() override;
    void accept() override {}
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
};

class FormPeer : public Peer {
public:
    FormPeer(QtBackend& b, ui::Form& f, QWidget* parent);
    QWidget* Container() const override { return win->client; }
    void Push() override;
    FormWindow* win;
private:
    QSize size_;
    QPoint pos_{-100000, -100000};
};

std::unique_ptr<Peer> MakePeer(QtBackend& b, ui::Control& c);

}  // namespace ui::qt::detail
