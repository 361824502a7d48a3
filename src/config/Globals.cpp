#include "config/Globals.h"

#include <algorithm>
#include <vector>

#include "link/Hgcbox.h"
#include "ui/Form.h"

uint8_t IsConnected = 0;
uint8_t ExchangeActive = 0;
uint8_t AbortRequested = 0;
uint8_t RestoreThenDisconnect = 0;
int64_t PerfFrequency = 0;
uint32_t RowsFirstPage = 63;
uint32_t RowsNextPage = 71;

namespace {

std::vector<int>& HeldLevels() {
    static std::vector<int> levels;
    return levels;
}

// 0 for the main window (and any window shown without modality); a modal
// window's place in the stack of modal windows, counting from 1.
int LevelOf(const ui::Form* form) {
    if (!form || !form->Modal()) return 0;
    int level = 0;
    for (const ui::Form* f : ui::Form::All()) {
        if (f->Modal()) ++level;
        if (f == form) return level;
    }
    return 0;
}

}  // namespace

bool LinkBusy() { return (HgcBox && HgcBox->Busy()) || ExchangeActive != 0; }

bool ExchangeGuard::Refused(const ui::Form* from) {
    if (LinkBusy()) return true;
    const int level = LevelOf(from);
    const auto& held = HeldLevels();
    return std::any_of(held.begin(), held.end(), [level](int l) { return l >= level; });
}

int ExchangeGuard::Count() { return int(HeldLevels().size()); }

ExchangeGuard::ExchangeGuard(const ui::Form* from) {
    if (Refused(from)) return;
    level_ = LevelOf(from);
    HeldLevels().push_back(level_);
    held_ = true;
}

ExchangeGuard::~ExchangeGuard() {
    if (!held_) return;
    auto& held = HeldLevels();
    auto it = std::find(held.rbegin(), held.rend(), level_);
    if (it != held.rend()) held.erase(std::next(it).base());
}

ArchiveExchange::ArchiveExchange() {
    ExchangeActive = 1;
    AbortRequested = 0;
}

ArchiveExchange::~ArchiveExchange() {
    ExchangeActive = 0;
    if (HgcBox) HgcBox->Abort = false;
}
