#pragma once
#include <cstdio>
#include <string>
#include <sys/wait.h>

// A command run through the shell, with its exit status and what it printed (both streams).
struct ShellRun {
    int status = -1;
    std::string out;
};

inline ShellRun shell(const std::string& command) {
    ShellRun r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// A word for the shell, in single quotes.
inline std::string q(const std::string& s) {
    return "'" + s + "'";
}
