#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "MessagePump.h"

using namespace velfw;

namespace {

class PaintFailure : public ::testing::Test {
protected:
    void SetUp() override {
        InitFormsUnit();
        // Stands for the report's box, which serves messages while it is up:
        // the failing paint gets its chance to come back.
        Application->MessageBoxFunction = [this](HWND, const std::string& text, const std::string&, UINT) {
            reports.push_back(text);
            if (reports.size() < 5) testing_support::PumpFor(50);
            return IDOK;
        };
        form = new TForm(nullptr);
        form->SetBounds(30, 30, 200, 150);
        form->OnPaint = [this](TObject*) {
            ++paints;
            if (failing) throw Exception("Cannot draw");
        };
        form->Show();
    }
    void TearDown() override {
        delete form;
        DoneFormsUnit();
    }
    void Repaint() {
        form->Invalidate();
        form->Update();
        testing_support::PumpFor(20);
    }
    TForm* form = nullptr;
    bool failing = true;
    int paints = 0;
    std::vector<std::string> reports;
};

}  // namespace

TEST_F(PaintFailure, IsReportedOnceUntilAPaintSucceeds) {
    for (int i = 0; i < 4; ++i) Repaint();
    EXPECT_GE(paints, 4);
    EXPECT_EQ(reports, std::vector<std::string>{"Cannot draw."});
    // The region was made valid: nothing keeps asking for paints.
    EXPECT_FALSE(::GetUpdateRect(form->Handle(), nullptr, FALSE));
    EXPECT_EQ(form->Canvas().Handle(), nullptr) << "the canvas does not keep the ended paint's DC";

    failing = false;
    Repaint();
    failing = true;
    Repaint();
    Repaint();
    EXPECT_EQ(reports.size(), 2u) << "a new failure after a good paint is reported again, once";
}
