// The window system: system colours and metrics, the keyboard-cue setting,
// icons, window procedures and their messages, thread hooks and the keyboard
// state.
#include "SimWindowSystem.h"

#include <algorithm>
#include <cstdio>

namespace tw::sim {

using namespace win;

namespace {

constexpr BOOL kFalse = 0;
constexpr BOOL kTrue = 1;
constexpr DWORD kThreadId = 0x1A2C;
// Where a 32-bit executable is loaded, and so the handle of its module.
constexpr std::uintptr_t kModule = 0x400000;

std::string hex(std::uintmax_t value) {
    if (value == 0)
        return "0";
    char text[24];
    std::snprintf(text, sizeof text, "0x%jX", value);
    return text;
}

const char* messageName(UINT message) {
    switch (message) {
    case WM_SYSCOLORCHANGE:
        return "WM_SYSCOLORCHANGE";
    case WM_SETTINGCHANGE:
        return "WM_SETTINGCHANGE";
    case WM_SETICON:
        return "WM_SETICON";
    case WM_UPDATEUISTATE:
        return "WM_UPDATEUISTATE";
    case WM_THEMECHANGED:
        return "WM_THEMECHANGED";
    default:
        return nullptr;
    }
}

std::uintptr_t handleValue(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

} // namespace

// ---- Colours, metrics, settings ---------------------------------------------

DWORD SimWindowSystem::GetSysColor(int nIndex) {
    const auto& colors = state_.machine.system.sysColors;
    return nIndex >= 0 && static_cast<std::size_t>(nIndex) < colors.size()
               ? colors[static_cast<std::size_t>(nIndex)]
               : 0;
}

int SimWindowSystem::GetSystemMetrics(int nIndex) {
    const SystemInfo& system = state_.machine.system;
    switch (nIndex) {
    case SM_CXSCREEN:
        return 1920;
    case SM_CYSCREEN:
        return 1080;
    case SM_CXICON:
    case SM_CYICON:
        return static_cast<int>(system.largeIconSize);
    case SM_CXSMICON:
    case SM_CYSMICON:
        return static_cast<int>(system.smallIconSize);
    default:
        return 0;
    }
}

BOOL SimWindowSystem::SystemParametersInfoW(UINT uiAction, UINT /*uiParam*/, PVOID pvParam,
                                            UINT /*fWinIni*/) {
    if (state_.windowCallFails("SystemParametersInfoW"))
        return kFalse;
    if (uiAction != SPI_GETKEYBOARDCUES) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return kFalse;
    }
    if (pvParam == nullptr) {
        state_.lastError = ERROR_NOACCESS;
        return kFalse;
    }
    *static_cast<BOOL*>(pvParam) = state_.machine.system.keyboardCues ? kTrue : kFalse;
    return kTrue;
}

// ---- Icons --------------------------------------------------------------------

HANDLE SimWindowSystem::LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy,
                                   UINT fuLoad) {
    if (state_.windowCallFails("LoadImageW"))
        return nullptr;
    // The program's own module holds one icon group, number 1.
    if (handleValue(hInst) != kModule || type != IMAGE_ICON) {
        state_.lastError = ERROR_RESOURCE_TYPE_NOT_FOUND;
        return nullptr;
    }
    if (name != MAKEINTRESOURCEW_(1)) {
        state_.lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return nullptr;
    }
    // Size 0: the system size with LR_DEFAULTSIZE, else the group's first image (32 pixels).
    const int defaultSize = (fuLoad & LR_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : 32;
    Icon icon{cx > 0 ? cx : defaultSize, cy > 0 ? cy : defaultSize};
    std::uintptr_t handle = nextIcon_;
    nextIcon_ += 4;
    icons_[handle] = icon;
    return reinterpret_cast<HANDLE>(handle);
}

BOOL SimWindowSystem::DestroyIcon(HICON hIcon) {
    if (icons_.erase(handleValue(hIcon)) == 0) {
        state_.lastError = ERROR_INVALID_CURSOR_HANDLE;
        return kFalse;
    }
    return kTrue;
}

std::string SimWindowSystem::iconText(std::uintptr_t icon) const {
    if (icon == 0)
        return "0";
    auto it = icons_.find(icon);
    if (it == icons_.end())
        return "?";
    return std::to_string(it->second.cx) + "x" + std::to_string(it->second.cy);
}

std::string SimWindowSystem::windowIcon(HWND hWnd, bool big) const {
    auto it = windows_.find(handleValue(hWnd));
    if (it == windows_.end())
        return {};
    std::uintptr_t icon = big ? it->second.bigIcon : it->second.smallIcon;
    return icon == 0 ? std::string() : iconText(icon);
}

// ---- Windows and their procedures ---------------------------------------------

LRESULT TW_CALLBACK SimWindowSystem::DefaultWindowProc(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

SimWindowSystem::Window& SimWindowSystem::windowAt(HWND hWnd) {
    auto [it, created] = windows_.try_emplace(handleValue(hWnd));
    if (created) {
        it->second.proc = &DefaultWindowProc;
        it->second.uiState =
            state_.machine.system.keyboardCues ? 0 : UISF_HIDEFOCUS | UISF_HIDEACCEL;
    }
    return it->second;
}

WORD SimWindowSystem::uiState(HWND hWnd) const {
    auto it = windows_.find(handleValue(hWnd));
    if (it != windows_.end())
        return it->second.uiState;
    return state_.machine.system.keyboardCues ? 0 : UISF_HIDEFOCUS | UISF_HIDEACCEL;
}

LRESULT SimWindowSystem::runWindowProc(WNDPROC proc, HWND hWnd, UINT Msg, WPARAM wParam,
                                       LPARAM lParam) {
    if (proc == &DefaultWindowProc)
        return defaultWindowProc(hWnd, Msg, wParam, lParam);
    return proc != nullptr ? proc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT SimWindowSystem::defaultWindowProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == nullptr)
        return 0;
    Window& window = windowAt(hWnd);
    switch (Msg) {
    case WM_SETICON: {
        if (wParam != ICON_SMALL && wParam != ICON_BIG)
            return 0;
        std::uintptr_t& slot = wParam == ICON_SMALL ? window.smallIcon : window.bigIcon;
        const std::uintptr_t previous = slot;
        slot = static_cast<std::uintptr_t>(lParam);
        return static_cast<LRESULT>(previous);
    }
    case WM_UPDATEUISTATE: {
        const WORD action = static_cast<WORD>(wParam & 0xFFFF);
        const WORD flags = static_cast<WORD>((wParam >> 16) & (UISF_HIDEFOCUS | UISF_HIDEACCEL));
        if (action == UIS_SET)
            window.uiState = static_cast<WORD>(window.uiState | flags);
        else if (action == UIS_CLEAR)
            window.uiState = static_cast<WORD>(window.uiState & ~flags);
        return 0;
    }
    default:
        return 0;
    }
}

std::string SimWindowSystem::describeMessage(UINT Msg, WPARAM wParam, LPARAM lParam) const {
    const char* name = messageName(Msg);
    std::string text = name != nullptr ? name : hex(Msg);
    if (Msg == WM_SETICON) {
        text += wParam == ICON_SMALL    ? " ICON_SMALL"
                : wParam == ICON_BIG    ? " ICON_BIG"
                : wParam == ICON_SMALL2 ? " ICON_SMALL2"
                                        : " " + hex(wParam);
        return text + " " + iconText(static_cast<std::uintptr_t>(lParam));
    }
    return text + " " + hex(wParam) + " " + hex(static_cast<ULONG_PTR>(lParam));
}

LRESULT SimWindowSystem::SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    windowMessages_.push_back(describeMessage(Msg, wParam, lParam));
    if (hWnd == nullptr) {
        state_.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return runWindowProc(windowAt(hWnd).proc, hWnd, Msg, wParam, lParam);
}

LRESULT SimWindowSystem::deliverMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == nullptr)
        return 0;
    return runWindowProc(windowAt(hWnd).proc, hWnd, Msg, wParam, lParam);
}

LONG_PTR SimWindowSystem::SetWindowLongW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    if (state_.windowCallFails("SetWindowLongW"))
        return 0;
    if (hWnd == nullptr) {
        state_.lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    if (nIndex != GWL_WNDPROC) {
        state_.lastError = ERROR_INVALID_INDEX;
        return 0;
    }
    if (dwNewLong == 0) {
        state_.lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    Window& window = windowAt(hWnd);
    const WNDPROC previous = window.proc;
    window.proc = reinterpret_cast<WNDPROC>(dwNewLong);
    return reinterpret_cast<LONG_PTR>(previous);
}

LRESULT SimWindowSystem::CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                                         LPARAM lParam) {
    return runWindowProc(lpPrevWndFunc, hWnd, Msg, wParam, lParam);
}

// ---- Hooks and input ------------------------------------------------------------

HHOOK SimWindowSystem::SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE hmod,
                                         DWORD dwThreadId) {
    if (state_.windowCallFails("SetWindowsHookExW"))
        return nullptr;
    if (idHook != WH_KEYBOARD && idHook != WH_MOUSE) {
        state_.lastError = ERROR_INVALID_HOOK_FILTER; // the simulation has no other hooks
        return nullptr;
    }
    if (lpfn == nullptr) {
        state_.lastError = ERROR_INVALID_FILTER_PROC;
        return nullptr;
    }
    if (dwThreadId == 0 && hmod == nullptr) {
        state_.lastError = ERROR_HOOK_NEEDS_HMOD; // a global hook lives in a module
        return nullptr;
    }
    if (dwThreadId != 0 && dwThreadId != kThreadId) {
        state_.lastError = ERROR_INVALID_PARAMETER; // the program has one thread
        return nullptr;
    }
    Hook hook{nextHook_, idHook, lpfn};
    nextHook_ += 4;
    hooks_.push_back(hook);
    return reinterpret_cast<HHOOK>(hook.handle);
}

BOOL SimWindowSystem::UnhookWindowsHookEx(HHOOK hhk) {
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it) {
        if (it->handle == handleValue(hhk)) {
            hooks_.erase(it);
            return kTrue;
        }
    }
    state_.lastError = ERROR_INVALID_HOOK_HANDLE;
    return kFalse;
}

LRESULT SimWindowSystem::callHook(std::size_t call, std::size_t position, int code, WPARAM wParam,
                                  LPARAM lParam) {
    if (position >= hookCalls_[call].chain.size())
        return 0;
    hookCalls_[call].position = position;
    const HOOKPROC proc = hookCalls_[call].chain[position];
    return proc(code, wParam, lParam);
}

LRESULT SimWindowSystem::CallNextHookEx(HHOOK /*hhk*/, int nCode, WPARAM wParam, LPARAM lParam) {
    // As on Windows NT, the hook that runs now is known without its handle.
    if (hookCalls_.empty())
        return 0;
    const std::size_t call = hookCalls_.size() - 1;
    const std::size_t current = hookCalls_[call].position;
    const LRESULT result = callHook(call, current + 1, nCode, wParam, lParam);
    hookCalls_[call].position = current;
    return result;
}

LRESULT SimWindowSystem::dispatchHooks(int kind, WPARAM wParam, LPARAM lParam) {
    HookCall call;
    for (auto it = hooks_.rbegin(); it != hooks_.rend(); ++it) {
        if (it->kind == kind)
            call.chain.push_back(it->proc);
    }
    if (call.chain.empty())
        return 0;
    hookCalls_.push_back(std::move(call));
    const LRESULT result = callHook(hookCalls_.size() - 1, 0, HC_ACTION, wParam, lParam);
    hookCalls_.pop_back();
    return result;
}

std::vector<std::string> SimWindowSystem::hooks() const {
    std::vector<std::string> kinds;
    for (const Hook& hook : hooks_)
        kinds.push_back(hook.kind == WH_KEYBOARD ? "WH_KEYBOARD" : "WH_MOUSE");
    return kinds;
}

void SimWindowSystem::keyEvent(BYTE vk, bool up) {
    const bool wasDown = (keyState_[vk] & 0x80) != 0;
    keyState_[vk] = up ? 0 : 0x80;
    // Repeat count 1; bit 30 the previous state, bit 31 set while released.
    const DWORD flags = 1u | (wasDown ? 1u << 30 : 0u) | (up ? 1u << 31 : 0u);
    dispatchHooks(WH_KEYBOARD, vk, static_cast<LPARAM>(flags));
}

void SimWindowSystem::mouseMove(LONG x, LONG y) {
    cursor_ = POINT{x, y};
    MOUSEHOOKSTRUCT info{cursor_, nullptr, HTCLIENT, 0};
    if (!windows_.empty())
        info.hwnd = reinterpret_cast<HWND>(windows_.begin()->first);
    dispatchHooks(WH_MOUSE, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&info));
}

void SimWindowSystem::setKeyDown(BYTE vk, bool down) {
    keyState_[vk] = down ? 0x80 : 0;
}

BOOL SimWindowSystem::GetKeyboardState(PBYTE lpKeyState) {
    if (state_.windowCallFails("GetKeyboardState"))
        return kFalse;
    if (lpKeyState == nullptr) {
        state_.lastError = ERROR_NOACCESS;
        return kFalse;
    }
    std::copy(keyState_.begin(), keyState_.end(), lpKeyState);
    return kTrue;
}

DWORD SimWindowSystem::GetCurrentThreadId() {
    return kThreadId;
}

HMODULE SimWindowSystem::GetModuleHandleW(LPCWSTR lpModuleName) {
    if (lpModuleName != nullptr) {
        state_.lastError = ERROR_MOD_NOT_FOUND; // only the executable itself is known
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(kModule);
}

} // namespace tw::sim
