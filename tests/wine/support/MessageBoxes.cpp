#include "MessageBoxes.h"

#include <gtest/gtest.h>

#include <vector>

#include "MessagePump.h"

namespace testing_support {

namespace {

bool OwnedBy(HWND wnd, const BoxOwner& owner) {
    DWORD pid = 0;
    const DWORD tid = ::GetWindowThreadProcessId(wnd, &pid);
    return owner.threadId ? tid == owner.threadId : pid == owner.processId;
}

struct BoxSearch {
    BoxOwner owner;
    HWND found;
};

BOOL CALLBACK FindBox(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<BoxSearch*>(lp);
    char cls[16] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !::IsWindowVisible(wnd) || !OwnedBy(wnd, s->owner)) return TRUE;
    s->found = wnd;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

std::string TextOf(HWND wnd) {
    char text[1024] = {};
    DWORD_PTR got = 0;
    ::SendMessageTimeoutA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
    return text;
}

// Waits without serving messages: for the closer's own thread, which has none.
template <typename F>
bool WaitUntil(F done, DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start >= ms) return false;
        ::Sleep(20);
    }
    return true;
}

// The box is filled in after its window exists.
std::string TextOnceFilledIn(HWND box) {
    std::string text;
    WaitUntil([&] { return !(text = MessageBoxText(box)).empty() || !::IsWindow(box); }, 5000);
    return text;
}

}  // namespace

HWND FindMessageBox(const BoxOwner& owner) {
    BoxSearch s{owner, nullptr};
    ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string MessageBoxText(HWND box) {
    std::vector<HWND> children;
    ::EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND w : children) {
        char cls[64] = {};
        ::GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0) continue;
        const std::string text = TextOf(w);
        if (!text.empty()) return text;
    }
    return "";
}

bool CloseMessageBox(HWND box, DWORD ms) {
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    // A box without an OK button ignores the command; its close box does not.
    if (WaitUntil([&] { return !::IsWindow(box); }, ms / 2)) return true;
    ::PostMessageA(box, WM_CLOSE, 0, 0);
    return WaitUntil([&] { return !::IsWindow(box); }, ms - ms / 2);
}

std::string ExpectMessageBox(const BoxOwner& owner, DWORD ms) {
    HWND box = nullptr;
    if (!PumpUntil([&] { return (box = FindMessageBox(owner)) != nullptr; }, ms)) {
        ADD_FAILURE() << "no message box appeared within " << ms << " ms";
        return "";
    }
    const std::string text = TextOnceFilledIn(box);
    if (!CloseMessageBox(box, 5000)) ADD_FAILURE() << "the message box \"" << text << "\" would not close";
    return text;
}

MessageBoxCloser::MessageBoxCloser(const BoxOwner& owner, DWORD waitMs, DWORD keepOpenMs)
    : owner_(owner), waitMs_(waitMs), keepOpenMs_(keepOpenMs) {
    thread_ = ::CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

MessageBoxCloser::~MessageBoxCloser() { Finish(); }

bool MessageBoxCloser::Finish() {
    if (thread_) {
        // Bounded by the thread's own waits.
        ::WaitForSingleObject(thread_, INFINITE);
        ::CloseHandle(thread_);
        thread_ = nullptr;
        if (!appeared_) ADD_FAILURE() << "no message box appeared within " << waitMs_ << " ms";
        else if (!closed_) ADD_FAILURE() << "the message box \"" << text_ << "\" would not close";
    }
    return closed_;
}

DWORD WINAPI MessageBoxCloser::Run(void* param) {
    auto* self = static_cast<MessageBoxCloser*>(param);
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox(self->owner_)) != nullptr; }, self->waitMs_)) return 0;
    self->appeared_ = true;
    ::Sleep(self->keepOpenMs_);
    self->text_ = TextOnceFilledIn(box);
    self->closed_ = CloseMessageBox(box, 5000);
    return 0;
}

}  // namespace testing_support
