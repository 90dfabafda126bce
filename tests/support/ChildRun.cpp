#include "support/ChildRun.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

ChildRun runChild(const std::vector<std::string>& argv, const std::string& inputFile, int timeoutSeconds) {
    char outName[] = "/tmp/rumena-child-out-XXXXXX";
    char errName[] = "/tmp/rumena-child-err-XXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    ChildRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = ::open(inputFile.c_str(), O_RDONLY);
        if (in < 0) _exit(126);
        dup2(in, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    rusage usage{};
    for (;;) {
        if (wait4(pid, &status, WNOHANG, &usage) == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            run.timedOut = true;
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    run.peakKiB = usage.ru_maxrss;
    close(outFd);
    close(errFd);
    run.out = slurp(outName);
    run.err = slurp(errName);
    unlink(outName);
    unlink(errName);
    return run;
}
