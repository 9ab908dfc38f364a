#include "KvFiler.h"

namespace kv {

void TKvAbstractStore::Open() {
    if (openCount_++ == 0) OpenStorage();
}

void TKvAbstractStore::Close() {
    if (openCount_ <= 0) return;
    if (--openCount_ == 0) CloseStorage();
}

}  // namespace kv
