// The component library's units, in the order every program starts them
// before its main form exists: the string tables first (the reader's own,
// then the library's), then the units that read them.
#pragma once

#include "KvIntl.h"
#include "KvSrMgr.h"
#include "KvTGRes.h"
#include "KvUser.h"
#include "UnitStartup.h"

namespace kv {

inline constexpr velfw::TUnit kLibraryUnits[] = {
    {"KvSrMgr", InitKvSrMgrUnit, DoneKvSrMgrUnit},
    {"KvConst", InitKvConstUnit, DoneKvConstUnit},
    {"KvUser", InitKvUserUnit, DoneKvUserUnit},
    {"KvIntl", InitKvIntlUnit, DoneKvIntlUnit},
    {"KvTGRes", InitKvTGResUnit, DoneKvTGResUnit},
};

}  // namespace kv
