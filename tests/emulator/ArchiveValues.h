// Values that the archives hold: deterministic noise from a seed, a natural
// gas whose composition drifts slowly and whose properties follow from it,
// and the moisture meter's readings.
#pragma once
#include <array>
#include <cstdint>

namespace emu::arch {

// Deterministic numbers from the seed and three keys: [0, 1) and [-1, 1).
double Unit01(uint32_t seed, uint64_t a, uint64_t b, uint64_t c);
double Sym(uint32_t seed, uint64_t a, uint64_t b, uint64_t c);

// The 20 gas parameters by code (the same in every chromatograph record):
// mole % of C6+, propane, i-butane, n-butane, neo-pentane, i-pentane,
// n-pentane, nitrogen, methane, CO2, ethane (codes 0..10), oxygen (15);
// gross calorific value MJ/m3 (11), density kg/m3 (12), gross Wobbe MJ/m3
// (13), compressibility (14), gas temperature °C (16), net Wobbe (17), net
// calorific value (18), relative density (19). Reference conditions 20 °C,
// 101.325 kPa.
using GasValues = std::array<float, 20>;

// Gas of a measuring line (0, 1) at time t (seconds): slow drifts of every
// component plus `noise` times a small analysis scatter keyed by `salt`.
GasValues GasAt(uint32_t seed, int line, int64_t t, double noise, uint64_t salt);
// The calibration gas as a cylinder certificate gives it, and as analysed
// with a relative scatter `scatter` of every component.
GasValues CalibrationGas(uint32_t seed, int64_t t, double scatter, uint64_t salt);

// Moisture meter at time t: water dew point at working pressure (°C),
// hydrocarbon dew point (°C), pressure (bar), water dew point reduced to the
// absolute pressure (°C).
std::array<float, 4> MoistureAt(uint32_t seed, int64_t t, double noise, uint64_t salt);

}  // namespace emu::arch
