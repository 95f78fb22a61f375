// A hand-written, scriptable INetApi for unit tests. Every buffer it hands
// out is a real allocation laid out as netapi32 lays it out (records first,
// then the strings they point to), counted until freed, as the program's own
// layers count them.
#pragma once

#include "platform/INetApi.h"
#include "platform/NetBuffer.h"
#include "platform/NetBufferPool.h"

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tw::test {

struct NetCall {
    std::string function;
    win::DWORD level = 0;
    win::DWORD resumeIn = 0;
    std::vector<win::DWORD> values; // what NetUserModalsSet sent
};

struct EnumBatch {
    win::NET_API_STATUS status = 0;
    std::vector<std::u16string> names;
    win::DWORD resumeOut = 0;
};

class FakeNetApi : public win::INetApi {
public:
    std::vector<NetCall> calls;
    bool logCalls = true; // off for the million calls of the enumeration limits

    // When the get calls hand out a buffer: with a success only, also with a
    // failure, or never (a success without a record).
    enum class Buffers { OnSuccess, AlsoOnFailure, Never } buffers = Buffers::OnSuccess;

    // NetUserEnum: enumScript(call number from 1) when set, else one batch per
    // call in order, the last repeating.
    std::function<EnumBatch(std::uint32_t call)> enumScript;
    std::deque<EnumBatch> batches;
    std::uint32_t enumCalls = 0;

    // NetUserGetInfo level 3; NetUserSetInfo always succeeds.
    win::NET_API_STATUS getInfoStatus = 0;
    win::USER_INFO_3 account{};
    std::u16string accountName = u"Alice";

    // NetUserModalsGet per level (0 and 3); NetUserModalsSet always succeeds.
    win::NET_API_STATUS modalsGetStatus[4] = {};
    win::USER_MODALS_INFO_0 modals0{};
    win::USER_MODALS_INFO_3 modals3{};

    int Outstanding() const { return static_cast<int>(pool_.outstanding()); }
    int BadFrees() const { return static_cast<int>(pool_.badFrees()); }

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR, win::DWORD level, win::DWORD, win::LPBYTE* buffer,
                                    win::DWORD, win::LPDWORD entriesRead, win::LPDWORD totalEntries,
                                    win::PDWORD resumeHandle) override {
        record("NetUserEnum", level).resumeIn = *resumeHandle;
        ++enumCalls;
        EnumBatch batch = batches.empty() ? EnumBatch{} : batches.front();
        if (enumScript)
            batch = enumScript(enumCalls);
        else if (batches.size() > 1)
            batches.pop_front();
        const bool success = batch.status == 0 || batch.status == win::ERROR_MORE_DATA;
        *entriesRead = success ? static_cast<win::DWORD>(batch.names.size()) : 0;
        *totalEntries = *entriesRead + (batch.status == 0 ? 0 : 1);
        if (success)
            *resumeHandle = batch.resumeOut;
        *buffer = nullptr;
        if (handsOutBuffer(batch.status)) {
            win::NetBufferBuilder<win::USER_INFO_0> names(batch.names.size());
            for (std::size_t i = 0; i < batch.names.size(); ++i)
                names.addText(i, &win::USER_INFO_0::usri0_name, batch.names[i]);
            *buffer = static_cast<win::LPBYTE>(names.build(allocator()));
        }
        return batch.status;
    }

    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR, win::LPCWSTR, win::DWORD level,
                                       win::LPBYTE* buffer) override {
        record("NetUserGetInfo", level);
        *buffer = nullptr;
        if (handsOutBuffer(getInfoStatus)) {
            win::NetBufferBuilder<win::USER_INFO_3> info(1);
            info.record(0) = account;
            info.addText(0, &win::USER_INFO_3::usri3_name, accountName);
            *buffer = static_cast<win::LPBYTE>(info.build(allocator()));
        }
        return getInfoStatus;
    }

    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR, win::LPCWSTR, win::DWORD level, win::LPBYTE,
                                       win::LPDWORD) override {
        record("NetUserSetInfo", level);
        return 0;
    }

    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR, win::DWORD level,
                                         win::LPBYTE* buffer) override {
        record("NetUserModalsGet", level);
        const win::NET_API_STATUS status = level <= 3 ? modalsGetStatus[level] : 124;
        *buffer = nullptr;
        if (handsOutBuffer(status) && level == 0)
            *buffer = static_cast<win::LPBYTE>(win::BuildNetBuffer(modals0, allocator()));
        else if (handsOutBuffer(status) && level == 3)
            *buffer = static_cast<win::LPBYTE>(win::BuildNetBuffer(modals3, allocator()));
        return status;
    }

    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR, win::DWORD level, win::LPBYTE buffer,
                                         win::LPDWORD) override {
        NetCall& call = record("NetUserModalsSet", level);
        const std::size_t count = level == 0 ? 5 : level == 3 ? 3 : 0;
        call.values.resize(count);
        std::memcpy(call.values.data(), buffer, count * sizeof(win::DWORD));
        return level <= 3 ? 0 : 124;
    }

    win::NET_API_STATUS NetApiBufferFree(win::LPVOID buffer) override {
        return pool_.release(buffer) ? 0 : win::ERROR_INVALID_PARAMETER;
    }

private:
    NetCall& record(const char* function, win::DWORD level) {
        static NetCall unlogged;
        if (!logCalls)
            return unlogged = {};
        calls.push_back({function, level, 0, {}});
        return calls.back();
    }

    bool handsOutBuffer(win::NET_API_STATUS status) const {
        const bool success = status == 0 || status == win::ERROR_MORE_DATA;
        return buffers == Buffers::AlsoOnFailure || (success && buffers == Buffers::OnSuccess);
    }

    win::NetBufferAllocator allocator() { return pool_.allocator(); }

    win::NetBufferPool pool_;
};

} // namespace tw::test
