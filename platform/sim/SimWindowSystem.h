// The window system of a simulated computer: system colours and metrics, the
// keyboard-cue setting, icons, windows with their procedures (each non-null
// window handle is a window of this thread with the default procedure until
// SetWindowLongW replaces it), thread hooks fed by keyEvent and mouseMove,
// and the keyboard state.
#pragma once

#include "SimState.h"

#include "platform/IWindowSystem.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tw::sim {

class SimWindowSystem final : public win::IWindowSystem {
public:
    explicit SimWindowSystem(SimState& state) : state_(state) {}

    win::DWORD GetSysColor(int nIndex) override;
    int GetSystemMetrics(int nIndex) override;
    win::BOOL SystemParametersInfoW(win::UINT uiAction, win::UINT uiParam, win::PVOID pvParam,
                                    win::UINT fWinIni) override;
    win::HANDLE LoadImageW(win::HINSTANCE hInst, win::LPCWSTR name, win::UINT type, int cx, int cy,
                           win::UINT fuLoad) override;
    win::BOOL DestroyIcon(win::HICON hIcon) override;
    win::LRESULT SendMessageW(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                              win::LPARAM lParam) override;
    win::LONG_PTR SetWindowLongW(win::HWND hWnd, int nIndex, win::LONG_PTR dwNewLong) override;
    win::LRESULT CallWindowProcW(win::WNDPROC lpPrevWndFunc, win::HWND hWnd, win::UINT Msg,
                                 win::WPARAM wParam, win::LPARAM lParam) override;
    win::HHOOK SetWindowsHookExW(int idHook, win::HOOKPROC lpfn, win::HINSTANCE hmod,
                                 win::DWORD dwThreadId) override;
    win::BOOL UnhookWindowsHookEx(win::HHOOK hhk) override;
    win::LRESULT CallNextHookEx(win::HHOOK hhk, int nCode, win::WPARAM wParam,
                                win::LPARAM lParam) override;
    win::BOOL GetKeyboardState(win::PBYTE lpKeyState) override;
    win::DWORD GetCurrentThreadId() override;
    win::HMODULE GetModuleHandleW(win::LPCWSTR lpModuleName) override;

    // The procedure every window starts with. Called directly it does
    // nothing; through SendMessageW, CallWindowProcW or deliverMessage the
    // simulation runs the default handling (WM_SETICON, WM_UPDATEUISTATE).
    static win::LRESULT TW_CALLBACK DefaultWindowProc(win::HWND hWnd, win::UINT Msg,
                                                      win::WPARAM wParam, win::LPARAM lParam);

    // ---- Input and messages from outside the program -----------------------

    // A key of virtual key code `vk` goes down or up: the thread's keyboard
    // hooks see it (HC_ACTION, the key code, the keystroke flags) and the
    // keyboard state follows (down until it goes up).
    void keyEvent(win::BYTE vk, bool up);
    // The pointer moves to (x, y), screen pixels: the thread's mouse hooks see
    // WM_MOUSEMOVE with a MOUSEHOOKSTRUCT.
    void mouseMove(win::LONG x, win::LONG y);
    // A key or mouse button (VK_LBUTTON, VK_RBUTTON...) held down or
    // released, as GetKeyboardState reports it; no hook sees this.
    void setKeyDown(win::BYTE vk, bool down);
    // The window system sends a window a message of its own
    // (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED): the window's
    // current procedure gets it. Not in windowMessages().
    win::LRESULT deliverMessage(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                                win::LPARAM lParam);

    // ---- What the program did ------------------------------------------------

    // The messages the program sent with SendMessageW, in order, as
    // "WM_UPDATEUISTATE 0x30002 0" (name or number, wParam, lParam) and
    // "WM_SETICON ICON_SMALL 16x16" (the icon by its size, "0" for none).
    const std::vector<std::string>& windowMessages() const { return windowMessages_; }
    void clearWindowMessages() { windowMessages_.clear(); }
    // Icons loaded and not yet destroyed.
    std::size_t liveIcons() const { return icons_.size(); }
    // The icon a window holds, as "16x16" ("?" for a handle that is no icon
    // of this computer), or empty when it has none.
    std::string windowIcon(win::HWND hWnd, bool big) const;
    // The installed hooks, oldest first: "WH_KEYBOARD", "WH_MOUSE".
    std::vector<std::string> hooks() const;
    // A window's user-interface state flags (UISF_HIDEFOCUS, UISF_HIDEACCEL)
    // as WM_UPDATEUISTATE left them; a new window hides both unless the
    // keyboard-cue setting always shows them.
    win::WORD uiState(win::HWND hWnd) const;

private:
    struct Window {
        win::WNDPROC proc = nullptr;
        std::uintptr_t smallIcon = 0;
        std::uintptr_t bigIcon = 0;
        win::WORD uiState = 0;
    };
    struct Icon {
        int cx = 0;
        int cy = 0;
    };
    struct Hook {
        std::uintptr_t handle = 0;
        int kind = 0;
        win::HOOKPROC proc = nullptr;
    };
    // One dispatch of an input event to the hooks of one kind: the chain as it
    // stood, newest first, and the hook running now.
    struct HookCall {
        std::vector<win::HOOKPROC> chain;
        std::size_t position = 0;
    };
    Window& windowAt(win::HWND hWnd);
    win::LRESULT runWindowProc(win::WNDPROC proc, win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                               win::LPARAM lParam);
    win::LRESULT defaultWindowProc(win::HWND hWnd, win::UINT Msg, win::WPARAM wParam,
                                   win::LPARAM lParam);
    std::string describeMessage(win::UINT Msg, win::WPARAM wParam, win::LPARAM lParam) const;
    std::string iconText(std::uintptr_t icon) const;
    win::LRESULT dispatchHooks(int kind, win::WPARAM wParam, win::LPARAM lParam);
    win::LRESULT callHook(std::size_t call, std::size_t position, int code, win::WPARAM wParam,
                          win::LPARAM lParam);

    SimState& state_;
    std::map<std::uintptr_t, Window> windows_;
    std::map<std::uintptr_t, Icon> icons_;
    std::uintptr_t nextIcon_ = 0x10000;
    std::vector<Hook> hooks_; // in installation order
    std::uintptr_t nextHook_ = 0x20000;
    std::vector<HookCall> hookCalls_;
    std::array<win::BYTE, 256> keyState_{};
    win::POINT cursor_{0, 0};
    std::vector<std::string> windowMessages_;
};

} // namespace tw::sim
