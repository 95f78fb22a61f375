// The one error the program raises. Platform failures are status codes; only
// the registry write and the unsigned operations raise, and their callers
// catch this type and read its number, source and description.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace tw {

class RuntimeError : public std::exception {
public:
    RuntimeError(std::int32_t number, std::u16string source, std::u16string description);

    const char* what() const noexcept override { return what_.c_str(); }

    std::int32_t Number;
    std::u16string Source;
    std::u16string Description;

private:
    std::string what_; // the description in UTF-8, for what()
};

// Number 6, "Overflow", raised by the program itself.
constexpr std::int32_t kErrOverflow = 6;
// Number 11, "Division by zero".
constexpr std::int32_t kErrDivisionByZero = 11;
inline constexpr char16_t kErrorSource[] = u"Tarnwick";

RuntimeError OverflowError();

} // namespace tw
