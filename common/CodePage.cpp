#include "CodePage.h"

#include "CodePageTables.h"
#include "platform/TextConvert.h"

#include <string_view>

namespace tw {

namespace {

constexpr unsigned kFallbackCodePage = 1252;

const char16_t* findUpperHalf(unsigned codePage) {
    for (const auto& table : codepage::SingleByteTables()) {
        if (table.codePage == codePage)
            return table.upperHalf;
    }
    return nullptr;
}

} // namespace

bool IsKnownCodePage(unsigned codePage) {
    return codePage == CP_UTF8_ || findUpperHalf(codePage) != nullptr;
}

std::u16string DecodeAnsi(std::span<const std::uint8_t> bytes, unsigned codePage) {
    if (codePage == CP_UTF8_) {
        return FromUtf8(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    const char16_t* upper = findUpperHalf(codePage);
    if (upper == nullptr)
        upper = findUpperHalf(kFallbackCodePage);
    std::u16string text;
    text.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t b = bytes[i];
        text[i] = b < 0x80 ? static_cast<char16_t>(b) : upper[b - 0x80];
    }
    return text;
}

} // namespace tw
