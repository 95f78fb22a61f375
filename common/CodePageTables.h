// The single-byte code page tables behind DecodeAnsi (internal to common/).
#pragma once

#include <span>

namespace tw::codepage {

struct SingleByteTable {
    unsigned codePage;
    const char16_t* upperHalf; // 128 characters for the bytes 0x80 to 0xFF
};

std::span<const SingleByteTable> SingleByteTables();

} // namespace tw::codepage
