// Editing a window's page lists: typing an address, moving pages between the
// candidate list and the active list, and dropping candidates already listed.
// No Windows here: a list box is a PageListBox the form reads and writes back.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace settings {

inline constexpr const char* kNewAddressText = "http://";

// A multiple-selection list box: its items, which are selected, and the
// current item (always a selected one).
struct PageListBox {
    std::vector<std::string> Items;
    std::vector<bool> Selected;  // as long as Items, or shorter (the rest unselected)
    std::optional<size_t> ItemIndex;
};

// The typed address as it goes into a list: as typed, blanks included, but
// without control characters. A pasted line break or tab is no part of an
// address (browsers drop them as well), and in a shortcut file it would
// break the line the address is stored on.
std::string CleanTypedAddress(const std::string& typed);

// The add-one button: a typed address that is more than blanks joins the
// active list as its current item (duplicates and "http://" itself
// included); the edit box always goes back to "http://".
void AddOne(std::string& editText, PageListBox& active);

// The add and remove buttons: the selected entries of `from`, last first, are
// appended to `to` and deleted from `from`. Several entries thus arrive in
// reverse order. `makeCurrent` makes the last appended entry the current item
// of `to`, selected alone (adding does); otherwise `to` keeps its selection
// (removing), and the entries arrive unselected. `from` keeps the selection
// and current item of the entries that stay. Returns the indexes the moved
// entries had in `from`, last first: deleted in that order, each index still
// names its entry.
std::vector<size_t> MoveSelected(PageListBox& from, PageListBox& to, bool makeCurrent);
inline std::vector<size_t> AddSelected(PageListBox& candidates, PageListBox& active) {
    return MoveSelected(candidates, active, true);
}
inline std::vector<size_t> RemoveSelected(PageListBox& active, PageListBox& candidates) {
    return MoveSelected(active, candidates, false);
}

// Deletes from the candidates every entry equal to one of the active list
// (whole text, letter case counts).
void RemoveListed(const std::vector<std::string>& active, std::vector<std::string>& candidates);

}  // namespace settings
