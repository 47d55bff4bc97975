// Temporary files with given contents for the suite tests.
#pragma once

#include <cstdio>
#include <string>

// Returns an anonymous file holding text, positioned at its start.
inline FILE* TextFile(const std::string& text) {
    FILE* f = std::tmpfile();
    if (f) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::rewind(f);
    }
    return f;
}

// Returns everything written to an anonymous file.
inline std::string FileText(FILE* f) {
    std::string text;
    std::rewind(f);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    return text;
}
