// Status handling shared by the two halves of CNetUser (internal to account/).
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

namespace tw::netstatus {

// A success without a record to read cannot be used; it is reported as
// ERROR_INVALID_DATA ("The data is invalid.") and treated as a failure.
constexpr win::DWORD kNoRecord = 13;

// Hands a status to an optional out-parameter with the same 32 bits.
inline void Report(std::int32_t* out, win::DWORD status) {
    if (out != nullptr)
        *out = static_cast<std::int32_t>(status);
}

} // namespace tw::netstatus
