#include "Command.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace tw::test {

namespace {

// In the child: `in` as standard input, `out` as standard output, `err` (or
// `out`) as standard error, then the command in place of this process.
[[noreturn]] void Exec(const std::vector<std::string>& command, int in, int out, int err = -1) {
    dup2(in, 0);
    dup2(out, 1);
    dup2(err >= 0 ? err : out, 2);
    std::vector<char*> args;
    for (const auto& a : command)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

} // namespace

std::string RunCommand(const std::vector<std::string>& command, const std::string& input,
                       const std::string& folder, int* status,
                       const std::function<void()>& prepare, std::string* errors) {
    const std::string inputFile = folder + "/stdin";
    const std::string outputFile = folder + "/stdout";
    const std::string errorFile = folder + "/stderr";
    std::ofstream(inputFile) << input;
    const pid_t child = fork();
    if (child == 0) {
        if (prepare)
            prepare();
        Exec(command, open(inputFile.c_str(), O_RDONLY),
             open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
             errors != nullptr ? open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600) : -1);
    }
    int result = 0;
    waitpid(child, &result, 0);
    auto contents = [](const std::string& file) {
        std::ifstream in(file);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    const std::string text = contents(outputFile);
    if (errors != nullptr)
        *errors = contents(errorFile);
    const int code = WIFEXITED(result) ? WEXITSTATUS(result) : 128;
    if (status != nullptr)
        *status = code;
    else if (code != 0)
        throw std::runtime_error(command[0] + " " + (command.size() > 1 ? command[1] : "") +
                                 " failed: " + text);
    return text;
}

pid_t StartGroup(const std::vector<std::string>& command, const std::string& log,
                 const std::function<void()>& prepare) {
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0); // the server's own children go with it
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (prepare)
            prepare();
        const int none = open("/dev/null", O_RDWR);
        Exec(command, none,
             log.empty() ? none : open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600));
    }
    return child;
}

void StopGroup(pid_t pid) {
    if (pid <= 0)
        return;
    kill(-pid, SIGTERM);
    for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool Listening(const std::string& address, int port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, address.c_str(), &to.sin_addr);
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    const bool up = connect(probe, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    close(probe);
    return up;
}

} // namespace tw::test
