// CNetUser over a hostile network-management layer (HostileNetApi.h): a
// sequence of enumerations, account fetches and writes, policy reads and
// writes, each checked against what the layer handed out: never a partial
// list, nothing stored from a failed call, every buffer freed exactly once.
#include "FuzzCheck.h"
#include "HostileNetApi.h"
#include "account/CNetUser.h"
#include "common/NamesSystem.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace tw;
using tw::fuzz::HostileNetApi;
using tw::fuzz::Require;

namespace {

constexpr std::int32_t kNoRecord = 13; // a success without a record to read

std::int32_t bits(win::DWORD v) {
    return static_cast<std::int32_t>(v);
}

void enumerate(HostileNetApi& net, CNetUser& user) {
    net.enumerated.clear();
    net.successWithoutBuffer = false;
    net.enumCalls = 0;
    std::int32_t status = -1;
    const std::vector<std::u16string> names = user.EnumerateUsers(&status);
    if (status == 0)
        Require(names == net.enumerated, "a complete list holds every name in order");
    else
        Require(names.empty(), "a failed enumeration gives no partial list");
    if (net.successWithoutBuffer)
        Require(status == kNoRecord, "records promised without a buffer are a failure");
    Require(net.enumCalls <= CNetUser::kMaxEnumerationCalls, "the enumeration ends");
}

void refreshUser(HostileNetApi& net, CNetUser& user) {
    net.account.reset();
    net.levelsAsked.clear();
    const std::u16string nameBefore = user.UserName();
    const std::int32_t flagsBefore = user.Flags();
    const std::int32_t logonsBefore = user.NumLogons();
    std::int32_t status = -1;
    const bool ok = user.RefreshUser(&status);
    Require(net.levelsAsked == std::vector<win::DWORD>{3}, "one fetch at level 3");
    const bool expectOk = net.getInfoStatus == 0 && net.getInfoBuffer;
    Require(ok == expectOk, "a fetch succeeds exactly with a record and status 0");
    if (ok) {
        const win::USER_INFO_3& info = net.account->info;
        Require(status == 0 && user.UserName() == net.account->name &&
                    user.Flags() == bits(info.usri3_flags) &&
                    user.PasswordAge() == bits(info.usri3_password_age) &&
                    user.LastLogon() == bits(info.usri3_last_logon) &&
                    user.AcctExpires() == bits(info.usri3_acct_expires) &&
                    user.BadPasswordCount() == bits(info.usri3_bad_pw_count) &&
                    user.NumLogons() == bits(info.usri3_num_logons) &&
                    user.PasswordExpired() == (info.usri3_password_expired != 0),
                "a fetched account is stored as handed out");
    } else {
        Require(status == (net.getInfoStatus == 0 ? kNoRecord : bits(net.getInfoStatus)),
                "a failed fetch reports its status");
        Require(user.UserName() == nameBefore && user.Flags() == flagsBefore &&
                    user.NumLogons() == logonsBefore,
                "a failed fetch changes nothing");
    }
    user.AcctExpiresDate();
    user.LastLogonDate();
}

void setFlags(FuzzedDataProvider& in, HostileNetApi& net, CNetUser& user) {
    net.levelsAsked.clear();
    const auto flags = in.ConsumeIntegral<std::int32_t>();
    std::int32_t status = -1;
    const bool ok = user.SetFlags(flags, &status);
    Require(net.levelsAsked == std::vector<win::DWORD>{1008} && net.flagsSent == win::DWORD(flags),
            "the whole flag set is sent at level 1008");
    Require(ok == (net.setInfoStatus == 0) && status == bits(net.setInfoStatus),
            "a write reports the platform's status");
}

// What a read level holds, into both records: level 0 the first five of the
// fields in their order, level 3 the last three.
void copyLevel(const fuzz::ModalsCall& call, UserModals& current, UserModals& loaded) {
    const std::size_t first = call.level == 0 ? 0 : 5, count = call.level == 0 ? 5 : 3;
    for (std::size_t i = 0; i < count; ++i) {
        const auto field = UserModals::Fields[first + i];
        current.*field = loaded.*field = bits(call.values[i]);
    }
}

void refreshModals(HostileNetApi& net, CNetUser& user) {
    net.modalsCalls.clear();
    UserModals current = user.CurrentModals();
    UserModals loaded = user.LoadedModals();
    std::int32_t status = -1;
    const bool ok = user.RefreshModals(&status);
    const auto& calls = net.modalsCalls;
    Require(!calls.empty() && calls[0].level == 0, "the policy is read from level 0");
    const auto read = [](const fuzz::ModalsCall& c) { return c.status == 0 && c.buffer; };
    const auto reported = [](const fuzz::ModalsCall& c) {
        return c.status == 0 ? kNoRecord : bits(c.status);
    };
    if (!read(calls[0])) {
        Require(!ok && calls.size() == 1 && status == reported(calls[0]),
                "a failed level 0 read ends the read");
    } else {
        copyLevel(calls[0], current, loaded);
        Require(ok && calls.size() == 2 && calls[1].level == 3, "level 3 follows level 0");
        if (read(calls[1])) {
            copyLevel(calls[1], current, loaded);
            Require(status == 0, "a full read reports success");
        } else {
            Require(status == reported(calls[1]), "a failed level 3 read reports its status");
        }
    }
    Require(user.CurrentModals() == current && user.LoadedModals() == loaded,
            "each record holds exactly what was read");
}

void setModals(FuzzedDataProvider& in, HostileNetApi& net, CNetUser& user) {
    user.SetModalsLockoutThreshold(in.ConsumeIntegral<std::int32_t>());
    user.SetModalsMaxPwdAge(in.ConsumeIntegral<std::int32_t>());
    net.modalsCalls.clear();
    const UserModals sent = user.CurrentModals();
    const UserModals loaded = user.LoadedModals();
    std::int32_t status = -1;
    const bool ok = user.SetModals(&status);
    const auto& calls = net.modalsCalls;
    Require(!calls.empty() && calls[0].level == 0 && bits(calls[0].values[1]) == sent.MaxPwdAge &&
                bits(calls[0].values[3]) == sent.ForceLogoff,
            "level 0 is written first, ForceLogoff carried");
    if (calls[0].status != 0) {
        Require(!ok && calls.size() == 1, "a refused level 0 write ends the write");
    } else {
        Require(ok && calls.size() == 2 && calls[1].level == 3 &&
                    bits(calls[1].values[2]) == sent.LockoutThreshold,
                "level 3 follows level 0");
    }
    Require(status == bits(calls.back().status), "the write reports its last status");
    Require(user.CurrentModals() == sent && user.LoadedModals() == loaded,
            "a write changes neither record");
}

void names(FuzzedDataProvider& in) {
    test::NamesSystem system;
    if (in.ConsumeBool())
        system.userName.reset(); // the call fails
    else
        system.userName = std::u16string(in.ConsumeIntegralInRange<std::size_t>(0, 300), u'n');
    system.computerName = std::u16string(in.ConsumeIntegralInRange<std::size_t>(0, 20), u'C');
    if (in.ConsumeBool())
        system.userNameSizeReported = in.ConsumeIntegral<win::DWORD>();
    if (in.ConsumeBool())
        system.computerNameSizeReported = in.ConsumeIntegral<win::DWORD>();
    HostileNetApi net(in);
    CNetUser user(net, system);
    Require(user.CurrentUserName().size() <= 256, "a user name fits its buffer");
    Require(user.CurrentMachineName().size() <= 15, "a computer name fits its buffer");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    HostileNetApi net(in);
    test::NamesSystem system;
    CNetUser user(net, system);
    if (in.ConsumeBool())
        user.SetServer(u"SRV01");
    user.SetUserName(u"alice");
    for (int op = 0; op < 32 && in.remaining_bytes() > 0; ++op) {
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            enumerate(net, user);
            break;
        case 1:
            refreshUser(net, user);
            break;
        case 2:
            setFlags(in, net, user);
            break;
        case 3:
            refreshModals(net, user);
            break;
        case 4:
            setModals(in, net, user);
            break;
        default:
            names(in);
            break;
        }
        Require(net.EveryBufferFreedOnce(), "every buffer freed exactly once");
    }
    return 0;
}
