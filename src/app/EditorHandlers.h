// The main menu's link, flow-computer, limits and constants items: each
// reads its tables from the controller into the image, opens its editor on
// them in mode 1 and writes back what the operator changed (ParamEdit.h),
// with the follow-ups of the upper-level link (the link object takes the
// controller's new address and baud rate) and of the chromatograph link
// (the menus take the line names).
#pragma once

class TFormMain;
namespace ui {
class MenuItem;
}

// Attaches the handlers below to their items by name; the number attached.
int AttachEditorHandlers(TFormMain& form);

void NConVUClick(TFormMain& form, ui::MenuItem& item);
void NVrgConnClick(TFormMain& form, ui::MenuItem& item);
void NConHGCClick(TFormMain& form, ui::MenuItem& item);
void NConnWMTClick(TFormMain& form, ui::MenuItem& item);
void NCurrVichClick(TFormMain& form, ui::MenuItem& item);
// NInsens, NLowAttent, NUpAttent, NLowLimit, NUpperLimit: the item's Tag is the limit kind 0..4.
void NLimitsClick(TFormMain& form, ui::MenuItem& item);
void NDistrClick(TFormMain& form, ui::MenuItem& item);
void NdistrparClick(TFormMain& form, ui::MenuItem& item);
// N1_Const, N2_Const: the item's Tag is the line 0 or 1.
void N_ConstClick(TFormMain& form, ui::MenuItem& item);
