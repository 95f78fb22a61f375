// A network-management layer driven by the fuzz input: any status, batches of
// any shape (no names or thousands, empty and very long names, characters
// outside the Basic Multilingual Plane, lone surrogates, null name pointers,
// success without a buffer, a buffer with a failure, a resume handle that
// stays, moves or jumps) and records of any content. Buffers are laid out as
// netapi32 lays them out and counted until freed. What it handed out is kept
// for the checks. When the input runs out it answers "more data" for ever,
// without a name and without moving the handle.
#pragma once

#include "platform/INetApi.h"
#include "platform/NetBuffer.h"
#include "platform/NetBufferPool.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tw::fuzz {

struct HandedOutAccount {
    win::USER_INFO_3 info{};
    std::u16string name; // what the name pointer showed; empty for a null one
};

struct ModalsCall {
    win::DWORD level = 0;
    win::NET_API_STATUS status = 0;
    bool buffer = false;
    std::array<win::DWORD, 5> values{}; // read: handed out; set: sent
};

class HostileNetApi : public win::INetApi {
public:
    explicit HostileNetApi(FuzzedDataProvider& in) : in_(in) {}

    // NetUserEnum: the names of every batch that came with its records, in order.
    std::vector<std::u16string> enumerated;
    bool successWithoutBuffer = false;
    std::size_t enumCalls = 0;
    // NetUserGetInfo: the account of the last success with a record.
    std::optional<HandedOutAccount> account;
    win::NET_API_STATUS getInfoStatus = 0;
    bool getInfoBuffer = false;
    std::vector<win::DWORD> levelsAsked; // of NetUserGetInfo and NetUserSetInfo
    std::vector<ModalsCall> modalsCalls;
    win::NET_API_STATUS setInfoStatus = 0;
    win::DWORD flagsSent = 0;

    bool EveryBufferFreedOnce() const { return pool_.outstanding() == 0 && pool_.badFrees() == 0; }

    win::NET_API_STATUS NetUserEnum(win::LPCWSTR server, win::DWORD level, win::DWORD filter,
                                    win::LPBYTE* buffer, win::DWORD preferredLength,
                                    win::LPDWORD entriesRead, win::LPDWORD totalEntries,
                                    win::PDWORD resumeHandle) override;
    win::NET_API_STATUS NetUserGetInfo(win::LPCWSTR server, win::LPCWSTR user, win::DWORD level,
                                       win::LPBYTE* buffer) override;
    win::NET_API_STATUS NetUserSetInfo(win::LPCWSTR server, win::LPCWSTR user, win::DWORD level,
                                       win::LPBYTE buffer, win::LPDWORD parameterError) override;
    win::NET_API_STATUS NetUserModalsGet(win::LPCWSTR server, win::DWORD level,
                                         win::LPBYTE* buffer) override;
    win::NET_API_STATUS NetUserModalsSet(win::LPCWSTR server, win::DWORD level, win::LPBYTE buffer,
                                         win::LPDWORD parameterError) override;
    win::NET_API_STATUS NetApiBufferFree(win::LPVOID buffer) override;

private:
    win::NET_API_STATUS status();
    std::optional<std::u16string> name(); // none: a null pointer

    FuzzedDataProvider& in_;
    win::NetBufferPool pool_;
};

} // namespace tw::fuzz
