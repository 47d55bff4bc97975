// Asking for a file name at the input and opening the file.
#pragma once

#include <cstdio>

// Opens a file; prints "--- ERROR: Cannot open file ---" and returns nullptr when it does not
// open.
FILE* OpenOrReport(const char* name, const char* mode);

// Prints the question, takes a file name from the input and opens it as OpenOrReport does.
FILE* AskAndOpenFile(const char* question, const char* mode);
