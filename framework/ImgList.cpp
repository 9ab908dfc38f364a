#include "ImgList.h"

#include <algorithm>

#include "Icons.h"

namespace velfw {

TChangeLink::~TChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(Sender);
}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {
    handle_ = ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4);
    if (!handle_) throw Exception("Cannot create an image list");
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_) link->Sender = nullptr;
    ImageList_Destroy(handle_);
}

int TCustomImageList::Count() const { return ImageList_GetImageCount(handle_); }

int TCustomImageList::AddIcon(const TIcon& icon) {
    HICON h = icon.Handle();
    const int index = h ? ImageList_ReplaceIcon(handle_, -1, h) : -1;
    if (index >= 0) Change();
    return index;
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EListError(index);
    ImageList_Remove(handle_, index);
    Change();
}

void TCustomImageList::Clear() {
    ImageList_Remove(handle_, -1);
    Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (!link || std::find(links_.begin(), links_.end(), link) != links_.end()) return;
    link->Sender = this;
    links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end()) return;
    links_.erase(it);
    link->Sender = nullptr;
}

void TCustomImageList::Change() {
    // A copy: a link may unregister while it is told.
    const auto links = links_;
    for (TChangeLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
    if (OnChange) OnChange(this);
}

}  // namespace velfw
