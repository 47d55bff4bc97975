// Output to standard output, serialised between threads and flushed per message.
#include "shell/output.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

static std::mutex outputLock;

void Write(std::string_view text) {
    std::lock_guard<std::mutex> guard(outputLock);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void Print(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return;
    }
    if (size_t(length) < sizeof buffer) {
        va_end(again);
        Write(std::string_view(buffer, size_t(length)));
        return;
    }
    // Only echoes of very long input get here.
    std::string text(size_t(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(size_t(length));
    Write(text);
}
