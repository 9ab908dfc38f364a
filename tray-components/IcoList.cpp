#include "IcoList.h"

#include "IconListFormat.h"

namespace kx {

using velfw::TIcon;

TIconList::~TIconList() {
    OnChange = nullptr;
    Clear();
}

template <typename F>
void TIconList::Updating(F&& step) {
    BeginUpdate();
    try {
        step();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TIconList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TIconList::Changed() {
    if (updateCount_ == 0 && OnChange) OnChange(this);
}

void TIconList::CheckIndex(int index, int limit) const {
    if (index < 0 || index > limit) throw velfw::EListError(index);
}

TIcon* TIconList::GetIcon(int index) const {
    CheckIndex(index, Count() - 1);
    return icons_[static_cast<size_t>(index)].get();
}

std::unique_ptr<TIcon> TIconList::Own(std::unique_ptr<TIcon> icon) {
    icon->OnChange = [this] { Changed(); };
    return icon;
}

void TIconList::InsertOwned(int index, std::unique_ptr<TIcon> icon) {
    icons_.insert(icons_.begin() + index, icon ? Own(std::move(icon)) : nullptr);
}

void TIconList::SetIcon(int index, const TIcon* icon) {
    CheckIndex(index, Count());
    Updating([&] {
        if (index == Count()) InsertOwned(index, std::make_unique<TIcon>());
        auto& slot = icons_[static_cast<size_t>(index)];
        if (!slot) slot = Own(std::make_unique<TIcon>());
        if (icon) slot->Assign(*icon);
        else slot->Clear();
    });
}

int TIconList::AddIcon(const TIcon* icon) {
    Insert(Count(), icon);
    return Count() - 1;
}

int TIconList::AddFromResource(HINSTANCE instance, const char* resName) {
    InsertFromResource(Count(), instance, resName);
    return Count() - 1;
}

void TIconList::Insert(int index, const TIcon* icon) {
    CheckIndex(index, Count());
    auto copy = std::make_unique<TIcon>();
    if (icon) copy->Assign(*icon);
    InsertOwned(index, std::move(copy));
    Changed();
}

void TIconList::InsertFromResource(int index, HINSTANCE instance, const char* resName) {
    CheckIndex(index, Count());
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromResourceName(instance, resName);
    InsertOwned(index, std::move(icon));
    Changed();
}

void TIconList::Delete(int index) {
    CheckIndex(index, Count() - 1);
    auto icon = std::move(icons_[static_cast<size_t>(index)]);
    icons_.erase(icons_.begin() + index);
    if (icon) icon->OnChange = nullptr;
    icon.reset();
    Changed();
}

void TIconList::Clear() {
    Updating([&] {
        for (int i = Count() - 1; i >= 0; --i) Delete(i);
    });
}

void TIconList::Exchange(int index1, int index2) {
    CheckIndex(index1, Count() - 1);
    CheckIndex(index2, Count() - 1);
    std::swap(icons_[static_cast<size_t>(index1)], icons_[static_cast<size_t>(index2)]);
    Changed();
}

void TIconList::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex, Count() - 1);
    CheckIndex(newIndex, Count() - 1);
    auto icon = std::move(icons_[static_cast<size_t>(curIndex)]);
    icons_.erase(icons_.begin() + curIndex);
    icons_.insert(icons_.begin() + newIndex, std::move(icon));
    Changed();
}

int TIconList::IndexOf(const TIcon* icon) const {
    for (int i = 0; i < Count(); ++i)
        if (icons_[static_cast<size_t>(i)].get() == icon) return i;
    return -1;
}

void TIconList::Assign(const velfw::TPersistent& source) {
    if (&source == this) return;
    if (auto* list = dynamic_cast<const TIconList*>(&source)) {
        Updating([&] {
            Clear();
            for (const auto& icon : list->icons_) AddIcon(icon.get());
        });
    } else if (auto* icon = dynamic_cast<const TIcon*>(&source)) {
        Updating([&] {
            Clear();
            AddIcon(icon);
        });
    } else {
        AssignError(source);
    }
}

void TIconList::LoadFromStream(velfw::TStream& stream) {
    Updating([&] {
        Clear();
        ReadIconListStream(stream, [&](std::vector<uint8_t>&& bytes) {
            std::unique_ptr<TIcon> icon;
            if (!bytes.empty()) {
                icon = std::make_unique<TIcon>();
                icon->LoadFromBytes(std::move(bytes));
            }
            InsertOwned(Count(), std::move(icon));
        });
    });
}

void TIconList::SaveToStream(velfw::TStream& stream) const {
    stream.WriteInt32(Count());
    for (const auto& icon : icons_) {
        // The icon's bytes are its stream form; an icon without image counts as an empty slot.
        static const std::vector<uint8_t> kNone;
        WriteIconListEntry(stream, icon ? icon->Data() : kNone);
    }
}

bool TIconList::ShouldWrite(const TIconList* ancestor) const {
    if (ancestor && ancestor->Count() == Count() && Count() > 0) {
        for (int i = 0; i < Count(); ++i)
            if (ancestor->icons_[static_cast<size_t>(i)] != icons_[static_cast<size_t>(i)]) return true;
        return false;
    }
    return Count() > 0;
}

}  // namespace kx
