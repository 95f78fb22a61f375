// 8-bit text in a Windows ANSI code page, decoded to UTF-16: what
// MultiByteToWideChar does for the language file, without needing Windows.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tw {

constexpr unsigned CP_UTF8_ = 65001;

// True for the code pages DecodeAnsi knows: the single-byte Windows code pages
// 874 and 1250 to 1258, the OEM code pages 437 and 850, and UTF-8 (65001).
bool IsKnownCodePage(unsigned codePage);

// Decodes every byte, NUL included, one character per byte (UTF-8 aside).
// A byte the code page leaves undefined becomes U+FFFD. An unknown code page,
// such as one of the East Asian double-byte pages, is read as Windows-1252:
// the language file's keys are ASCII, so they still match, and only the
// values' non-ASCII characters come out wrong.
std::u16string DecodeAnsi(std::span<const std::uint8_t> bytes, unsigned codePage);

} // namespace tw
