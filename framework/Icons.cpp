#include "Icons.h"

#include <algorithm>

#include "ByteOrder.h"
#include "IconFileFormat.h"
#include "LibraryErrors.h"

namespace velfw {

namespace {

// The directory of a valid icon file (checked when the bytes were taken).
IconDirectory DirectoryOf(const std::vector<uint8_t>& data) {
    IconDirectory dir;
    ReadIconDirectory(data, dir);
    return dir;
}

int EntrySize(uint8_t stored) { return stored == 0 ? 256 : stored; }

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

// Bytes of resource `name` of `type`, or an empty span.
std::span<const uint8_t> ResourceBytes(HINSTANCE instance, const char* name, const char* type) {
    HRSRC info = ::FindResourceA(instance, name, type);
    HGLOBAL res = info ? ::LoadResource(instance, info) : nullptr;
    const void* p = res ? ::LockResource(res) : nullptr;
    if (!p) return {};
    return {static_cast<const uint8_t*>(p), ::SizeofResource(instance, info)};
}

}  // namespace

uint16_t ScreenIconColors() {
    WindowDc dc(nullptr);
    if (!dc) return 16;
    return ScreenColorValue(::GetDeviceCaps(dc.get(), PLANES), ::GetDeviceCaps(dc.get(), BITSPIXEL));
}

TIcon::TIcon() { SetTransparent(true); }

size_t TIcon::ChosenEntry() const { return ChooseIconEntry(DirectoryOf(data_).entries, ScreenIconColors()); }

int TIcon::Width() const {
    if (Empty()) return 0;
    return EntrySize(DirectoryOf(data_).entries[ChosenEntry()].width);
}

int TIcon::Height() const {
    if (Empty()) return 0;
    return EntrySize(DirectoryOf(data_).entries[ChosenEntry()].height);
}

HICON TIcon::Handle() const {
    if (handle_ || Empty()) return handle_.get();
    const IconDirectory dir = DirectoryOf(data_);
    const IconDirEntry& entry = dir.entries[ChosenEntry()];
    IconImageLayout layout;
    if (LocateIconImage(data_, entry, layout) != IconFileFault::None) return nullptr;
    // The image from its header to the end of its mask, all inside the file.
    const uint64_t bytes = layout.maskOffset + layout.maskBytes - layout.headerOffset;
    handle_.reset(::CreateIconFromResourceEx(const_cast<uint8_t*>(data_.data() + layout.headerOffset),
                                             static_cast<DWORD>(bytes), TRUE, 0x00030000, EntrySize(entry.width),
                                             EntrySize(entry.height), LR_DEFAULTCOLOR));
    return handle_.get();
}

void TIcon::Draw(TCanvas& canvas, const RECT& r) {
    if (HICON icon = Handle())
        ::DrawIconEx(canvas.Handle(), r.left, r.top, icon, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}

void TIcon::Assign(const TPersistent& source) {
    auto* icon = dynamic_cast<const TIcon*>(&source);
    if (!icon) AssignError(source);
    if (icon == this) return;
    SetData(icon->data_);
}

void TIcon::Clear() {
    if (Empty()) return;
    SetData({});
}

void TIcon::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Remaining()));
    stream.ReadBuffer(bytes.data(), bytes.size());
    LoadFromBytes(std::move(bytes));
}

void TIcon::LoadFromBytes(std::vector<uint8_t> bytes) {
    IconDirectory dir;
    if (ReadIconDirectory(bytes, dir) != IconFileFault::None || dir.header.type != 1)
        throw EInvalidGraphic("Icon image is not valid");
    SetData(std::move(bytes));
}

bool TIcon::LoadFromStream(std::span<const uint8_t> data) {
    try {
        LoadFromBytes(std::vector<uint8_t>(data.begin(), data.end()));
    } catch (const EInvalidGraphic&) {
        return false;  // the picture interface answers "not one" by the result
    }
    return true;
}

void TIcon::SaveToStream(TStream& stream) const { stream.WriteBuffer(data_.data(), data_.size()); }

void TIcon::SaveToStream(std::vector<uint8_t>& out) { out.insert(out.end(), data_.begin(), data_.end()); }

void TIcon::LoadFromResourceName(HINSTANCE instance, const char* name) {
    std::span<const uint8_t> group = ResourceBytes(instance, name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    if (group.size() < 6) throw EInvalidGraphic("Icon resource not found");
    const size_t count = ReadLe16(&group[4]);
    if (count == 0 || group.size() < 6 + count * sizeof(GroupIconEntry)) throw EInvalidGraphic("Icon image is not valid");
    std::vector<uint8_t> file;
    AppendLe16(file, 0);
    AppendLe16(file, 1);
    AppendLe16(file, static_cast<uint16_t>(count));
    std::vector<std::span<const uint8_t>> images;
    uint32_t offset = static_cast<uint32_t>(6 + 16 * count);
    for (size_t i = 0; i < count; ++i) {
        GroupIconEntry e;
        std::copy_n(group.data() + 6 + i * sizeof e, sizeof e, reinterpret_cast<uint8_t*>(&e));
        std::span<const uint8_t> image = ResourceBytes(instance, MAKEINTRESOURCEA(e.id), MAKEINTRESOURCEA(3) /* RT_ICON */);
        if (image.empty()) throw EInvalidGraphic("Icon image is not valid");
        file.insert(file.end(), {e.width, e.height, e.colorCount, e.reserved});
        AppendLe16(file, e.planes);
        AppendLe16(file, e.bitCount);
        AppendLe32(file, static_cast<uint32_t>(image.size()));
        AppendLe32(file, offset);
        offset += static_cast<uint32_t>(image.size());
        images.push_back(image);
    }
    for (auto image : images) file.insert(file.end(), image.begin(), image.end());
    LoadFromBytes(std::move(file));
}

void TIcon::SetData(std::vector<uint8_t> bytes) {
    data_ = std::move(bytes);
    handle_.reset();
    Changed();
}

}  // namespace velfw
