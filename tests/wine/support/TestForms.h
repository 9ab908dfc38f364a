// Forms and application set-up shared by the Windows tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "ScopedSeam.h"

namespace testing_support {

// A borderless form whose client area is one child control, the way the
// saver's panes hold their browsers.
class PanelForm : public velfw::TForm {
public:
    PanelForm(int width, int height) : velfw::TForm(nullptr) {
        BorderStyle = velfw::TFormBorderStyle::bsNone;
        SetBounds(0, 0, width, height);
        panel = new velfw::TWinControl(this);
        panel->SetParent(this);
        panel->SetAlign(velfw::TAlign::alClient);
        Show();
    }
    velfw::TWinControl* panel;
};

// The application object, with message boxes turned into test failures
// (nobody is there to close them).
inline void InitApplicationWithoutBoxes() {
    velfw::InitFormsUnit();
    velfw::Application->MessageBoxFunction = [](HWND, const std::string& text, const std::string&, UINT) {
        ADD_FAILURE() << "message box: " << text;
        return IDOK;
    };
}

// The application's message boxes recorded instead of shown while the object
// lives; starts the forms unit when no test has yet.
class RecordedBoxes {
public:
    RecordedBoxes()
        : seam_((velfw::InitFormsUnit(), velfw::Application->MessageBoxFunction),
                [this](HWND, const std::string& text, const std::string&, UINT) {
                    texts.push_back(text);
                    return IDOK;
                }) {}
    std::vector<std::string> texts;

private:
    ScopedSeam<velfw::TMessageBoxFunction> seam_;
};

// The reports of the application's exception handler recorded instead of
// shown while the object lives; starts the forms unit when no test has yet.
class ReportedFailures {
public:
    ReportedFailures()
        : seam_((velfw::InitFormsUnit(), velfw::Application->OnException),
                [this](velfw::TObject*, const std::exception& e) { messages.push_back(e.what()); }) {}
    std::vector<std::string> messages;

private:
    ScopedSeam<velfw::TExceptionEvent> seam_;
};

}  // namespace testing_support
