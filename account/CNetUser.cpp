#include "CNetUser.h"

#include "NetStatus.h"
#include "common/StringFromPointer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tw {

namespace {

constexpr win::DWORD kLevelName = 0;
constexpr win::DWORD kLevelListing = 20; // name, full name and flags
constexpr win::DWORD kLevelAccount = 3;
constexpr win::DWORD kLevelFlags = 1008;
// Deliberately small: a target with more than a few accounts is read in
// several batches, each resumed by the platform's handle.
constexpr win::DWORD kEnumPreferredLength = 255;
constexpr win::DWORD kUserNameBufferSize = 257;    // 256 characters and the NUL
constexpr win::DWORD kComputerNameBufferSize = 16; // 15 characters and the NUL
constexpr double kUnixEpochSerial = 25569.0;       // 1 January 1970
constexpr double kSecondsPerDay = 86400.0;

} // namespace

CNetUser::CNetUser(win::INetApi& net, win::ISystem& system) : net_(net), system_(system) {}

void CNetUser::freeBuffer(win::LPBYTE buffer) {
    if (buffer != nullptr)
        net_.NetApiBufferFree(buffer);
}

void CNetUser::SetServer(std::u16string_view server) {
    server_ = server;
    if (server_.empty())
        serverArg_.reset();
    else if (server_.starts_with(u"\\\\"))
        serverArg_ = server_;
    else
        serverArg_ = u"\\\\" + server_;
}

std::int32_t CNetUser::AcctExpiresDate() const {
    // Half to even, whatever the floating-point rounding mode.
    const double serial = NetTimeToVbTime(acctExpires_);
    const double below = std::floor(serial);
    const double fraction = serial - below;
    double whole = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<std::int32_t>(whole);
}

bool CNetUser::SetFlags(std::int32_t Flags, std::int32_t* nRet) {
    win::USER_INFO_1008 info{static_cast<win::DWORD>(Flags)};
    win::DWORD parameterError = 0; // which field was refused; not looked at
    const win::NET_API_STATUS status =
        net_.NetUserSetInfo(serverPointer(), requestedName_.c_str(), kLevelFlags,
                            reinterpret_cast<win::LPBYTE>(&info), &parameterError);
    netstatus::Report(nRet, status);
    return status == win::NERR_Success;
}

bool CNetUser::RefreshUser(std::int32_t* nRet) {
    win::LPBYTE buffer = nullptr;
    win::NET_API_STATUS status =
        net_.NetUserGetInfo(serverPointer(), requestedName_.c_str(), kLevelAccount, &buffer);
    if (status == win::NERR_Success && buffer == nullptr)
        status = netstatus::kNoRecord;
    if (status == win::NERR_Success) {
        const auto& info = *reinterpret_cast<const win::USER_INFO_3*>(buffer);
        returnedName_ = StringFromPointer(info.usri3_name);
        passwordAge_ = static_cast<std::int32_t>(info.usri3_password_age);
        privilege_ = static_cast<std::int32_t>(info.usri3_priv);
        flags_ = static_cast<std::int32_t>(info.usri3_flags);
        authFlags_ = static_cast<std::int32_t>(info.usri3_auth_flags);
        lastLogon_ = static_cast<std::int32_t>(info.usri3_last_logon);
        lastLogoff_ = static_cast<std::int32_t>(info.usri3_last_logoff);
        acctExpires_ = static_cast<std::int32_t>(info.usri3_acct_expires);
        badPasswordCount_ = static_cast<std::int32_t>(info.usri3_bad_pw_count);
        numLogons_ = static_cast<std::int32_t>(info.usri3_num_logons);
        passwordExpired_ = info.usri3_password_expired != 0;
    }
    freeBuffer(buffer);
    netstatus::Report(nRet, status);
    return status == win::NERR_Success;
}

double CNetUser::NetTimeToVbTime(std::int32_t seconds) {
    return static_cast<double>(seconds) / kSecondsPerDay + kUnixEpochSerial;
}

std::u16string CNetUser::CurrentUserName() {
    std::array<char16_t, kUserNameBufferSize> buffer{};
    win::DWORD size = kUserNameBufferSize;
    if (system_.GetUserNameW(buffer.data(), &size) == 0 || size == 0)
        return {};
    // The size counts the terminating NUL. A size beyond the buffer (which no
    // honest platform reports) gives no more than the buffer's 256 characters.
    return std::u16string(buffer.data(), std::min<win::DWORD>(size - 1, kUserNameBufferSize - 1));
}

std::u16string CNetUser::CurrentMachineName() {
    std::array<char16_t, kComputerNameBufferSize> buffer{};
    win::DWORD size = kComputerNameBufferSize;
    if (system_.GetComputerNameW(buffer.data(), &size) == 0)
        return {};
    // Here the size does not count the NUL; at most the buffer's 15 characters.
    return std::u16string(buffer.data(), std::min<win::DWORD>(size, kComputerNameBufferSize - 1));
}

bool CNetUser::Enumerate(win::DWORD level, std::int32_t* Result, const BatchReader& read) {
    win::DWORD resumeHandle = 0;
    int stalledBatches = 0;
    for (std::uint32_t calls = 1;; ++calls) {
        win::LPBYTE buffer = nullptr;
        win::DWORD entriesRead = 0;
        win::DWORD totalEntries = 0;
        const win::DWORD handleBefore = resumeHandle;
        win::NET_API_STATUS status =
            net_.NetUserEnum(serverPointer(), level, win::FILTER_NORMAL_ACCOUNT, &buffer,
                             kEnumPreferredLength, &entriesRead, &totalEntries, &resumeHandle);
        const bool accepted = status == win::NERR_Success || status == win::ERROR_MORE_DATA;
        if (accepted && entriesRead > 0 && buffer == nullptr)
            status = netstatus::kNoRecord;
        netstatus::Report(Result, status);
        if (status != win::NERR_Success && status != win::ERROR_MORE_DATA) {
            freeBuffer(buffer);
            return false; // records of earlier batches are dropped: no partial lists
        }
        // Room for every record at once: a list of 100,000 grows no more.
        read(buffer, entriesRead,
             calls == 1 ? std::min<std::size_t>(totalEntries, kMaxReservedNames) : 0);
        freeBuffer(buffer);

        if (status == win::NERR_Success)
            return true;
        // A platform that never finishes is given up on (the limits: CNetUser.h).
        const bool stalled = entriesRead == 0 && resumeHandle == handleBefore;
        stalledBatches = stalled ? stalledBatches + 1 : 0;
        if (stalledBatches >= kMaxStalledEnumerationCalls || calls >= kMaxEnumerationCalls)
            return false;
    }
}

std::vector<std::u16string> CNetUser::EnumerateUsers(std::int32_t* Result) {
    std::vector<std::u16string> names;
    const bool complete = Enumerate(
        kLevelName, Result, [&](win::LPBYTE buffer, win::DWORD count, std::size_t reserve) {
            names.reserve(reserve);
            const auto* records = reinterpret_cast<const win::USER_INFO_0*>(buffer);
            for (win::DWORD i = 0; i < count; ++i)
                names.push_back(StringFromPointer(records[i].usri0_name));
        });
    return complete ? names : std::vector<std::u16string>{};
}

std::vector<AccountEntry> CNetUser::ListAccounts(std::int32_t* Result,
                                                 const std::function<void(std::size_t)>& progress) {
    std::vector<AccountEntry> accounts;
    const bool complete = Enumerate(
        kLevelListing, Result, [&](win::LPBYTE buffer, win::DWORD count, std::size_t reserve) {
            accounts.reserve(reserve);
            const auto* records = reinterpret_cast<const win::USER_INFO_20*>(buffer);
            for (win::DWORD i = 0; i < count; ++i)
                accounts.push_back({StringFromPointer(records[i].usri20_name),
                                    StringFromPointer(records[i].usri20_full_name),
                                    static_cast<std::int32_t>(records[i].usri20_flags)});
            if (progress)
                progress(accounts.size());
        });
    return complete ? accounts : std::vector<AccountEntry>{};
}

} // namespace tw
