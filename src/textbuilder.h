// A text built in a fixed buffer by formatted appends: cut at the buffer's end, never
// overrun, always terminated.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

struct TextBuilder {
    char* text;
    size_t size;
    size_t used = 0;

    TextBuilder(char* buffer, size_t bufferSize) : text(buffer), size(bufferSize) { text[0] = 0; }

    void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (used + 1 >= size)
            return;
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(text + used, size - used, format, args);
        va_end(args);
        if (n > 0)
            used = used + size_t(n) < size ? used + size_t(n) : size - 1;
    }

    void Append(const char* piece) { Add("%s", piece); }
};
