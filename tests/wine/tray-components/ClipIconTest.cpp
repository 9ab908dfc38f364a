#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ClipIcon.h"
#include "IconFiles.h"
#include "LibraryErrors.h"
#include "Icons.h"

using namespace velfw;
using namespace icon_files;

namespace {

// A 16 x 16 16-colour icon: red on the left half, blue on the right; the top
// half transparent by its mask, with black colour bits so that the
// background shows unchanged. Rows are stored bottom-up.
constexpr size_t kImage = 22, kPalette = kImage + 40, kColour = kPalette + 64, kMask = kColour + 128;
Bytes PaintedIconFile() {
    Bytes file = IconFile({Image{16, 16, 4}});
    std::fill(file.begin() + kPalette, file.end(), 0);
    file[kPalette + 4 + 2] = 0xFF;  // entry 1: red (blue, green, red, 0)
    file[kPalette + 8 + 0] = 0xFF;  // entry 2: blue
    for (int row = 0; row < 8; ++row) {
        std::fill_n(file.begin() + kColour + 8 * row, 4, 0x11);
        std::fill_n(file.begin() + kColour + 8 * row + 4, 4, 0x22);
        std::fill_n(file.begin() + kMask + 4 * (row + 8), 4, 0xFF);
    }
    return file;
}

COLORREF PixelOf(HGDIOBJ bitmap, int x, int y) {
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    SelectedObject selected(dc.get(), bitmap);
    return ::GetPixel(dc.get(), x, y) & 0xFFFFFF;
}

BITMAP InfoOf(HGDIOBJ bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    return bm;
}

// A window to own the clipboard, and the format registered.
class ClipIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        kx::InitClipIconUnit();
        owner_ = ::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override {
        ::DestroyWindow(owner_);
        kx::DoneClipIconUnit();
    }

    // Puts raw bytes on the clipboard as a "Kx Icon".
    void PutBlock(const Bytes& bytes) {
        ASSERT_TRUE(::OpenClipboard(owner_));
        ::EmptyClipboard();
        HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        ASSERT_NE(block, nullptr);
        {
            const velfw::LockedGlobal at(block);
            ASSERT_TRUE(at);
            std::memcpy(at.get(), bytes.data(), bytes.size());
        }
        EXPECT_NE(::SetClipboardData(kx::IconClipboardFormat, block), nullptr);
        ::CloseClipboard();
    }

    HWND owner_ = nullptr;
};

}  // namespace

TEST_F(ClipIconTest, IconTravelsThroughTheClipboard) {
    char name[32] = {};
    ASSERT_NE(kx::IconClipboardFormat, 0u);
    ::GetClipboardFormatNameA(kx::IconClipboardFormat, name, sizeof name);
    EXPECT_STREQ(name, "Kx Icon");

    TIcon icon;
    icon.LoadFromBytes(PaintedIconFile());
    ASSERT_TRUE(kx::CopyIconToClipboard(icon, owner_));
    EXPECT_TRUE(kx::ClipboardHasIcon());
    TIcon pasted;
    ASSERT_TRUE(kx::PasteIconFromClipboard(pasted, owner_));
    EXPECT_EQ(pasted.Data(), icon.Data());

    // Another program's clipboard block, rounded up past the file's end.
    Bytes padded = PaintedIconFile();
    padded.resize(padded.size() + 10, 0xCC);
    PutBlock(padded);
    ASSERT_TRUE(kx::PasteIconFromClipboard(pasted, owner_));
    EXPECT_EQ(pasted.Data(), icon.Data());
}

TEST_F(ClipIconTest, BadClipboardBlocksAreRefused) {
    const Bytes good = PaintedIconFile();
    struct Case {
        const char* what;
        Bytes block;
    } cases[] = {
        {"shorter than the header", Bytes(good.begin(), good.begin() + 4)},
        {"directory cut short", Bytes(good.begin(), good.begin() + 15)},
        {"image cut short", Bytes(good.begin(), good.end() - 1)},
        {"size beyond the block", [&] { Bytes b = good; Set32(b, 6 + 8, 0x10000); return b; }()},
        {"image inside the directory", [&] { Bytes b = good; Set32(b, 6 + 12, 8); return b; }()},
        {"odd height", [&] { Bytes b = good; Set32(b, kImage + 8, 31); return b; }()},
        {"a cursor file", [&] { Bytes b = good; b[2] = 2; return b; }()},
    };
    TIcon icon;
    icon.LoadFromBytes(IconFile({Image{32, 32, 4}}));
    const Bytes kept = icon.Data();
    for (const auto& c : cases) {
        PutBlock(c.block);
        EXPECT_THROW(kx::PasteIconFromClipboard(icon, owner_), EInvalidGraphic) << c.what;
        EXPECT_EQ(icon.Data(), kept) << c.what;
    }
    ASSERT_TRUE(::OpenClipboard(owner_));
    ::EmptyClipboard();
    ::CloseClipboard();
    EXPECT_FALSE(kx::ClipboardHasIcon());
    EXPECT_FALSE(kx::PasteIconFromClipboard(icon, owner_));
}

TEST(ClipIcon, DisplayIconHasItsOwnSizeChosenForTheScreen) {
    int width = 0, height = 0;
    TIcon small;
    small.LoadFromBytes(IconFile({Image{16, 16, 4}}));
    UniqueIcon made(kx::MakeDisplayIcon(small));
    ASSERT_TRUE(made);
    kx::IconExtent(made.get(), width, height);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    // The 16-colour image is 16 pixels, the 256-colour one (count 0) 32.
    const Image sixteen{16, 16, 4}, rich{32, 32, 8, 0, 0, 0};
    WindowDc screen(nullptr);
    const int depth = ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES);
    struct Case {
        int depth;
        int sixteenFirst, richFirst;  // the size chosen in either order
    } cases[] = {{8, 16, 16}, {16, 32, 32}, {24, 32, 32}, {32, 32, 16}};
    bool probed = false;
    for (const auto& c : cases) {
        if (c.depth != depth) continue;
        probed = true;
        TIcon icon;
        icon.LoadFromBytes(IconFile({sixteen, rich}));
        made.reset(kx::MakeDisplayIcon(icon));
        kx::IconExtent(made.get(), width, height);
        EXPECT_EQ(width, c.sixteenFirst) << depth;
        EXPECT_EQ(height, c.sixteenFirst) << depth;
        icon.LoadFromBytes(IconFile({rich, sixteen}));
        made.reset(kx::MakeDisplayIcon(icon));
        kx::IconExtent(made.get(), width, height);
        EXPECT_EQ(width, c.richFirst) << depth;
    }
    EXPECT_TRUE(probed) << "screen of " << depth << " bits";

    kx::IconExtent(nullptr, width, height);
    EXPECT_EQ(width, ::GetSystemMetrics(SM_CXICON));
}

TEST(ClipIcon, SplitGivesColourAndMask) {
    Bytes file = PaintedIconFile();
    std::vector<uint8_t> image(file.begin() + kImage, file.end());
    UniqueGdiObject colour, mask;
    kx::SplitIconImage(image, colour, mask);
    EXPECT_EQ(image[8], 16);  // the header now describes the colour half
    const BITMAP c = InfoOf(colour.get()), m = InfoOf(mask.get());
    EXPECT_EQ(c.bmWidth, 16);
    EXPECT_EQ(c.bmHeight, 16);
    EXPECT_EQ(m.bmHeight, 16);
    EXPECT_EQ(m.bmBitsPixel, 1);
    EXPECT_EQ(PixelOf(colour.get(), 2, 12), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(colour.get(), 13, 12), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(colour.get(), 13, 3), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(mask.get(), 2, 3), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(mask.get(), 13, 12), RGB(0, 0, 0));

    // Refused before the height is halved, the outputs untouched.
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        size_t cut;
    } cases[] = {
        {"odd height", 8, 33, 0},
        {"negative height", 8, static_cast<uint32_t>(-32), 0},
        {"mask bits missing", 8, 32, 1},
        {"header size beyond the image", 0, 0x7FFFFFFF, 0},
    };
    for (const auto& k : cases) {
        std::vector<uint8_t> bad(file.begin() + kImage, file.end() - k.cut);
        Set32(bad, k.at, k.value);
        const std::vector<uint8_t> before = bad;
        UniqueGdiObject c2, m2;
        EXPECT_THROW(kx::SplitIconImage(bad, c2, m2), EInvalidGraphic) << k.what;
        EXPECT_EQ(bad, before) << k.what;
        EXPECT_FALSE(c2) << k.what;
    }
}

TEST(ClipIcon, LoadedIconDrawsThroughItsMask) {
    TMemoryStream stream(PaintedIconFile());
    stream.SetPosition(6);
    UniqueIcon icon = kx::LoadBestIconImage(stream, 1, 6);
    ASSERT_TRUE(icon);
    TDibBitmap target;
    ASSERT_TRUE(target.Create(16, 16, 32));
    target.Canvas().FillRect(RECT{0, 0, 16, 16}, clLime);
    ::DrawIconEx(target.Canvas().Handle(), 0, 0, icon.get(), 16, 16, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(target.Canvas().Pixel(2, 3), clLime);
    EXPECT_EQ(target.Canvas().Pixel(13, 7), clLime);
    EXPECT_EQ(target.Canvas().Pixel(2, 12), clRed);
    EXPECT_EQ(target.Canvas().Pixel(13, 12), clBlue);

    // A stream whose image lies beyond its end is refused, not read.
    Bytes lying = PaintedIconFile();
    Set32(lying, 6 + 8, uint32_t(lying.size()));
    TMemoryStream bad(lying);
    bad.SetPosition(6);
    EXPECT_THROW(kx::LoadBestIconImage(bad, 1, 6), EInvalidGraphic);
}
