#include "common/GasParams.h"

#include "common/Stringi.h"

const uint8_t ParamOrderDefault[kGasParamCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                   10, 15, 11, 18, 13, 17, 12, 19, 14, 16};

const uint8_t* ParamOrder = ParamOrderDefault;

const char* const ParamCaptionsMolar[kGasParamCount][3] = {
    {"Сум. МЧ", "гексану", "і б.т.с.,"},  // 0
    {"МЧ", "пропану,", " "},              // 1
    {"МЧ", "i-бутану,", " "},             // 2
    {"МЧ", "n-бутану,", " "},             // 3
    {"МЧ", "neo-", "пентану,"},           // 4
    {"МЧ", "i-пентану,", " "},            // 5
    {"МЧ", "n-пентану,", " "},            // 6
    {"МЧ", "азоту,", " "},                // 7
    {"МЧ", "метану,", " "},               // 8
    {"МЧ", "діоксиду", "вуглицю,"},       // 9
    {"МЧ", "етану,", " "},                // 10
    {"Питома", "Тсг", "вища,"},           // 11
    {"Густина", "реального", "газу,"},    // 12
    {"Число", "Воббе", "вище,"},          // 13
    {"Фактор", "стисли-", "вості"},       // 14
    {"МЧ", "кисню,", " "},                // 15
    {"Темпера-", "тура газу,", " "},      // 16
    {"Число", "Воббе", "нижче,"},         // 17
    {"Питома", "Тсг", "нижча,"},          // 18
    {"Відносна", "густина", " "},         // 19
};

const char* const ParamCaptionsVolume[kGasParamCount][3] = {
    {"Сум. ОД", "гексану", "і б.т.с.,"},  // 0
    {"ОД", "пропану,", " "},              // 1
    {"ОД", "i-бутану,", " "},             // 2
    {"ОД", "n-бутану,", " "},             // 3
    {"ОД", "neo-", "пентану,"},           // 4
    {"ОД", "i-пентану,", " "},            // 5
    {"ОД", "n-пентану,", " "},            // 6
    {"ОД", "азоту,", " "},                // 7
    {"ОД", "метану,", " "},               // 8
    {"ОД", "діоксиду", "вуглицю,"},       // 9
    {"ОД", "етану,", " "},                // 10
    {"Питома", "Тсг", "вища,"},           // 11
    {"Густина", "реального", "газу,"},    // 12
    {"Число", "Воббе", "вище,"},          // 13
    {"Фактор", "стисли-", "вості"},       // 14
    {"ОД", "кисню,", " "},                // 15
    {"Темпера-", "тура газу,", " "},      // 16
    {"Число", "Воббе", "нижче,"},         // 17
    {"Питома", "Тсг", "нижча,"},          // 18
    {"Відносна", "густина", " "},         // 19
};

const char* const ParamUnitsKcal[kGasParamCount] = {"%", "%", "%",  "%",       "%",       "%",     "%",
                                                    "%", "%", "%",  "%",       "ккал/м3", "кг/м3", "ккал/м3",
                                                    " ", "%", "°С", "ккал/м3", "ккал/м3", " "};

const char* const ParamUnitsMJ[kGasParamCount] = {"%", "%", "%",  "%",      "%",      "%",     "%",
                                                  "%", "%", "%",  "%",      "МДж/м3", "кг/м3", "МДж/м3",
                                                  " ", "%", "°С", "МДж/м3", "МДж/м3", " "};

namespace {
bool ValidCode(int code) { return code >= 0 && code < kGasParamCount; }
}  // namespace

int ParamCodeAt(int position) {
    if (position < 0 || position >= kGasParamCount) return -1;
    const uint8_t* order = ParamOrder ? ParamOrder : ParamOrderDefault;
    const int code = order[position];
    return ValidCode(code) ? code : ParamOrderDefault[position];
}

const char* ParamCaptionLine(int code, int line, uint8_t fractionWording) {
    if (!ValidCode(code) || line < 0 || line > 2) return "";
    return fractionWording == 1 ? ParamCaptionsVolume[code][line] : ParamCaptionsMolar[code][line];
}

const char* ParamUnit(int code, uint8_t heatUnitKcal) {
    if (!ValidCode(code)) return "";
    return heatUnitKcal == 1 ? ParamUnitsKcal[code] : ParamUnitsMJ[code];
}

const char* ParamShortName(int code) {
    const char* t = texts::GasParamCaptions.At(code);
    return t ? t : "";
}

const char* ParamFullName(int code, uint8_t fractionWording) {
    const char* t =
        fractionWording == 1 ? texts::GasParamVolumeNames.At(code) : texts::GasParamMolarNames.At(code);
    return t ? t : "";
}
