// The slideshow form of the screen saver.
#pragma once

#include "Forms.h"

namespace saver {

class TForm1 : public vcl::TForm {
public:
    explicit TForm1(vcl::TComponent* owner);

protected:
    void CreateParams(vcl::TCreateParams& params) override;
    void WndProc(vcl::TMessage& message) override;

private:
    void FormCreate(vcl::TObject* sender);
    bool mouseSeen_ = false;
    POINT firstMouse_{};
};

}  // namespace saver
