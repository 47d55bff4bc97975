// The real engine binary as a child process that a test talks to move by move: the test
// sends a line and waits for the answer it expects, so no assertion depends on timing.
#pragma once

#include <csignal>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "enginerun.h"

class EngineProcess {
public:
    // Starts a copy of the engine in dir (its log file goes there) with arguments args.
    explicit EngineProcess(const ScratchDir& dir, const std::string& args = "") {
        std::signal(SIGPIPE, SIG_IGN);
        std::string copy = "cp '" + EngineBinary() + "' '" + dir.File("mosskite") + "'";
        if (std::system(copy.c_str()) != 0)
            return;
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[0]);
            close(toChild[1]);
            close(fromChild[0]);
            close(fromChild[1]);
            if (chdir(dir.path.c_str()) != 0)
                _exit(127);
            std::string command = "exec ./mosskite " + args;
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        input_ = toChild[1];
        output_ = fromChild[0];
    }

    ~EngineProcess() {
        CloseInput();
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0)
            close(output_);
    }

    pid_t Pid() const { return pid_; }

    // Writes text to the engine's standard input.
    void Send(const std::string& text) {
        size_t done = 0;
        while (input_ >= 0 && done < text.size()) {
            ssize_t n = write(input_, text.data() + done, text.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
    }

    // Ends the engine's standard input.
    void CloseInput() {
        if (input_ >= 0)
            close(input_);
        input_ = -1;
    }

    // Reads until the output since the last call contains marker; returns that output up
    // to the end of the marker (all that came, if the engine ends or a minute passes).
    std::string ReadUntil(const std::string& marker) {
        for (int waited = 0; waited < WaitLimitMs;) {
            size_t at = all_.find(marker, consumed_);
            if (at != std::string::npos) {
                size_t end = at + marker.size();
                std::string part = all_.substr(consumed_, end - consumed_);
                consumed_ = end;
                return part;
            }
            if (!ReadSome(PollMs))
                break;
            waited += PollMs;
        }
        std::string part = all_.substr(consumed_);
        consumed_ = all_.size();
        return part;
    }

    // Closes the input, waits for the engine to end and returns its exit status; rest
    // receives the output not read yet.
    int Finish(std::string* rest = nullptr) {
        CloseInput();
        return WaitForExit(rest);
    }

    // Waits for the engine to end by itself, its input still open, and returns its exit
    // status; rest receives the output not read yet. An engine that has not ended within a
    // minute is killed and counts as hung (-1).
    int WaitForExit(std::string* rest = nullptr) {
        int waited = 0;
        while (waited < WaitLimitMs && ReadSome(PollMs))
            waited += PollMs;
        int status = -1;
        pid_t ended = 0;
        while (pid_ > 0 && (ended = waitpid(pid_, &status, WNOHANG)) == 0 &&
               waited < WaitLimitMs) {
            usleep(PollMs * 1000);
            waited += PollMs;
        }
        if (pid_ > 0 && ended != pid_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status = -1;
        }
        exited_ = true;
        if (rest)
            *rest = all_.substr(consumed_);
        consumed_ = all_.size();
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    static constexpr int PollMs = 100;
    static constexpr int WaitLimitMs = 60000;

    // Reads what is there within ms; false at the end of the output.
    bool ReadSome(int ms) {
        if (output_ < 0)
            return false;
        pollfd p{output_, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0)
            return true;  // nothing yet
        char buffer[4096];
        ssize_t n = read(output_, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        all_.append(buffer, size_t(n));
        return true;
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool exited_ = false;
    std::string all_;
    size_t consumed_ = 0;
};
