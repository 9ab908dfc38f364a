// Message boxes in tests: nobody sits in front of the screen, so a box a
// test expects is found, read and closed by the test with every wait
// bounded, and a box that never comes fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Whose boxes are looked for: every window of one process, or of one thread.
struct BoxOwner {
    static BoxOwner Process(DWORD id) { return {id, 0}; }
    static BoxOwner Thread(DWORD id) { return {0, id}; }
    DWORD processId;
    DWORD threadId;
};

// A visible top-level dialog window of `owner` (a message box is one), or null.
HWND FindMessageBox(const BoxOwner& owner);
// The box's message: the text of its static control that is not the icon.
// Asked with a message the system marshals, so the box may be anyone's.
std::string MessageBoxText(HWND box);
// Posts the box its OK command (and a close when OK is not one of its
// buttons); true once the box has gone within `ms`.
bool CloseMessageBox(HWND box, DWORD ms);

// Serves this thread's messages until a box of `owner` appears (at most
// `ms`), waits for its text, closes it and returns the text. A box that never
// appears, or cannot be closed, is a test failure; the result is then empty.
std::string ExpectMessageBox(const BoxOwner& owner, DWORD ms);

// For a box the test's own thread shows modally (the test is stuck in the
// box's loop): a thread of its own waits up to `waitMs` for the box, leaves
// it up for `keepOpenMs`, then reads and closes it. The destructor waits for
// that thread; a box that never appeared or would not close fails the test.
class MessageBoxCloser {
public:
    MessageBoxCloser(const BoxOwner& owner, DWORD waitMs, DWORD keepOpenMs = 0);
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    // Waits for the closing thread; true when it closed a box.
    bool Finish();
    const std::string& Text() const { return text_; }

private:
    static DWORD WINAPI Run(void* self);

    BoxOwner owner_;
    DWORD waitMs_;
    DWORD keepOpenMs_;
    HANDLE thread_ = nullptr;
    bool appeared_ = false;
    bool closed_ = false;
    std::string text_;
};

}  // namespace testing_support
