#include "app/ParamHandlers.h"

#include <cstring>

#include "app/Main.h"
#include "app/ParamEdit.h"
#include "app/Restore.h"
#include "app/TableInfo.h"
#include "common/Question.h"
#include "config/About.h"
#include "config/Chrom_Ser_Num.h"
#include "config/ConfigImage.h"
#include "config/ContrName.h"
#include "config/Dt.h"
#include "config/FunInfo.h"
#include "config/Ident.h"
#include "config/ImageCounts.h"
#include "config/Sys.h"
#include "config/Time_Sinhr.h"
#include "data/Momhr.h"
#include "data/Momwmt.h"
#include "data/Prz.h"
#include "link/Conneth.h"

namespace {

// A read outside the edit pattern: under the hourglass, with the retry offer.
bool Read(TFormMain& form, const TableRequestHeader& h) {
    ui::HourGlass busy;
    return ReadTableRange(h, &form.StatusBar1, true);
}

}  // namespace

void NidentClick(TFormMain& form, ui::MenuItem&) {
    if (!ReadRowsForEdit(form, {0, 0, 18})) return;
    TFormIdent f(&form);
    f.Ident = RowPtr(0, 0);
    f.FullView = 1;
    f.ShowModal();
}

void NContrNameClick(TFormMain& form, ui::MenuItem&) {
    // The table layer takes the names from and to code page 866 when the
    // controller keeps them so; after the write the image holds them as the
    // controller does.
    EditTableRows(
        form, {5, 0, 3},
        [&] {
            TFormContrName f(&form);
            f.Block = RowPtr(5, 0);
            f.Mode = 1;
            f.ShowModal();
            return f.accepted != 0;
        },
        [&] {
            form.ShowControllerName(ControllerName());
            form.ApplyThreadNames();
        });
}

void N_EthernetClick(TFormMain& form, ui::MenuItem&) {
    EditTableRows(form, {29, 0, 7}, [&] {
        TFormConEth f(&form);
        f.Block = RowPtr(29, 0);
        f.Mode = 1;
        f.ShowModal();
        return f.accepted != 0;
    });
}

void NsysClick(TFormMain& form, ui::MenuItem&) {
    EditTableRows(
        form, {6, 0, 12},
        [&] {
            TFormSys f(&form);
            f.Block = RowPtr(6, 0);
            f.Mode = 1;
            f.ShowModal();
            return f.accepted != 0;
        },
        // The devices present decide which items the menus show.
        [&] { form.RefreshMenus(); });
}

void NSinhrClick(TFormMain& form, ui::MenuItem&) {
    if (!ReadRowsForEdit(form, {6, 10, 2})) return;
    if (!ReadRowsForEdit(form, {14, 8, 2})) return;
    uint8_t* sys = RowPtr(6, 10);
    uint8_t* chrom = RowPtr(14, 8);
    uint8_t flags[4] = {sys[0], sys[1], chrom[0], chrom[1]};
    {
        TFormTime_Sinhr f(&form);
        f.Block = flags;
        f.Mode = 1;
        f.ShowModal();
        if (!f.accepted) return;
    }
    // Both pairs of flags are written whole once accepted: the controller's
    // pair first, the chromatograph's only when that went through.
    sys[0] = flags[0];
    sys[1] = flags[1];
    {
        ui::HourGlass busy;
        if (!WriteTableRange({6, 10, 2}, &form.StatusBar1, true)) return;
    }
    chrom[0] = flags[2];
    chrom[1] = flags[3];
    ui::HourGlass busy;
    WriteTableRange({14, 8, 2}, &form.StatusBar1, true);
}

void NContrDtClick(TFormMain& form, ui::MenuItem&) {
    if (!Read(form, {7, 0, 14})) return;
    const uint8_t* states = RowPtr(7, 0);
    if (states[6] != 0) {
        MessageKind = 4;
        ShowQues("Зруйновано таблицю системних параметрів.",
                 "Інформація про поточні дату і час не може бути представлена");
        return;
    }
    if (!Read(form, {6, 0, 12})) return;
    if (states[2] != 0) {
        MessageKind = 3;
        ShowQues("Таблиця дати і часу зруйнована.", "Поновити зараз?");
        if (MessageAnswer == 1) WriteControllerTime();
        return;
    }
    if (!Read(form, {2, 0, 8})) return;
    if (!Read(form, {42, 0, 6})) return;
    int16_t correction = 0;
    {
        TFormDt f(&form);
        f.PcTime = HgcBox ? HgcBox->LastExchange : 0;
        f.ShowModal();
        if (!f.accepted) return;
        correction = f.Correction;
    }
    const uint8_t data[2] = {uint8_t(uint16_t(correction) & 0xFF), uint8_t(uint16_t(correction) >> 8)};
    bool ok;
    {
        ui::HourGlass busy;
        ok = HgcBox && HgcBox->Exchange(12, data, sizeof data);
    }
    if (ok) {
        form.SetExchangeText("Корегування часу виконано");
    } else {
        form.SetExchangeText(HgcBox ? HgcBox->ErrorText() : std::string());
        MessageKind = 6;
        ShowQues("Корегування часу не виконано", "");
    }
    form.TimerMessage.SetEnabled(true);
}

void NChrom_Ser_NumClick(TFormMain& form, ui::MenuItem&) {
    if (!ReadRowsForEdit(form, {41, 0, 1})) return;
    TFormChrom_Ser_Num f(&form);
    std::memcpy(&f.SerialNumber, RowPtr(41, 0), 4);
    f.ShowModal();
}

void NFunClick(TFormMain& form, ui::MenuItem&) {
    if (!ReadRowsForEdit(form, {8, 0, 2})) return;
    TFormFunInfo f(&form);
    f.ShowModal();
}

void NSitClick(TFormMain& form, ui::MenuItem&) {
    TableCheckBlock block{};
    uint8_t result = 0;
    {
        TFormPrz prz(&form);
        prz.Block = &block;
        prz.StatusBar = &form.StatusBar1;
        prz.MessageTimer = &form.TimerMessage;
        for (;;) {
            prz.ShowModal();
            if (prz.Result != 1) {
                result = 0;
                break;
            }
            // Only "Вихід" and the reset do anything here: the write
            // buttons of the table-state window end the visit.
            TFormTableInfo info(&form);
            info.Block = &block;
            info.StatusBar = &form.StatusBar1;
            info.ShowModal();
            result = info.Result;
            if (result != 0) break;
        }
    }
    ui::HourGlass busy;
    if (result == 3) form.Disconnect();
    form.RefreshMenus();
}

void NChrom_MomDataClick(TFormMain& form, ui::MenuItem& item) {
    if (!Read(form, {33, 0, 1})) return;
    if (std::memcmp(RowPtr(41, 0), "\0\0\0\0", 4) == 0) Read(form, {41, 0, 1});
    form.SetExchangeText({});
    if (ConfigImage[cfgofs::kLinkState] == 0) {
        MessageKind = 6;
        ShowQues("Нема зв'зку з хроматографом", "(див. поточний стан контролера)");
        return;
    }
    {
        TFormMom f(&form);
        f.Line = item.Tag() == 1 ? 1 : 0;
        f.Oxygen = OxygenMeasured() ? 1 : 0;
        f.StatusBar = &form.StatusBar1;
        f.MessageTimer = &form.TimerMessage;
        f.ShowModal();
    }
    form.TimerMessage.SetEnabled(true);
}

void NWmt_MomDataClick(TFormMain& form, ui::MenuItem&) {
    if (!Read(form, {33, 1, 1})) return;
    if (ConfigImage[cfgofs::kLinkState + 1] == 0) {
        MessageKind = 6;
        ShowQues("Нема зв'зку з вологоміром", "(див. поточний стан контролера)");
        return;
    }
    TFormMomWmt f(&form);
    f.StatusBar = &form.StatusBar1;
    f.MessageTimer = &form.TimerMessage;
    f.ShowModal();
}

void NaboutClick(TFormMain& form, ui::MenuItem&) {
    TFormAbout f(&form);
    f.ShowModal();
}

void AttachParamHandlers(TFormMain& form) {
    form.Attach(form.Nident, NidentClick);
    form.Attach(form.NContrName, NContrNameClick);
    form.Attach(form.N_Ethernet, N_EthernetClick);
    form.Attach(form.Nsys, NsysClick);
    form.Attach(form.NSinhr, NSinhrClick);
    form.Attach(form.NContrDt, NContrDtClick);
    form.Attach(form.NChrom_Ser_Num, NChrom_Ser_NumClick);
    form.Attach(form.NFun, NFunClick);
    form.Attach(form.NSit, NSitClick);
    form.Attach(form.NChrom_Mom_1, NChrom_MomDataClick);
    form.Attach(form.NChrom_Mom_2, NChrom_MomDataClick);
    form.Attach(form.NWmt_MomData, NWmt_MomDataClick);
    form.Attach(form.Nabout, NaboutClick);
}
