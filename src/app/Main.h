// The main window: the only window made at start-up. It owns the link object
// HgcBox, the program's folders and small record files, the status bars,
// the three timers and the main menu whose items lead to every other window.
//
// Later handlers attach to the menu items by name; every handler runs
// through the window's exchange guard, so none starts while another one
// (or any exchange) runs:
//
//   FormMain->Attach(FormMain->NChrom_RdHour_1, NChrom_RdHourClick);   // void(TFormMain&, ui::MenuItem&)
//   FormMain->Attach("NChrom_RdHour_2", NChrom_RdHourClick);          // the same by name
//
// The handler gets the item (its Tag is the measuring line, 0 or 1, where
// items come in pairs ending in _1 and _2).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/LinkStatus.h"
#include "config/Globals.h"
#include "config/MainHost.h"
#include "link/Hgcbox.h"
#include "ui/Ui.h"

class TFormMain;
// The main window (null before it exists and after it is gone).
extern TFormMain* FormMain;

class TFormMain : public ui::Form, public MainHost {
public:
    explicit TFormMain(ui::Component* owner = nullptr);
    ~TFormMain() override;

    // The panels of StatusBar1: kPanelLink.. (common/LinkStatus.h).

    // ---- components
    ui::MainMenu MainMenu1{this, "MainMenu1"};
    ui::Panel Panel1{this, "Panel1"};
    ui::Label LabelTitle{this, "LabelTitle"};  // the program's name on the empty window
    ui::Panel pnmodem{this, "pnmodem"};
    ui::Label Label1{this, "Label1"};          // "Тривалість зв'язку телефоном"
    ui::Panel pntime{this, "pntime"};          // call duration "hh:mm:ss"
    ui::Button BitBtn3{this, "BitBtn3"};       // "Відключити зв'зок"
    ui::StatusBar StatusBar1{this, "StatusBar1"};
    ui::StatusBar StatusBar2{this, "StatusBar2"};  // subscriber of the link
    ui::StatusBar StatusBar3{this, "StatusBar3"};  // modem progress
    ui::Timer TimerStart{this, "TimerStart"};      // 100 ms, one-shot: the connect sequence
    ui::Timer TimerMessage{this, "TimerMessage"};  // 3000 ms, one-shot: clears panel 2
    ui::Timer TimerMoney{this, "TimerMoney"};      // 1 s: duration of a telephone call
    ui::Timer TimerClose{this, "TimerClose"};      // 50 ms: a close waiting for an exchange to unwind
    ui::OpenDialog pod{this, "pod"};
    ui::SaveDialog psd{this, "psd"};

    // ---- the menu (names and captions as the program has always had them)
    // "Файл"
    ui::MenuItem N1{this, "N1", "Файл"};
    ui::MenuItem N5{this, "N5", "Файли  конфігурації"};
    ui::MenuItem NNewcnf{this, "NNewcnf", "Створення нового файлу конфігурації"};
    ui::MenuItem NEditcnf{this, "NEditcnf", "Перегляд/ Коригування файлу конфігурації"};
    ui::MenuItem Nrdcnf{this, "Nrdcnf", "Збереження  параметрів конфігурації в файлі"};
    ui::MenuItem N2{this, "N2", "-"};
    ui::MenuItem NExit{this, "NExit", "Вихід"};
    // "Параметри"
    ui::MenuItem NWorkPar{this, "NWorkPar", "Параметри"};
    ui::MenuItem Nident{this, "Nident", "Параметри ідентифікації"};
    ui::MenuItem NContrName{this, "NContrName", "Найменуваняя"};
    ui::MenuItem NLinks{this, "NLinks", "Параметри зв'язку"};
    ui::MenuItem NConVU{this, "NConVU", "З верхнім рівнем"};
    ui::MenuItem NVrgConn{this, "NVrgConn", "З обчислювачем витрати газу"};
    ui::MenuItem NConHGC{this, "NConHGC", "З хроматографом"};
    ui::MenuItem NConnWMT{this, "NConnWMT", "З вологоміром"};
    ui::MenuItem N_Ethernet{this, "N_Ethernet", "Параметри зв'язку з Ethernet"};
    ui::MenuItem Nsys{this, "Nsys", "Системні параметри"};
    ui::MenuItem NSinhr{this, "NSinhr", "Синхронізація часу"};
    ui::MenuItem N3{this, "N3", "-"};
    ui::MenuItem NCurrVich{this, "NCurrVich", "Параметри обчислювачів"};
    ui::MenuItem NDistr{this, "NDistr", "Необхіднісь запису параметрів газу в ОВГ"};
    ui::MenuItem Ndistrpar{this, "Ndistrpar", "Період запису середніх за час значень параметрів газу в ОВГ"};
    ui::MenuItem N4{this, "N4", "-"};
    ui::MenuItem NLimits{this, "NLimits", "Уставки та межі параметрів газу"};
    ui::MenuItem NInsens{this, "NInsens", "Зона нечутливості змін"};
    ui::MenuItem NLowAttent{this, "NLowAttent", "Нижня попереджувальна уставка"};
    ui::MenuItem NUpAttent{this, "NUpAttent", "Верхня попереджувальна уставка"};
    ui::MenuItem NLowLimit{this, "NLowLimit", "Нижня межа значень параметра"};
    ui::MenuItem NUpperLimit{this, "NUpperLimit", "Верхня межа значень параметра"};
    ui::MenuItem NConst{this, "NConst", "Константи параметрів газу"};
    ui::MenuItem N1_Const{this, "N1_Const", "Нитка 1"};
    ui::MenuItem N2_Const{this, "N2_Const", "Нитка 2"};
    ui::MenuItem N6{this, "N6", "-"};
    ui::MenuItem NPass{this, "NPass", "Доступ до таблиць параметрів конфігурування"};
    // "Дані"
    ui::MenuItem NData{this, "NData", "Дані"};
    ui::MenuItem NContrDt{this, "NContrDt", "Дата та час"};
    ui::MenuItem NSit{this, "NSit", "Поточний стан контролера"};
    ui::MenuItem NFun{this, "NFun", "Можливість виконання контролером його функцій"};
    ui::MenuItem NChrom{this, "NChrom", "Хроматограф"};
    ui::MenuItem NChrom_Ser_Num{this, "NChrom_Ser_Num", "Серійний номер хроматографа"};
    ui::MenuItem NChrom_Mom{this, "NChrom_Mom", "Миттєві дані"};
    ui::MenuItem NChrom_Mom_1{this, "NChrom_Mom_1", "Нитка 1"};
    ui::MenuItem NChrom_Mom_2{this, "NChrom_Mom_2", "Нитка 2"};
    ui::MenuItem NChrom_Meas{this, "NChrom_Meas", "Вимірюванні дані"};
    ui::MenuItem NChrom_RdMeas{this, "NChrom_RdMeas", "Читання архіву контролера"};
    ui::MenuItem NChrom_RdMeas_1{this, "NChrom_RdMeas_1", "Нитка 1"};
    ui::MenuItem NChrom_RdMeas_2{this, "NChrom_RdMeas_2", "Нитка 2"};
    ui::MenuItem NChrom_ViewMeas{this, "NChrom_ViewMeas", "Перегляд з файлу"};
    ui::MenuItem NChrom_Hour{this, "NChrom_Hour", "Годинні дані"};
    ui::MenuItem NChrom_RdHour{this, "NChrom_RdHour", "Читання архіву контролера"};
    ui::MenuItem NChrom_RdHour_1{this, "NChrom_RdHour_1", "Нитка 1"};
    ui::MenuItem NChrom_RdHour_2{this, "NChrom_RdHour_2", "Нитка 2"};
    ui::MenuItem NChrom_ViewHour{this, "NChrom_ViewHour", "Перегляд з файлу"};
    ui::MenuItem NChrom_Day{this, "NChrom_Day", "Добові дані"};
    ui::MenuItem NChrom_RdDay{this, "NChrom_RdDay", "Читання архіву контролера"};
    ui::MenuItem NChrom_RdDay_1{this, "NChrom_RdDay_1", "Нитка 1"};
    ui::MenuItem NChrom_RdDay_2{this, "NChrom_RdDay_2", "Нитка 2"};
    ui::MenuItem NChrom_ViewDay{this, "NChrom_ViewDay", "Перегляд з файлу"};
    ui::MenuItem NChrom_Clb{this, "NChrom_Clb", "Дані калібровки"};
    ui::MenuItem NChrom_RdClb{this, "NChrom_RdClb", "Читання архіву контролера"};
    ui::MenuItem NChrom_ViewClb{this, "NChrom_ViewClb", "Перегляд з файлу"};
    ui::MenuItem NChrom_Verif{this, "NChrom_Verif", "Дані веріфікації"};
    ui::MenuItem NChrom_RdVerif{this, "NChrom_RdVerif", "Читання архіву контролера"};
    ui::MenuItem NChrom_ViewVerif{this, "NChrom_ViewVerif", "Перегляд з файлу"};
    ui::MenuItem NWmt_Data{this, "NWmt_Data", "Вологомір"};
    ui::MenuItem NWmt_MomData{this, "NWmt_MomData", "Миттєві дані вологоміра"};
    ui::MenuItem NWmt_Meas{this, "NWmt_Meas", "Вимірювальні дані"};
    ui::MenuItem NWmt_RdMeas{this, "NWmt_RdMeas", "Читання архіву контролера"};
    ui::MenuItem NWmt_ViewMeas{this, "NWmt_ViewMeas", "Перегляд з файлу"};
    ui::MenuItem NWmt_Hour{this, "NWmt_Hour", "Годинні дані"};
    ui::MenuItem NWmt_ReadHour{this, "NWmt_ReadHour", "Читання архіву контролера"};
    ui::MenuItem NWmt_ViewHour{this, "NWmt_ViewHour", "Перегляд з файлу"};
    ui::MenuItem NWmt_Day{this, "NWmt_Day", "Добові дані"};
    ui::MenuItem NWmt_ReadDay{this, "NWmt_ReadDay", "Читання архіву контролера"};
    ui::MenuItem NWmt_ViewDay{this, "NWmt_ViewDay", "Перегляд з файлу"};
    ui::MenuItem NAla{this, "NAla", "Діагностичні повідомлення"};
    ui::MenuItem NAlaInd{this, "NAlaInd", "Запит за індексом"};
    ui::MenuItem NAlaPer{this, "NAlaPer", "Запит за період"};
    ui::MenuItem NAlaPrn{this, "NAlaPrn", "Перегляд з файлу"};
    ui::MenuItem NAud{this, "NAud", "Повідомлення про втручання оператора"};
    ui::MenuItem NAudInd{this, "NAudInd", "Запит за індексом"};
    ui::MenuItem NAudPer{this, "NAudPer", "Запит за період"};
    ui::MenuItem NAudPrn{this, "NAudPrn", "Перегляд з файлу"};
    // "Звіти"
    ui::MenuItem Nexcreport{this, "Nexcreport", "Звіти"};
    ui::MenuItem NExcDay{this, "NExcDay", "Паспорт якості газу за добу"};
    ui::MenuItem NExcDay_1{this, "NExcDay_1", "Нитка 1"};
    ui::MenuItem NExcDay_2{this, "NExcDay_2", "Нитка 2"};
    ui::MenuItem NExcMon{this, "NExcMon", "Паспорт якості газу за місяць"};
    ui::MenuItem NExcMon_1{this, "NExcMon_1", "Нитка 1"};
    ui::MenuItem NExcMon_2{this, "NExcMon_2", "Нитка 2"};
    // "Зв'язок з іншим пристроєм"
    ui::MenuItem Nconnect{this, "Nconnect", "Зв'язок з іншим пристроєм"};
    // "Версія"
    ui::MenuItem Nvers{this, "Nvers", "Версія"};
    ui::MenuItem NUser{this, "NUser", "Идентифікація користувача програми"};
    ui::MenuItem NFormate{this, "NFormate", "Формат представлення даних"};
    ui::MenuItem N8{this, "N8", "-"};
    ui::MenuItem Nabout{this, "Nabout", "Про програму"};

    // ---- fields
    std::string ConfigFilePath;   // configuration file last chosen or proposed
    uint8_t OldRows[80] = {};     // rows of the table being edited, as read
    uint8_t ModemLinked = 0;      // a telephone call is up
    double CallStart = 0;         // start of the telephone call (days since 1899-12-30)

    // ---- what later handlers use
    using MenuHandler = std::function<void(TFormMain&, ui::MenuItem&)>;
    // Attaches a handler to a menu item; it runs through Guarded.
    void Attach(ui::MenuItem& item, MenuHandler handler);
    // By the item's name; false when there is no such item.
    bool Attach(std::string_view name, MenuHandler handler);
    // A menu item by name, or nullptr.
    ui::MenuItem* MenuItemByName(std::string_view name) const;
    // Every binding of the list (items by name); the number attached.
    int AttachAll(const std::vector<MenuBinding>& bindings);
    // Runs `work` under the exchange guard: refused (false, nothing run)
    // while an exchange runs or another guarded handler of this window is
    // still running. A close asked for meanwhile happens once it is over.
    bool Guarded(const std::function<void()>& work);

    // ---- MainHost
    ui::Form& HostForm() override { return *this; }
    ui::StatusBar& HostStatusBar() override { return StatusBar1; }
    ui::Timer& HostMessageTimer() override { return TimerMessage; }
    ui::OpenDialog& HostOpenDialog() override { return pod; }
    ui::SaveDialog& HostSaveDialog() override { return psd; }
    // Panel 2 of StatusBar1 shows `text` for 3 seconds.
    void ShowResultText(const std::string& text) override;
    // Panel 2 of StatusBar1 (no clearing timer).
    void SetExchangeText(const std::string& text) override;
    void ShowControllerName(const std::string& name) override;

    // ---- the window's own operations
    void RefreshMenus() override;
    void ApplyThreadNames() override;
    // zbr.ini (changed groups) and rd_arh.ini; a failed write is reported.
    // True when both were written (or had nothing to write).
    bool SaveSettings();
    void Disconnect() override;
    bool DialSubscriber();
    // The call-duration panel with its hang-up button, shown while a call is up.
    void ShowModemPanel();
    bool ReadControllerIdentity();
    // Every top-level item hidden.
    void HideMainMenu();
    // True once a close was asked for while an exchange ran; the window
    // closes when that exchange has unwound.
    bool ClosePending() const { return closePending_; }
    // TimerClose: closes once nothing runs any more.
    void ClosePendingNow();

    // Handlers.
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormCloseQuery(bool& canClose);
    void FormClose(ui::CloseAction& action);
    void AppMessage(const ui::Message& msg, bool& handled);
    void TimerStartTimer();
    void TimerMessageTimer();
    void TimerMoneyTimer();
    void NexitClick();
    void NconnectClick();
    void BitBtn3Click();

private:
    void BuildMenu();
    void BuildWindow();
    // Steps of the connect sequence after the dialog: false = not connected.
    bool ConnectSteps();
    bool TableStateSteps(uint8_t version);
    void LinkStatusPanel(const std::string& text);

    ui::MenuItem* allItems_[120] = {};
    int itemCount_ = 0;
    bool closePending_ = false;
    bool closed_ = false;
    hgcbox* box_ = nullptr;  // the link object this window made
    // The data folders start-up could not make, told once the window shows.
    std::vector<std::string> foldersNotMade_;
    // List files that held more entries than their lists keep, told once
    // (kind 6) after the folders.
    std::vector<std::pair<std::string, std::string>> listNotes_;
    void ShowListNotes();
};
