// The input ring in this process, without the input thread: tokens queued with PutToken
// are taken as the main loop and the commands take them.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

#include "shell/commands.h"
#include "shell/inputring.h"
#include "support.h"

static const std::string cutNotice = "Input token longer than 95 characters, truncated.\n";

TEST(InputRing, CutTokenIsReportedWhenItIsTaken) {
    std::string longToken(300, 'x');
    testing::internal::CaptureStdout();
    PutToken(longToken.c_str());
    PutToken("next");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // queuing says nothing

    char buffer[SlotSize];
    testing::internal::CaptureStdout();
    TakeToken(buffer);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), cutNotice);
    EXPECT_EQ(std::string(buffer), longToken.substr(0, 95));
    testing::internal::CaptureStdout();
    TakeToken(buffer);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_STREQ(buffer, "next");
}

TEST(InputRing, CutFileNameIsReportedBetweenTheQuestionAndTheError) {
    auto e = NewTestEngine();
    std::string name = "/no/such/folder/" + std::string(200, 'p');
    PutToken(name.c_str());
    testing::internal::CaptureStdout();
    EXPECT_TRUE(InterpretCommand(*e, "load"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Enter a file name to load a position from:\n" + cutNotice +
                  "--- ERROR: Cannot open file ---\n"
                  "Enter a move or command:\n");
}

// Standard input of this process read from a pipe holding text, its writing end left
// open; the old standard input comes back with the object.
struct InputFromPipe {
    int saved = dup(STDIN_FILENO);
    int ends[2] = {-1, -1};
    explicit InputFromPipe(const std::string& text) {
        if (pipe(ends) != 0 || write(ends[1], text.data(), text.size()) != ssize_t(text.size()))
            ADD_FAILURE() << "no pipe";
        dup2(ends[0], STDIN_FILENO);
    }
    ~InputFromPipe() {
        dup2(saved, STDIN_FILENO);
        close(saved);
        close(ends[0]);
        close(ends[1]);
    }
};

TEST(InputRing, FirstTokenWaitCountsInputThatIsAlreadyThere) {
    // The interface's first line is there from the start, but the thread that takes input
    // in gets to run only after the time allowed (as on a busy machine): its token is
    // waited for all the same.
    InputFromPipe input("xboard\n");
    std::thread late([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        PutToken("xboard");
    });
    EXPECT_TRUE(AwaitFirstToken(20));
    late.join();
    char token[SlotSize];
    TakeToken(token);
    EXPECT_STREQ(token, "xboard");
}

TEST(InputRing, FirstTokenWaitEndsWhenNoInputComes) {
    InputFromPipe input("");
    EXPECT_FALSE(AwaitFirstToken(20));
    PutToken("uci");
    EXPECT_TRUE(AwaitFirstToken(0));  // a waiting token answers at once
    char token[SlotSize];
    TakeToken(token);
}
