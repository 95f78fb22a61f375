// The servers of a simulated network behind NetApiFront: the local computer
// (no server argument, or its own name) and named servers, found without
// regard to case; any other server fails every call with
// machine.unknownServerStatus. Lockout can only be cleared; failures, slow
// answers and lost answers are injected per function, level and call.
#pragma once

#include "SimState.h"

#include "platform/INetServer.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tw::sim {

class SimNetwork final : public win::INetServer {
public:
    explicit SimNetwork(SimState& state) : state_(state) {}

    win::NET_API_STATUS ListUsers(const std::u16string& server, win::DWORD level, win::DWORD filter,
                                  bool continuing, std::vector<win::ListedUser>& users) override;
    win::NET_API_STATUS GetUser(const std::u16string& server, const std::u16string& name,
                                const win::NetBufferAllocator& allocate, void*& record) override;
    win::NET_API_STATUS SetUserFlags(const std::u16string& server, const std::u16string& name,
                                     win::DWORD flags) override;
    win::NET_API_STATUS GetPolicy(const std::u16string& server, win::DWORD level,
                                  win::USER_MODALS_INFO_0& passwords,
                                  win::USER_MODALS_INFO_3& lockout) override;
    win::NET_API_STATUS SetPasswordPolicy(const std::u16string& server,
                                          const win::USER_MODALS_INFO_0& passwords,
                                          win::DWORD& parmErr) override;
    win::NET_API_STATUS SetLockoutPolicy(const std::u16string& server,
                                         const win::USER_MODALS_INFO_3& lockout,
                                         win::DWORD& parmErr) override;

    // Why the computer keeps an account's change-password right out of reach
    // (the account's changeRightOutOfReach); the server as NetUserGetInfo
    // takes it. Not a call: nothing is counted or made to fail.
    std::optional<std::u16string> ChangeRightOutOfReach(const std::u16string& server,
                                                        const std::u16string& name);

private:
    // The computer a call reaches, after its delay and injected failure;
    // null with `status` set when the call fails there.
    Computer* serveCall(const char* function, win::DWORD level, const std::u16string& server,
                        win::NET_API_STATUS& status);
    // What a write that was carried out answers: success, or the status its
    // lost answer turns into (the computer's answerLost rules).
    win::NET_API_STATUS writeAnswer() const { return answerLost_; }
    // The computer a server name (none: the local one) names; null for none.
    Computer* findComputer(const std::u16string& server);
    Account* findAccount(Computer& computer, const std::u16string& name);

    SimState& state_;
    // Calls counted for failure injection: "COMPUTER|Function" and
    // "COMPUTER|Function.LEVEL" (computer name folded).
    std::map<std::string, std::uint32_t> callCounts_;
    win::NET_API_STATUS answerLost_ = 0; // of the call under way
};

} // namespace tw::sim
