// driver_test_form [empty]: two pages of controls. Leaving the page "Lists" with an
// empty list is refused with a message box; "&Add" moves the typed text
// into the list; "&Quit" asks "Quit now?" and ends on Yes. The label
// "Last: ..." names the last thing that happened.
#include <windows.h>

#include <string>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

using namespace velfw;

namespace {

template <typename T>
T* Place(TComponent* owner, TWinControl* parent, int left, int top, int width, int height, const char* caption) {
    auto* control = PlaceControl<T>(owner, parent, left, top, width, height);
    if (caption) control->SetCaption(caption);
    return control;
}

class TDriverForm : public TForm {
public:
    explicit TDriverForm(TComponent* owner) : TForm(owner) {
        SetCaption("Driver Test Form");
        SetBounds(40, 40, 420, 300);
        pages = Place<TPageControl>(this, this, 0, 0, 400, 260, nullptr);
        auto* lists = Place<TTabSheet>(this, pages, 0, 0, 0, 0, "Lists");
        auto* options = Place<TTabSheet>(this, pages, 0, 0, 0, 0, "Options");
        list = Place<TListBox>(this, lists, 8, 8, 200, 100, nullptr);
        if (std::string(::GetCommandLineA()).find(" empty") == std::string::npos) {
            list->Items().Add("first");
            list->Items().Add("second");
        }
        edit = Place<TEdit>(this, lists, 8, 120, 200, 21, "http://");
        auto* add = Place<TButton>(this, lists, 220, 120, 80, 24, "&Add");
        add->OnClick = [this](TObject*) {
            list->Items().Add(edit->GetText());
            edit->SetText("http://");
            Happened("added");
        };
        last = Place<TLabel>(this, lists, 8, 160, 200, 17, "Last: nothing");
        last->Font().SetColor(clNavy);
        check = Place<TCheckBox>(this, options, 8, 8, 150, 20, "Turn off scrolling ");
        for (int i = 0; i < 3; ++i) {
            static const char* const captions[] = {"One Window", "Two Window", "Three Window"};
            radios[i] = Place<TRadioButton>(this, options, 8, 40 + 24 * i, 150, 20, captions[i]);
            radios[i]->OnClick = [this, i](TObject*) { Happened(captions[i]); };
        }
        radios[0]->SetChecked(true);
        auto* quit = Place<TButton>(this, options, 220, 8, 80, 24, "&Quit");
        quit->OnClick = [](TObject*) {
            if (Application->MessageBox("Quit now?", "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES)
                Application->Terminate();
        };
        pages->OnChanging = [this](TObject*, bool& allow) {
            if (pages->ActivePageIndex() == 0 && list->Count() == 0) {
                Application->MessageBox("The list is empty.", Application->Title(), MB_OK);
                allow = false;
            }
        };
        pages->OnChange = [this](TObject*) { Happened("page " + pages->ActivePage()->Caption()); };
    }

private:
    void Happened(const std::string& what) { last->SetCaption("Last: " + what); }
    TPageControl* pages;
    TListBox* list;
    TEdit* edit;
    TLabel* last;
    TCheckBox* check;
    TRadioButton* radios[3] = {};
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitFormsUnit();
    Application->Initialize();
    Application->SetTitle("Driver Test");
    Application->CreateForm<TDriverForm>()->Show();
    Application->Run();
    DoneFormsUnit();
    return 0;
}
