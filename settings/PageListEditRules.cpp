#include "PageListEditRules.h"

#include "SysUtils.h"

namespace wizard {

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

namespace {

// Keeps the selection and the current item on the entries they were on.
void DeleteEntry(PageListBox& box, size_t index) {
    box.Items.erase(box.Items.begin() + static_cast<std::ptrdiff_t>(index));
    if (index < box.Selected.size()) box.Selected.erase(box.Selected.begin() + static_cast<std::ptrdiff_t>(index));
    if (!box.ItemIndex) return;
    if (*box.ItemIndex == index)
        box.ItemIndex.reset();
    else if (*box.ItemIndex > index)
        --*box.ItemIndex;
}

}  // namespace

void MoveSelected(PageListBox& from, PageListBox& to, bool makeCurrent) {
    for (size_t i = from.Items.size(); i-- > 0;) {
        if (i >= from.Selected.size() || !from.Selected[i]) continue;
        to.Items.push_back(from.Items[i]);
        if (makeCurrent) MakeLastCurrent(to);
        DeleteEntry(from, i);
    }
}

void RemoveListed(const std::vector<std::string>& active, std::vector<std::string>& candidates) {
    for (const std::string& page : active)
        for (size_t i = candidates.size(); i-- > 0;)
            if (candidates[i] == page) candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace wizard
