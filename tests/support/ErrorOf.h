// The message of the exception a step raises, for tests of error texts.
#pragma once

#include <functional>
#include <string>

#include "Classes.h"

namespace testing_support {

// The Message of the exception of type `E` that `f` raises; empty when it
// raises none. An exception of another type passes on and fails the test.
template <typename E = velfw::Exception>
std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message;
    }
    return "";
}

}  // namespace testing_support
