// Scratch folders and whole-file helpers for the book tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

// The scratch folders a test process made; removed with their contents when it ends.
struct ScratchFolders {
    std::vector<std::string> paths;
    ~ScratchFolders() {
        std::error_code ignored;
        for (const std::string& path : paths)
            std::filesystem::remove_all(path, ignored);
    }
};
inline ScratchFolders scratchFolders;

// Makes a new empty folder under /tmp, removed at the end of the test, and returns its path.
inline std::string ScratchFolder() {
    char folder[] = "/tmp/mosskite-book-XXXXXX";
    if (!mkdtemp(folder))
        return "";
    scratchFolders.paths.push_back(folder);
    return folder;
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
