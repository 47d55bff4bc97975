// The log file: opened at start-up, written with formatted prints.
#include "shell/logfile.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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

std::string StateFolderLogName(const std::string& logName, const char* xdgStateHome,
                               const char* home) {
    std::string fileName = std::filesystem::path(logName).filename().string();
    if (fileName.empty())
        return "";
    // A relative state folder is ignored, as the XDG rules ask.
    if (xdgStateHome && xdgStateHome[0] == '/')
        return std::string(xdgStateHome) + "/mosskite/" + fileName;
    if (home && home[0])
        return std::string(home) + "/.local/state/mosskite/" + fileName;
    return "";
}

bool OpenLog(Engine& e, const std::string& name) {
    e.shell.logFile = std::fopen(name.c_str(), "w");
    return e.shell.logFile != nullptr;
}

bool OpenStartupLog(Engine& e, const std::string& logName, std::string& tried) {
    if (OpenLog(e, logName))
        return true;
    tried = logName;
    std::string fallback =
        StateFolderLogName(logName, std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    if (fallback.empty())
        return false;
    tried += " or " + fallback;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(fallback).parent_path(), error);
    return OpenLog(e, fallback);
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
