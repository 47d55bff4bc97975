// The log file named after the program.
#pragma once

#include <string>

struct Engine;

// Returns the log file name for a program path: a final ".exe" (any case) dropped
// when the path is longer than 4 characters, then ".log" appended.
std::string LogFileName(const std::string& programPath);

// Opens the log for writing; returns false when it cannot be opened.
bool OpenLog(Engine& e, const std::string& name);

// Writes formatted text to the log file, if one is open.
void LogPrint(Engine& e, const char* format, ...) __attribute__((format(printf, 2, 3)));

void FlushLog(Engine& e);
