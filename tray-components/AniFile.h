// Animated cursors read into frames of icons: handed on as the first icon,
// as a strip of all frames side by side, or as an icon list. Reading only.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>

#include "AniFileFormat.h"
#include "Classes.h"
#include "Graphics.h"
#include "Icons.h"

namespace kx {

class TAnimatedCursorImage : public velfw::TPersistent, private IconFileFactory {
public:
    TAnimatedCursorImage() = default;

    void ClearImage() { cursor_ = {}; }
    int FrameCount() const { return static_cast<int>(cursor_.frames.size()); }
    // The frame and its icon; EListError-like failure outside the list.
    const AniFrame& FrameAt(int index) const;
    const velfw::TIcon& FrameIconAt(int index) const;
    const AniHeader& CursorHeader() const { return cursor_.header; }
    std::string CursorTitle() const { return cursor_.title.data(); }
    std::string CursorAuthor() const { return cursor_.author.data(); }
    uint16_t MaxSourceColors() const { return cursor_.maxSourceColors; }

    // The rest of the stream; "Stream read error" for what is no animated
    // cursor.
    void LoadFromStream(velfw::TStream& stream);
    void LoadFromBytes(std::span<const uint8_t> data);
    // Empty again when the file cannot be read; the failure passes on.
    void LoadFromFile(const std::string& fileName);
    // Writing is not supported.
    [[noreturn]] void SaveToStream(velfw::TStream& stream) const;

    void Assign(const velfw::TPersistent& source) override;
    // A TIcon gets frame 0's icon, a TBitmap the strip on its brush colour,
    // a TIconList every frame's icon.
    void AssignTo(velfw::TPersistent& dest) const override;

    // All frame icons side by side (or stacked), on `backColor`; with
    // `reduceColors` in the fewest colours the source images need (at least
    // 16). A strip stops at the longest side a bitmap may have.
    void PaintStrip(velfw::TBitmap& bitmap, velfw::TColor backColor, bool reduceColors, bool vertical) const;

private:
    std::shared_ptr<AniIcon> MakeIcon(std::span<const uint8_t> iconFile) override;
    AniCursor cursor_;
};

}  // namespace kx
