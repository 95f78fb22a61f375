// Keyboard cues: the system setting, and the two thread hooks that ask the
// active window to show its focus rectangles and access-key underlines on
// keyboard use and to hide them again when the mouse moves away.
#include "mCommon.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tw {

namespace {

// How far (squared, in pixels) the pointer must move from where it last hid
// the cues before it hides them again: a little more than 31 pixels.
constexpr std::int64_t kCueHideDistanceSquared = 1000;

// A key counts as down when any of the upper four bits of its state is set.
constexpr win::BYTE kKeyDownBits = 0xF0;

} // namespace

void mCommon::ReadKeyboardCuesSetting() {
    if (!isWin2000OrLater_) {
        // Older systems have no such setting: they always show the cues.
        keyboardCuesAlwaysShown_ = true;
        return;
    }
    win::BOOL alwaysShown = 0;
    windowSystem_.SystemParametersInfoW(win::SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
    keyboardCuesAlwaysShown_ = alwaysShown != 0;
}

void mCommon::InstallCueHooks() {
    hookOwner_ = this;
    // Local to the user-interface thread: no module needed.
    const win::DWORD thread = windowSystem_.GetCurrentThreadId();
    if (keyboardHook_ == nullptr)
        keyboardHook_ =
            windowSystem_.SetWindowsHookExW(win::WH_KEYBOARD, &KeyboardCueHook, nullptr, thread);
    if (mouseHook_ == nullptr)
        mouseHook_ = windowSystem_.SetWindowsHookExW(win::WH_MOUSE, &MouseCueHook, nullptr, thread);
}

void mCommon::RemoveCueHooks() {
    if (keyboardHook_ != nullptr)
        windowSystem_.UnhookWindowsHookEx(keyboardHook_);
    keyboardHook_ = nullptr;
    if (mouseHook_ != nullptr)
        windowSystem_.UnhookWindowsHookEx(mouseHook_);
    mouseHook_ = nullptr;
    if (hookOwner_ == this)
        hookOwner_ = nullptr;
}

void mCommon::SetCueTarget(std::function<void(bool show)> cueActiveWindow) {
    cueActiveWindow_ = std::move(cueActiveWindow);
}

void mCommon::AskActiveWindow(bool show) {
    if (!cueActiveWindow_)
        return;
    // Whatever goes wrong in the window stays there: the next hook must run.
    try {
        cueActiveWindow_(show);
    } catch (...) {
    }
}

win::LRESULT TW_CALLBACK mCommon::KeyboardCueHook(int code, win::WPARAM wParam,
                                                  win::LPARAM lParam) {
    mCommon* self = hookOwner_;
    if (self == nullptr)
        return 0; // the hook outlived the program's object
    // Key down and key up alike: every key the thread processes shows the cues.
    if (code == win::HC_ACTION)
        self->AskActiveWindow(true);
    return self->windowSystem_.CallNextHookEx(self->keyboardHook_, code, wParam, lParam);
}

win::LRESULT TW_CALLBACK mCommon::MouseCueHook(int code, win::WPARAM wParam, win::LPARAM lParam) {
    mCommon* self = hookOwner_;
    if (self == nullptr)
        return 0;
    // Mouse buttons are keys here too: a drag never hides the cues.
    win::BYTE keys[256] = {};
    self->windowSystem_.GetKeyboardState(keys);
    const bool keyDown = std::any_of(std::begin(keys), std::end(keys),
                                     [](win::BYTE state) { return (state & kKeyDownBits) != 0; });
    if (!keyDown && code == win::HC_ACTION && lParam != 0) {
        const win::POINT at = reinterpret_cast<const win::MOUSEHOOKSTRUCT*>(lParam)->pt;
        const std::int64_t dx = std::int64_t{at.x} - self->lastMousePoint_.x;
        const std::int64_t dy = std::int64_t{at.y} - self->lastMousePoint_.y;
        // Small moves add up: the point stays until one of them goes far enough.
        if (dx * dx + dy * dy > kCueHideDistanceSquared) {
            self->AskActiveWindow(false);
            self->lastMousePoint_ = at;
        }
    }
    return self->windowSystem_.CallNextHookEx(self->mouseHook_, code, wParam, lParam);
}

} // namespace tw
