#include "SamrServer.h"

#include "ChangePasswordRight.h"
#include "DirectoryClient.h"
#include "KerberosCheck.h"
#include "SamrRecords.h"
#include "SamrStatus.h"

#include "platform/TextCompare.h"
#include "platform/TextConvert.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <unordered_map>

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

std::string rightKeyOf(const std::string& host, const std::u16string& account) {
    return ToUtf8(FoldCase(FromUtf8(host))) + '\\' + ToUtf8(FoldCase(account));
}

} // namespace

struct SamrServer::Session {
    tw_samr_session* handle = nullptr;
    // The same server's directory, opened when an account's right is first
    // found there; tried once per connection.
    std::unique_ptr<DirectoryClient> directory;
    bool directoryTried = false;
    DirectoryAnswer directoryRefusal;
    // A request that found the directory gone (or got no answer): the next
    // read opens it again.
    void loseDirectory(const DirectoryAnswer& why) {
        if (why.status != kNtNotSupported)
            return;
        directory.reset();
        directoryTried = false;
        directoryRefusal = why;
    }
    ~Session() {
        directory.reset();
        tw_samr_disconnect(handle);
    }
};

// The directory's view of an account's right: the descriptor read, and
// where to write it.
struct SamrServer::DirectoryRight {
    std::uint32_t status = kNtSuccess;
    std::string dn;
    std::vector<std::uint8_t> descriptor;
};

std::string SamrServer::rightKey(const std::string& account) const {
    return rightKeyOf(sessionHost_, FromUtf8(account));
}

SamrServer::DirectoryRight SamrServer::readRight(const std::string& account, tw_samr_user& user) {
    DirectoryRight right;
    ChangeRight& record = rights_[rightKey(account)];
    record = {};
    if (!user.dacl_missing) {
        record.keeper = ChangeRightKeeper::Samr;
        return right;
    }
    Session& session = *session_;
    if (!session.directoryTried) {
        session.directoryTried = true;
        DirectoryTarget target;
        target.host = sessionHost_;
        target.user = connection_.user;
        target.domain = connection_.domain;
        target.password = connection_.kerberos ? nullptr : &connection_.password;
        target.kerberos = connection_.kerberos;
        if (connection_.answerSeconds > 0)
            target.answerSeconds = connection_.answerSeconds;
        session.directory = DirectoryClient::Open(target, session.directoryRefusal);
    }
    DirectoryAnswer answer = session.directoryRefusal;
    if (session.directory) {
        answer = session.directory->ReadDacl(account, right.dn, right.descriptor);
        if (answer.ok()) {
            if (auto denied = PasswordChangeDenied(right.descriptor))
                user.cant_change_password = *denied ? 1 : 0;
            else
                answer = {kNtInvalidSecurityDescr, "the object's security descriptor is malformed"};
        } else {
            session.loseDirectory(answer);
        }
    }
    record.keeper =
        session.directory ? ChangeRightKeeper::Directory : ChangeRightKeeper::OutOfReach;
    record.status = WinStatusOf(answer.status, Stage::Call);
    record.detail = answer.ok() ? session.directory->Description() : answer.detail;
    right.status = answer.status;
    return right;
}

SamrServer::SamrServer(SamrConnection connection, std::function<std::uint64_t()> now)
    : connection_(std::move(connection)), now_(now ? std::move(now) : systemNow) {}

SamrServer::~SamrServer() = default;

NET_API_STATUS SamrServer::connect(const std::string& host) {
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
        if (const KerberosProblem problem = CheckKerberos(connection_, host);
            problem != KerberosProblem::NoProblem)
            return StatusOf(problem);
        tw_samr_target target{};
        target.host = host.c_str();
        target.port = connection_.port;
        target.user = connection_.user.empty() ? nullptr : connection_.user.c_str();
        target.domain = connection_.domain.c_str();
        // With Kerberos, a password is made into a ticket in memory.
        target.password = connection_.hasPassword ? connection_.password.c_str() : nullptr;
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

NET_API_STATUS SamrServer::onServer(const std::u16string& server,
                                    const std::function<std::uint32_t(tw_samr_session*)>& work) {
    const std::string host = server.empty() ? connection_.localHost : ToUtf8(server);
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

NET_API_STATUS SamrServer::ListUsers(const std::u16string& server, DWORD level, DWORD filter,
                                     bool continuing, std::vector<ListedUser>& users) {
    std::uint32_t acb = 0;
    AccountBitsOfFilter(filter, acb); // the front lets only known bits through
    return onServer(server, [&](tw_samr_session* s) -> std::uint32_t {
        if (continuing)
            return kNtSuccess; // the front holds the listing
        users.clear();
        auto sink = [](void* context, const char* name, std::uint32_t rid) -> std::uint32_t {
            auto converted = AccountName(name);
            if (!converted)
                return kNtRpcBadStubData;
            static_cast<std::vector<ListedUser>*>(context)->push_back({*converted, {}, {}, 0, rid});
            return 0;
        };
        std::vector<ListedUser> shown;
        bool complete = false;
        if (level == 20) {
            const std::uint32_t read = readDisplay(s, shown, complete);
            if (read != kNtSuccess)
                return read;
            // The display information lists the normal accounts, in the
            // order the enumeration gives them: where the server filled in
            // every one's bits, it is the whole listing.
            if (complete && acb == ACB_NORMAL) {
                users = std::move(shown);
                return kNtSuccess;
            }
        }
        const std::uint32_t listed = tw_samr_enum_users(s, acb, kPageBytes, sink, &users);
        if (listed != kNtSuccess || level == 0)
            return listed;
        return describeListed(s, std::move(shown), users);
    });
}

namespace {

// Bits the display information of a server that fills them always has: the
// kind of account. Without one the server left the bits out (a Samba AD
// domain controller hands out 0 for every account).
constexpr std::uint32_t kAccountKinds = ACB_NORMAL | 0x8 | 0x40 | 0x80 | 0x100;
// Ends a reading of the display information at the first account without.
constexpr std::uint32_t kBitsLeftOut = 0xE0000001;

} // namespace

std::uint32_t SamrServer::readDisplay(tw_samr_session* s, std::vector<ListedUser>& shown,
                                      bool& complete) {
    // A standalone Samba server hands out the same stored bits, lockout
    // included, in its display information as in each account's record.
    auto sink = [](void* context, const tw_samr_user* user) -> std::uint32_t {
        auto listed = ListedUserOf(*user);
        if ((user->acct_flags & kAccountKinds) == 0 || !listed)
            return kBitsLeftOut;
        static_cast<std::vector<ListedUser>*>(context)->push_back(std::move(*listed));
        return kNtSuccess;
    };
    const std::uint32_t read = tw_samr_query_display(s, kPageBytes, sink, &shown);
    complete = read == kNtSuccess;
    if (read == kNtIoTimeout || ConnectionLost(read))
        return read;
    return kNtSuccess; // refused, or bits left out: the accounts are read one by one
}

std::uint32_t SamrServer::describeListed(tw_samr_session* s, std::vector<ListedUser> shown,
                                         std::vector<ListedUser>& users) {
    std::unordered_map<std::uint32_t, ListedUser> displayed;
    for (ListedUser& account : shown)
        displayed.emplace(account.userId, std::move(account));
    std::vector<ListedUser> described;
    described.reserve(users.size());
    for (const ListedUser& account : users) {
        if (auto found = displayed.find(account.userId); found != displayed.end()) {
            described.push_back(std::move(found->second));
            continue;
        }
        tw_samr_user user{};
        const std::uint32_t read = tw_samr_query_listed_user(s, account.userId, &user);
        if (read == kNtNoSuchUser)
            continue; // gone since the listing
        if (read != kNtSuccess)
            return read;
        auto listed = ListedUserOf(user);
        tw_samr_user_free(&user);
        if (!listed)
            return kNtRpcBadStubData;
        described.push_back(std::move(*listed));
    }
    users = std::move(described);
    return kNtSuccess;
}

NET_API_STATUS SamrServer::GetUser(const std::u16string& server, const std::u16string& name,
                                   const NetBufferAllocator& allocate, void*& record) {
    const std::string account = ToUtf8(name);
    return onServer(server, [&](tw_samr_session* s) -> std::uint32_t {
        tw_samr_user user{};
        std::uint32_t queried = tw_samr_query_user(s, account.c_str(), &user);
        if (queried != kNtSuccess)
            return queried;
        // A right that cannot be read leaves the account readable: as SAMR
        // shows it, with ChangePasswordRight saying why.
        readRight(account, user);
        NET_API_STATUS built = NERR_Success;
        record = BuildUserInfo3(user, now_(), allocate, built);
        tw_samr_user_free(&user);
        if (built == ERROR_NOT_ENOUGH_MEMORY)
            return static_cast<std::uint32_t>(kNtNoMemory);
        return built == NERR_Success ? kNtSuccess : kNtRpcBadStubData;
    });
}

NET_API_STATUS SamrServer::SetUserFlags(const std::u16string& server, const std::u16string& name,
                                        DWORD flags) {
    const std::string account = ToUtf8(name);
    return onServer(server, [&](tw_samr_session* s) -> std::uint32_t {
        tw_samr_user user{};
        std::uint32_t queried = tw_samr_query_user(s, account.c_str(), &user);
        if (queried != kNtSuccess)
            return queried;
        const DirectoryRight right = readRight(account, user);
        std::uint32_t acb = AccountBitsFromUserFlags(flags, user.acct_flags);
        bool cantChange = (flags & UF_PASSWD_CANT_CHANGE) != 0;
        int changeRight = cantChange == (user.cant_change_password != 0) ? -1 : cantChange;
        // The expired password is written as Windows writes it from this bit.
        const bool expired = (flags & UF_PASSWORD_EXPIRED) != 0;
        int expire = expired == PasswordExpired(user) ? -1 : expired;
        const bool inDirectory = user.dacl_missing != 0;
        tw_samr_user_free(&user);
        if (changeRight >= 0 && inDirectory) {
            // The right first, as over SAMR: when it cannot be written, no
            // bit is.
            if (right.status != kNtSuccess)
                return right.status;
            if (!session_->directory)
                return kNtNotSupported;
            if (const std::uint32_t written = writeRight(account, right, cantChange);
                written != kNtSuccess)
                return written;
            changeRight = -1;
        }
        return tw_samr_set_user(s, account.c_str(), acb, changeRight, expire);
    });
}

std::uint32_t SamrServer::writeRight(const std::string& account, const DirectoryRight& right,
                                     bool denied) {
    ChangeRight& record = rights_[rightKey(account)];
    const auto descriptor = WithPasswordChange(right.descriptor, denied);
    Session& session = *session_;
    DirectoryAnswer answer;
    if (!descriptor)
        answer = {kNtInvalidSecurityDescr, "the object's security descriptor is malformed"};
    else
        answer = session.directory->WriteDacl(right.dn, *descriptor);
    // What the directory keeps is read back, never taken on trust (an
    // inherited deny stays whatever this object's DACL says).
    DirectoryRight kept;
    if (answer.ok())
        answer = session.directory->ReadDacl(account, kept.dn, kept.descriptor);
    if (!answer.ok())
        session.loseDirectory(answer);
    else if (PasswordChangeDenied(kept.descriptor) != std::optional<bool>(denied))
        answer = {kNtNotSupported, "the directory did not keep the change-password right written"};
    record.status = WinStatusOf(answer.status, Stage::Call);
    record.detail = answer.ok() ? session.directory->Description() : answer.detail;
    return answer.status;
}

ChangeRight SamrServer::ChangePasswordRight(const std::u16string& server,
                                            const std::u16string& name) {
    const std::string host = server.empty() ? connection_.localHost : ToUtf8(server);
    const std::string key = rightKeyOf(host, name);
    if (auto found = rights_.find(key); found != rights_.end())
        return found->second;
    const std::string account = ToUtf8(name);
    const NET_API_STATUS status = onServer(server, [&](tw_samr_session* s) -> std::uint32_t {
        tw_samr_user user{};
        const std::uint32_t queried = tw_samr_query_user(s, account.c_str(), &user);
        if (queried == kNtSuccess)
            readRight(account, user);
        tw_samr_user_free(&user);
        return queried;
    });
    if (auto found = rights_.find(key); found != rights_.end())
        return found->second;
    return {ChangeRightKeeper::NotRead, status, {}};
}

NET_API_STATUS SamrServer::GetPolicy(const std::u16string& server, DWORD /*level*/,
                                     USER_MODALS_INFO_0& passwords, USER_MODALS_INFO_3& lockout) {
    tw_samr_policy policy{};
    const NET_API_STATUS status = onServer(server, [&](tw_samr_session* s) -> std::uint32_t {
        return tw_samr_query_policy(s, &policy);
    });
    if (status == NERR_Success) {
        passwords = ModalsInfo0(policy);
        lockout = ModalsInfo3(policy);
    }
    return status;
}

NET_API_STATUS SamrServer::writePolicy(
    const std::u16string& server,
    const std::function<std::uint32_t(tw_samr_session*, const tw_samr_policy&)>& write) {
    return onServer(server, [&](tw_samr_session* s) {
        tw_samr_policy current{};
        if (const std::uint32_t read = tw_samr_query_policy(s, &current); read != kNtSuccess)
            return read;
        return write(s, current);
    });
}

// A part the server holds already is not sent: an unchanged part cannot fail
// after another one was written.
NET_API_STATUS SamrServer::SetPasswordPolicy(const std::u16string& server,
                                             const USER_MODALS_INFO_0& passwords, DWORD& parmErr) {
    return writePolicy(server, [&](tw_samr_session* s, const tw_samr_policy& current) {
        const tw_samr_policy policy = PolicyWith(current, passwords);
        const unsigned parts = ChangedPasswordParts(ModalsInfo0(current), passwords);
        unsigned refused = 0;
        const std::uint32_t status = tw_samr_set_policy(s, &policy, parts, &refused);
        // The lengths and ages were written; only the forced logoff failed.
        if (refused == TW_SAMR_LOGOFF_PART && (parts & TW_SAMR_PASSWORD_PART) != 0)
            parmErr = 4; // MODALS_FORCE_LOGOFF_PARMNUM
        return status;
    });
}

NET_API_STATUS SamrServer::SetLockoutPolicy(const std::u16string& server,
                                            const USER_MODALS_INFO_3& lockout, DWORD& /*parmErr*/) {
    return writePolicy(server, [&](tw_samr_session* s, const tw_samr_policy& current) {
        const tw_samr_policy policy = PolicyWith(current, lockout);
        unsigned refused = 0;
        return tw_samr_set_policy(s, &policy, ChangedLockoutParts(ModalsInfo3(current), lockout),
                                  &refused);
    });
}

} // namespace tw::samr
