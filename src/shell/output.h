// Standard output for GUIs on pipes: every message written whole under one lock and flushed.
#pragma once

#include <string_view>

// Formats and writes one message to standard output, then flushes it.
void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a ready text to standard output, then flushes it.
void Write(std::string_view text);
