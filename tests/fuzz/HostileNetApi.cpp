#include "HostileNetApi.h"

#include "FuzzCheck.h"

#include <cstring>

namespace tw::fuzz {

namespace {

// A record of DWORD fields, the values in order.
template <typename Record> Record recordOf(const std::array<win::DWORD, 5>& values) {
    static_assert(sizeof(Record) <= sizeof(values));
    Record record;
    std::memcpy(&record, values.data(), sizeof(Record));
    return record;
}

} // namespace

win::NET_API_STATUS HostileNetApi::status() {
    static constexpr win::NET_API_STATUS kStatuses[] = {0,  0,    0,    234,  234, 5,  53,
                                                        87, 1722, 2221, 2453, 13,  124};
    return in_.ConsumeBool() ? in_.PickValueInArray(kStatuses)
                             : in_.ConsumeIntegral<win::NET_API_STATUS>();
}

std::optional<std::u16string> HostileNetApi::name() {
    auto unit = [this](char16_t low, char16_t high) {
        return in_.ConsumeIntegralInRange<char16_t>(low, high);
    };
    std::u16string text;
    switch (in_.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
        return std::nullopt;
    case 1:
        return text; // empty
    case 2:          // a usual name
        for (int n = in_.ConsumeIntegralInRange<int>(1, 20); n > 0; --n)
            text.push_back(unit(u'a', u'z'));
        return text;
    case 3: // far longer than any account name
        return std::u16string(in_.ConsumeIntegralInRange<std::size_t>(21, 5000), unit(1, 0xFFFF));
    case 4: // outside the Basic Multilingual Plane: surrogate pairs
        for (int n = in_.ConsumeIntegralInRange<int>(1, 8); n > 0; --n) {
            text.push_back(unit(0xD800, 0xDBFF));
            text.push_back(unit(0xDC00, 0xDFFF));
        }
        return text;
    case 5: // a lone high surrogate, also at the end
        text = u"ab";
        text.insert(in_.ConsumeIntegralInRange<std::size_t>(0, 2), 1, unit(0xD800, 0xDBFF));
        return text;
    case 6: // a lone low surrogate
        text = u"ab";
        text.insert(in_.ConsumeIntegralInRange<std::size_t>(0, 2), 1, unit(0xDC00, 0xDFFF));
        return text;
    default: // any units but NUL
        for (int n = in_.ConsumeIntegralInRange<int>(1, 64); n > 0; --n)
            text.push_back(unit(1, 0xFFFF));
        return text;
    }
}

win::NET_API_STATUS HostileNetApi::NetUserEnum(win::LPCWSTR, win::DWORD level, win::DWORD filter,
                                               win::LPBYTE* buffer, win::DWORD preferredLength,
                                               win::LPDWORD entriesRead, win::LPDWORD totalEntries,
                                               win::PDWORD resumeHandle) {
    Require(level == 0 && filter == win::FILTER_NORMAL_ACCOUNT && preferredLength == 255,
            "the enumeration asks for ordinary accounts' names in small batches");
    ++enumCalls;
    *buffer = nullptr;
    *entriesRead = 0;
    *totalEntries = 0;
    if (in_.remaining_bytes() == 0)
        return win::ERROR_MORE_DATA; // for ever, and nothing moves

    const win::NET_API_STATUS answer = status();
    // No names, a few, some, or a huge batch: the buffer holds every record it claims.
    static constexpr std::size_t kFewest[] = {0, 1, 0, 0}, kMost[] = {0, 4, 64, 4096};
    const int shape = in_.ConsumeIntegralInRange<int>(0, 3);
    const std::size_t count =
        shape == 0 ? 0 : in_.ConsumeIntegralInRange<std::size_t>(kFewest[shape], kMost[shape]);
    std::vector<std::optional<std::u16string>> names;
    for (std::size_t i = 0; i < count; ++i)
        names.push_back(i < 64 ? name() : std::optional<std::u16string>(u"x"));
    const bool withoutBuffer = in_.ConsumeIntegralInRange<int>(0, 15) == 0;
    const bool bufferOnFailure = in_.ConsumeBool();
    const int handleMove = in_.ConsumeIntegralInRange<int>(0, 3);
    const auto total = in_.ConsumeIntegral<win::DWORD>();

    const bool accepted = answer == win::NERR_Success || answer == win::ERROR_MORE_DATA;
    if ((accepted && !withoutBuffer) || (!accepted && bufferOnFailure)) {
        win::NetBufferBuilder<win::USER_INFO_0> records(count);
        for (std::size_t i = 0; i < count; ++i)
            records.addText(i, &win::USER_INFO_0::usri0_name, names[i]);
        *buffer = static_cast<win::LPBYTE>(records.build(pool_.allocator()));
        if (accepted) {
            for (const auto& n : names)
                enumerated.push_back(n.value_or(u""));
        }
    }
    if (accepted && withoutBuffer && count > 0)
        successWithoutBuffer = true;
    if (accepted || in_.ConsumeBool())
        *entriesRead = static_cast<win::DWORD>(count);
    *totalEntries = total;
    if (handleMove == 1)
        ++*resumeHandle;
    else if (handleMove == 2)
        *resumeHandle = in_.ConsumeIntegral<win::DWORD>();
    else if (handleMove == 3)
        *resumeHandle = 0;
    return answer;
}

win::NET_API_STATUS HostileNetApi::NetUserGetInfo(win::LPCWSTR, win::LPCWSTR user, win::DWORD level,
                                                  win::LPBYTE* buffer) {
    Require(user != nullptr, "an account is always named");
    levelsAsked.push_back(level);
    *buffer = nullptr;
    getInfoStatus = status();
    getInfoBuffer =
        getInfoStatus == 0 ? in_.ConsumeIntegralInRange<int>(0, 15) != 0 : in_.ConsumeBool();
    if (!getInfoBuffer)
        return getInfoStatus;

    HandedOutAccount handed;
    win::USER_INFO_3& info = handed.info;
    for (win::DWORD* field :
         {&info.usri3_password_age, &info.usri3_priv, &info.usri3_flags, &info.usri3_auth_flags,
          &info.usri3_last_logon, &info.usri3_last_logoff, &info.usri3_acct_expires,
          &info.usri3_max_storage, &info.usri3_units_per_week, &info.usri3_bad_pw_count,
          &info.usri3_num_logons, &info.usri3_country_code, &info.usri3_code_page,
          &info.usri3_user_id, &info.usri3_primary_group_id, &info.usri3_password_expired})
        *field = in_.ConsumeIntegral<win::DWORD>();
    const std::optional<std::u16string> accountName = name();
    const std::optional<std::u16string> comment = name();
    win::NetBufferBuilder<win::USER_INFO_3> builder(1);
    builder.record(0) = info;
    builder.addText(0, &win::USER_INFO_3::usri3_name, accountName);
    builder.addText(0, &win::USER_INFO_3::usri3_comment, comment);
    *buffer = static_cast<win::LPBYTE>(builder.build(pool_.allocator()));
    std::memcpy(&info, *buffer, sizeof(info)); // with the pointers handed out
    handed.name = accountName.value_or(u"");
    if (getInfoStatus == 0)
        account = handed;
    return getInfoStatus;
}

win::NET_API_STATUS HostileNetApi::NetUserSetInfo(win::LPCWSTR, win::LPCWSTR user, win::DWORD level,
                                                  win::LPBYTE buffer, win::LPDWORD) {
    Require(user != nullptr && buffer != nullptr, "a write names the account and sends a record");
    levelsAsked.push_back(level);
    flagsSent = reinterpret_cast<const win::USER_INFO_1008*>(buffer)->usri1008_flags;
    setInfoStatus = status();
    return setInfoStatus;
}

win::NET_API_STATUS HostileNetApi::NetUserModalsGet(win::LPCWSTR, win::DWORD level,
                                                    win::LPBYTE* buffer) {
    ModalsCall call;
    call.level = level;
    call.status = status();
    call.buffer =
        call.status == 0 ? in_.ConsumeIntegralInRange<int>(0, 15) != 0 : in_.ConsumeBool();
    *buffer = nullptr;
    if (call.buffer) {
        const std::size_t fields = level == 0 ? 5 : 3;
        for (std::size_t i = 0; i < fields; ++i)
            call.values[i] = in_.ConsumeIntegral<win::DWORD>();
        *buffer = static_cast<win::LPBYTE>(
            level == 0 ? win::BuildNetBuffer(recordOf<win::USER_MODALS_INFO_0>(call.values),
                                             pool_.allocator())
                       : win::BuildNetBuffer(recordOf<win::USER_MODALS_INFO_3>(call.values),
                                             pool_.allocator()));
    }
    modalsCalls.push_back(call);
    return call.status;
}

win::NET_API_STATUS HostileNetApi::NetUserModalsSet(win::LPCWSTR, win::DWORD level,
                                                    win::LPBYTE buffer, win::LPDWORD) {
    Require(buffer != nullptr, "a policy write sends a record");
    ModalsCall call;
    call.level = level;
    const std::size_t fields = level == 0 ? 5 : 3;
    std::memcpy(call.values.data(), buffer, fields * sizeof(win::DWORD));
    call.status = status();
    modalsCalls.push_back(call);
    return call.status;
}

win::NET_API_STATUS HostileNetApi::NetApiBufferFree(win::LPVOID buffer) {
    return pool_.release(buffer) ? 0 : win::ERROR_INVALID_PARAMETER;
}

} // namespace tw::fuzz
