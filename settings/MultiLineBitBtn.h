// A bitmap button whose caption wraps at the button's width and breaks at
// every CR.
#pragma once

#include "Buttons.h"

namespace settings {

class TMultiLineBitBtn : public velfw::TBitBtn {
public:
    using velfw::TBitBtn::TBitBtn;

protected:
    void CreateParams(velfw::TCreateParams& params) override;
};

}  // namespace settings
