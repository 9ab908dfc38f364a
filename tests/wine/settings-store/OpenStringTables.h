// The two string tables opened from the test program's resources for the
// life of a fixture, as a program's start-up opens them.
#pragma once

#include "KvSrMgr.h"

class OpenStringTables {
public:
    OpenStringTables() {
        kv::InitKvSrMgrUnit();
        kv::InitKvConstUnit();
    }
    ~OpenStringTables() {
        kv::DoneKvConstUnit();
        kv::DoneKvSrMgrUnit();
    }
    OpenStringTables(const OpenStringTables&) = delete;
    OpenStringTables& operator=(const OpenStringTables&) = delete;
};
