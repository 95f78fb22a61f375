#include "mCommon.h"

#include <algorithm>
#include <array>
#include <string>

namespace tw {

namespace {

// The buffer holds 255 characters and the NUL; a longer message does not fit
// and the lookup fails with ERROR_INSUFFICIENT_BUFFER.
constexpr win::DWORD kMessageBufferSize = 256;

std::u16string decimal(std::int32_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

std::u16string mCommon::ApiErrorText(std::int32_t code) const {
    std::array<char16_t, kMessageBufferSize> buffer{};
    const win::DWORD written = system_.FormatMessageW(
        win::FORMAT_MESSAGE_FROM_SYSTEM | win::FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<win::DWORD>(code), 0, buffer.data(), kMessageBufferSize, nullptr);
    if (written == 0) {
        const auto lastError = static_cast<std::int32_t>(system_.GetLastError());
        return u"Error " + decimal(lastError) + u" in FormatMessage";
    }
    std::u16string text(buffer.data(), std::min<win::DWORD>(written, kMessageBufferSize));
    if (text.ends_with(u"\r\n"))
        text.resize(text.size() - 2);
    return text;
}

std::u16string mCommon::StatusErrorText(std::int32_t code) const {
    return LocString(u"Frm.Status_Error", u"Error %1. %2", {code, ApiErrorText(code)});
}

} // namespace tw
