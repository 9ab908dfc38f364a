// An icon image kept as the bytes of its icon file; the system icon is made
// from the entry that suits the screen when it is first asked for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "WinHandles.h"

namespace velfw {

// The colour value icon directory entries are matched against for the screen.
uint16_t ScreenIconColors();

// A picture: drawn stretched into a rectangle (the system scaling the
// image that suits the screen), measured by that image, and transparent
// where its mask is.
class TIcon : public TGraphic {
public:
    TIcon();

    // No image: no icon-file bytes.
    bool Empty() const override { return data_.empty(); }
    // Of the entry that suits the screen; 0 when empty.
    int Width() const override;
    int Height() const override;
    // Made on first use; null when empty or when the system refuses the image.
    HICON Handle() const;
    const std::vector<uint8_t>& Data() const { return data_; }

    void Draw(TCanvas& canvas, const RECT& r) override;
    // Copies another icon's image; anything else is refused.
    void Assign(const TPersistent& source) override;
    void Clear();
    // The icon file that fills the rest of the stream. Raises (and keeps the
    // image it had) when the bytes are not an icon file.
    void LoadFromStream(TStream& stream);
    // The same for bytes; false instead of the error.
    bool LoadFromStream(std::span<const uint8_t> data) override;
    void LoadFromBytes(std::vector<uint8_t> bytes);
    // Writes the icon file; nothing for an empty icon.
    void SaveToStream(TStream& stream) const;
    void SaveToStream(std::vector<uint8_t>& out) override;
    // The icon group resource `name` of `instance`, rebuilt as an icon file.
    void LoadFromResourceName(HINSTANCE instance, const char* name);

private:
    void SetData(std::vector<uint8_t> bytes);
    size_t ChosenEntry() const;

    std::vector<uint8_t> data_;
    mutable UniqueIcon handle_;
};

}  // namespace velfw
