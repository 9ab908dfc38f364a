// An icon image kept as the bytes of its icon file; the system icon is made
// from the entry that suits the screen when it is first asked for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "WinHandles.h"

namespace velfw {

// The colour value icon directory entries are matched against for the screen.
uint16_t ScreenIconColors();

class TIcon : public TPersistent {
public:
    TIcon() = default;

    // No image: no icon-file bytes.
    bool Empty() const { return data_.empty(); }
    // Of the entry that suits the screen; 0 when empty.
    int Width() const;
    int Height() const;
    // Made on first use; null when empty or when the system refuses the image.
    HICON Handle() const;
    const std::vector<uint8_t>& Data() const { return data_; }

    // Copies another icon's image; anything else is refused.
    void Assign(const TPersistent& source) override;
    void Clear();
    // The icon file that fills the rest of the stream. Raises (and keeps the
    // image it had) when the bytes are not an icon file.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(std::vector<uint8_t> bytes);
    // Writes the icon file; nothing for an empty icon.
    void SaveToStream(TStream& stream) const;
    // The icon group resource `name` of `instance`, rebuilt as an icon file.
    void LoadFromResourceName(HINSTANCE instance, const char* name);

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    void SetData(std::vector<uint8_t> bytes);
    size_t ChosenEntry() const;

    std::vector<uint8_t> data_;
    mutable UniqueIcon handle_;
};

}  // namespace velfw
