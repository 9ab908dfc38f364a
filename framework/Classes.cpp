#include "Classes.h"

#include <algorithm>
#include <cstring>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>
#include <utility>

#include "ByteOrder.h"
#include "LibraryErrors.h"
#include "SysUtils.h"

namespace velfw {

EListError::EListError(int index) : Exception("List index out of bounds (" + IntToStr(index) + ")") {}

std::string ClassNameOf(const TObject& object) {
    const char* mangled = typeid(object).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && plain ? plain.get() : mangled;
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const { dest.AssignError(*this); }

void TPersistent::AssignError(const TPersistent& source) const {
    throw Exception("Cannot assign a " + ClassNameOf(source) + " to a " + ClassNameOf(*this));
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count != 0 && Write(buffer, count) != count) throw Exception("Stream write error");
}

int32_t TStream::ReadInt32() {
    uint8_t b[4];
    ReadBuffer(b, sizeof b);
    return static_cast<int32_t>(ReadLe32(b));
}

void TStream::WriteInt32(int32_t value) {
    uint8_t b[4];
    WriteLe32(b, static_cast<uint32_t>(value));
    WriteBuffer(b, sizeof b);
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (position_ >= bytes_.size()) return 0;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, bytes_.size() - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    const uint64_t end = position_ + count;
    if (end > bytes_.size()) bytes_.resize(static_cast<size_t>(end));
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = end;
    return count;
}

TComponent::TComponent(TComponent* owner) {
    if (owner) {
        owner->InsertComponent(this);
        if (TComponent* root = owner->LoadingRoot()) {
            state_ |= csLoading;
            root->loadingList_->push_back(this);
        }
    }
}

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
    void* storage = dynamic_cast<void*>(component);
    component->BeforeDestruction();
    component->~TComponent();
    ::operator delete(storage);
}

TComponent::~TComponent() {
    Destroying();
    // Tell everyone holding a reference, then let the owner forget us.
    auto notifies = std::move(freeNotifies_);
    for (TComponent* other : notifies) {
        other->RemoveFreeNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
    delete loadingList_;
}

void TComponent::BeforeDestruction() { Destroying(); }

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        delete last;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : components_)
        if (SameText(c->Name, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    component->owner_ = this;
    components_.push_back(component);
}

void TComponent::AnnounceInsertion() {
    TComponent* owner = owner_;
    if (!owner || owner->IsDestroying()) return;
    owner->Notification(this, TOperation::opInsert);
    // By index: a receiver may add or free components while it is told.
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* other = owner->Components(i);
        if (other != this && !other->IsDestroying()) other->Notification(this, TOperation::opInsert);
    }
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it != components_.end()) components_.erase(it);
    component->owner_ = nullptr;
    if (loadingList_) {
        auto& l = *loadingList_;
        l.erase(std::remove(l.begin(), l.end(), component), l.end());
    }
    if (!IsDestroying()) Notification(component, TOperation::opRemove);
}

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), other);
    if (it == freeNotifies_.end()) return;
    freeNotifies_.erase(it);
    other->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::Loaded() {
    state_ &= ~static_cast<unsigned>(csLoading);
}

TComponent* TComponent::LoadingRoot() {
    for (TComponent* c = this; c; c = c->owner_)
        if (c->loadingList_) return c;
    return nullptr;
}

void TComponent::BeginLoading() {
    if (loadingList_) return;
    loadingList_ = new std::vector<TComponent*>();
    state_ |= csLoading;
}

void TComponent::EndLoading() {
    if (!loadingList_) return;
    std::vector<TComponent*> loaded = std::move(*loadingList_);
    delete loadingList_;
    loadingList_ = nullptr;
    for (TComponent* c : loaded) c->Loaded();
    Loaded();
}

int TStringList::Add(const std::string& s) {
    items_.push_back(s);
    Inserted(Count() - 1);
    Changed();
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) throw EListError(index);
    items_.insert(items_.begin() + index, s);
    Inserted(index);
    Changed();
}

void TStringList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EListError(index);
    items_.erase(items_.begin() + index);
    Deleted(index);
    Changed();
}

void TStringList::Clear() {
    items_.clear();
    Reset();
    Changed();
}

int TStringList::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(items_[static_cast<size_t>(i)], s)) return i;
    return -1;
}

std::string TStringList::Text() const {
    std::string out;
    for (const auto& s : items_) {
        out += s;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text) {
    items_ = SplitLines(text);
    Reset();
    Changed();
}

void TStringList::Assign(const TPersistent& source) {
    if (auto* list = dynamic_cast<const TStringList*>(&source)) {
        if (list == this) return;
        items_ = list->items_;
        Reset();
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TStringList::BeginUpdate() {
    if (updateCount_++ == 0) {
        changedInUpdate_ = false;
        SetUpdateState(true);
    }
}

void TStringList::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ != 0) return;
    SetUpdateState(false);
    if (std::exchange(changedInUpdate_, false)) Changed();
}

void TStringList::Changed() {
    if (updateCount_ != 0) {
        changedInUpdate_ = true;
        return;
    }
    if (OnChange) OnChange(*this);
}

}  // namespace velfw
