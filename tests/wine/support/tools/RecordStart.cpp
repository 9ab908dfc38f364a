// Stands in for a program that one of ours starts: appends its command line to
// "started.txt" beside itself and ends.
#include <windows.h>

#include <string>

int main() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string file(path, n);
    file = file.substr(0, file.find_last_of('\\') + 1) + "started.txt";
    HANDLE f = ::CreateFileA(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    std::string line = std::string(::GetCommandLineA()) + "\r\n";
    DWORD written = 0;
    ::WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::CloseHandle(f);
    return 0;
}
