#include "PageListEditRules.h"

#include <algorithm>
#include <unordered_set>

#include "SysUtils.h"

namespace settings {

std::string CleanTypedAddress(const std::string& typed) {
    std::string clean;
    clean.reserve(typed.size());
    for (char c : typed)
        if (static_cast<unsigned char>(c) >= 32) clean += c;
    return clean;
}

namespace {

// The current item is selected, and alone, as a click on it leaves it.
void MakeLastCurrent(PageListBox& box) {
    box.Selected.assign(box.Items.size(), false);
    box.Selected.back() = true;
    box.ItemIndex = box.Items.size() - 1;
}

}  // namespace

void AddOne(std::string& editText, PageListBox& active) {
    if (!velfw::Trim(editText).empty()) {
        active.Items.push_back(CleanTypedAddress(editText));
        MakeLastCurrent(active);
    }
    editText = kNewAddressText;
}

std::vector<size_t> MoveSelected(PageListBox& from, PageListBox& to, bool makeCurrent) {
    std::vector<size_t> moved;
    for (size_t i = std::min(from.Items.size(), from.Selected.size()); i-- > 0;)
        if (from.Selected[i]) {
            moved.push_back(i);
            to.Items.push_back(from.Items[i]);
        }
    if (moved.empty()) return moved;
    if (makeCurrent) MakeLastCurrent(to);

    // One pass over `from`: what stays closes up, its selection and current
    // item with it.
    std::optional<size_t> current;
    size_t kept = 0;
    for (size_t i = 0; i < from.Items.size(); ++i) {
        if (i < from.Selected.size() && from.Selected[i]) continue;
        if (from.ItemIndex == i) current = kept;
        if (kept != i) from.Items[kept] = std::move(from.Items[i]);
        if (i < from.Selected.size()) from.Selected[kept] = false;
        ++kept;
    }
    from.Items.resize(kept);
    from.Selected.resize(std::min(from.Selected.size(), kept));
    from.ItemIndex = current;
    return moved;
}

void RemoveListed(const std::vector<std::string>& active, std::vector<std::string>& candidates) {
    const std::unordered_set<std::string> listed(active.begin(), active.end());
    std::erase_if(candidates, [&listed](const std::string& page) { return listed.count(page) != 0; });
}

}  // namespace settings
