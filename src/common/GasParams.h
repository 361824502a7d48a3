// The vocabulary of the twenty gas parameters: their display order, the
// three caption lines of a grid or report column in either wording (molar
// fraction "МЧ" or volume fraction "ОД"), the unit line in either heat unit
// (MJ or kcal) and their names.
//
// A parameter code (0..19) is the index of a value in the 20-value block of
// every chromatograph record and of the live values. Windows show the
// parameters by display position; ParamOrder maps a position to a code.
#pragma once
#include <cstdint>


// Number of gas parameters (codes 0..19): the values of every chromatograph
// record, of the live values and of every per-parameter table.
inline constexpr int kGasParamCount = 20;

// Codes with rules of their own.
inline constexpr int kParamMethane = 8;
inline constexpr int kParamCompressibility = 14;
inline constexpr int kParamOxygen = 15;  // shown only when the header's oxygen flag is set
inline constexpr int kParamGasTemperature = 16;

// Display position -> code: 0..10, 15, 11, 18, 13, 17, 12, 19, 14, 16.
extern const uint8_t ParamOrderDefault[kGasParamCount];
// The display order in use (20 codes). It points at ParamOrderDefault from
// program start, so that archive files can be viewed before any controller
// is connected; the connect sequence points it there again.
extern const uint8_t* ParamOrder;

// Caption lines by code; a line holding a single blank is " ".
extern const char* const ParamCaptionsMolar[kGasParamCount][3];
extern const char* const ParamCaptionsVolume[kGasParamCount][3];
// Unit line by code.
extern const char* const ParamUnitsKcal[kGasParamCount];
extern const char* const ParamUnitsMJ[kGasParamCount];

// The code at a display position (through ParamOrder, or the default order
// while ParamOrder is null); -1 for a position outside 0..19.
int ParamCodeAt(int position);

// Caption line `line` (0..2) of a code: the volume wording when
// `fractionWording` is 1, else the molar wording. "" for a bad code or line.
const char* ParamCaptionLine(int code, int line, uint8_t fractionWording);
// Unit line: the kcal set when `heatUnitKcal` is 1, else the MJ set.
const char* ParamUnit(int code, uint8_t heatUnitKcal);
// Short name of grid headings (text slots 189..208, e.g. "         МЧ пропану").
const char* ParamShortName(int code);
// Full name in the wording: "Молярна частка пропану" / "Об'ємна частка пропану".
const char* ParamFullName(int code, uint8_t fractionWording);
