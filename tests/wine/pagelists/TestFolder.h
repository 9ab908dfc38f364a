// A throwaway folder below the temp folder, removed with its contents, and
// small file helpers for the page-list and statistics tests.
#pragma once

#include <string>

namespace testing_support {

class TestFolder {
public:
    TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder();
    // Without a trailing backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteBytes(const std::string& file, const std::string& bytes);
std::string ReadBytes(const std::string& file);
bool MakeFolder(const std::string& path);
bool Exists(const std::string& path);

}  // namespace testing_support
