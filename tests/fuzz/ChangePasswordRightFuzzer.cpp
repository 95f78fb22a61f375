// What a hostile directory can send as a user object's security descriptor:
// read and rewritten for the change-password right without a crash or a
// read past its end; a rewrite is itself a well-formed descriptor that reads
// as written when it denies, and rewriting it again changes nothing.
#include "FuzzCheck.h"

#include "platform/samr/ChangePasswordRight.h"

#include <cstdint>
#include <span>
#include <vector>

using namespace tw;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the input's size, so that a read past it is caught.
    const std::vector<std::uint8_t> descriptor(data, data + size);
    const auto denied = samr::PasswordChangeDenied(descriptor);
    for (const bool deny : {true, false}) {
        const auto written = samr::WithPasswordChange(descriptor, deny);
        if (!written)
            continue;
        fuzz::Require(denied.has_value(), "a descriptor that reads as malformed is rewritten");
        const auto read = samr::PasswordChangeDenied(*written);
        fuzz::Require(read.has_value(), "a rewrite reads as malformed");
        if (deny)
            fuzz::Require(*read, "a rewrite that denies the right does not read as denied");
        const auto again = samr::WithPasswordChange(*written, deny);
        fuzz::Require(again == written, "rewriting a rewrite changes it");
    }
    return 0;
}
