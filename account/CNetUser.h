// The account service: the target computer, one user account record and the
// target's account policy (the user modals), and every network-management
// call of the program. Platform failures never raise: each operation hands
// back the platform's status code through an optional out-parameter
// (0 = success) and a success flag or a value as its result.
#pragma once

#include "platform/INetApi.h"
#include "platform/ISystem.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// The account policy in the platform's units (seconds and counts), unsigned
// values held in signed 32-bit integers. The first five are the fields of
// USER_MODALS_INFO_0, the last three those of USER_MODALS_INFO_3, in order.
struct UserModals {
    std::int32_t MinPwdLen = 0;
    std::int32_t MaxPwdAge = 0; // -1: passwords never expire
    std::int32_t MinPwdAge = 0;
    std::int32_t ForceLogoff = 0; // read and written back, never edited
    std::int32_t PwdHistoryLen = 0;
    std::int32_t LockoutDuration = 0;
    std::int32_t LockoutObsWin = 0;
    std::int32_t LockoutThreshold = 0;

    bool operator==(const UserModals&) const = default;

    // The eight fields in their order, for code that treats them alike.
    static constexpr std::array<std::int32_t UserModals::*, 8> Fields = {
        &UserModals::MinPwdLen,     &UserModals::MaxPwdAge,       &UserModals::MinPwdAge,
        &UserModals::ForceLogoff,   &UserModals::PwdHistoryLen,   &UserModals::LockoutDuration,
        &UserModals::LockoutObsWin, &UserModals::LockoutThreshold};
};

// One account of a listing: its name, full name and flags (UF_ bits).
struct AccountEntry {
    std::u16string name;
    std::u16string fullName;
    std::int32_t flags = 0;

    bool operator==(const AccountEntry&) const = default;
};

class CNetUser {
public:
    CNetUser(win::INetApi& net, win::ISystem& system);

    // --- Target and account (CNetUser.cpp) ---

    // The account name as the last successful RefreshUser returned it; empty
    // until then, whatever SetUserName chose.
    const std::u16string& UserName() const { return returnedName_; }
    // Chooses the account for the next RefreshUser or SetFlags; fetches nothing.
    void SetUserName(std::u16string_view name) { requestedName_ = name; }
    // The server text exactly as last set; empty for the local computer.
    const std::u16string& Server() const { return server_; }
    // Retargets every later call: empty is the local computer, otherwise the
    // name with "\\" put in front unless it already starts with "\\".
    void SetServer(std::u16string_view server);
    // The server argument of every call; none (a null pointer) is the local computer.
    const std::optional<std::u16string>& ServerArg() const { return serverArg_; }

    std::int32_t PasswordAge() const { return passwordAge_; }
    std::int32_t Privilege() const { return privilege_; }
    std::int32_t Flags() const { return flags_; }
    std::int32_t AuthFlags() const { return authFlags_; }
    std::int32_t LastLogon() const { return lastLogon_; }
    std::int32_t LastLogoff() const { return lastLogoff_; }
    double LastLogonDate() const { return NetTimeToVbTime(lastLogon_); }
    double LastLogoffDate() const { return NetTimeToVbTime(lastLogoff_); }
    std::int32_t AcctExpires() const { return acctExpires_; }
    // The expiry as a whole-day serial, rounded half to even.
    std::int32_t AcctExpiresDate() const;
    std::int32_t BadPasswordCount() const { return badPasswordCount_; }
    std::int32_t NumLogons() const { return numLogons_; }
    bool PasswordExpired() const { return passwordExpired_; }

    // Writes the whole flag set (level 1008). The stored flags stay as they
    // were: fetch the account again to see what the platform made of it.
    bool SetFlags(std::int32_t Flags, std::int32_t* nRet = nullptr);
    // Fetches the account (level 3). On failure nothing stored changes.
    bool RefreshUser(std::int32_t* nRet = nullptr);
    // Seconds since 1970 (signed) to a date serial, days since 30 December
    // 1899, without any time-zone conversion.
    static double NetTimeToVbTime(std::int32_t seconds);
    // Empty when the platform cannot say.
    std::u16string CurrentUserName();
    std::u16string CurrentMachineName();
    // The ordinary user accounts of the target in the platform's order; empty
    // when any batch fails, with that batch's status in Result. A platform
    // that never finishes (answers "more data" for ever, with or without new
    // names) is given up on the same way, with ERROR_MORE_DATA in Result.
    std::vector<std::u16string> EnumerateUsers(std::int32_t* Result = nullptr);
    // The same listing with each account's full name and flags (level 20),
    // under the same rules: the whole list or nothing. `progress` hears the
    // count listed so far after each batch.
    std::vector<AccountEntry>
    ListAccounts(std::int32_t* Result = nullptr,
                 const std::function<void(std::size_t listed)>& progress = {});

    // The two limits that end an enumeration the platform would keep going
    // for ever. Either ends it as if its last batch had failed: an empty list
    // and ERROR_MORE_DATA in Result, so the window says that the platform
    // never finished, instead of hanging or showing part of a list.
    //
    // Answers of "more data" in a row that neither hand out a name nor move
    // the resume handle: such a platform is stuck and is not asked again.
    static constexpr int kMaxStalledEnumerationCalls = 16;
    // Calls in all, for a platform that keeps making "progress" (new names, a
    // new handle every time). A level 0 batch of 255 bytes brings at least one
    // name, and five or more of the usual names (a record pointer and at most
    // 21 characters each), so 2^20 calls list at least a million accounts and
    // typically over five million: far more ordinary accounts than a
    // workstation, a server or even the largest domains (a few million users)
    // hold. It also bounds the list's cost: at most 2^20 batches, each a copy
    // of a buffer the platform handed out; a second or two against a local
    // platform, minutes at a network round trip per call, never for ever.
    static constexpr std::uint32_t kMaxEnumerationCalls = 1u << 20;
    // Names the list makes room for at once, from the total the platform
    // announces: at most this many, whatever total it claims.
    static constexpr std::size_t kMaxReservedNames = std::size_t{1} << 18;

    // --- Account policy (CNetUserModals.cpp) ---

    // Reads level 0, and only if that worked level 3, into both records.
    // True when level 0 was read; Result holds the status of the last call.
    bool RefreshModals(std::int32_t* Result = nullptr);
    // Writes level 0, and only if that worked level 3, from CurrentModals.
    // True when level 0 was written; Result holds the status of the last call.
    bool SetModals(std::int32_t* Result = nullptr);
    // Reads the policy again (both levels) and puts the fields changed since
    // the last read (current against loaded) back onto what the target holds
    // now, so that a write sends the target's own values for every field
    // nobody changed here. False, with both records as they were, when
    // either level could not be read; Result holds the status of the last call.
    bool RefreshModalsKeepingChanges(std::int32_t* Result = nullptr);
    // True when any of the eight fields differs from the policy as loaded.
    bool ModalsChanged() const;

    std::int32_t ModalsMinPwdLen() const { return currentModals_.MinPwdLen; }
    void SetModalsMinPwdLen(std::int32_t value) { currentModals_.MinPwdLen = value; }
    std::int32_t ModalsMinPwdAge() const { return currentModals_.MinPwdAge; }
    void SetModalsMinPwdAge(std::int32_t value) { currentModals_.MinPwdAge = value; }
    std::int32_t ModalsMaxPwdAge() const { return currentModals_.MaxPwdAge; }
    void SetModalsMaxPwdAge(std::int32_t value) { currentModals_.MaxPwdAge = value; }
    std::int32_t ModalsPwdHistoryLen() const { return currentModals_.PwdHistoryLen; }
    void SetModalsPwdHistoryLen(std::int32_t value) { currentModals_.PwdHistoryLen = value; }
    std::int32_t ModalsLockoutDuration() const { return currentModals_.LockoutDuration; }
    void SetModalsLockoutDuration(std::int32_t value) { currentModals_.LockoutDuration = value; }
    std::int32_t ModalsLockoutObsWin() const { return currentModals_.LockoutObsWin; }
    void SetModalsLockoutObsWin(std::int32_t value) { currentModals_.LockoutObsWin = value; }
    std::int32_t ModalsLockoutThreshold() const { return currentModals_.LockoutThreshold; }
    void SetModalsLockoutThreshold(std::int32_t value) { currentModals_.LockoutThreshold = value; }

    const UserModals& CurrentModals() const { return currentModals_; }
    // Every field of the policy to write at once, as the setters above each.
    void EditModals(const UserModals& edited) { currentModals_ = edited; }
    const UserModals& LoadedModals() const { return loadedModals_; }

private:
    // Every batch of a listing of the ordinary accounts at `level`, each
    // handed to `read` with its record count (and, with the first batch, the
    // room to make for the whole list); false when a batch failed or the
    // platform never finished, with the status in Result.
    using BatchReader =
        std::function<void(win::LPBYTE records, win::DWORD count, std::size_t reserve)>;
    bool Enumerate(win::DWORD level, std::int32_t* Result, const BatchReader& read);
    const char16_t* serverPointer() const { return serverArg_ ? serverArg_->c_str() : nullptr; }
    void freeBuffer(win::LPBYTE buffer);

    win::INetApi& net_;
    win::ISystem& system_;

    std::u16string returnedName_;
    std::int32_t passwordAge_ = 0;
    std::int32_t privilege_ = 0;
    std::int32_t flags_ = 0;
    std::int32_t authFlags_ = 0;
    std::int32_t lastLogon_ = 0;
    std::int32_t lastLogoff_ = 0;
    std::int32_t acctExpires_ = 0;
    std::int32_t badPasswordCount_ = 0;
    std::int32_t numLogons_ = 0;
    bool passwordExpired_ = false;
    std::u16string requestedName_;
    std::u16string server_;
    std::optional<std::u16string> serverArg_;

    UserModals currentModals_;
    UserModals loadedModals_;
};

} // namespace tw
