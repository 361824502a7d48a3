// Deterministic damage for the robustness tests: one generator per test,
// seeded with a fixed number, so a failing case is the same case every run.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace robust {

class Dice {
public:
    explicit Dice(uint32_t seed) : gen_(seed) {}
    // Uniform in lo..hi (both included).
    int64_t Int(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(gen_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    uint8_t Byte() { return static_cast<uint8_t>(Int(0, 255)); }
    std::string Bytes(std::size_t n) {
        std::string s(n, '\0');
        for (char& c : s) c = static_cast<char>(Byte());
        return s;
    }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[static_cast<std::size_t>(Int(0, int64_t(v.size()) - 1))]; }

private:
    std::mt19937 gen_;
};

}  // namespace robust
