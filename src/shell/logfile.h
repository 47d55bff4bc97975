// The log file named after the program.
#pragma once

#include <string>

struct Engine;

// Returns the log file name for a program path: a final ".exe" (any case) dropped
// when the path is longer than 4 characters, then ".log" appended.
std::string LogFileName(const std::string& programPath);

// Returns where the log goes when it cannot be written next to the program: the user's
// state folder, xdgStateHome/mosskite/ when xdgStateHome is an absolute path, else
// home/.local/state/mosskite/, with the log's file name. "" when neither is known.
std::string StateFolderLogName(const std::string& logName, const char* xdgStateHome,
                               const char* home);

// Opens the log for writing; returns false when it cannot be opened.
bool OpenLog(Engine& e, const std::string& name);

// Opens the log at logName, else in the user's state folder (made when missing). Returns
// false when neither opens, with the places tried in tried.
bool OpenStartupLog(Engine& e, const std::string& logName, std::string& tried);

// Writes formatted text to the log file, if one is open.
void LogPrint(Engine& e, const char* format, ...) __attribute__((format(printf, 2, 3)));

void FlushLog(Engine& e);
