// The library's string tables, read from the program's own RCDATA resources.
// The table format and its checks are in KvSrMgrFormat; this side finds the
// resource and hands its bytes over.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "KvSrMgrFormat.h"

namespace kv {

class TKvStringResource : public velfw::TObject {
public:
    // Raises ETpsStringResourceError when the table cannot be found, loaded
    // or checked.
    TKvStringResource(HINSTANCE instance, const std::string& resourceName);
    ~TKvStringResource() override { ReleaseResource(); }

    // Drops the present table, then opens `resourceName` when one is given.
    void SelectResource(HINSTANCE instance, const std::string& resourceName);
    void ReleaseResource() { table_.Close(); }

    // The text of `id`; empty when the table has none (unless RaiseOnMissing).
    std::string StringById(int32_t id) const { return table_.StringById(id); }
    bool RaiseOnMissing() const { return table_.RaiseOnMissing; }
    void SetRaiseOnMissing(bool raise) { table_.RaiseOnMissing = raise; }
    const TKvStringTable& Table() const { return table_; }

private:
    void OpenAndCheck(HINSTANCE instance, const std::string& resourceName);
    TKvStringTable table_;
};

// Unit start-up and shutdown, in this order. The first opens
// "KVSRMGR_STRINGS", the source of the reader's own messages, so that a
// failure to open the second, "KVLIB3_STRINGS_ENGLISH" (the source of
// LibraryString), is reported in its words.
void InitKvSrMgrUnit();
void DoneKvSrMgrUnit();
void InitKvConstUnit();
void DoneKvConstUnit();

}  // namespace kv
