// State every program shares with itself: folders, install settings, display
// settings and the start-up routine that fills them.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "DisplaySettings.h"
#include "KvStore.h"
#include "ProductKey.h"

namespace globals {

extern std::string FavoritesDir;
extern std::string MyDocumentsDir;
extern std::string DesktopDir;
extern std::string DataDir;
extern std::string BaseDir;
extern std::string BaseSDir;
extern char RadonMark;
extern char RadonWMark;
extern std::string VersionText;
extern std::unique_ptr<kv::TKvRegistryStore> SettingsStore;  // the store made last; may be missing
extern bool StartupFailed;

// The display settings of the saver's or the settings program's form.
extern TDisplaySettings DisplaySettings;
// The form's one-time set-up at its first activation is still due.
extern bool InitPending;
// The pages of the saver's panes 1 to 3, filled by LoadWindowPages.
extern std::array<velfw::TStringList, 4> PageLists;
// When the saver's form was created; the statistics page shows it.
extern double SaverStartTime;

// Whether InitGlobals reads "RadonW" (the tray launcher does not).
extern bool ReadsRadonW;

// Where the shell keeps a special folder (CSIDL), without a trailing
// backslash; false when it cannot say. Replaceable for tests.
using SpecialFolderFunction = std::function<bool(HWND owner, int csidl, std::string& path)>;
extern SpecialFolderFunction GetSpecialFolder;
bool ShellSpecialFolder(HWND owner, int csidl, std::string& path);

void InitGlobals(HWND ownerWindow);

struct FileVersion {
    uint16_t Major = 0, Minor = 0, Release = 0, Build = 0;
};
// The running program's file version and its text; raises when the file has
// no version information.
std::string GetVersionText(FileVersion* version = nullptr);
std::string GetVersionTextOf(const std::string& file, FileVersion* version = nullptr);

// Page lists and Internet Shortcut files.
bool ReadShortcutUrl(const std::string& fileName, std::string& url);
// The same for a file named by its wide spelling (a name read from the disk).
bool ReadShortcutUrl(const std::wstring& fileName, std::string& url);
bool WriteShortcutUrl(const std::string& fileName, const std::string& url);
bool SaveLastSeenShortcut(const std::string& url);
bool LoadPageList(velfw::TStringList& list, const std::string& folder);
bool LoadWindowPages(int n);

// The statistics page.
void GetConnectionState(std::string& text);
void WriteStatsPage(std::string& url);

bool DirectoryExists(const std::string& path);
// Creates the folder and any missing parents.
bool ForceDirectories(const std::string& path);

}  // namespace globals
