// The English system message table of Windows 10, as FormatMessageW finds it
// with FORMAT_MESSAGE_FROM_SYSTEM. Network-management messages (2100 and up)
// live in netmsg.dll, not here.
#pragma once

#include <cstdint>
#include <string_view>

namespace tw::sim {

// The message with its final CR LF, or null when the table has none.
const char16_t* systemMessage(std::uint32_t code);

} // namespace tw::sim
