// A DDE client window for the tests: it notes the answers it gets.
#pragma once

#include <windows.h>
#include <dde.h>

#include <cstring>
#include <string>
#include <vector>

namespace testing_support {

class DdeClient {
public:
    struct Ack {
        HWND server;
        LPARAM lParam;
    };

    DdeClient() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VelunorTestDdeClient";
        ::RegisterClassA(&wc);
        wnd_ = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance,
                                 nullptr);
        ::SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;
    ~DdeClient() { ::DestroyWindow(wnd_); }

    HWND Handle() const { return wnd_; }
    std::vector<Ack> Acks;
    std::vector<HWND> Terminates;

    // Sends an initiate for the two names to `server` (the hidden window, or
    // every top-level window with HWND_BROADCAST).
    void Initiate(HWND server, const std::string& application, const std::string& topic) {
        ATOM a = ::GlobalAddAtomA(application.c_str());
        ATOM t = ::GlobalAddAtomA(topic.c_str());
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(server, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(wnd_), MAKELPARAM(a, t),
                              SMTO_ABORTIFHUNG, 2000, &result);
        ::GlobalDeleteAtom(a);
        ::GlobalDeleteAtom(t);
    }

    // Posts an execute request with `command` to `server`; the memory goes
    // back to the client with the answer.
    HGLOBAL Execute(HWND server, const std::string& command) {
        HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, command.size() + 1);
        char* p = static_cast<char*>(::GlobalLock(mem));
        memcpy(p, command.c_str(), command.size() + 1);
        ::GlobalUnlock(mem);
        ::PostMessageA(server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(wnd_),
                       ::PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(mem)));
        return mem;
    }

    // Status word and memory of an execute answer; frees the packed argument.
    static void UnpackExecuteAck(LPARAM lParam, UINT_PTR& status, UINT_PTR& memory) {
        ::UnpackDDElParam(WM_DDE_ACK, lParam, &status, &memory);
        ::FreeDDElParam(WM_DDE_ACK, lParam);
    }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<DdeClient*>(::GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (self && msg == WM_DDE_ACK) {
            self->Acks.push_back({reinterpret_cast<HWND>(wParam), lParam});
            return 0;
        }
        if (self && msg == WM_DDE_TERMINATE) {
            self->Terminates.push_back(reinterpret_cast<HWND>(wParam));
            return 0;
        }
        return ::DefWindowProcA(wnd, msg, wParam, lParam);
    }

    HWND wnd_ = nullptr;
};

}  // namespace testing_support
