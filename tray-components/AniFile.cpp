#include "AniFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include "IcoList.h"
#include "KxGraph.h"
#include "KxUtils.h"
#include "LibraryErrors.h"

namespace kx {

namespace {

// The icon a cursor frame shows; frames showing the same icon share it.
class FrameIcon : public AniIcon {
public:
    velfw::TIcon Icon;
    int32_t Width() const override { return Icon.Width(); }
    int32_t Height() const override { return Icon.Height(); }
};

const velfw::TIcon& IconOf(const AniFrame& frame) {
    static const velfw::TIcon none;
    const auto* icon = dynamic_cast<const FrameIcon*>(frame.icon.get());
    return icon ? icon->Icon : none;
}

}  // namespace

std::shared_ptr<AniIcon> TAnimatedCursorImage::MakeIcon(std::span<const uint8_t> iconFile) {
    auto icon = std::make_shared<FrameIcon>();
    try {
        icon->Icon.LoadFromBytes(std::vector<uint8_t>(iconFile.begin(), iconFile.end()));
    } catch (const velfw::Exception&) {
        return nullptr;  // an image that is no icon ends its list, as a missing one does
    }
    if (icon->Icon.Empty()) return nullptr;
    return icon;
}

const AniFrame& TAnimatedCursorImage::FrameAt(int index) const {
    if (index < 0 || index >= FrameCount())
        throw velfw::Exception("List index out of bounds (" + std::to_string(index) + ")");
    return cursor_.frames[static_cast<size_t>(index)];
}

const velfw::TIcon& TAnimatedCursorImage::FrameIconAt(int index) const { return IconOf(FrameAt(index)); }

void TAnimatedCursorImage::LoadFromBytes(std::span<const uint8_t> data) {
    if (data.empty()) return;
    ReadAniCursor(data, *this, cursor_);
}

void TAnimatedCursorImage::LoadFromStream(velfw::TStream& stream) {
    const uint64_t left = stream.Size() - std::min(stream.Size(), stream.Position());
    if (left > SIZE_MAX) throw velfw::EReadError();
    std::vector<uint8_t> bytes(static_cast<size_t>(left));
    stream.ReadBuffer(bytes.data(), bytes.size());
    LoadFromBytes(bytes);
}

void TAnimatedCursorImage::LoadFromFile(const std::string& fileName) {
    try {
        std::ifstream file(fileName, std::ios::binary);
        if (!file) throw velfw::Exception("Cannot open file \"" + fileName + "\"");
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        LoadFromBytes(bytes);
    } catch (...) {
        ClearImage();
        throw;
    }
}

void TAnimatedCursorImage::SaveToStream(velfw::TStream&) const { ReportUnsupported(); }

void TAnimatedCursorImage::Assign(const velfw::TPersistent& source) {
    if (auto* other = dynamic_cast<const TAnimatedCursorImage*>(&source)) {
        // Icons are never changed once read, so the copy shares them.
        if (other != this) cursor_ = other->cursor_;
        return;
    }
    velfw::TPersistent::Assign(source);
}

void TAnimatedCursorImage::AssignTo(velfw::TPersistent& dest) const {
    if (auto* icon = dynamic_cast<velfw::TIcon*>(&dest)) {
        if (FrameCount() == 0) icon->Clear();
        else icon->Assign(FrameIconAt(0));
        return;
    }
    if (auto* bitmap = dynamic_cast<velfw::TBitmap*>(&dest)) {
        if (FrameCount() == 0) bitmap->Assign(velfw::TBitmap());
        else PaintStrip(*bitmap, bitmap->Canvas().Brush().Color(), true, false);
        return;
    }
    if (auto* list = dynamic_cast<TIconList*>(&dest)) {
        list->BeginUpdate();
        try {
            list->Clear();
            for (const AniFrame& f : cursor_.frames) list->AddIcon(&IconOf(f));
        } catch (...) {
            list->EndUpdate();
            throw;
        }
        list->EndUpdate();
        return;
    }
    velfw::TPersistent::AssignTo(dest);
}

void TAnimatedCursorImage::PaintStrip(velfw::TBitmap& bitmap, velfw::TColor backColor, bool reduceColors,
                                      bool vertical) const {
    velfw::TBitmap work;
    if (FrameCount() > 0) {
        const velfw::TIcon& first = FrameIconAt(0);
        const StripExtent strip = AniStripExtent(first.Width(), first.Height(), cursor_.frames.size(), vertical);
        if (strip.frames > 0) {
            if (!work.SetSize(strip.width, strip.height)) throw velfw::EOutOfMemory();
            work.Canvas().Brush().SetColor(backColor);
            work.Canvas().FillRect(RECT{0, 0, strip.width, strip.height});
            for (int32_t i = 0; i < strip.frames; ++i) {
                const velfw::TIcon& icon = FrameIconAt(i);
                if (icon.Empty()) continue;
                const int at = i * (vertical ? icon.Height() : icon.Width());
                work.Canvas().DrawIcon(vertical ? 0 : at, vertical ? at : 0, icon.Handle());
            }
            if (reduceColors) {
                const auto reduced =
                    ReduceBitmapColorsStream(work, std::max<int>(cursor_.maxSourceColors, 16));
                if (!work.LoadFromStream(reduced)) throw velfw::EInvalidGraphic();
            }
        }
    }
    bitmap.Assign(work);
}

}  // namespace kx
