// The main menu's parameter, identification, clock, state and live-value
// items. Each handler reads what it shows from the controller into the
// image, opens its window, and writes back only the rows the operator
// changed (ParamEdit.h); AttachParamHandlers puts them on the menu.
//
//   item                  tables                      window
//   Nident                0 rows 0..17                TFormIdent (full view)
//   NContrName            5 rows 0..2                 TFormContrName   -> panel 1, line names
//   N_Ethernet            29 rows 0..6                TFormConEth
//   Nsys                  6 rows 0..11                TFormSys         -> RefreshMenus
//   NSinhr                6 rows 10..11, 14 rows 8..9 TFormTime_Sinhr  (both written whole once
//                                                                      accepted, 14 only after 6)
//   NContrDt              7, 6, 2, 42                 TFormDt          -> command 12
//   NChrom_Ser_Num        41 row 0                    TFormChrom_Ser_Num
//   NFun                  8 rows 0..1                 TFormFunInfo
//   NSit                  (the windows read)          TFormPrz / TFormTableInfo
//   NChrom_Mom_1/_2       33 row 0 (41 row 0)         TFormMom
//   NWmt_MomData          33 row 1                    TFormMomWmt
//   Nabout                -                           TFormAbout
#pragma once

class TFormMain;
namespace ui {
class MenuItem;
}

void NidentClick(TFormMain& form, ui::MenuItem& item);
void NContrNameClick(TFormMain& form, ui::MenuItem& item);
void N_EthernetClick(TFormMain& form, ui::MenuItem& item);
void NsysClick(TFormMain& form, ui::MenuItem& item);
void NSinhrClick(TFormMain& form, ui::MenuItem& item);
void NContrDtClick(TFormMain& form, ui::MenuItem& item);
void NChrom_Ser_NumClick(TFormMain& form, ui::MenuItem& item);
void NFunClick(TFormMain& form, ui::MenuItem& item);
void NSitClick(TFormMain& form, ui::MenuItem& item);
void NChrom_MomDataClick(TFormMain& form, ui::MenuItem& item);
void NWmt_MomDataClick(TFormMain& form, ui::MenuItem& item);
void NaboutClick(TFormMain& form, ui::MenuItem& item);

// Attaches every handler above to its menu item.
void AttachParamHandlers(TFormMain& form);
