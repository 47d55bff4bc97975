// A conversation with the real engine binary over pipes, line by line, as an interface
// holds it. The engine runs in a scratch folder (its log file is written there).
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support.h"

// True for the notices an engine prints at start-up when it finds no book files
// ("--- No big book: ... ---", "--- ERROR: Cannot open book file ---"), as they stand at
// the console, as xboard comments ("# --- ...") or as UCI info strings.
inline bool IsStartupNotice(const std::string& line) {
    for (const char* start : {"--- ", "# --- ", "info string --- "})
        if (line.rfind(start, 0) == 0)
            return true;
    return false;
}

// The output of an engine run without its leading start-up notices.
inline std::string WithoutStartupNotices(std::string out) {
    while (IsStartupNotice(out.substr(0, out.find('\n'))) && out.find('\n') != std::string::npos)
        out.erase(0, out.find('\n') + 1);
    return out;
}

// A shell command's output without the start-up notices of the engine it runs.
inline std::string RunShell(const std::string& command, int* status = nullptr) {
    return WithoutStartupNotices(RunCommand(command, status));
}

class EnginePipe {
public:
    // Longest wait for a line before the conversation counts as hung.
    static constexpr int GuardSeconds = 120;

    explicit EnginePipe(const std::string& args = "") {
        signal(SIGPIPE, SIG_IGN);  // an engine that has ended must fail the test, not end it
        char name[] = "/tmp/mosskite-pipe-XXXXXX";
        if (!mkdtemp(name))
            return;
        dir_ = name;
        std::string copy = "cp '" + EngineBinary() + "' '" + dir_ + "/mosskite'";
        if (std::system(copy.c_str()) != 0)
            return;
        int toEngine[2], fromEngine[2];
        if (pipe(toEngine) != 0 || pipe(fromEngine) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toEngine[0], 0);
            dup2(fromEngine[1], 1);
            close(toEngine[1]);
            close(fromEngine[0]);
            if (chdir(dir_.c_str()) != 0)
                _exit(127);
            std::string command = "exec ./mosskite " + args;
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toEngine[0]);
        close(fromEngine[1]);
        in_ = toEngine[1];
        out_ = fromEngine[0];
    }

    ~EnginePipe() {
        if (in_ >= 0)
            close(in_);
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0)
            close(out_);
        if (!dir_.empty())
            std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    EnginePipe(const EnginePipe&) = delete;
    EnginePipe& operator=(const EnginePipe&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }

    // Sends one line (the line end is added).
    void Send(const std::string& line) {
        std::string text = line + "\n";
        if (in_ >= 0 && write(in_, text.data(), text.size()) != ssize_t(text.size()))
            ADD_FAILURE() << "cannot write to the engine: " << line;
    }

    // Sends text as it stands, without a line end: a line may reach the engine in pieces.
    void SendRaw(const std::string& text) {
        if (in_ >= 0 && write(in_, text.data(), text.size()) != ssize_t(text.size()))
            ADD_FAILURE() << "cannot write to the engine: " << text;
    }

    // Returns the next line of output without its line end (start-up notices skipped: under
    // UCI they follow the identification); "<eof>" at the end of output, "<hung>" after the
    // guard time.
    std::string ReadLine() {
        for (;;) {
            size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                if (IsStartupNotice(line))
                    continue;
                transcript_.push_back(line);
                return line;
            }
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, GuardSeconds * 1000) <= 0) {
                ADD_FAILURE() << "no output from the engine within the guard time";
                return "<hung>";
            }
            char chunk[4096];
            ssize_t n = read(out_, chunk, sizeof chunk);
            if (n <= 0)
                return "<eof>";
            buffer_.append(chunk, size_t(n));
        }
    }

    // Reads lines until one starts with prefix and returns it ("<eof>" or "<hung>" when
    // none comes); every line read is kept in the transcript.
    std::string WaitFor(const std::string& prefix) {
        for (;;) {
            std::string line = ReadLine();
            if (line.rfind(prefix, 0) == 0 || line == "<eof>" || line == "<hung>")
                return line;
        }
    }

    // Reads lines until one starts with prefix; returns the lines before it.
    std::vector<std::string> LinesBefore(const std::string& prefix) {
        std::vector<std::string> lines;
        for (;;) {
            std::string line = ReadLine();
            if (line.rfind(prefix, 0) == 0 || line == "<eof>" || line == "<hung>")
                return lines;
            lines.push_back(line);
        }
    }

    // Reads lines until one starts with prefix; returns them all, that one included.
    std::vector<std::string> LinesThrough(const std::string& prefix) {
        std::vector<std::string> lines;
        for (;;) {
            lines.push_back(ReadLine());
            const std::string& line = lines.back();
            if (line.rfind(prefix, 0) == 0 || line == "<eof>" || line == "<hung>")
                return lines;
        }
    }

    // Closes the engine's input and returns its exit status (-1 when it did not exit
    // normally); the rest of its output goes into the transcript.
    int Finish() {
        close(in_);
        in_ = -1;
        while (true) {
            std::string line = ReadLine();
            if (line == "<eof>" || line == "<hung>")
                break;
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The engine's log file as written so far.
    std::string Log() const {
        std::ifstream in(dir_ + "/mosskite.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // What has been read from the engine beyond the lines taken so far: a client that reads
    // a chunk at a time and stops at a line has this left over.
    const std::string& Unread() const { return buffer_; }

    const std::string& Dir() const { return dir_; }
    const std::vector<std::string>& Transcript() const { return transcript_; }

private:
    std::string dir_;
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    bool exited_ = false;
    std::string buffer_;
    std::vector<std::string> transcript_;
};
