// The system clipboard as UTF-16 text.
#pragma once

#include "Win32Windows.h"

#include <optional>
#include <string>

namespace tw::toolkit {

// The clipboard's text, or nothing when it holds none.
std::optional<std::u16string> ReadClipboardText(HWND owner);
bool WriteClipboardText(HWND owner, const std::u16string& text);

} // namespace tw::toolkit
