// The streamed table list: refused with a read error (leaving the tables as
// they were), or read so that writing and reading again gives the same tables.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "KvCmd.h"
#include "KvConst.h"

namespace {

kv::TKvStringTable g_library;

std::vector<uint64_t> SortedEntries(const kv::TKvCommandTable& table) {
    // Order is kept for tables of their own; a built-in table streams its
    // changes only, and those do not say where an entry was added back.
    std::vector<uint64_t> v;
    for (const kv::TKvCommandEntry& e : table.Entries()) v.push_back(uint64_t{e.KeySequence()} << 16 | e.Command);
    std::sort(v.begin(), v.end());
    return v;
}

bool Same(const kv::TKvCommandProcessor& a, const kv::TKvCommandProcessor& b) {
    if (a.TableCount() != b.TableCount()) return false;
    for (int i = 0; i < a.TableCount(); ++i) {
        const kv::TKvCommandTable &x = a.Table(i), &y = b.Table(i);
        if (x.TableName != y.TableName || x.Active != y.Active || x.EntryCount() != y.EntryCount()) return false;
        if (SortedEntries(x) != SortedEntries(y)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::ifstream file(std::string(VELUNOR_STRING_TABLE_DIR) + "/KVLIB3_STRINGS_ENGLISH.bin", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    g_library.Open(bytes.data(), bytes.size());
    kv::SetLibraryStrings(&g_library);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kv::TKvCommandProcessor processor;
    kv::TKvValueReader reader(data, size);
    try {
        processor.ReadTableList(reader);
    } catch (const kv::EReadError&) {
        if (!Same(processor, kv::TKvCommandProcessor())) std::abort();
        return 0;
    }
    kv::TKvValueWriter writer;
    processor.WriteTableList(writer);
    kv::TKvCommandProcessor again;
    kv::TKvValueReader second(writer.Bytes());
    again.ReadTableList(second);
    if (!Same(processor, again)) std::abort();
    return 0;
}
