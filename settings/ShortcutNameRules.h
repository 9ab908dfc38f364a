// The file names of a saved page list: one Internet Shortcut per page, named
// after its address. No Windows here.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace settings {

inline constexpr size_t kMaxNameLength = 128;  // before ".url"
inline constexpr size_t kMaxPathLength = 259;  // MAX_PATH without its terminating zero
inline constexpr const char* kShortcutExtension = ".url";

// The address (trimmed) made a file name, before any cut: "http://" dropped
// in any letter case, characters no file name may hold turned into "-", and
// the trailing "-" removed (so "http://a.com/" names "a.com").
std::string ShortcutNameStem(const std::string& address);

// con, prn, aux, nul, com1-9 and lpt1-9 name devices, also with an extension
// after them ("con.example.com" opens the console).
bool IsDeviceName(const std::string& name);

// The stem cut to `limit` characters and trimmed; a device name gets a "-"
// after its device part. The result is never longer than `limit`.
std::string FitShortcutName(const std::string& stem, size_t limit);

// The file name of one address on its own: at most 128 characters and ".url".
std::string ShortcutFileName(const std::string& address);

struct ShortcutFile {
    std::string FileName;
    std::string Address;
};

struct ShortcutPlan {
    std::vector<ShortcutFile> Files;  // in list order, no two names alike
    std::string Failure;              // empty when every page has a file
    bool Ok() const { return Failure.empty(); }
};

// An entry of the folder that stays whatever is saved (a read-only file, a
// sub-folder, a link): its name is taken. `Url` is the address a read-only
// shortcut holds, when it could be read.
struct KeptEntry {
    std::string Name;
    std::optional<std::string> Url;
};

// A name made in ANSI as the disk spells it (kept entries' names are).
using NameSpelling = std::function<std::string(const std::string& ansiName)>;

// The files for a list's entries: blank entries skipped, an address listed
// twice saved once, and a different address whose name is taken (by an
// earlier page or a kept entry) gets the first free " (2)", " (3)"... so no
// page overwrites another. A kept shortcut already holding a page's address
// on the way is that page's file: nothing is written for it. `nameRoom` is
// what the longest folder the files pass through leaves of the path limit.
// The names are made from the addresses in ANSI, then given in `spelling`
// (none: as made), as is the address a failure names.
ShortcutPlan PlanShortcutFiles(const std::vector<std::string>& entries, size_t nameRoom,
                               const std::vector<KeptEntry>& kept = {}, const NameSpelling& spelling = {});

// The room a folder (ending in a backslash) leaves for file names.
size_t ShortcutNameRoom(size_t folderLength);

}  // namespace settings
