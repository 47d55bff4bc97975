// Running the real binary from tests.
#include "support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

std::string RunCommand(const std::string& command, int* status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return output;
}

std::vector<std::string> ReadEpdFens(const std::string& path) {
    std::vector<std::string> fens;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t ops = line.find(" bm ");
        if (ops == std::string::npos)
            ops = line.find(';');
        if (!line.empty())
            fens.push_back(line.substr(0, ops));
    }
    return fens;
}

std::string SharedDir() {
    const char* env = std::getenv("MOSSKITE_SHARED");
    for (std::string dir : {std::string(env ? env : ""), std::string(MOSSKITE_SHARED_DIR)}) {
        if (!dir.empty() && std::filesystem::exists(dir + "/perft.epd"))
            return dir;
    }
    return "";
}
