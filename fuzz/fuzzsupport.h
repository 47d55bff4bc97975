// Helpers shared by the libFuzzer targets: a quiet, reproducible Engine, a scratch folder
// for the files the engine reads and writes, and the check that stops a run on a finding.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "board/movegen.h"
#include "board/position.h"
#include "engine.h"
#include "search/tables.h"
#include "shell/thinking.h"

// Stops the run with a message on standard error; libFuzzer keeps the input as a crash.
[[noreturn]] __attribute__((format(printf, 1, 2))) inline void FuzzFailure(const char* format,
                                                                          ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::abort();
}

// The engine reports on standard output; the fuzzer's own report goes to standard error.
inline void SilenceStandardOutput() {
    if (!std::freopen("/dev/null", "w", stdout))
        FuzzFailure("cannot send standard output to /dev/null");
}

// An Engine with a 1 MB table at the starting position whose random walk starts at the
// first entry, so that a run does not depend on the clock.
inline std::unique_ptr<Engine> NewFuzzEngine() {
    auto e = CreateEngine(1);
    e->search.report = ThinkingReport;  // the engine's own reporting, as the binary has it
    e->book.randomIndex = -1;
    SetUpStartPosition(*e, 1);
    return e;
}

// Removes every file of the scratch folder (the engine makes no sub-folders there).
inline void EmptyScratchFolder();

// A folder of this process under /tmp, made on first use and removed at exit.
inline const char* ScratchFolder() {
    static char folder[] = "/tmp/mosskite-fuzz-XXXXXX";
    static const bool made = [] {
        if (!mkdtemp(folder))
            FuzzFailure("cannot make a scratch folder");
        std::atexit([] {
            EmptyScratchFolder();
            rmdir(folder);
        });
        return true;
    }();
    (void)made;
    return folder;
}

inline void EmptyScratchFolder() {
    DIR* dir = opendir(ScratchFolder());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            unlink((std::string(ScratchFolder()) + "/" + entry->d_name).c_str());
    }
    closedir(dir);
}

// Writes bytes to a file of the scratch folder and returns its path.
inline std::string WriteScratchFile(const char* name, const uint8_t* data, size_t size) {
    std::string path = std::string(ScratchFolder()) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        FuzzFailure("cannot write %s", path.c_str());
    return path;
}

// True when m is an entry of the current position's legal move list.
inline bool IsLegalHere(const Engine& e, Move m) {
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++)
        if (EntryMove(r->moves[i]) == m)
            return true;
    return false;
}
