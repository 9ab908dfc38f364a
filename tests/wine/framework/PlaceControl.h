// Building test forms in code: a control made, parented and placed at once.
#pragma once

#include "Controls.h"

namespace framework_tests {

template <typename T>
T* PlaceControl(velfw::TComponent* owner, velfw::TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(owner);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

}  // namespace framework_tests
