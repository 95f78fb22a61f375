#include "DomainController.h"
#include "servers/Command.h"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tw::test {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(name) +
                                 " is not set: run the tests through tests/addc/run-in-domain.sh");
    return value;
}

// DC=ad,DC=tarnwick,DC=test for AD.TARNWICK.TEST.
std::string baseDnOf(const std::string& realm) {
    std::string dn;
    std::stringstream parts(realm);
    for (std::string part; std::getline(parts, part, '.');) {
        std::transform(part.begin(), part.end(), part.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        dn += (dn.empty() ? "DC=" : ",DC=") + part;
    }
    return dn;
}

// "attribute: value" lines of ldbsearch's LDIF, record by record (values
// given in base64 are left out: none of those read here are).
std::vector<std::map<std::string, std::string>> records(const std::string& ldif) {
    std::vector<std::map<std::string, std::string>> out;
    std::stringstream lines(ldif);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("# record", 0) == 0) {
            out.emplace_back();
            continue;
        }
        if (out.empty() || line.empty() || line[0] == '#' || line[0] == ' ')
            continue;
        const auto colon = line.find(": ");
        if (colon != std::string::npos && line[colon - 1] != ':')
            out.back()[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return out;
}

} // namespace

DomainController::DomainController() {
    if (environment("TW_DOMAIN_NAMESPACE") != "1")
        throw std::runtime_error("not inside the namespaces of tests/addc/run-in-domain.sh");
    dir_ = environment("TW_DOMAIN_DIR");
    fixture_ = environment("TW_DOMAIN_FIXTURE");
    template_ = environment("TW_DOMAIN_TEMPLATE");
    domain_ = environment("TW_DOMAIN_NAME");
    realm_ = environment("TW_DOMAIN_REALM");
    host_ = environment("TW_DOMAIN_HOST");
    adminPassword_ = environment("TW_DOMAIN_ADMIN_PASSWORD");
    baseDn_ = baseDnOf(realm_);
    conf_ = dir_ + "/etc/smb.conf";
    sam_ = dir_ + "/private/sam.ldb";
    const std::string root = std::filesystem::path(dir_).parent_path();
    run({"tar", "-C", root, "-xf", template_});
    start();
}

DomainController::~DomainController() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string DomainController::run(const std::vector<std::string>& command, const std::string& input,
                                  int* status) const {
    return RunCommand(command, input, fixture_, status);
}

samr::SamrConnection DomainController::connectionAs(const std::string& user,
                                                    const std::string& password) const {
    samr::SamrConnection connection;
    connection.user = user.empty() ? kAdmin : user;
    connection.domain = domain_;
    connection.password.Assign(user.empty() ? adminPassword_ : password);
    connection.hasPassword = true;
    return connection;
}

samr::SamrConnection DomainController::administratorConnection(bool kerberos) const {
    samr::SamrConnection connection;
    if (kerberos) {
        if (!obtainTicket(kAdmin, adminPassword_))
            throw std::runtime_error("kinit: " + lastOutput_);
        connection.kerberos = true;
        connection.localHost = host_;
        return connection;
    }
    const std::string path = scratch("administrator.auth");
    std::ofstream(path) << "username = " << kAdmin << "\npassword = " << adminPassword_
                        << "\ndomain = " << domain_ << "\n";
    if (auto error = samr::LoadAuthenticationFile(connection, path))
        throw std::runtime_error(*error);
    return connection;
}

DomainChanges::DomainChanges(DomainController& dc) : dc_(dc) {
    const auto domain = dc.domainAttributes();
    for (const char* name :
         {"minPwdLength", "maxPwdAge", "minPwdAge", "forceLogoff", "pwdHistoryLength",
          "lockoutDuration", "lockOutObservationWindow", "lockoutThreshold"})
        policy_[name] = domain.at(name);
}

// A failure to undo ends the test program: the tests after it would meet
// a domain they do not expect.
DomainChanges::~DomainChanges() {
    dc_.dropTickets();
    dc_.remove(made_);
    dc_.setDomainAttributes(policy_);
}

void DomainChanges::add(const std::vector<std::pair<std::string, std::uint32_t>>& accounts,
                        const std::string& password) {
    const auto dns = dc_.addAccounts(accounts, password);
    made_.insert(made_.end(), dns.begin(), dns.end());
}

std::vector<std::string>
DomainController::addAccounts(const std::vector<std::pair<std::string, std::uint32_t>>& accounts,
                              const std::string& password) {
    std::vector<std::string> dns;
    // unicodePwd: the password in quotes, in UTF-16LE, read from a file.
    std::ofstream value(scratch("unicodePwd"), std::ios::binary);
    for (char c : "\"" + password + "\"")
        value << c << '\0';
    value.close();
    std::ofstream ldif(scratch("add.ldif"));
    for (const auto& [name, control] : accounts) {
        const bool computer =
            (control & (uac::kWorkstationTrust | uac::kServerTrust | uac::kInterdomainTrust)) != 0;
        std::string cn = name;
        if (computer && !cn.empty() && cn.back() == '$')
            cn.pop_back();
        dns.push_back("CN=" + cn + (computer ? ",CN=Computers," : ",CN=Users,") + baseDn_);
        ldif << "dn: " << dns.back() << "\n"
             << "objectClass: " << (computer ? "computer" : "user") << "\n"
             << "sAMAccountName: " << name << "\n"
             << "userAccountControl: " << control << "\n"
             << "unicodePwd:< file://" << scratch("unicodePwd") << "\n\n";
    }
    ldif.close();
    if (!dns.empty())
        run({"ldbadd", "-H", sam_, scratch("add.ldif")});
    return dns;
}

void DomainController::remove(const std::vector<std::string>& dns) {
    if (dns.empty())
        return;
    std::vector<std::string> command{"ldbdel", "-H", sam_};
    command.insert(command.end(), dns.begin(), dns.end());
    run(command);
}

std::string DomainController::sambaTool(std::vector<std::string> arguments, int* status) const {
    arguments.insert(arguments.begin(), "samba-tool");
    arguments.insert(arguments.end(), {"-s", conf_, "-H", sam_});
    return run(arguments, {}, status);
}

std::string DomainController::descriptor(const std::string& name) const {
    const std::string shown = sambaTool({"dsacl", "get", "--objectdn=" + accountDn(name)});
    const auto start = shown.find("O:");
    if (start == std::string::npos)
        throw std::runtime_error("samba-tool dsacl get shows no descriptor: " + shown);
    return shown.substr(start, shown.find_first_of("\r\n", start) - start);
}

void DomainController::denyPasswordChange(const std::string& name) {
    sambaTool({"dsacl", "set", "--objectdn=" + accountDn(name),
               "--sddl=(OD;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;WD)"
               "(OD;;CR;ab721a53-1e2f-11d0-9819-00aa0040529b;;PS)"});
}

bool DomainController::changeOwnPassword(const std::string& name, const std::string& oldPassword,
                                         const std::string& newPassword) const {
    int status = 0;
    lastOutput_ =
        run({"rpcclient", "-s", "/dev/null", "-U", domain_ + "\\" + name + "%" + oldPassword, "-c",
             "chgpasswd3 " + name + " " + oldPassword + " " + newPassword, "127.0.0.1"},
            {}, &status);
    // rpcclient ends with 0 whatever its command answered.
    return status == 0 && lastOutput_.find("NT_STATUS_") == std::string::npos;
}

std::string DomainController::accountDn(const std::string& name) const {
    const auto found = records(
        run({"ldbsearch", "-H", sam_, "-b", baseDn_, "(sAMAccountName=" + name + ")", "dn"}));
    if (found.size() != 1 || found[0].count("dn") == 0)
        throw std::runtime_error("no single account " + name + " on the DC");
    return found[0].at("dn");
}

std::optional<std::string> DomainController::accountAttribute(const std::string& name,
                                                              const std::string& attribute) const {
    const auto found = records(
        run({"ldbsearch", "-H", sam_, "-b", baseDn_, "(sAMAccountName=" + name + ")", attribute}));
    if (found.size() != 1)
        throw std::runtime_error("no single account " + name + " on the DC");
    const auto at = found[0].find(attribute);
    if (at == found[0].end())
        return std::nullopt;
    return at->second;
}

std::int64_t DomainController::accountNumber(const std::string& name,
                                             const std::string& attribute) const {
    const auto value = accountAttribute(name, attribute);
    return value ? std::stoll(*value) : 0;
}

std::uint32_t DomainController::accountFlags(const std::string& name) const {
    const auto computed = accountNumber(name, "msDS-User-Account-Control-Computed");
    return static_cast<std::uint32_t>(accountNumber(name, "userAccountControl") |
                                      (computed & uac::kLockout));
}

std::map<std::string, std::string> DomainController::domainAttributes() const {
    const auto found = records(run({"ldbsearch", "-H", sam_, "-b", baseDn_, "-s", "base"}));
    if (found.size() != 1)
        throw std::runtime_error("the domain object was not found");
    return found[0];
}

void DomainController::setDomainAttributes(const std::map<std::string, std::string>& values) {
    modify(baseDn_, values);
}

void DomainController::setAccountAttributes(const std::string& name,
                                            const std::map<std::string, std::string>& values) {
    modify(accountDn(name), values);
}

void DomainController::modify(const std::string& dn,
                              const std::map<std::string, std::string>& values) {
    std::ofstream ldif(scratch("modify.ldif"));
    ldif << "dn: " << dn << "\nchangetype: modify\n";
    for (const auto& [attribute, value] : values)
        ldif << "replace: " << attribute << "\n" << attribute << ": " << value << "\n-\n";
    ldif.close();
    run({"ldbmodify", "-H", sam_, scratch("modify.ldif")});
}

void DomainController::setPasswordSettings(const std::vector<std::string>& options) {
    std::vector<std::string> arguments{"domain", "passwordsettings", "set"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    sambaTool(arguments);
}

std::vector<std::string> DomainController::normalAccounts() const {
    auto found = records(run({"ldbsearch", "-H", sam_, "-b", baseDn_,
                              "(&(objectClass=user)(userAccountControl:1.2.840.113556.1.4.803:=" +
                                  std::to_string(uac::kNormal) + "))",
                              "sAMAccountName", "objectSid"}));
    auto rid = [](const std::map<std::string, std::string>& record) {
        const std::string& sid = record.at("objectSid");
        return std::stoul(sid.substr(sid.rfind('-') + 1));
    };
    std::sort(found.begin(), found.end(),
              [&](const auto& a, const auto& b) { return rid(a) < rid(b); });
    std::vector<std::string> names;
    for (const auto& record : found)
        names.push_back(record.at("sAMAccountName"));
    return names;
}

bool DomainController::logon(const std::string& name, const std::string& password) const {
    int status = 0;
    lastOutput_ = run({"smbclient", "-s", "/dev/null", "//127.0.0.1/IPC$", "-U",
                       domain_ + "\\" + name + "%" + password, "-c", "exit"},
                      {}, &status);
    return status == 0;
}

bool DomainController::kinit(const std::string& name, const std::string& password) const {
    int status = 0;
    const std::string own = scratch("ccache." + name);
    lastOutput_ = run({"env", "KRB5CCNAME=FILE:" + own, "kinit", name + "@" + realm_},
                      password + "\n", &status);
    std::filesystem::remove(own);
    return status == 0;
}

bool DomainController::obtainTicket(const std::string& name, const std::string& password) const {
    int status = 0;
    lastOutput_ = run({"kinit", name + "@" + realm_}, password + "\n", &status);
    return status == 0;
}

void DomainController::dropTickets() const {
    int status = 0;
    run({"kdestroy"}, {}, &status);
}

void DomainController::start() {
    pid_ = StartGroup({"samba", "-s", conf_, "-F", "--no-process-group", "-M", "prefork"},
                      scratch("samba.log"));
    // The DC answers a logon once its SMB server, its directory and its
    // authentication are all up: 3 to 5 s here; its LDAP server may come
    // a moment later.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!logon(kAdmin, adminPassword_) || !Listening("127.0.0.1", 389)) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("samba ended at start; see " + scratch("samba.log"));
        }
        if (std::chrono::steady_clock::now() > until)
            throw std::runtime_error("the DC did not answer within 60 s: " + lastOutput_);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void DomainController::signal(int number) const {
    if (pid_ > 0)
        kill(-pid_, number);
}

void DomainController::stop() {
    StopGroup(pid_);
    pid_ = -1;
}

PortRelay::PortRelay(const std::string& address, int port) {
    pid_ = StartGroup({"socat",
                       "TCP-LISTEN:" + std::to_string(port) + ",bind=" + address + ",fork,reuseaddr",
                       "TCP:127.0.0.1:" + std::to_string(port)});
    for (int i = 0; i < 100; ++i) {
        if (Listening(address, port))
            return;
        if (waitpid(pid_, nullptr, WNOHANG) != 0)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    StopGroup(pid_);
    throw std::runtime_error("socat does not relay " + address + ":" + std::to_string(port) +
                             " (tools/install-deps)");
}

PortRelay::~PortRelay() {
    StopGroup(pid_);
}

} // namespace tw::test
