// The arguments of LocString: numbers (in signed decimal form) and texts.
#pragma once

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace tw {

template <typename T>
concept LocInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> &&
                     !std::same_as<T, char8_t> && !std::same_as<T, char16_t> &&
                     !std::same_as<T, char32_t> && !std::same_as<T, wchar_t>;

class LocArg {
public:
    template <LocInteger T> LocArg(T number) {
        if constexpr (std::is_signed_v<T>)
            text_ = signedDecimal(number);
        else
            text_ = unsignedDecimal(number);
    }
    LocArg(std::u16string_view text) : text_(text) {}
    LocArg(const std::u16string& text) : text_(text) {}
    LocArg(const char16_t* text) : text_(text == nullptr ? u"" : text) {}

    const std::u16string& Text() const { return text_; }

private:
    static std::u16string signedDecimal(std::int64_t number);
    static std::u16string unsignedDecimal(std::uint64_t number);

    std::u16string text_;
};

// Fills the placeholders of a template from left to right: "%%" gives one "%",
// "%" with one digit d from 1 to args.size() gives the text of argument d, and
// anything else stays as it is. Inserted texts are never scanned again.
std::u16string FillPlaceholders(std::u16string_view text, std::span<const LocArg> args);

} // namespace tw
