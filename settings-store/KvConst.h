// The library's strings, read by id from "KVLIB3_STRINGS_ENGLISH". No Windows here.
#pragma once

#include <cstdint>
#include <string>

#include "KvSrMgrFormat.h"

namespace kv {

// Ids of the library strings this product reads.
enum TKvLibraryStringId : uint16_t {
    SDuplicateCommand = 30169,
    STableNotFound = 30170,
    SNoControllerAssigned = 30172,
    SNoTimersAvailable = 30189,
    SLabelNotAttached = 30244,
    SGridTableName = 30266,
    SDefaultTableName = 30275,
    SWordStarTableName = 30276,
    SUnknownTableName = 30277,
    SYesLetter = 30368,
    SNoLetter = 30369,
    STrueLetter = 30370,
    SFalseLetter = 30371,
    SFirstCommandName = 33768,  // then one name per command code, in code order
};

// The table LibraryString reads (none until start-up sets it).
void SetLibraryStrings(const TKvStringTable* table);
const TKvStringTable* LibraryStrings();

// The library string `id`; "Unknown" when the table has none, so an
// exception's message is never empty.
std::string LibraryString(uint16_t id);

}  // namespace kv
