#include "Win32Clipboard.h"

#include "Win32Convert.h"

#include <cstring>

namespace tw::toolkit {

std::optional<std::u16string> ReadClipboardText(HWND owner) {
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(owner))
        return std::nullopt;
    std::optional<std::u16string> text;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = win32text::FromWide(chars);
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

bool WriteClipboardText(HWND owner, const std::u16string& text) {
    if (!::OpenClipboard(owner))
        return false;
    bool done = false;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    if (const HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = ::GlobalLock(data)) {
            std::memcpy(target, text.c_str(), bytes);
            ::GlobalUnlock(data);
            done = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        }
        if (!done)
            ::GlobalFree(data); // the clipboard owns it only after a successful set
    }
    ::CloseClipboard();
    return done;
}

} // namespace tw::toolkit
