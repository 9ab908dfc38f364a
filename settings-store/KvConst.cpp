#include "KvConst.h"

namespace kv {

namespace {
const TKvStringTable* g_libraryStrings = nullptr;
}

void SetLibraryStrings(const TKvStringTable* table) { g_libraryStrings = table; }
const TKvStringTable* LibraryStrings() { return g_libraryStrings; }

std::string LibraryString(uint16_t id) {
    std::string text = g_libraryStrings != nullptr ? g_libraryStrings->StringById(id) : std::string();
    return text.empty() ? "Unknown" : text;
}

}  // namespace kv
