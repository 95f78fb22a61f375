#include "Command.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tw::test {

std::string RunCommand(const std::vector<std::string>& command, const std::string& input,
                       const std::string& folder, int* status,
                       const std::function<void()>& prepare) {
    const std::string inputFile = folder + "/stdin";
    const std::string outputFile = folder + "/stdout";
    std::ofstream(inputFile) << input;
    const pid_t child = fork();
    if (child == 0) {
        if (prepare)
            prepare();
        const int in = open(inputFile.c_str(), O_RDONLY);
        const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(out, 2);
        std::vector<char*> args;
        for (const auto& a : command)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int result = 0;
    waitpid(child, &result, 0);
    std::ifstream output(outputFile);
    std::string text((std::istreambuf_iterator<char>(output)), std::istreambuf_iterator<char>());
    const int code = WIFEXITED(result) ? WEXITSTATUS(result) : 128;
    if (status != nullptr)
        *status = code;
    else if (code != 0)
        throw std::runtime_error(command[0] + " " + (command.size() > 1 ? command[1] : "") +
                                 " failed: " + text);
    return text;
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
