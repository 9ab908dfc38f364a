#include "TestFolder.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testing_support {

namespace {

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA entry = {};
    HANDLE find = ::FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path.c_str());
            }
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(dir.c_str());
}

}  // namespace

TestFolder::TestFolder() {
    char temp[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathA(MAX_PATH, temp);
    std::string base(temp, n);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = base + "\\velunor-pages-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                std::to_string(++counter);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a test folder");
}

TestFolder::~TestFolder() { RemoveTree(path_); }

void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + file);
}

std::string ReadBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool MakeFolder(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace testing_support
