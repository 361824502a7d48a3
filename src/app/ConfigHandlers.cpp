#include "app/ConfigHandlers.h"

#include "app/Main.h"
#include "common/Question.h"
#include "config/Conffun.h"
#include "config/Config.h"
#include "config/ConfigFile.h"

ConfigWaitBox::ConfigWaitBox(TFormMain& form, uint8_t mode) : form_(form) {
    wait_ = std::make_unique<TFormWait>(nullptr);
    wait_->Mode = mode;
    form_.SetEnabled(false);
    wait_->Show();
    ui::Application::ProcessMessages();
}

ConfigWaitBox::~ConfigWaitBox() { Close(); }

void ConfigWaitBox::Close() {
    if (!wait_) return;
    wait_->Hide();
    wait_.reset();
    form_.SetEnabled(true);
    form_.Activate();
}

void NParCnfClick(TFormMain& form, ui::MenuItem& item) {
    const bool fresh = item.Tag() == 0;
    ConfigRecord rec;
    if (fresh) InitNewConfigFile(rec);
    else if (!LoadConfigFile(form.pod, form.ConfigFilePath, rec)) return;
    uint8_t accepted = 0, changed = 0;
    {
        TFormConfig f(&form);
        f.Record = &rec;
        f.Mode = 0;
        f.ShowModal();
        accepted = f.accepted;
        changed = f.changed;
    }
    if (accepted && (changed || fresh)) SaveConfigFile(form.psd, form.ConfigFilePath, rec);
}

void NrdcnfClick(TFormMain& form, ui::MenuItem&) {
    ConfigRecord rec;
    bool ok;
    {
        ui::HourGlass busy;
        ConfigWaitBox box(form, 3);
        ok = ReadAllTables(&form.StatusBar1, &box.Progress());
        if (ok) {
            InitNewConfigFile(rec);
            FillConfigRecord(rec);
        }
    }
    if (!ok) {
        MessageKind = 5;
        ShowQues("Параметри конфігурації не прочитані", "");
        return;
    }
    SaveConfigFile(form.psd, form.ConfigFilePath, rec);
    form.RefreshMenus();
}

void AttachConfigFileHandlers(TFormMain& form) {
    form.Attach(form.NNewcnf, NParCnfClick);
    form.Attach(form.NEditcnf, NParCnfClick);
    form.Attach(form.Nrdcnf, NrdcnfClick);
}
