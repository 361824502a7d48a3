// zbr: the service program of the ЗБР gas-quality controller.
#include <exception>

#include "app/Handlers.h"
#include "app/Main.h"
#include "ui/qt/QtUi.h"

int main(int argc, char** argv) {
    ui::qt::Screen screen(argc, argv);
    int rc = 0;
    try {
        TFormMain main(nullptr);
        AttachMenuHandlers(main);
        rc = ui::Application::Run(main);
    } catch (const std::exception& e) {
        ui::Application::ShowException(e.what());
    }
    return rc;
}
