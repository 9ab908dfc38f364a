// Rules of dialog keys and of command ids: no Windows needed.
#pragma once

#include <set>
#include <string>

namespace velfw {

// True when `caption` marks `key` as its mnemonic ("&Save" for s or S); "&&"
// is a literal ampersand and marks nothing.
bool IsAccel(char key, const std::string& caption);

// Index of the next item of a cycle of `count` items after `current` (before
// it when going backwards), wrapping round; from outside the cycle (-1) the
// first or the last. -1 when the cycle is empty.
int NextTabIndex(int count, int current, bool forward);

// The application window's title before the program sets one: the program
// file's name without its folder, cut at its first dot, every character after
// the first in lower case ("C:\\x\\KAVIst.exe" gives "Kavist").
std::string DefaultApplicationTitle(const std::string& programPath);

// Numbers handed out from a fixed range and given back when their owner
// goes; the lowest free one first, so the range is never walked off.
class TIdPool {
public:
    TIdPool(unsigned first, unsigned last) : first_(first), last_(last) {}
    // 0 when every number of the range is in use.
    unsigned Allocate();
    void Release(unsigned id);
    bool InUse(unsigned id) const { return used_.count(id) != 0; }
    size_t Count() const { return used_.size(); }

private:
    unsigned first_, last_;
    std::set<unsigned> used_;
};

}  // namespace velfw
