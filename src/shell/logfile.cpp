// The log file: opened at start-up, written with formatted prints.
#include "shell/logfile.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "engine.h"

std::string LogFileName(const std::string& programPath) {
    std::string name = programPath;
    size_t n = name.size();
    if (n > 4) {
        std::string tail = name.substr(n - 4);
        for (char& c : tail)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (tail == ".exe")
            name.resize(n - 4);
    }
    return name + ".log";
}

bool OpenLog(Engine& e, const std::string& name) {
    e.shell.logFile = std::fopen(name.c_str(), "w");
    return e.shell.logFile != nullptr;
}

void LogPrint(Engine& e, const char* format, ...) {
    if (!e.shell.logFile)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(e.shell.logFile, format, args);
    va_end(args);
}

void FlushLog(Engine& e) {
    if (e.shell.logFile)
        std::fflush(e.shell.logFile);
}
