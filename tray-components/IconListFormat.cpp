#include "IconListFormat.h"

#include "LibraryErrors.h"

namespace kx {

void ReadIconListStream(velfw::TStream& stream, const std::function<void(std::vector<uint8_t>&& icon)>& add) {
    const int32_t count = stream.ReadInt32();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t size = stream.ReadInt32();
        std::vector<uint8_t> icon;
        if (size > 0) {
            if (static_cast<uint64_t>(size) > stream.Remaining()) throw velfw::EReadError();
            icon.resize(static_cast<size_t>(size));
            stream.ReadBuffer(icon.data(), icon.size());
        }
        add(std::move(icon));
    }
}

void WriteIconListEntry(velfw::TStream& stream, std::span<const uint8_t> icon) {
    stream.WriteInt32(static_cast<int32_t>(icon.size()));
    stream.WriteBuffer(icon.data(), icon.size());
}

}  // namespace kx
