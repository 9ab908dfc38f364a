// The GIF picture class on GDI: frames keep their code streams and are
// decoded into bitmaps when first drawn or copied; frames made from
// pictures are encoded when the image is saved. The file format and the
// frame model live in KxGIFFormat and KxGIFModel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "KxGIFModel.h"

namespace kx {

class TGIFImage;

class TGIFFrame : public GifFrameCore, public velfw::TPersistent {
public:
    explicit TGIFFrame(TGIFImage& owner);

    // The decoded picture (a cache), or the frame's only content when it was
    // made from a picture.
    std::unique_ptr<velfw::TBitmap> FrameBitmap;

    TGIFImage& Owner() const;
    // The frame's bitmap, decoded from the code stream when there is none.
    velfw::TBitmap& DecodedBitmap();
    void NewFrameBitmap();
    // Stretched into `r`; with `transparent` the transparent colour shows
    // the canvas through.
    void DrawFrame(velfw::TCanvas& canvas, const RECT& r, bool transparent);

    void Assign(const velfw::TPersistent& source) override;
    void AssignTo(velfw::TPersistent& dest) const override;
    // A frame without picture or code stream.
    void Clear();

    void Decode() override;
    std::vector<uint8_t> PictureDib() const override;
    bool PictureSize(int32_t& width, int32_t& height) const override;

private:
    void AssignPicture(const velfw::TGraphic& picture);
};

// The stage of a long decode or encode (0 starting, 1 running, 2 ending).
using TGifProgressEvent =
    std::function<void(velfw::TObject* sender, GifProgressStage stage, int percent, const std::string& message)>;

class TGIFImage : public GifImageCore, public velfw::TGraphic {
public:
    TGIFImage();
    ~TGIFImage() override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    // A GIF image has the size of its frames.
    [[noreturn]] void SetWidth(int width);
    [[noreturn]] void SetHeight(int height);
    void Draw(velfw::TCanvas& canvas, const RECT& r) override;
    // The palette of the current bitmap; none without frames.
    HPALETTE Palette();
    // Transparent when asked to be and some frame has a transparent colour.
    bool GetTransparent() const;
    // True for a copy that shares this image's data.
    bool Equals(const velfw::TGraphic& other) const;

    // The GIF file that fills `data`. What is not one raises the format's
    // error and leaves the image as it was.
    bool LoadFromStream(std::span<const uint8_t> data) override;
    // The GIF file, raising the format's errors.
    void LoadFromBytes(std::span<const uint8_t> data);
    void SaveToStream(std::vector<uint8_t>& out) override;
    // A 32-bit length and the file: the form inside component streams.
    void ReadData(velfw::TStream& stream);
    void WriteData(velfw::TStream& stream);

    // The clipboard's "GIF Image" data when it holds some; otherwise the
    // bitmap in (format, data, palette). The clipboard must be open.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
    // Frame 0's bitmap as (format, data, palette) for the caller to place,
    // and the "GIF Image" data placed directly when every frame has its
    // code stream; a failure raised on the way leaves the caller nothing to
    // free. The clipboard must be open and owned.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);

    void Assign(const velfw::TPersistent& source) override;
    void AssignTo(velfw::TPersistent& dest) const override;
    // Empty again; fires the change event.
    void Clear();
    // A new frame made from `picture`, made current; returns its index.
    virtual int AppendFrame(const velfw::TPersistent& picture);
    TGIFFrame& GifFrame(int index) const { return static_cast<TGIFFrame&>(Frame(index)); }
    // The current frame's bitmap; an image without frames gets an empty one.
    velfw::TBitmap& CurrentBitmap();

    std::unique_ptr<GifFrameCore> NewFrame() override;

    bool PaletteModified = false;
    TGifProgressEvent OnProgress;

private:
    void FinishLoad();
    // Shares `other`'s data and copies its frames, without a change event.
    void CopyImage(const TGIFImage& other);
    // Out of the frame list when it is one of ours; nullptr otherwise.
    std::unique_ptr<GifFrameCore> TakeFrame(const TGIFFrame& frame);
};

// The clipboard format "GIF Image"; 0 before InitKxGIFUnit.
extern UINT CF_GIF;

// Start-up: system colours, the clipboard format and the picture class for
// the "gif" files and that format. Shutdown removes the picture class.
void InitKxGIFUnit();
void DoneKxGIFUnit();

// The image on the clipboard as a bitmap and, when it has its code
// streams, as "GIF Image"; `owner` owns the clipboard afterwards. False
// when the clipboard cannot be opened.
bool CopyToClipboard(TGIFImage& image, HWND owner);
// The clipboard's GIF image (or bitmap) into `image`; false when the
// clipboard cannot be opened or holds neither.
bool PasteFromClipboard(TGIFImage& image);

}  // namespace kx
