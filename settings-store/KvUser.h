// Eight user-definable character classes: the characters each admits, its
// case change and its substitute character. No Windows here.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

namespace kv {

constexpr int kUserClassCount = 8;

struct TKvUserData {
    TKvUserData();
    std::array<std::bitset<256>, kUserClassCount> CharacterSets;  // each: every character but code 0
    std::array<uint8_t, kUserClassCount> CaseModes{};             // 0: no case change
    std::array<char, kUserClassCount> SubstituteChars{};          // codes 241 to 248
};

// The program's record, made at start-up and freed at shutdown.
extern TKvUserData* UserData;
void InitKvUserUnit();
void DoneKvUserUnit();

}  // namespace kv
