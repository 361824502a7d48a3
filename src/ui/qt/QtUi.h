// The forms as real Qt 6 windows.
//
// The program selects this backend at start:
//
//   int main(int argc, char** argv) {
//       ui::qt::Screen screen(argc, argv);  // QApplication + backend + message pump
//       TFormMain main(nullptr);
//       return ui::Application::Run(main);
//   }
//
// Every control becomes a QWidget at its geometry whose object name is the
// control's Name. A user's action writes into the model and fires its
// event; after every event handler, timer tick and ProcessMessages the
// model of the visible forms is pushed back into their widgets. ShowModal
// runs QDialog::exec, ProcessMessages runs QCoreApplication::processEvents,
// timers are QTimers, the message hook is an application event filter.
#pragma once
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace ui {
class Component;
class Form;
}

namespace ui::qt {

class Screen {
public:
    // Creates the QApplication when there is none (argc/argv must outlive
    // it), sets the Ukrainian locale, loads Qt's Ukrainian texts and installs
    // the Qt backend; the destructor uninstalls it.
    Screen(int& argc, char** argv);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
};

// True when the Screen found Qt's Ukrainian catalogues and installed them
// (the package qt6-translations-l10n); without them Qt's own texts stay
// English.
bool UkrainianLoaded();

// Renders a form (shown or not) to a PNG image of its outer size, with a
// drawn frame and caption bar around the widgets. Returns false when the
// file cannot be written or no Screen exists.
bool RenderToPng(ui::Form& form, const std::string& path);

// The widget that shows a control, form or not (nullptr when none yet).
QWidget* WidgetOf(const ui::Component& c);

// Pushes the model of every visible form into its widgets now.
void Sync();

// For tests: runs (once, from the event loop) after a modal form's dialog
// is up, while its exec() runs. Set it to null to stop.
void SetModalShownHook(std::function<void(ui::Form&)> hook);

}  // namespace ui::qt
