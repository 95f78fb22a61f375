#include "SambaServer.h"
#include "servers/Command.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace tw::test {

namespace {

int freeLoopbackPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(s);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    close(s);
    return ntohs(address.sin_port);
}

void append(const std::string& path, const std::string& line) {
    std::ofstream(path, std::ios::app) << line << "\n";
}

// The environment of every Samba program the server runs: its users are
// those of the folder's passwd and group files.
void useWrappedUsers(const std::string& dir) {
    setenv("LD_PRELOAD", "libnss_wrapper.so", 1);
    setenv("NSS_WRAPPER_PASSWD", (dir + "/passwd").c_str(), 1);
    setenv("NSS_WRAPPER_GROUP", (dir + "/group").c_str(), 1);
    // A throw-away database needs no fsync after each record: imports of
    // thousands of accounts take a second instead of minutes.
    setenv("TDB_NO_FSYNC", "1", 1);
}

} // namespace

SambaServer::SambaServer() {
    char pattern[] = "/tmp/tarnwick-samba-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        throw std::runtime_error("cannot make a temporary folder");
    dir_ = pattern;
    conf_ = dir_ + "/smb.conf";
    port_ = freeLoopbackPort();
    for (const char* sub : {"private", "lock", "state", "cache", "pid", "log", "ncalrpc"})
        std::filesystem::create_directory(dir_ + "/" + sub);
    const passwd* me = getpwuid(getuid());
    admin_ = me != nullptr ? me->pw_name : "root";
    append(dir_ + "/passwd", admin_ + ":x:" + std::to_string(getuid()) + ":" +
                                 std::to_string(getgid()) + "::/:/bin/false");
    if (admin_ != "root")
        append(dir_ + "/passwd", "root:x:0:0::/:/bin/false");
    append(dir_ + "/passwd", "nobody:x:65534:65534::/nonexistent:/bin/false");
    append(dir_ + "/group", "root:x:0:");
    append(dir_ + "/group", "users:x:100:");
    append(dir_ + "/group", "nogroup:x:65534:");
    if (getgid() != 0 && getgid() != 100)
        append(dir_ + "/group", "admin:x:" + std::to_string(getgid()) + ":");
    std::ofstream conf(conf_);
    conf << "[global]\n"
         << "  workgroup = TARNTEST\n  netbios name = TARNTEST\n"
         << "  server role = standalone server\n"
         << "  passdb backend = tdbsam:" << dir_ << "/private/passdb.tdb\n";
    for (const char* sub : {"private", "lock", "state", "cache", "pid", "ncalrpc"})
        conf << "  " << sub << (std::string(sub) == "ncalrpc" ? " dir = " : " directory = ") << dir_
             << "/" << sub << "\n";
    conf << "  log file = " << dir_ << "/log/log.%m\n"
         << "  smb ports = " << port_ << "\n"
         << "  interfaces = 127.0.0.1\n  bind interfaces only = yes\n"
         << "  disable netbios = yes\n  load printers = no\n  printcap name = /dev/null\n";
    conf.close();
    addAccount(admin_, kAdminPassword);
    start();
}

SambaServer::~SambaServer() {
    stop();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string SambaServer::run(const std::vector<std::string>& command, const std::string& input,
                             int* status) const {
    return RunCommand(command, input, dir_, status, [this] { useWrappedUsers(dir_); });
}

samr::SamrConnection SambaServer::connectionAs(const std::string& user,
                                               const std::string& password) const {
    samr::SamrConnection connection;
    connection.port = port_;
    connection.user = user.empty() ? admin_ : user;
    connection.password.Assign(password);
    connection.hasPassword = true;
    return connection;
}

void SambaServer::addUnixUser(const std::string& name) {
    const std::string path = dir_ + "/passwd";
    append(path, name + ":x:" + std::to_string(nextUid_++) + ":100::/nonexistent:/bin/false");
    // smbd's processes read the file again only when its time changes: two
    // additions within one tick of the clock would leave the second unseen.
    const auto changed = std::filesystem::last_write_time(path);
    static auto latest = changed;
    latest = std::max(changed, latest + std::chrono::seconds(1));
    std::filesystem::last_write_time(path, latest);
}

void SambaServer::addAccount(const std::string& name, const std::string& password,
                             const std::string& flags) {
    if (name != admin_)
        addUnixUser(name);
    run({"pdbedit", "-s", conf_, "-a", "-t", "-u", name}, password + "\n" + password + "\n");
    if (!flags.empty())
        run({"pdbedit", "-s", conf_, "-r", "-u", name, "-c", flags});
}

void SambaServer::addAccounts(const std::vector<std::string>& names, const std::string& flags) {
    // One import of an smbpasswd file: far quicker than one pdbedit each.
    std::string file = dir_ + "/import.smbpasswd";
    std::ofstream out(file);
    std::string field =
        "[" + flags + std::string(flags.size() < 11 ? 11 - flags.size() : 0, ' ') + "]";
    // Passwords set now: a last change at 0 would make each one expired.
    char changed[16];
    std::snprintf(changed, sizeof changed, "LCT-%08lX",
                  static_cast<unsigned long>(std::time(nullptr)));
    for (const auto& name : names) {
        int uid = nextUid_;
        addUnixUser(name);
        out << name << ":" << uid << ":" << std::string(32, 'X') << ":"
            << "8846F7EAEE8FB117AD06BDD830B7586C" // an NT hash, "password"
            << ":" << field << ":" << changed << ":\n";
    }
    out.close();
    run({"pdbedit", "-s", conf_, "-i", "smbpasswd:" + file, "-e",
         "tdbsam:" + dir_ + "/private/passdb.tdb"});
}

void SambaServer::setAccountFlags(const std::string& name, const std::string& flags) {
    run({"pdbedit", "-s", conf_, "-r", "-u", name, "-c", flags});
}

void SambaServer::setFullName(const std::string& name, const std::string& fullName) {
    run({"pdbedit", "-s", conf_, "-r", "-u", name, "-f", fullName});
}

int SambaServer::badPasswordCount(const std::string& name) const {
    const std::string shown = pdbeditShow(name);
    const std::string label = "Bad password count";
    const auto at = shown.find(label);
    if (at == std::string::npos)
        return -1;
    const auto colon = shown.find(':', at);
    return std::stoi(shown.substr(colon + 1));
}

void SambaServer::setPolicy(const std::string& name, long value) {
    run({"pdbedit", "-s", conf_, "-P", name, "-C", std::to_string(value)});
}

long SambaServer::pdbeditPolicy(const std::string& name) const {
    std::string shown = run({"pdbedit", "-s", conf_, "-P", name});
    auto at = shown.find("value is: ");
    return at == std::string::npos ? -999 : std::stol(shown.substr(at + 10));
}

std::string SambaServer::pdbeditShow(const std::string& name) const {
    return run({"pdbedit", "-s", conf_, "-v", "-u", name});
}

bool SambaServer::logon(const std::string& name, const std::string& password) const {
    int status = 0;
    run({"smbclient", "-s", conf_, "-p", std::to_string(port_), "-U", name + "%" + password,
         "//127.0.0.1/IPC$", "-c", "exit"},
        {}, &status);
    return status == 0;
}

std::uint32_t SambaServer::accountFlags(const std::string& name) const {
    const std::string shown = pdbeditShow(name);
    const auto at = shown.find('[', shown.find("Account Flags:"));
    const std::string letters = shown.substr(at, shown.find(']', at) - at);
    std::uint32_t flags = 0;
    for (const auto& [letter, flag] : {std::pair{'D', 0x2u}, std::pair{'L', 0x10u},
                                       std::pair{'N', 0x20u}, std::pair{'X', 0x10000u}})
        flags |= letters.find(letter) != std::string::npos ? flag : 0;
    return flags;
}

bool SambaServer::changePassword(const std::string& name, const std::string& old,
                                 const std::string& password) const {
    int status = 0;
    const std::string said =
        run({"rpcclient", "-s", conf_, "-p", std::to_string(port_), "-U", name + "%" + old, "-c",
             "chgpasswd3 " + name + " " + old + " " + password, "127.0.0.1"},
            {}, &status);
    return status == 0 && said.find("NT_STATUS_") == std::string::npos;
}

void SambaServer::start() {
    pid_ = StartGroup({"smbd", "-s", conf_, "-F", "--no-process-group", "--debug-stdout"},
                      dir_ + "/smbd.log", [this] { useWrappedUsers(dir_); });
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Listening("127.0.0.1", port_)) {
        if (std::chrono::steady_clock::now() > until)
            throw std::runtime_error("smbd did not start; see " + dir_ + "/smbd.log");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void SambaServer::signalAll(int signal) const {
    if (pid_ > 0)
        kill(-pid_, signal);
    // smbd's RPC helpers (samba-dcerpcd and its workers) leave its process
    // group: they are found by the configuration they were given.
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string pid = entry.path().filename();
        if (pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string text;
        try {
            std::ifstream cmdline(entry.path() / "cmdline");
            text.assign(std::istreambuf_iterator<char>(cmdline), std::istreambuf_iterator<char>());
        } catch (const std::ios_base::failure&) {
            continue; // it ended meanwhile
        }
        if (text.find(conf_) != std::string::npos)
            kill(std::stoi(pid), signal);
    }
}

void SambaServer::stop() {
    if (pid_ <= 0)
        return;
    StopGroup(pid_);
    signalAll(SIGKILL);
    pid_ = -1;
    while (Listening("127.0.0.1", port_))
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

} // namespace tw::test
