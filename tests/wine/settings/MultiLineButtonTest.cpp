#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "Forms.h"
#include "MessagePump.h"
#include "MultiLineBitBtn.h"
#include "TestForms.h"

using namespace velfw;
using settings::TMultiLineBitBtn;
using testing_support::PumpFor;

namespace {

const std::string kTwoLines = "Click here to &add highlighted\r page to the active page list";

class ButtonForm : public TForm {
public:
    ButtonForm() : TForm(nullptr) {
        SetBounds(60, 60, 300, 200);
        multi = Place<TMultiLineBitBtn>(10, kTwoLines);
        plain = Place<TBitBtn>(80, "Plain");
        Show();
        PumpFor(50);
    }
    TMultiLineBitBtn* multi;
    TBitBtn* plain;

private:
    template <typename T>
    T* Place(int top, const std::string& caption) {
        auto* b = PlaceControl<T>(this, this, 10, top, 220, 49);
        b->SetCaption(caption);
        return b;
    }
};

// The rows of the button's window that hold text-coloured pixels, as seen on screen.
std::vector<int> TextRows(TWinControl* button) {
    button->Invalidate();
    button->Update();
    TBitmap shot(button->Width(), button->Height());
    WindowDc dc(button->Handle());
    ::BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc.get(), 0, 0, SRCCOPY);
    const COLORREF text = ColorToRGB(clBtnText);
    std::vector<int> rows;
    // Inside the focus rectangle only: it and the default frame are black as well.
    for (int y = 6; y < shot.Height() - 6; ++y)
        for (int x = 6; x < shot.Width() - 6; ++x)
            if (shot.Canvas().Pixel(x, y) == text) {
                rows.push_back(y);
                break;
            }
    return rows;
}

// Groups of adjacent rows: the lines of text.
int LineCount(const std::vector<int>& rows) {
    int lines = 0;
    for (size_t i = 0; i < rows.size(); ++i)
        if (i == 0 || rows[i] > rows[i - 1] + 1) ++lines;
    return lines;
}

class MultiLineButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::InitApplicationWithoutBoxes();
        form = new ButtonForm();
    }
    void TearDown() override {
        delete form;
        DoneFormsUnit();
    }
    ButtonForm* form = nullptr;
};

TEST_F(MultiLineButtonTest, CaptionBreaksAtItsCarriageReturn) {
    EXPECT_NE(::GetWindowLongA(form->multi->Handle(), GWL_STYLE) & BS_MULTILINE, 0);
    // Counted without a mnemonic, whose underline would count as a line.
    form->multi->SetCaption("Click here to add\r page to the list");
    EXPECT_EQ(LineCount(TextRows(form->multi)), 2);
    form->multi->SetCaption(kTwoLines);
    WindowDc dc(form->multi->Handle());
    TCanvas canvas(dc.get());
    canvas.Font().Assign(form->multi->Font());
    const int line = canvas.TextHeight("Xg");
    const RECT r = form->multi->CaptionRect(canvas, RECT{0, 0, 220, 49});
    EXPECT_EQ(r.bottom - r.top, 2 * line);
}

TEST_F(MultiLineButtonTest, ACaptionWiderThanTheButtonWraps) {
    form->multi->SetCaption("A caption without any break that is much wider than the button it is on");
    EXPECT_GE(LineCount(TextRows(form->multi)), 2);
}

TEST_F(MultiLineButtonTest, MnemonicAndModalResultWorkAsForAPushButton) {
    int clicks = 0;
    form->multi->OnClick = [&clicks](TObject*) { ++clicks; };
    form->multi->ModalResult = 1;  // mrOk
    EXPECT_NE(form->Perform(CM_DIALOGCHAR, 'a', 0), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ModalResult, 1);
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'q', 0), 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(MultiLineButtonTest, DisabledGlyphIsTheSecondImage) {
    TBitmap glyph(8, 4);
    glyph.Canvas().FillRect(RECT{0, 0, 8, 4}, clFuchsia);
    glyph.Canvas().FillRect(RECT{1, 0, 3, 3}, clRed);
    glyph.Canvas().FillRect(RECT{5, 0, 7, 3}, clBlue);
    form->multi->Glyph().Assign(glyph);
    form->multi->SetNumGlyphs(2);
    TBitmap face(220, 49);
    const RECT bounds{0, 0, 220, 49};
    auto count = [&face](COLORREF c) {
        int n = 0;
        for (int y = 0; y < 49; ++y)
            for (int x = 0; x < 220; ++x) n += face.Canvas().Pixel(x, y) == c;
        return n;
    };
    form->multi->DrawButton(face.Canvas(), bounds, 0);
    EXPECT_EQ(count(RGB(255, 0, 0)), 6);
    EXPECT_EQ(count(RGB(0, 0, 255)), 0);
    EXPECT_EQ(count(RGB(255, 0, 255)), 0) << "the glyph's bottom-left colour is transparent";
    form->multi->DrawButton(face.Canvas(), bounds, ODS_DISABLED);
    EXPECT_EQ(count(RGB(0, 0, 255)), 6);
    EXPECT_EQ(count(RGB(255, 0, 0)), 0);
}

}  // namespace
