#include "app/Handlers.h"

#include "app/Main.h"
#include "app/ParamHandlers.h"
#include "data/ArchOpen.h"
#include "data/ValueViewers.h"

void AttachMenuHandlers(TFormMain& form) {
    // The main window attaches its own items ("Вихід", "Зв'язок з іншим
    // пристроєм", the hang-up button, the users and the display format);
    // the archive readers, the file openers and the viewers join here.
    RegisterValueViewers();
    form.AttachAll(ArchiveMenuBindings());
    AttachParamHandlers(form);
}
