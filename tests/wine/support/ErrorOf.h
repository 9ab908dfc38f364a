// The message of the exception a step raises, for tests of error texts.
#pragma once

#include <functional>
#include <string>

#include "Classes.h"

namespace testing_support {

// The Message of the velfw::Exception `f` raises; empty when it raises none.
inline std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const velfw::Exception& e) {
        return e.Message;
    }
    return "";
}

}  // namespace testing_support
