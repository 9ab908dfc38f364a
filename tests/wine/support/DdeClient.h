// A DDE client window for the tests: it notes the answers it gets.
#pragma once

#include <windows.h>
#include <dde.h>

#include <cstring>
#include <string>
#include <vector>

#include "UtilityWindow.h"
#include "WinHandles.h"

namespace testing_support {

class DdeClient {
public:
    struct Ack {
        HWND server;
        LPARAM lParam;
    };

    DdeClient() = default;
    DdeClient(const DdeClient&) = delete;
    DdeClient& operator=(const DdeClient&) = delete;

    HWND Handle() const { return window_.Handle(); }
    std::vector<Ack> Acks;
    std::vector<HWND> Terminates;

    // Sends an initiate for the two names to `server` (the hidden window, or
    // every top-level window with HWND_BROADCAST).
    void Initiate(HWND server, const std::string& application, const std::string& topic) {
        ATOM a = ::GlobalAddAtomA(application.c_str());
        ATOM t = ::GlobalAddAtomA(topic.c_str());
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(server, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(Handle()), MAKELPARAM(a, t),
                              SMTO_ABORTIFHUNG, 2000, &result);
        ::GlobalDeleteAtom(a);
        ::GlobalDeleteAtom(t);
    }

    // Posts an execute request with `command` to `server`; the memory goes
    // back to the client with the answer.
    HGLOBAL Execute(HWND server, const std::string& command) {
        HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, command.size() + 1);
        {
            const velfw::LockedGlobal at(mem);
            if (at) memcpy(at.get(), command.c_str(), command.size() + 1);
        }
        ::PostMessageA(server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(Handle()),
                       ::PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(mem)));
        return mem;
    }

    // Status word and memory of an execute answer; frees the packed argument.
    static void UnpackExecuteAck(LPARAM lParam, UINT_PTR& status, UINT_PTR& memory) {
        ::UnpackDDElParam(WM_DDE_ACK, lParam, &status, &memory);
        ::FreeDDElParam(WM_DDE_ACK, lParam);
    }

private:
    bool Note(velfw::TMessage& m) {
        if (m.Msg == WM_DDE_ACK) Acks.push_back({reinterpret_cast<HWND>(m.WParam), m.LParam});
        else if (m.Msg == WM_DDE_TERMINATE) Terminates.push_back(reinterpret_cast<HWND>(m.WParam));
        else return false;
        m.Result = 0;
        return true;
    }

    velfw::TUtilityWindow window_{"VelunorTestDdeClient", velfw::TUtilityWindowKind::HiddenTopLevel,
                                  [this](velfw::TMessage& m) { return Note(m); }};
};

}  // namespace testing_support
