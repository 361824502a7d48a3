#include "config/ConfigImage.h"

#include <algorithm>

std::array<uint8_t, kConfigImageSize> ConfigImage{};

// The fixed places agree with the directory.
static_assert(ConfigTableDir[2].offset == cfgofs::kClock);
static_assert(ConfigTableDir[3].offset == cfgofs::kUpperLink);
static_assert(ConfigTableDir[4].offset == cfgofs::kUsers);
static_assert(ConfigTableDir[5].offset == cfgofs::kNames);
static_assert(ConfigTableDir[5].Bytes() == kNameCount * kNameWidth);
static_assert(ConfigTableDir[6].offset == cfgofs::kSystem);
static_assert(ConfigTableDir[7].offset == cfgofs::kTableStates);
static_assert(ConfigTableDir[9].offset == cfgofs::kFlowLink);
static_assert(ConfigTableDir[14].offset == cfgofs::kChromLink);
static_assert(ConfigTableDir[27].offset == cfgofs::kArchiveDates);
static_assert(ConfigTableDir[33].offset == cfgofs::kLinkState);
static_assert(ConfigTableDir[41].offset == cfgofs::kChromSerial);
static_assert(ConfigTableDir[42].offset == cfgofs::kChromClock);

void InitConfigImage() {
    ConfigImage.fill(0);
}

bool TableExists(int t) {
    return t >= 0 && t < kTableCount && ConfigTableDir[t].Exists();
}

bool IsConfigTable(int t) {
    return t >= 0 && t < kTableCount && ConfigTableDir[t].configFlag != 0;
}

uint8_t* TablePtr(int t) {
    if (!TableExists(t)) return nullptr;
    return ConfigImage.data() + ConfigTableDir[t].offset;
}

uint8_t* RowPtr(int t, int row) {
    if (!TableExists(t) || row < 0 || row >= ConfigTableDir[t].rows) return nullptr;
    return ConfigImage.data() + ConfigTableDir[t].offset + std::size_t(row) * ConfigTableDir[t].rowSize;
}

std::span<uint8_t> TableSpan(int t) {
    if (!TableExists(t)) return {};
    return {ConfigImage.data() + ConfigTableDir[t].offset, ConfigTableDir[t].Bytes()};
}

std::span<uint8_t> RowsSpan(int t, int first, int rows) {
    if (!TableExists(t) || first < 0 || rows <= 0) return {};
    const TableDescriptor& d = ConfigTableDir[t];
    if (first + rows > d.rows) return {};
    return {ConfigImage.data() + d.offset + std::size_t(first) * d.rowSize, std::size_t(rows) * d.rowSize};
}
