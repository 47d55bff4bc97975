// The input ring in this process, without the input thread: tokens queued with PutToken
// are taken as the main loop and the commands take them.
#include <gtest/gtest.h>

#include <string>

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
