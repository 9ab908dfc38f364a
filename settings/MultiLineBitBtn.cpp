#include "MultiLineBitBtn.h"

namespace settings {

void TMultiLineBitBtn::CreateParams(velfw::TCreateParams& params) {
    velfw::TBitBtn::CreateParams(params);
    params.Style |= BS_MULTILINE;
}

}  // namespace settings
