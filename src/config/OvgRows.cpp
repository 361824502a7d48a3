#include "config/OvgRows.h"

#include <algorithm>
#include <cstring>

#include "common/Stringi.h"
#include "config/ConfigImage.h"

int ClampOvgCount(int n) { return std::clamp(n, 0, kMaxOvgCount); }

int OvgPipelines(uint8_t type) { return type == 1 ? 1 : 3; }

std::string OvgTypeText(uint8_t type) {
    const char* t = texts::OvgTypeNames.At(type);
    return t ? t : "?";
}

std::string OvgByteOrderText(uint8_t order) { return order <= 1 ? TextTable[texts::kByteOrders + order] : "?"; }

void OvgRowsFromImage(OvgRow* rows, int n) {
    n = ClampOvgCount(n);
    for (int i = 0; i < n; ++i) {
        OvgRow& r = rows[i];
        r.Address = *RowPtr(18, i);
        r.Type = *RowPtr(17, i);
        r.Mask = *RowPtr(19, i);
        r.ByteOrder = *RowPtr(20, i);
        std::memset(r.Password, ' ', sizeof r.Password);
    }
}

void OvgRowsToImage(const OvgRow* rows, int n) {
    n = ClampOvgCount(n);
    for (int i = 0; i < n; ++i) {
        const OvgRow& r = rows[i];
        *RowPtr(18, i) = r.Address;
        *RowPtr(17, i) = r.Type;
        *RowPtr(19, i) = r.Mask;
        *RowPtr(20, i) = r.ByteOrder;
        std::memcpy(RowPtr(kOvgPasswordTable, i), r.Password, sizeof r.Password);
    }
}
