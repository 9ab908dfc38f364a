// The text form of a command table: refused with a read error, or read so
// that saving and reading again gives the same table.
#include <cstdlib>
#include <string>

#include "KvCmd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kv::TKvCommandTable table;
    try {
        table.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const kv::EReadError&) {
        return 0;
    }
    kv::TKvCommandTable again;
    again.LoadFromText(table.SaveToText());
    if (again.TableName != table.TableName || again.Entries() != table.Entries()) std::abort();
    return 0;
}
