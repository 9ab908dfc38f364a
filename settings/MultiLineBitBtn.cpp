#include "MultiLineBitBtn.h"

namespace kavisu {

void TMultiLineBitBtn::CreateParams(velfw::TCreateParams& params) {
    velfw::TBitBtn::CreateParams(params);
    params.Style |= BS_MULTILINE;
}

}  // namespace kavisu
