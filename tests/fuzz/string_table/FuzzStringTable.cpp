// A string table from arbitrary bytes: refused cleanly, or every lookup stays
// inside the bytes.
#include <cstdlib>

#include "KvSrMgrFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kv::TKvStringTable table;
    try {
        table.Open(data, size);
    } catch (const kv::ETpsStringResourceError&) {
        return 0;
    }
    // Every id in the directory, and the ids either side of it.
    for (int32_t i = 0; i < table.Count(); ++i) {
        const uint8_t* entry = data + 8 + 12 * static_cast<size_t>(i);
        const int32_t id = static_cast<int32_t>(entry[0] | entry[1] << 8 | entry[2] << 16 | uint32_t{entry[3]} << 24);
        for (int32_t probe : {id, id == INT32_MIN ? id : id - 1, id == INT32_MAX ? id : id + 1}) {
            std::u16string text;
            if (table.TryText(probe, text) && text.size() * 2 > size) std::abort();
            (void)table.StringById(probe);
        }
    }
    table.RaiseOnMissing = true;
    try {
        (void)table.StringById(INT32_MIN);
    } catch (const kv::ETpsStringResourceError&) {
    }
    return 0;
}
