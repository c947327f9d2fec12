// Every tool answers --help the same way, wherever it stands on the command
// line, and refuses what it cannot take with one line and exit code 2.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

// True, with USAGE printed, when --help or -h is among the arguments: help wins
// over every other word, so `tool OUT --help` never writes into OUT.
inline bool print_usage_if_asked(int argc, char** argv, const char* usage) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(usage, stdout);
            return true;
        }
    }
    return false;
}

// The exit code for a command line PROGRAM cannot take, after one line on why.
inline int refuse_command_line(const char* program, const std::string& why) {
    std::fprintf(stderr, "%s: %s (%s --help shows the usage)\n", program, why.c_str(), program);
    return 2;
}
