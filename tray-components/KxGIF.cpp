#include "KxGIF.h"

#include <algorithm>
#include <cstring>

#include "AniFile.h"
#include "KxGIFFormat.h"
#include "KxGraph.h"
#include "KxUtils.h"
#include "LibraryErrors.h"
#include "WinHandles.h"

namespace kx {

using velfw::TBitmap;
using velfw::TGraphic;
using velfw::TPersistent;

UINT CF_GIF = 0;

namespace {

// Stands for a picture that is missing on the other side of a copy.
const TBitmap& NoPicture() {
    static const TBitmap none;
    return none;
}

// Frame colours are 32-bit signed values in the model, unsigned in the
// framework; the bits are the same.
velfw::TColor ToFramework(TColor color) { return static_cast<velfw::TColor>(color); }
TColor ToModel(velfw::TColor color) { return static_cast<TColor>(color); }

// The colour the bitmap's canvas would paint for `rgb`.
TColor NearestOnCanvas(TBitmap& bitmap, COLORREF rgb) {
    return ToModel(::GetNearestColor(bitmap.Canvas().Handle(), rgb) & 0xFFFFFF);
}

}  // namespace

// ---- frames

TGIFFrame::TGIFFrame(TGIFImage& owner) : GifFrameCore(owner) {}

TGIFImage& TGIFFrame::Owner() const { return static_cast<TGIFImage&>(OwnerImage); }

void TGIFFrame::NewFrameBitmap() { FrameBitmap = std::make_unique<TBitmap>(); }

void TGIFFrame::Decode() {
    if (FrameBitmap && !FrameBitmap->Empty()) return;
    auto bitmap = std::make_unique<TBitmap>();
    // A frame of no width or height holds no pixels: its picture is empty.
    const bool pixelless = HasCodeStream() && (ImageItem->PixelWidth == 0 || ImageItem->PixelHeight == 0);
    std::vector<uint8_t> dib = pixelless ? std::vector<uint8_t>() : HasCodeStream() ? DecodeToDib() : FrameDib;
    if (!dib.empty()) {
        if (!bitmap->LoadFromStream(dib)) throw velfw::EInvalidGraphic();
        if (!bitmap->Monochrome()) bitmap->SetHandleType(velfw::TBitmapHandleType::bmDDB);
    }
    FrameBitmap = std::move(bitmap);
}

TBitmap& TGIFFrame::DecodedBitmap() {
    Decode();
    return *FrameBitmap;
}

std::vector<uint8_t> TGIFFrame::PictureDib() const {
    if (!FrameBitmap || FrameBitmap->Empty()) return GifFrameCore::PictureDib();
    std::vector<uint8_t> dib;
    const int bits = velfw::BitsOfFormat(FrameBitmap->PixelFormat());
    if (bits == 1 || bits == 4 || bits == 8) FrameBitmap->SaveToStream(dib);
    else dib = ConvertBitmapToDibStream(*FrameBitmap, velfw::TPixelFormat::pf8bit, DefaultColorReduction);
    if (dib.empty()) FrameBitmap->SaveToStream(dib);
    return dib;
}

bool TGIFFrame::PictureSize(int32_t& width, int32_t& height) const {
    if (!FrameBitmap || FrameBitmap->Empty()) return GifFrameCore::PictureSize(width, height);
    width = FrameBitmap->Width();
    height = FrameBitmap->Height();
    return true;
}

void TGIFFrame::DrawFrame(velfw::TCanvas& canvas, const RECT& r, bool transparent) {
    TBitmap& bitmap = DecodedBitmap();
    if (bitmap.Empty()) return;
    // Opaque unless the image asks, whatever the bitmap's own flag says.
    const velfw::TColor shown = TransColor != clNone && transparent ? ToFramework(TransColor) : velfw::clNone;
    const RECT whole{0, 0, bitmap.Width(), bitmap.Height()};
    PaintBitmapRegionTransparent(canvas, r.left, r.top, r.right - r.left, r.bottom - r.top, whole, bitmap, shown);
}

void TGIFFrame::Clear() {
    ResetFrame();
    FrameBitmap.reset();
}

void TGIFFrame::Assign(const TPersistent& source) {
    if (auto* other = dynamic_cast<const TGIFFrame*>(&source)) {
        if (other == this) return;
        ImageItem = other->ImageItem;
        HasLocalTable = &other->OwnerImage != &OwnerImage ? true : other->HasLocalTable;
        Origin = other->Origin;
        IsInterlaced = other->IsInterlaced;
        // Without a bitmap of its own the source shows its code stream, which is now ours too.
        if (other->FrameBitmap) {
            NewFrameBitmap();
            FrameBitmap->Assign(*other->FrameBitmap);
        } else {
            FrameBitmap.reset();
        }
        FrameDib = other->FrameDib;
        TransColor = other->TransColor;
        DelayMs = other->DelayMs;
        DisposalCode = other->DisposalCode;
        auto* comment = const_cast<TGIFFrame*>(other)->FrameComment(false);
        if (comment && !comment->empty()) SetFrameComment(*comment);
    } else if (auto* image = dynamic_cast<const TGIFImage*>(&source)) {
        if (image->FrameCount() == 0) {
            Clear();
        } else {
            Assign(image->GifFrame(std::max(image->CurrentFrame, 0)));
            return;
        }
    } else if (auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
        if (graphic->Empty()) {
            Clear();
            return;  // an empty picture leaves the logical size alone
        }
        AssignPicture(*graphic);
    } else {
        TPersistent::Assign(source);
    }
    OwnerImage.RecalcLogicalSize();
}

void TGIFFrame::AssignPicture(const TGraphic& picture) {
    ResetFrame();
    FrameDib.clear();
    // The picture may be this frame's own bitmap: it goes only once copied.
    const std::unique_ptr<TBitmap> former = std::move(FrameBitmap);
    NewFrameBitmap();
    TBitmap& bitmap = *FrameBitmap;
    try {
        bitmap.Assign(picture);
    } catch (const velfw::Exception&) {
        // What a bitmap cannot take over it can still show: draw it.
        auto& drawn = const_cast<TGraphic&>(picture);
        bitmap.Canvas().Brush().SetColor(velfw::clFuchsia);
        bitmap.SetSize(drawn.Width(), drawn.Height());
        bitmap.Canvas().FillRect(RECT{0, 0, drawn.Width(), drawn.Height()});
        bitmap.Canvas().Draw(0, 0, drawn);
    }
    if (!picture.Transparent()) return;
    if (auto* source = dynamic_cast<const TBitmap*>(&picture))
        TransColor = ToModel(velfw::ColorToRGB(const_cast<TBitmap*>(source)->TransparentColor()));
    else
        TransColor = NearestOnCanvas(bitmap, velfw::ColorToRGB(bitmap.Canvas().Brush().Color()));
}

void TGIFFrame::AssignTo(TPersistent& dest) const {
    if (dynamic_cast<TGIFFrame*>(&dest) || dynamic_cast<TGIFImage*>(&dest)) {
        dest.Assign(*this);
        return;
    }
    auto* graphic = dynamic_cast<TGraphic*>(&dest);
    if (!graphic) {
        TPersistent::AssignTo(dest);
        return;
    }
    // Decoding only fills the frame's cache.
    graphic->Assign(const_cast<TGIFFrame*>(this)->DecodedBitmap());
    auto* bitmap = dynamic_cast<TBitmap*>(&dest);
    if (bitmap && TransColor != clNone) {
        bitmap->SetTransparentColor(ToFramework(NearestOnCanvas(*bitmap, ColorToRgb(TransColor))));
        bitmap->SetTransparent(true);
    }
}

// ---- the image

TGIFImage::TGIFImage() {
    Progress = [this](GifProgressStage stage, int percent, const std::string& message) {
        if (OnProgress) OnProgress(this, stage, percent, message);
    };
    SetTransparent(true);
}

TGIFImage::~TGIFImage() {
    OnChange = nullptr;
    ClearFrames();
}

std::unique_ptr<GifFrameCore> TGIFImage::NewFrame() { return std::make_unique<TGIFFrame>(*this); }

std::unique_ptr<GifFrameCore> TGIFImage::TakeFrame(const TGIFFrame& frame) {
    const auto at = std::find_if(FrameList.begin(), FrameList.end(), [&frame](const auto& f) { return f.get() == &frame; });
    if (at == FrameList.end()) return nullptr;
    std::unique_ptr<GifFrameCore> taken = std::move(*at);
    FrameList.erase(at);
    return taken;
}

bool TGIFImage::Empty() const {
    if (FrameList.empty()) return true;
    const TGIFFrame& f = GifFrame(std::clamp(CurrentFrame, 0, FrameCount() - 1));
    return (!f.FrameBitmap || f.FrameBitmap->Empty()) && !f.HasCodeStream() && f.FrameDib.empty();
}

int TGIFImage::Width() const {
    if (Empty() || CurrentFrame < 0 || CurrentFrame >= FrameCount()) return 0;
    return GifFrame(CurrentFrame).DecodedBitmap().Width();
}

int TGIFImage::Height() const {
    if (Empty() || CurrentFrame < 0 || CurrentFrame >= FrameCount()) return 0;
    return GifFrame(CurrentFrame).DecodedBitmap().Height();
}

void TGIFImage::SetWidth(int) { throw velfw::EInvalidGraphicOperation("Cannot change the Size of a GIF image"); }
void TGIFImage::SetHeight(int) { throw velfw::EInvalidGraphicOperation("Cannot change the Size of a GIF image"); }

void TGIFImage::Draw(velfw::TCanvas& canvas, const RECT& r) {
    if (CurrentFrame >= 0 && CurrentFrame < FrameCount()) GifFrame(CurrentFrame).DrawFrame(canvas, r, GetTransparent());
}

HPALETTE TGIFImage::Palette() { return FrameList.empty() ? nullptr : CurrentBitmap().Palette(); }

bool TGIFImage::GetTransparent() const {
    if (!Transparent()) return false;
    return std::any_of(FrameList.begin(), FrameList.end(), [](const auto& f) { return f->TransColor != clNone; });
}

bool TGIFImage::Equals(const TGraphic& other) const {
    auto* gif = dynamic_cast<const TGIFImage*>(&other);
    return gif && gif->SharedData == SharedData;
}

TBitmap& TGIFImage::CurrentBitmap() {
    if (FrameList.empty()) {
        CurrentFrame = 0;
        Assign(TBitmap());
    }
    const int index = CurrentFrame >= 0 && CurrentFrame < FrameCount() ? CurrentFrame : 0;
    return GifFrame(index).DecodedBitmap();
}

int TGIFImage::AppendFrame(const TPersistent& picture) {
    FrameList.push_back(NewFrame());
    CurrentFrame = FrameCount() - 1;
    GifFrame(CurrentFrame).Assign(picture);
    if (GifVersion == 0) GifVersion = 1;
    if (FrameCount() > 1) GifVersion = 2;
    return CurrentFrame;
}

void TGIFImage::Clear() {
    ResetImage();
    Changed();
}

void TGIFImage::Assign(const TPersistent& source) {
    if (auto* other = dynamic_cast<const TGIFImage*>(&source)) {
        if (other == this) return;
        CopyImage(*other);
    } else if (auto* frame = dynamic_cast<const TGIFFrame*>(&source)) {
        const std::shared_ptr<TGIFData> from = frame->OwnerImage.SharedData;
        // One of our own frames outlives the reset until it is copied.
        const std::unique_ptr<GifFrameCore> kept = TakeFrame(*frame);
        ResetImage();
        SharedData->AspectByte = from->AspectByte;
        SharedData->ColorBits = from->ColorBits;
        SharedData->GlobalColors = from->GlobalColors;
        AppendFrame(*frame);
        if (GifVersion == 0) GifVersion = 1;
    } else if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        // A frame's bitmap of our own (the current bitmap, say) goes with the reset: copy it first.
        TBitmap copy;
        const bool own = std::any_of(FrameList.begin(), FrameList.end(), [bitmap](const auto& f) {
            return static_cast<const TGIFFrame&>(*f).FrameBitmap.get() == bitmap;
        });
        if (own) copy.Assign(*bitmap);
        ResetImage();
        AppendFrame(own ? copy : *bitmap);
    } else if (auto* cursor = dynamic_cast<const TAnimatedCursorImage*>(&source)) {
        ResetImage();
        BackColor = clWindow;
        for (int i = 0; i < cursor->FrameCount(); ++i) {
            AppendFrame(cursor->FrameIconAt(i));
            GifFrame(CurrentFrame).DelayMs = DelayMsOfCursorRate(static_cast<uint32_t>(cursor->FrameAt(i).jiffies));
        }
    } else {
        TGraphic::Assign(source);
        return;
    }
    Changed();
}

void TGIFImage::CopyImage(const TGIFImage& other) {
    SharedData = other.SharedData;
    GifVersion = other.GifVersion;
    BackColor = other.BackColor;
    BackgroundIndex = other.BackgroundIndex;
    LoopCount = other.LoopCount;
    LoopAnimation = other.LoopAnimation;
    ClearFrames();
    for (int i = 0; i < other.FrameCount(); ++i) {
        auto frame = std::make_unique<TGIFFrame>(*this);
        frame->Assign(other.GifFrame(i));
        frame->HasLocalTable = other.GifFrame(i).HasLocalTable;
        FrameList.push_back(std::move(frame));
    }
    LogicalWidth = other.LogicalWidth;
    LogicalHeight = other.LogicalHeight;
    CurrentFrame = other.CurrentFrame;
}

void TGIFImage::AssignTo(TPersistent& dest) const {
    if (auto* gif = dynamic_cast<TGIFImage*>(&dest)) {
        gif->Assign(*this);
        return;
    }
    if (!dynamic_cast<TGraphic*>(&dest)) {
        TGraphic::AssignTo(dest);
        return;
    }
    if (Empty()) {
        dest.Assign(NoPicture());
        return;
    }
    if (CurrentFrame < 0 || CurrentFrame >= FrameCount()) {
        // Asking for the bitmap makes the frame it is kept in.
        dest.Assign(const_cast<TGIFImage*>(this)->CurrentBitmap());
        return;
    }
    GifFrame(CurrentFrame).AssignTo(dest);
}

// ---- reading and writing

void TGIFImage::FinishLoad() {
    PaletteModified = true;
    Changed();
}

void TGIFImage::LoadFromBytes(std::span<const uint8_t> data) {
    LoadGif(*this, data, true);
    FinishLoad();
}

namespace {

// What a load replaces, taken out of the image before it and put back when
// the load fails: a picture holder keeps showing what it had when the bytes
// are no GIF. The frames stay this image's own, so nothing is copied.
struct ImageContents {
    explicit ImageContents(GifImageCore& image)
        : sharedData(std::move(image.SharedData)), frames(std::move(image.FrameList)), version(image.GifVersion),
          current(image.CurrentFrame), width(image.LogicalWidth), height(image.LogicalHeight),
          backColor(image.BackColor), backgroundIndex(image.BackgroundIndex), loop(image.LoopAnimation),
          loopCount(image.LoopCount) {}

    void PutBack(GifImageCore& image) {
        image.SharedData = std::move(sharedData);
        image.FrameList = std::move(frames);
        image.GifVersion = version;
        image.CurrentFrame = current;
        image.LogicalWidth = width;
        image.LogicalHeight = height;
        image.BackColor = backColor;
        image.BackgroundIndex = backgroundIndex;
        image.LoopAnimation = loop;
        image.LoopCount = loopCount;
    }

    std::shared_ptr<TGIFData> sharedData;
    std::vector<std::unique_ptr<GifFrameCore>> frames;
    uint8_t version;
    int32_t current;
    uint16_t width, height;
    TColor backColor;
    uint8_t backgroundIndex;
    bool loop;
    uint16_t loopCount;
};

}  // namespace

bool TGIFImage::LoadFromStream(std::span<const uint8_t> data) {
    // Read into this image itself: every frame keeps all it was read with
    // (its extensions and their bits), which a copy of each frame would not.
    ImageContents before(*this);
    try {
        LoadGif(*this, data, true);
    } catch (...) {
        before.PutBack(*this);
        throw;
    }
    FinishLoad();
    return true;
}

void TGIFImage::SaveToStream(std::vector<uint8_t>& out) {
    const std::vector<uint8_t> file = WriteGif(*this, false);
    out.insert(out.end(), file.begin(), file.end());
}

void TGIFImage::ReadData(velfw::TStream& stream) {
    const int32_t length = stream.ReadInt32();
    if (length < 0 || uint64_t(length) > stream.Size() - std::min(stream.Size(), stream.Position()))
        throw velfw::EReadError();
    std::vector<uint8_t> file(static_cast<size_t>(length));
    stream.ReadBuffer(file.data(), file.size());
    LoadFromBytes(file);
}

void TGIFImage::WriteData(velfw::TStream& stream) {
    const std::vector<uint8_t> data = WriteGif(*this, true);
    stream.WriteBuffer(data.data(), data.size());
}

// ---- the clipboard

namespace {

// A copy of a global memory block's bytes; empty when it cannot be read.
std::vector<uint8_t> GlobalBytes(HGLOBAL block) {
    const velfw::LockedGlobal at(block);
    const auto* first = static_cast<const uint8_t*>(at.get());
    return first ? std::vector<uint8_t>(first, first + at.size()) : std::vector<uint8_t>();
}

// A bitmap of our own made from one the clipboard keeps.
bool AdoptCopyOf(TBitmap& bitmap, HANDLE clipboardBitmap) {
    auto* copy = static_cast<HBITMAP>(::CopyImage(clipboardBitmap, IMAGE_BITMAP, 0, 0, 0));
    return copy && bitmap.SetHandle(copy);
}

}  // namespace

void TGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE) {
    HANDLE gif = CF_GIF && ::IsClipboardFormatAvailable(CF_GIF) ? ::GetClipboardData(CF_GIF) : nullptr;
    if (gif) {
        LoadGifWithLength(*this, GlobalBytes(gif), false);
        if (!FrameList.empty()) {
            CurrentFrame = 0;
            HANDLE shown = ::IsClipboardFormatAvailable(CF_BITMAP) ? ::GetClipboardData(CF_BITMAP) : nullptr;
            if (shown) {
                auto bitmap = std::make_unique<TBitmap>();
                if (AdoptCopyOf(*bitmap, shown)) GifFrame(0).FrameBitmap = std::move(bitmap);
            }
        }
        FinishLoad();
        return;
    }
    TBitmap bitmap;
    if (format != CF_BITMAP || !data || !AdoptCopyOf(bitmap, data))
        throw velfw::EInvalidGraphic("Unsupported clipboard format");
    Assign(bitmap);
}

void TGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    if (FrameList.empty()) return;
    TBitmap& shown = GifFrame(0).DecodedBitmap();
    // Ours until the caller has it: a GIF form that fails frees it here.
    velfw::UniqueGdiObject bitmap(::CopyImage(shown.Handle(), IMAGE_BITMAP, 0, 0, 0));
    format = CF_BITMAP;
    palette = nullptr;
    // A frame still to be encoded leaves the bitmap alone on the clipboard.
    if (std::all_of(FrameList.begin(), FrameList.end(), [](const auto& f) { return f->HasCodeStream(); })) {
        const std::vector<uint8_t> bytes = WriteGif(*this, true);
        velfw::UniqueGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
        if (block) {
            {
                const velfw::LockedGlobal at(block.get());
                if (!at) throw velfw::EOutOfMemory();
                std::memcpy(at.get(), bytes.data(), bytes.size());
            }
            if (::SetClipboardData(CF_GIF, block.get())) block.release();  // the clipboard's now
        }
    }
    data = bitmap.release();
}

bool CopyToClipboard(TGIFImage& image, HWND owner) {
    const velfw::OpenedClipboard clipboard(owner);
    if (!clipboard) return false;
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    ::EmptyClipboard();
    image.SaveToClipboardFormat(format, data, palette);
    // Ours to free where the clipboard refuses them.
    velfw::UniqueGdiObject bitmap(data), colours(palette);
    if (bitmap && ::SetClipboardData(format, bitmap.get())) bitmap.release();
    if (colours && ::SetClipboardData(CF_PALETTE, colours.get())) colours.release();
    return true;
}

bool PasteFromClipboard(TGIFImage& image) {
    const velfw::OpenedClipboard clipboard(nullptr);
    if (!clipboard) return false;
    const bool gif = CF_GIF && ::IsClipboardFormatAvailable(CF_GIF);
    HANDLE bitmap = ::IsClipboardFormatAvailable(CF_BITMAP) ? ::GetClipboardData(CF_BITMAP) : nullptr;
    if (!gif && !bitmap) return false;
    image.LoadFromClipboardFormat(CF_BITMAP, bitmap, nullptr);
    return true;
}

// ---- start-up

void InitKxGIFUnit() {
    ResolveSystemColor = [](TColor color) -> uint32_t {
        return ::GetSysColor(static_cast<int>(static_cast<uint32_t>(color) & 0xFF));
    };
    CF_GIF = ::RegisterClipboardFormatA("GIF Image");
    velfw::RegisterFileFormat("gif", "CompuServe GIF Image", [] { return std::make_unique<TGIFImage>(); });
    if (CF_GIF) velfw::RegisterGraphicClipboardFormat<TGIFImage>(CF_GIF);
}

void DoneKxGIFUnit() {
    velfw::UnregisterFileFormat("gif");
    if (CF_GIF) velfw::UnregisterGraphicClipboardFormat(CF_GIF);
}

}  // namespace kx
