#include "app/Handlers.h"

#include "app/Main.h"

void AttachMenuHandlers(TFormMain&) {
    // The main window attaches its own items ("Вихід", "Зв'язок з іншим
    // пристроєм", the hang-up button); the other parts add theirs here.
}
