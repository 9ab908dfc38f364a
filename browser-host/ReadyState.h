// The document's ready state the browser reports once a page has loaded.
#pragma once

namespace browser {

constexpr long kReadyStateComplete = 4;  // READYSTATE_COMPLETE

}  // namespace browser
