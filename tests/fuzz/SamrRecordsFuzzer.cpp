// What a hostile server can send in an account record, turned into the
// USER_INFO_3 the program reads: no crash, no made-up name, every buffer
// freed; and the flag and interval conversions keep what they do not name.
#include "FuzzCheck.h"

#include "platform/NetBufferPool.h"
#include "platform/TextConvert.h"
#include "platform/samr/SamrRecords.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace tw;
using namespace tw::win;

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    template <typename T> T number() {
        T value{};
        std::size_t n = std::min(sizeof value, size_ - at_);
        std::memcpy(&value, data_ + at_, n);
        at_ += n;
        return value;
    }
    // A text of up to 255 bytes, or none.
    const char* text(std::vector<std::string>& keep) {
        std::uint8_t length = number<std::uint8_t>();
        if (length == 255)
            return nullptr;
        length = static_cast<std::uint8_t>(std::min<std::size_t>(length, size_ - at_));
        keep.emplace_back(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return keep.back().c_str();
    }
    std::vector<std::uint8_t> bytes() {
        std::size_t length = std::min<std::size_t>(number<std::uint8_t>(), size_ - at_);
        std::vector<std::uint8_t> out(data_ + at_, data_ + at_ + length);
        at_ += length;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    std::vector<std::string> texts;
    texts.reserve(16);
    tw_samr_user user{};
    tw_samr_text* fields[] = {&user.name,        &user.full_name,    &user.home_directory,
                              &user.home_drive,  &user.logon_script, &user.profile_path,
                              &user.description, &user.workstations, &user.comment};
    for (tw_samr_text* field : fields)
        field->text = in.text(texts);
    std::vector<std::uint8_t> parameters = in.bytes();
    user.parameters = parameters.data();
    user.parameters_bytes = parameters.size();
    // The logon hours hold what units_per_week says, as the wire's arrays do.
    user.units_per_week = in.number<std::uint16_t>() % 1261;
    std::vector<std::uint8_t> hours(user.units_per_week / 8, 0xAB);
    user.logon_hours = in.number<std::uint8_t>() & 1 ? hours.data() : nullptr;
    user.last_logon = in.number<std::uint64_t>();
    user.last_logoff = in.number<std::uint64_t>();
    user.last_password_change = in.number<std::uint64_t>();
    user.acct_expiry = in.number<std::uint64_t>();
    user.acct_flags = in.number<std::uint32_t>();
    user.builtin_alias_count = in.number<std::uint8_t>();
    for (auto& rid : user.builtin_alias_rids)
        rid = in.number<std::uint16_t>();
    user.cant_change_password = in.number<std::uint8_t>() & 1;

    NetBufferPool pool;
    NET_API_STATUS status = 0;
    void* block = samr::BuildUserInfo3(user, in.number<std::uint32_t>(), pool.allocator(), status);
    fuzz::Require((block != nullptr) == (status == 0), "a buffer exactly when the call succeeds");
    if (block != nullptr) {
        const auto* record = static_cast<const USER_INFO_3*>(block);
        const auto sent = samr::AccountName(user.name.text);
        fuzz::Require(sent.has_value(), "never a made-up name");
        fuzz::Require(std::u16string(record->usri3_name) == *sent, "the name the server sent");
        fuzz::Require(record->usri3_password == nullptr, "no password");
        fuzz::Require(pool.release(block), "one block");
    }
    fuzz::Require(pool.outstanding() == 0, "nothing left over");

    std::uint32_t acb = user.acct_flags;
    DWORD flags = samr::UserFlagsFromAccountBits(acb, false);
    fuzz::Require(samr::AccountBitsFromUserFlags(flags, acb) == acb,
                  "writing back what was read changes no account bit");
    fuzz::Require((samr::AccountBitsFromUserFlags(flags | UF_LOCKOUT, acb) & samr::ACB_AUTOLOCK) ==
                      (acb & samr::ACB_AUTOLOCK),
                  "the lockout is never set");
    DWORD seconds = in.number<std::uint32_t>();
    fuzz::Require(samr::IntervalSeconds(samr::IntervalFromSeconds(seconds)) == seconds,
                  "an interval comes back as it went");
    return 0;
}
