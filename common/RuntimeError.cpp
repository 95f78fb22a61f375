#include "RuntimeError.h"

#include "platform/TextConvert.h"

#include <utility>

namespace tw {

RuntimeError::RuntimeError(std::int32_t number, std::u16string source, std::u16string description)
    : Number(number), Source(std::move(source)), Description(std::move(description)),
      what_(ToUtf8(Description)) {}

RuntimeError OverflowError() {
    return RuntimeError(kErrOverflow, kErrorSource, u"Overflow");
}

} // namespace tw
