#include "KvUser.h"

namespace kv {

TKvUserData* UserData = nullptr;

TKvUserData::TKvUserData() {
    for (int i = 0; i < kUserClassCount; ++i) {
        CharacterSets[i].set().reset(0);
        SubstituteChars[i] = static_cast<char>(241 + i);
    }
}

void InitKvUserUnit() {
    if (!UserData) UserData = new TKvUserData();
}

void DoneKvUserUnit() {
    delete UserData;
    UserData = nullptr;
}

}  // namespace kv
