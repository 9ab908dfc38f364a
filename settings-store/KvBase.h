// Base of the library's non-visual components.
#pragma once

#include <string>

#include "Classes.h"

namespace kv {

class TKvComponent : public velfw::TComponent {
public:
    explicit TKvComponent(velfw::TComponent* owner = nullptr) : velfw::TComponent(owner) {}
    // Published for the form designer; reads the library version, ignores writes.
    std::string About() const { return "v3.08"; }
    void SetAbout(const std::string&) {}
};

}  // namespace kv
