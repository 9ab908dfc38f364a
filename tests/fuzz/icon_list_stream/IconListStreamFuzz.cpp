// Arbitrary bytes as an icon list's stream form: the reader hands over only
// entries that lie inside the data, and fails with the read error or not at all.
#include <cstdlib>

#include "IconListFormat.h"
#include "LibraryErrors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velfw::TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    size_t handed = 0;
    try {
        kx::ReadIconListStream(stream, [&](std::vector<uint8_t>&& icon) {
            handed += 4 + icon.size();
            if (handed > size) abort();
        });
    } catch (const velfw::EReadError&) {
    }
    return 0;
}
