// The main menu's configuration-file items: a new configuration file, a
// stored one viewed and corrected, and the controller's whole configuration
// read and saved in a file.
//
//   AttachConfigFileHandlers(*FormMain);   // NNewcnf, NEditcnf, Nrdcnf
#pragma once
#include <cstdint>
#include <memory>

#include "common/Wait.h"
#include "ui/Ui.h"

class TFormMain;

// "Створення нового файлу конфігурації" (Tag 0) and "Перегляд/ Коригування
// файлу конфігурації" (Tag 1): the record (defaults, or a chosen file) in the
// configuration editor; accepted and changed (or new), it is saved. Nothing
// goes to the controller.
void NParCnfClick(TFormMain& form, ui::MenuItem& item);

// "Збереження  параметрів конфігурації в файлі": every configuration table
// read from the controller under the wait box, then saved in a file.
void NrdcnfClick(TFormMain& form, ui::MenuItem& item);

void AttachConfigFileHandlers(TFormMain& form);

// The wait box in one of its configuration modes (2 writing, 3 reading)
// with the main window disabled for its life.
class ConfigWaitBox {
public:
    ConfigWaitBox(TFormMain& form, uint8_t mode);
    ~ConfigWaitBox();
    ConfigWaitBox(const ConfigWaitBox&) = delete;
    ConfigWaitBox& operator=(const ConfigWaitBox&) = delete;

    ui::ProgressBar& Progress() { return wait_->ProgressBar1; }
    // The wait box goes and the main window comes back (also at the end).
    void Close();

private:
    TFormMain& form_;
    std::unique_ptr<TFormWait> wait_;
};
