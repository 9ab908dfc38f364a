#include "Globals.h"

#include <shlobj.h>

#include <vector>

#include "Forms.h"
#include "GlobalsRules.h"
#include "ScopeGuards.h"
#include "ShellMemory.h"
#include "SysUtils.h"

namespace globals {

std::string FavoritesDir;
std::string MyDocumentsDir;
std::string DesktopDir;
std::string DataDir;
std::string BaseDir;
std::string BaseSDir;
char RadonMark = '\0';
char RadonWMark = '\0';
std::string VersionText;
std::unique_ptr<kv::TKvRegistryStore> SettingsStore;
bool StartupFailed = false;
TDisplaySettings DisplaySettings;
bool InitPending = false;
std::array<velfw::TStringList, 4> PageLists;
double SaverStartTime = 0;
bool ReadsRadonW = true;
SpecialFolderFunction GetSpecialFolder = ShellSpecialFolder;

bool ShellSpecialFolder(HWND owner, int csidl, std::string& path) {
    LPITEMIDLIST got = nullptr;
    const HRESULT found = ::SHGetSpecialFolderLocation(owner, csidl, &got);
    const velfw::UniqueItemIdList list(got);
    if (FAILED(found) || !list) return false;
    char buf[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListA(list.get(), buf)) return false;
    path = buf;
    return true;
}

bool DirectoryExists(const std::string& path) {
    DWORD attr = ::GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const std::string& path) {
    std::string dir = velfw::ExcludeTrailingBackslash(path);
    if (dir.empty() || DirectoryExists(dir)) return !dir.empty();
    std::string parent = ParentFolder(dir);
    // Stop at a drive ("c:") or the root of the current drive.
    if (!parent.empty() && !(parent.size() == 2 && parent[1] == ':') && !ForceDirectories(parent)) return false;
    return ::CreateDirectoryA(dir.c_str(), nullptr) || DirectoryExists(dir);
}

namespace {

void ReportFolderFailure(const std::string& folder) {
    std::string text = "Unable to create folder: " + folder;
    if (velfw::Application) velfw::Application->MessageBox(text, velfw::Application->Title(), MB_OK);
    else ::MessageBoxA(nullptr, text.c_str(), "", MB_OK);
}

}  // namespace

void InitGlobals(HWND ownerWindow) {
    int quitCode = 0;
    try {
        std::string path;
        if (GetSpecialFolder(ownerWindow, CSIDL_FAVORITES, path)) {
            FavoritesDir = path;
            if (GetSpecialFolder(ownerWindow, CSIDL_PERSONAL, path)) MyDocumentsDir = path;
            if (GetSpecialFolder(ownerWindow, CSIDL_DESKTOP, path)) DesktopDir = path;
        }
        DataDir = FavoritesDir + "\\Velunor\\";
        if (!DirectoryExists(DataDir)) ForceDirectories(DataDir);

        struct Folder {
            const char* name;
            int code;
        };
        const Folder folders[] = {{"Window1", 1}, {"Window2", 1}, {"Window3", 1}, {"Recommended", 2}};
        for (const Folder& f : folders) {
            std::string folder = DataDir + f.name;
            if (DirectoryExists(folder)) continue;
            if (!::CreateDirectoryA(folder.c_str(), nullptr)) {
                ReportFolderFailure(folder);
                StartupFailed = true;
                quitCode = f.code;
            }
        }
        // One quit request after all folders: a quit message already in the
        // queue would close the next message box as soon as it opened.
        if (quitCode) {
            ::PostQuitMessage(quitCode);
            quitCode = 0;
        }

        SettingsStore = std::make_unique<kv::TKvRegistryStore>(nullptr);
        kv::TKvRegistryStore& store = *SettingsStore;
        store.RegistryRoot = kv::rrLocalMachine;
        store.SetKeyName(kProductKey);
        {
            store.Open();
            const velfw::ScopeExit close([&store] { store.Close(); });
            BaseDir = InstallFolder(store.ReadString(kInstallSection, "Base", ""), "c:\\Program Files\\Velunor\\");
            BaseSDir = InstallFolder(store.ReadString(kInstallSection, "BaseS", ""), "c:\\windows\\system32\\");
            RadonMark = InstallMark(store.ReadString(kInstallSection, "Ravad", ""), "B");
            if (ReadsRadonW) RadonWMark = InstallMark(store.ReadString(kInstallSection, "RadonW", ""), "C");
        }
        VersionText = GetVersionText();
    } catch (...) {
        // Start-up goes on with what was set before the failure.
        if (quitCode) ::PostQuitMessage(quitCode);
    }
}

std::string GetVersionTextOf(const std::string& file, FileVersion* version) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) throw velfw::Exception("No version information in " + file);
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(file.c_str(), 0, size, data.data()))
        throw velfw::Exception("No version information in " + file);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
        throw velfw::Exception("No version information in " + file);
    FileVersion v;
    v.Major = HIWORD(info->dwFileVersionMS);
    v.Minor = LOWORD(info->dwFileVersionMS);
    v.Release = HIWORD(info->dwFileVersionLS);
    v.Build = LOWORD(info->dwFileVersionLS);
    if (version) *version = v;
    return FormatVersionText(v.Major, v.Minor, v.Release, v.Build);
}

std::string GetVersionText(FileVersion* version) {
    return GetVersionTextOf(velfw::TApplication::ExeName(), version);
}

}  // namespace globals
