// Image lists and the links through which their users hear of changes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "Classes.h"
#include "Controls.h"

namespace velfw {

class TCustomImageList;
class TIcon;

// Registered with an image list by a user of it; told of every change
// while registered. Unregisters itself when it goes.
class TChangeLink : public TObject {
public:
    ~TChangeLink() override;
    TCustomImageList* Sender = nullptr;
    TNotifyEvent OnChange;
    virtual void Change();
};

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* owner, int width = 16, int height = 16);
    ~TCustomImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    HIMAGELIST Handle() const { return handle_; }
    // Adds the icon's image; the index, or -1 when the list refuses it.
    int AddIcon(const TIcon& icon);
    void Delete(int index);
    void Clear();

    void RegisterChanges(TChangeLink* link);
    void UnRegisterChanges(TChangeLink* link);
    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    int width_, height_;
    HIMAGELIST handle_ = nullptr;
    std::vector<TChangeLink*> links_;
};

}  // namespace velfw
