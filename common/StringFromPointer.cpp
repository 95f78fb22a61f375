#include "StringFromPointer.h"

#include "platform/TextConvert.h"

namespace tw {

std::u16string StringFromPointer(const char16_t* text) {
    if (text == nullptr)
        return {};
    return std::u16string(text, WideLength(text));
}

} // namespace tw
