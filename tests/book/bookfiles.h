// Scratch folders and whole-file helpers for the book tests.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

// Makes a new empty folder under /tmp and returns its path.
inline std::string ScratchFolder() {
    char folder[] = "/tmp/mosskite-book-XXXXXX";
    return mkdtemp(folder) ? folder : "";
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool FileExists(const std::string& path) {
    std::ifstream in(path);
    return bool(in);
}
