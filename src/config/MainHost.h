// What the windows and menu handlers below the main window use of it.
//
// The main window (app/Main.h) implements this; code in config, data and
// reports never includes the main window itself. A menu handler of those
// folders is a plain function taking the host and the item; app attaches
// the lists of bindings to the menu by item name:
//
//   void NChrom_RdHourClick(MainHost& host, ui::MenuItem& item);
//   const std::vector<MenuBinding>& ArchiveMenuBindings();   // {"NChrom_RdHour_1", NChrom_RdHourClick}, ...
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ui {
class Form;
class StatusBar;
class Timer;
class OpenDialog;
class SaveDialog;
class MenuItem;
}  // namespace ui

class MainHost {
public:
    virtual ~MainHost() = default;

    // The main window itself: disabled while a wait box shows, the owner of
    // the windows a handler opens.
    virtual ui::Form& HostForm() = 0;
    // StatusBar1: the table layer writes its progress and errors to panel 2.
    virtual ui::StatusBar& HostStatusBar() = 0;
    // TimerMessage: once enabled, clears panel 2 after 3 seconds.
    virtual ui::Timer& HostMessageTimer() = 0;
    // The main window's file dialogs (they keep their folders between uses).
    virtual ui::OpenDialog& HostOpenDialog() = 0;
    virtual ui::SaveDialog& HostSaveDialog() = 0;

    // Panel 2 of StatusBar1 (no clearing timer).
    virtual void SetExchangeText(const std::string& text) = 0;
    // Panel 2 of StatusBar1 for 3 seconds.
    virtual void ShowResultText(const std::string& text) = 0;
    // Panel 1 of StatusBar1: the controller's name.
    virtual void ShowControllerName(const std::string& name) = 0;

    // The menus that fit what the controller has configured.
    virtual void RefreshMenus() = 0;
    // Menu captions of the measuring lines from the names in table 5.
    virtual void ApplyThreadNames() = 0;
    // Ends the link (socket closed, modem hung up, port closed).
    virtual void Disconnect() = 0;
};

// A menu handler of a folder below the main window.
using MenuHandlerFn = void (*)(MainHost& host, ui::MenuItem& item);

// A menu item (by name) and its handler.
struct MenuBinding {
    const char* item;
    MenuHandlerFn handler;
};
