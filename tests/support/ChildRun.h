#pragma once
#include <string>
#include <vector>

// One run of a program as a child process: its input from a file, its output and errors kept, and
// its peak resident memory taken from the kernel's account of it. A run that outlasts its time is
// killed and reported as timed out.
struct ChildRun {
    int exitStatus = -1; // -1 when it did not exit by itself
    bool timedOut = false;
    std::string out, err;
    long peakKiB = 0;
};

ChildRun runChild(const std::vector<std::string>& argv, const std::string& inputFile, int timeoutSeconds);
