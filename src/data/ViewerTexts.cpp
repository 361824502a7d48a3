#include "data/ViewerTexts.h"

#include <cstdarg>
#include <cstdio>

std::string ViewerFormat(const char* fmt, ...) {
    char small[512];
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(small, sizeof small, fmt, ap);
    va_end(ap);
    std::string out;
    if (n < 0) {
        va_end(ap2);
        return out;
    }
    if (std::size_t(n) < sizeof small) {
        out.assign(small, std::size_t(n));
    } else {
        out.resize(std::size_t(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(std::size_t(n));
    }
    va_end(ap2);
    return out;
}

std::string ViewerDateTimeText(const DeviceDateTime& d) {
    return ViewerFormat("%02d.%02d.%02d %02d:%02d:%02d", d.day, d.month, d.year, d.hour, d.minute, d.second);
}
