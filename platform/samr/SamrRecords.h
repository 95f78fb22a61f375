// What a server's SAM holds, turned into what netapi32 hands out and back:
// account bits (ACB) to user flags (UF), NT times and intervals to seconds,
// and the account and policy records. No Samba type here: the server's
// records arrive as the plain C records of SamrClient.h.
#pragma once

#include "SamrClient.h"

#include "platform/INetServer.h"
#include "platform/NetBuffer.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tw::samr {

// The server's account bits that the user flags name.
constexpr std::uint32_t ACB_DISABLED = 0x1;
constexpr std::uint32_t ACB_NORMAL = 0x10;
constexpr std::uint32_t ACB_PWNOEXP = 0x200;
constexpr std::uint32_t ACB_AUTOLOCK = 0x400;
constexpr std::uint32_t ACB_PW_EXPIRED = 0x20000;

// "Never" in the seconds netapi32 hands out (TIMEQ_FOREVER).
constexpr win::DWORD kForever = 0xFFFFFFFFu;

// The user flags of an account; UF_SCRIPT is always set, as netapi32 does.
win::DWORD UserFlagsFromAccountBits(std::uint32_t acb, bool cantChangePassword);
// The account bits to write for `flags` over the account's `current` bits:
// bits the flags cannot name are kept, the lockout can be cleared but never
// set, and the expired password is left to its own request.
std::uint32_t AccountBitsFromUserFlags(win::DWORD flags, std::uint32_t current);
// Whether the account's password has expired, by either of the server's marks.
bool PasswordExpired(const tw_samr_user& user);
// The account bits that FILTER_* lists; false for a filter netapi32 refuses.
bool AccountBitsOfFilter(win::DWORD filter, std::uint32_t& acb);

// An NT time (100 ns since 1601) as seconds since 1970; 0 when not recorded
// or out of range.
win::DWORD SecondsSince1970(std::uint64_t ntTime);
// An account's expiry in seconds since 1970; kForever when it never expires.
win::DWORD ExpirySeconds(std::uint64_t ntTime);
// A policy interval (a negative count of 100 ns) in seconds; kForever for
// "never" or anything longer than kForever seconds.
win::DWORD IntervalSeconds(std::int64_t ntInterval);
std::int64_t IntervalFromSeconds(win::DWORD seconds);

// An account's name as the server sent it (UTF-8); none when there is no
// name, or it is empty or holds a NUL: never a shortened or made-up one.
std::optional<std::u16string> AccountName(const char* utf8);

// The flags level 3 hands out for the account: its bits, the
// change-password right as read, and the expired password by either mark.
win::DWORD UserFlags(const tw_samr_user& user);
// The account as NetUserEnum's level 20 hands it out; its flags as
// UserFlags gives them (the change-password right is left out: the
// descriptor holding it is not read for a listing). None when it has no name.
std::optional<win::ListedUser> ListedUserOf(const tw_samr_user& user);

// The USER_INFO_3 buffer of an account, from `allocate`; null with `status`
// set when the record cannot be represented (no name) or there is no memory.
// `now` is the current time in seconds since 1970, for the password's age.
void* BuildUserInfo3(const tw_samr_user& user, std::uint64_t now,
                     const win::NetBufferAllocator& allocate, win::NET_API_STATUS& status);

win::USER_MODALS_INFO_0 ModalsInfo0(const tw_samr_policy& policy);
win::USER_MODALS_INFO_3 ModalsInfo3(const tw_samr_policy& policy);
// The policy to write: `current` with the fields of the level replaced.
tw_samr_policy PolicyWith(const tw_samr_policy& current, const win::USER_MODALS_INFO_0& info);
tw_samr_policy PolicyWith(const tw_samr_policy& current, const win::USER_MODALS_INFO_3& info);

// Which parts of the policy (TW_SAMR_*_PART) a level's record changes against
// the record the server's policy reads as: compared as the caller sees them,
// so that a value the server keeps otherwise (never, whole minutes) is not
// taken for a change.
unsigned ChangedPasswordParts(const win::USER_MODALS_INFO_0& held,
                              const win::USER_MODALS_INFO_0& wanted);
unsigned ChangedLockoutParts(const win::USER_MODALS_INFO_3& held,
                             const win::USER_MODALS_INFO_3& wanted);

} // namespace tw::samr
