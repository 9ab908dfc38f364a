// Files the page-list and statistics tests set up: a write that fails fails
// the test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "WinePaths.h"

namespace testing_support {

inline void WriteBytes(const std::string& file, const std::string& bytes) {
    ASSERT_TRUE(WriteFileBytes(file, bytes)) << file;
}
inline bool MakeFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

}  // namespace testing_support
