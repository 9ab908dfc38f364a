// Menu items for the popup-menu tests that record their clicks.
#pragma once

#include <string>

#include "Menus.h"

namespace testing_support {

// Adds an item owned by `menu` under `parent`; its click appends its caption
// and a space to `clicked`.
inline velfw::TMenuItem* AddRecordingItem(velfw::TMenu* menu, velfw::TMenuItem* parent, const char* caption,
                                          const char* hint, std::string& clicked) {
    auto* item = new velfw::TMenuItem(menu);
    item->SetCaption(caption);
    item->Hint = hint;
    item->OnClick = [&clicked, caption](velfw::TObject*) { clicked += std::string(caption) + " "; };
    parent->Add(item);
    return item;
}

}  // namespace testing_support
