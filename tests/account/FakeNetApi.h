// A hand-written, scriptable INetApi for unit tests. Every buffer it hands
// out is a real allocation laid out as netapi32 lays it out (records first,
// then the strings they point to); NetApiBufferFree is counted, and buffers
// a test forgot are released by the destructor so that a failed test does
// not also leak.
#pragma once

#include "platform/INetApi.h"
#include "platform/NetBuffer.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tw::test {

struct NetCall {
    std::string function;
    std::optional<std::u16string> server; // none: a null server argument
    std::u16string user;
    win::DWORD level = 0;
    win::DWORD filter = 0;
    win::DWORD preferredLength = 0;
    win::DWORD resumeIn = 0;
    std::vector<win::DWORD> values; // what a set call sent
    bool parameterErrorGiven = false;
};

struct EnumBatch {
    win::NET_API_STATUS status = 0;
    std::vector<std::u16string> names;
    win::DWORD resumeOut = 0;
    bool bufferOnFailure = false; // also hand out a buffer with a failure
};

class FakeNetApi : public win::INetApi {
public:
    ~FakeNetApi() override {
        for (void* p : outstanding_)
            std::free(p);
    }

    std::vector<NetCall> calls;

    // NetUserGetInfo level 3.
    win::NET_API_STATUS getInfoStatus = 0;
    bool getInfoBufferOnFailure = false;
    bool getInfoNullBufferOnSuccess = false;
    win::USER_INFO_3 account{};
    std::u16string accountName = u"Alice";

    // NetUserSetInfo.
    win::NET_API_STATUS setInfoStatus = 0;

    // NetUserEnum: one batch per call, in order; past the end the last repeats.
    std::deque<EnumBatch> batches;

    // NetUserModalsGet / Set, per level (0 and 3).
    win::NET_API_STATUS modalsGetStatus[4] = {};
    win::NET_API_STATUS modalsSetStatus[4] = {};
    bool modalsBufferOnFailure = false;
    win::USER_MODALS_INFO_0 modals0{};
    win::USER_MODALS_INFO_3 modals3{};

    int Allocations() const { return allocations_; }
    int Frees() const { return frees_; }
    int Outstanding() const { return static_cast<int>(outstanding_.size()); }
    int BadFrees() const { return badFrees_; }
    int CallsOf(const std::string& function) const {
        int n = 0;
        for (const auto& c : calls)
            n += c.function == function ? 1 : 0;
        return n;
    }

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR server, win::DWORD level, win::DWORD filter,
                                    win::LPBYTE* buffer, win::DWORD preferredLength,
                                    win::LPDWORD entriesRead, win::LPDWORD totalEntries,
                                    win::PDWORD resumeHandle) override {
        NetCall call = record("NetUserEnum", server, nullptr, level);
        call.filter = filter;
        call.preferredLength = preferredLength;
        call.resumeIn = *resumeHandle;
        calls.push_back(call);

        const EnumBatch batch = batches.empty() ? EnumBatch{} : batches.front();
        if (batches.size() > 1)
            batches.pop_front();
        *buffer = nullptr;
        *entriesRead = 0;
        *totalEntries = 0;
        const bool success = batch.status == 0 || batch.status == win::ERROR_MORE_DATA;
        if (!success && !batch.bufferOnFailure)
            return batch.status;

        win::NetBufferBuilder<win::USER_INFO_0> names(batch.names.size());
        for (std::size_t i = 0; i < batch.names.size(); ++i)
            names.addText(i, &win::USER_INFO_0::usri0_name, batch.names[i]);
        *buffer = static_cast<win::LPBYTE>(names.build(allocator()));
        if (success) {
            *entriesRead = static_cast<win::DWORD>(batch.names.size());
            *totalEntries = *entriesRead;
            *resumeHandle = batch.resumeOut;
        }
        return batch.status;
    }

    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR server, win::LPCWSTR user, win::DWORD level,
                                       win::LPBYTE* buffer) override {
        calls.push_back(record("NetUserGetInfo", server, user, level));
        *buffer = nullptr;
        if (getInfoStatus == 0 && getInfoNullBufferOnSuccess)
            return 0;
        if (getInfoStatus != 0 && !getInfoBufferOnFailure)
            return getInfoStatus;
        win::NetBufferBuilder<win::USER_INFO_3> info(1);
        info.record(0) = account;
        info.addText(0, &win::USER_INFO_3::usri3_name, accountName);
        *buffer = static_cast<win::LPBYTE>(info.build(allocator()));
        return getInfoStatus;
    }

    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR server, win::LPCWSTR user, win::DWORD level,
                                       win::LPBYTE buffer, win::LPDWORD parameterError) override {
        NetCall call = record("NetUserSetInfo", server, user, level);
        if (level == 1008)
            call.values.push_back(reinterpret_cast<win::USER_INFO_1008*>(buffer)->usri1008_flags);
        call.parameterErrorGiven = parameterError != nullptr;
        calls.push_back(call);
        return setInfoStatus;
    }

    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR server, win::DWORD level,
                                         win::LPBYTE* buffer) override {
        calls.push_back(record("NetUserModalsGet", server, nullptr, level));
        *buffer = nullptr;
        const win::NET_API_STATUS status = level <= 3 ? modalsGetStatus[level] : 124;
        if (status != 0 && !modalsBufferOnFailure)
            return status;
        if (level == 0)
            *buffer = static_cast<win::LPBYTE>(win::BuildNetBuffer(modals0, allocator()));
        else if (level == 3)
            *buffer = static_cast<win::LPBYTE>(win::BuildNetBuffer(modals3, allocator()));
        return status;
    }

    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR server, win::DWORD level, win::LPBYTE buffer,
                                         win::LPDWORD parameterError) override {
        NetCall call = record("NetUserModalsSet", server, nullptr, level);
        const std::size_t count = level == 0 ? 5 : level == 3 ? 3 : 0;
        for (std::size_t i = 0; i < count; ++i) {
            win::DWORD v = 0;
            std::memcpy(&v, buffer + i * sizeof(win::DWORD), sizeof(v));
            call.values.push_back(v);
        }
        call.parameterErrorGiven = parameterError != nullptr;
        calls.push_back(call);
        return level <= 3 ? modalsSetStatus[level] : 124;
    }

    win::NET_API_STATUS NetApiBufferFree(win::LPVOID buffer) override {
        if (outstanding_.erase(buffer) == 0) {
            ++badFrees_;
            return win::ERROR_INVALID_PARAMETER;
        }
        ++frees_;
        std::free(buffer);
        return 0;
    }

private:
    static NetCall record(const char* function, win::LPCWSTR server, win::LPCWSTR user,
                          win::DWORD level) {
        NetCall call;
        call.function = function;
        if (server != nullptr)
            call.server = std::u16string(server);
        if (user != nullptr)
            call.user = user;
        call.level = level;
        return call;
    }

    win::NetBufferAllocator allocator() {
        return [this](std::size_t bytes) {
            void* p = std::malloc(bytes == 0 ? 1 : bytes);
            outstanding_.insert(p);
            ++allocations_;
            return p;
        };
    }

    std::set<void*> outstanding_;
    int allocations_ = 0;
    int frees_ = 0;
    int badFrees_ = 0;
};

} // namespace tw::test
