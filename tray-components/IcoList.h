// An ordered list of icon images that owns them, tells of every change once
// and reads and writes itself as one binary block of a form.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Icons.h"

namespace kx {

class TIconList : public velfw::TPersistent {
public:
    TIconList() = default;
    ~TIconList() override;

    // Changes inside a bracket fire OnChange once, at the outermost end.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    virtual void Changed();

    int Count() const { return static_cast<int>(icons_.size()); }
    // Null for an empty slot.
    velfw::TIcon* GetIcon(int index) const;
    // A copy of `icon` at `index` (Count appends); null clears the image.
    virtual void SetIcon(int index, const velfw::TIcon* icon);
    // A copy of `icon` (null: an icon without image); its index.
    virtual int AddIcon(const velfw::TIcon* icon);
    virtual int AddFromResource(HINSTANCE instance, const char* resName);
    virtual void Insert(int index, const velfw::TIcon* icon);
    virtual void InsertFromResource(int index, HINSTANCE instance, const char* resName);
    virtual void Clear();
    virtual void Delete(int index);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    virtual int IndexOf(const velfw::TIcon* icon) const;

    // Another icon list (copies of its entries), an icon (a list of one
    // copy), or Clear for null.
    void Assign(const velfw::TPersistent& source) override;
    void Assign(std::nullptr_t) { Clear(); }
    virtual void LoadFromStream(velfw::TStream& stream);
    virtual void SaveToStream(velfw::TStream& stream) const;
    // Whether the form writes the list, given the ancestor's list (or null).
    bool ShouldWrite(const TIconList* ancestor) const;

    velfw::TNotifyEvent OnChange;

private:
    void CheckIndex(int index, int limit) const;
    std::unique_ptr<velfw::TIcon> Own(std::unique_ptr<velfw::TIcon> icon);
    void InsertOwned(int index, std::unique_ptr<velfw::TIcon> icon);
    template <typename F>
    void Updating(F&& step);

    std::vector<std::unique_ptr<velfw::TIcon>> icons_;
    int updateCount_ = 0;
};

}  // namespace kx
