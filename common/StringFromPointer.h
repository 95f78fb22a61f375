// Copies a NUL-terminated UTF-16 string that the platform owns (a name in a
// netapi32 buffer) into a text of the program's own.
#pragma once

#include <string>

namespace tw {

// The characters up to the first NUL (lstrlenW); empty for a null pointer.
std::u16string StringFromPointer(const char16_t* text);

} // namespace tw
