// UTF-16 text between the model (char16_t) and Windows (wchar_t): the same
// code units, so pointers are reinterpreted, never converted.
#pragma once

#include <cwchar>
#include <string>

namespace tw::toolkit::win32text {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

inline const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text) {
    return text == nullptr ? std::u16string() : FromWide(text, std::wcslen(text));
}

} // namespace tw::toolkit::win32text
