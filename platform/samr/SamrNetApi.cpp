#include "SamrNetApi.h"

#include "KerberosCheck.h"
#include "SamrClient.h"
#include "SamrRecords.h"
#include "SamrStatus.h"

#include "platform/TextCompare.h"
#include "platform/TextConvert.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace tw::samr {

using namespace win;

namespace {

// The size of the pages the server is asked for: thousands of names each,
// cut into the caller's batches here.
constexpr std::uint32_t kPageBytes = 0x40000;

std::uint64_t systemNow() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

std::string callText(const char* function, DWORD level, LPCWSTR server) {
    return std::string(function) + "." + std::to_string(level) + " " +
           (server == nullptr ? std::string("-") : ToUtf8(server));
}

} // namespace

struct SamrNetApi::Session {
    tw_samr_session* handle = nullptr;
    ~Session() { tw_samr_disconnect(handle); }
};

SamrNetApi::SamrNetApi(SamrConnection connection, std::function<std::uint64_t()> now)
    : connection_(std::move(connection)), now_(now ? std::move(now) : systemNow) {}

SamrNetApi::~SamrNetApi() = default;

NET_API_STATUS SamrNetApi::connect(const std::string& host) {
    session_.reset();
    sessionHost_.clear();
    for (;;) {
        if (!connection_.HasCredentials()) {
            // Credentials the server refused are never sent again, so that
            // signing in cannot lock the administrator's account out: new
            // ones, or no call at all.
            if (!signIn_ || !signIn_(connection_, host, refusal_) || !connection_.HasCredentials())
                return refusal_ != NERR_Success ? refusal_ : ERROR_LOGON_FAILURE;
        }
        // A ticket that cannot work is said so before the server is asked.
        if (connection_.kerberos) {
            if (const KerberosProblem problem = CheckKerberos(host);
                problem != KerberosProblem::NoProblem)
                return StatusOf(problem);
        }
        tw_samr_target target{};
        target.host = host.c_str();
        target.port = connection_.port;
        target.user = connection_.user.empty() ? nullptr : connection_.user.c_str();
        target.domain = connection_.domain.c_str();
        target.password = connection_.kerberos ? nullptr : connection_.password.c_str();
        target.kerberos = connection_.kerberos ? 1 : 0;
        target.answer_seconds = connection_.answerSeconds;
        auto session = std::make_unique<Session>();
        const std::uint32_t status = tw_samr_connect(&target, &session->handle);
        if (LogonRefused(status)) {
            refusal_ = WinStatusOf(status, Stage::Connect);
            connection_.password.Wipe();
            connection_.hasPassword = false;
            connection_.kerberos = false;
            continue;
        }
        if (status != kNtSuccess)
            return WinStatusOf(status, Stage::Connect);
        ++connections_;
        session_ = std::move(session);
        sessionHost_ = host;
        return NERR_Success;
    }
}

NET_API_STATUS
SamrNetApi::onServer(const char* function, DWORD level, LPCWSTR servername,
                     const std::function<std::uint32_t(tw_samr_session*)>& work) {
    calls_.push_back(callText(function, level, servername));
    std::u16string name = servername == nullptr ? std::u16string() : std::u16string(servername);
    if (name.size() >= 2 && name[0] == u'\\' && name[1] == u'\\')
        name.erase(0, 2);
    std::string host = name.empty() ? connection_.localHost : ToUtf8(name);
    if (host.empty())
        return ERROR_BAD_NETPATH;
    const bool reused =
        session_ != nullptr && EqualsIgnoringCase(FromUtf8(host), FromUtf8(sessionHost_));
    if (!reused) {
        if (NET_API_STATUS connected = connect(host); connected != NERR_Success)
            return connected;
    }
    std::uint32_t status = work(session_->handle);
    if (status == kNtIoTimeout) {
        // No answer in time: the connection is given up, and the call is not
        // made again, for the server may have carried it out.
        session_.reset();
        sessionHost_.clear();
    } else if (reused && ConnectionLost(status)) {
        // The server dropped the connection it had (it restarted): once more on a new one.
        if (NET_API_STATUS connected = connect(host); connected != NERR_Success)
            return connected;
        status = work(session_->handle);
    }
    return WinStatusOf(status, Stage::Call);
}

NET_API_STATUS SamrNetApi::refuse(const char* function, DWORD level, LPCWSTR servername,
                                  NET_API_STATUS status) {
    calls_.push_back(callText(function, level, servername));
    return status;
}

NET_API_STATUS SamrNetApi::NetUserEnum(LPCWSTR servername, DWORD level, DWORD filter,
                                       LPBYTE* bufptr, DWORD prefmaxlen, LPDWORD entriesread,
                                       LPDWORD totalentries, PDWORD resume_handle) {
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if (entriesread != nullptr)
        *entriesread = 0;
    if (totalentries != nullptr)
        *totalentries = 0;
    if (level != 0)
        return refuse("NetUserEnum", level, servername, ERROR_INVALID_LEVEL);
    std::uint32_t acb = 0;
    if (bufptr == nullptr || entriesread == nullptr || totalentries == nullptr ||
        !AccountBitsOfFilter(filter, acb))
        return refuse("NetUserEnum", level, servername, ERROR_INVALID_PARAMETER);
    DWORD resume = resume_handle != nullptr ? *resume_handle : 0;
    std::vector<std::u16string> fetched;
    NET_API_STATUS status =
        onServer("NetUserEnum", level, servername, [&](tw_samr_session* s) -> std::uint32_t {
            // A listing goes on from where the caller's handle points into the
            // names the server gave when it began; a handle that points beyond
            // them (the accounts went) lists nothing more.
            if (resume != 0 && listing_.host == sessionHost_ && listing_.acb == acb)
                return kNtSuccess;
            fetched.clear();
            auto sink = [](void* context, const char* name) -> std::uint32_t {
                auto converted = AccountName(name);
                if (!converted)
                    return kNtRpcBadStubData;
                static_cast<std::vector<std::u16string>*>(context)->push_back(*converted);
                return 0;
            };
            std::uint32_t listed = tw_samr_enum_users(s, acb, kPageBytes, sink, &fetched);
            if (listed == kNtSuccess)
                listing_ = {sessionHost_, acb, std::move(fetched)};
            return listed;
        });
    if (status != NERR_Success) {
        listing_ = {};
        return status;
    }
    const auto& names = listing_.names;
    status = HandOutNameBatch(
        names.size(), [&](std::size_t i) -> std::u16string_view { return names[i]; }, prefmaxlen,
        buffers_.allocator(), bufptr, entriesread, totalentries, resume_handle);
    if (status != ERROR_MORE_DATA)
        listing_ = {}; // complete: a new enumeration asks the server again
    return status;
}

NET_API_STATUS SamrNetApi::NetUserGetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                          LPBYTE* bufptr) {
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if (level != 3 || bufptr == nullptr || username == nullptr)
        return refuse("NetUserGetInfo", level, servername,
                      level != 3 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
    std::string name = ToUtf8(username);
    void* block = nullptr;
    NET_API_STATUS status =
        onServer("NetUserGetInfo", level, servername, [&](tw_samr_session* s) -> std::uint32_t {
            tw_samr_user user{};
            std::uint32_t queried = tw_samr_query_user(s, name.c_str(), &user);
            if (queried != kNtSuccess)
                return queried;
            NET_API_STATUS built = NERR_Success;
            block = BuildUserInfo3(user, now_(), buffers_.allocator(), built);
            tw_samr_user_free(&user);
            if (built == ERROR_NOT_ENOUGH_MEMORY)
                return static_cast<std::uint32_t>(kNtNoMemory);
            return built == NERR_Success ? kNtSuccess : kNtRpcBadStubData;
        });
    // A block is built only by a call that succeeds.
    if (status == NERR_Success)
        *bufptr = static_cast<LPBYTE>(block);
    return status;
}

NET_API_STATUS SamrNetApi::NetUserSetInfo(LPCWSTR servername, LPCWSTR username, DWORD level,
                                          LPBYTE buf, LPDWORD /*parm_err*/) {
    if (level != 1008 || buf == nullptr || username == nullptr)
        return refuse("NetUserSetInfo", level, servername,
                      level != 1008 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
    USER_INFO_1008 info;
    std::memcpy(&info, buf, sizeof info);
    std::string name = ToUtf8(username);
    return onServer("NetUserSetInfo", level, servername, [&](tw_samr_session* s) -> std::uint32_t {
        tw_samr_user user{};
        std::uint32_t queried = tw_samr_query_user(s, name.c_str(), &user);
        if (queried != kNtSuccess)
            return queried;
        std::uint32_t acb = AccountBitsFromUserFlags(info.usri1008_flags, user.acct_flags);
        bool cantChange = (info.usri1008_flags & UF_PASSWD_CANT_CHANGE) != 0;
        int changeRight = cantChange == (user.cant_change_password != 0) ? -1 : cantChange;
        tw_samr_user_free(&user);
        return tw_samr_set_user(s, name.c_str(), acb, changeRight);
    });
}

NET_API_STATUS SamrNetApi::NetUserModalsGet(LPCWSTR servername, DWORD level, LPBYTE* bufptr) {
    if (bufptr != nullptr)
        *bufptr = nullptr;
    if ((level != 0 && level != 3) || bufptr == nullptr)
        return refuse("NetUserModalsGet", level, servername,
                      bufptr != nullptr ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
    tw_samr_policy policy{};
    NET_API_STATUS status =
        onServer("NetUserModalsGet", level, servername, [&](tw_samr_session* s) -> std::uint32_t {
            return tw_samr_query_policy(s, &policy);
        });
    if (status != NERR_Success)
        return status;
    void* block = level == 0 ? BuildNetBuffer(ModalsInfo0(policy), buffers_.allocator())
                             : BuildNetBuffer(ModalsInfo3(policy), buffers_.allocator());
    if (block == nullptr)
        return ERROR_NOT_ENOUGH_MEMORY;
    *bufptr = static_cast<LPBYTE>(block);
    return NERR_Success;
}

NET_API_STATUS SamrNetApi::NetUserModalsSet(LPCWSTR servername, DWORD level, LPBYTE buf,
                                            LPDWORD parm_err) {
    if ((level != 0 && level != 3) || buf == nullptr)
        return refuse("NetUserModalsSet", level, servername,
                      buf != nullptr ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER);
    USER_MODALS_INFO_0 info0{};
    USER_MODALS_INFO_3 info3{};
    // The server keeps lengths and counts in 16 bits: a larger one is refused,
    // with the parameter's number, rather than cut.
    DWORD refused = 0;
    if (level == 0) {
        std::memcpy(&info0, buf, sizeof info0);
        if (info0.usrmod0_min_passwd_len > 0xFFFF)
            refused = 1; // MODALS_MIN_PASSWD_LEN_PARMNUM
        else if (info0.usrmod0_password_hist_len > 0xFFFF)
            refused = 5; // MODALS_PASSWD_HIST_LEN_PARMNUM
    } else {
        std::memcpy(&info3, buf, sizeof info3);
        if (info3.usrmod3_lockout_threshold > 0xFFFF)
            refused = 3; // its third field
    }
    if (refused != 0) {
        if (parm_err != nullptr)
            *parm_err = refused;
        return refuse("NetUserModalsSet", level, servername, ERROR_INVALID_PARAMETER);
    }
    return onServer("NetUserModalsSet", level, servername,
                    [&](tw_samr_session* s) -> std::uint32_t {
                        tw_samr_policy current{};
                        std::uint32_t read = tw_samr_query_policy(s, &current);
                        if (read != kNtSuccess)
                            return read;
                        if (level == 0) {
                            tw_samr_policy policy = PolicyWith(current, info0);
                            return tw_samr_set_password_policy(s, &policy);
                        }
                        tw_samr_policy policy = PolicyWith(current, info3);
                        return tw_samr_set_lockout_policy(s, &policy);
                    });
}

NET_API_STATUS SamrNetApi::NetApiBufferFree(LPVOID Buffer) {
    if (Buffer == nullptr)
        return NERR_Success;
    return buffers_.release(Buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

} // namespace tw::samr
