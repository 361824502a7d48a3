#include "data/WmtCaptions.h"

// In "кгc/см2" the third letter is a Latin c, as the meter's documents have it.
const char* const WmtCaptionsBar[kWmtValueCount][4] = {
    {"Т т.роси", "WDP", "за Рроб.", "°С"},
    {"Т т.роси", "HDP", "за Рроб.", "°С"},
    {"Р надл.", "WDP", "", "bar"},
    {"Прив. Т т.роси", "за водою", "до Рабс.", "°С"},
};

const char* const WmtCaptionsKgf[kWmtValueCount][4] = {
    {"Т т.роси", "WDP", "за Рроб.", "°С"},
    {"Т т.роси", "HDP", "за Рроб.", "°С"},
    {"Р надл.", "WDP", "", "кгc/см2"},
    {"Прив. Т т.роси", "за водою", "до Рабс.", "°С"},
};

const char* const WmtCaptionsPressure[kWmtValueCount][4] = {
    {"Т т.роси", "WDP", "за Рроб.", "°С"},
    {"Т т.роси", "HDP", "за Рроб.", "°С"},
    {"Тиск", " ", " ", "bar"},
    {"Прив. Т т.роси", "за водою", "до Рабс.", "°С"},
};

const char* const (*WmtCaptionsFor(uint8_t meterType))[4] {
    if (meterType == 0) return WmtCaptionsKgf;
    if (meterType == 2) return WmtCaptionsPressure;
    return WmtCaptionsBar;
}
