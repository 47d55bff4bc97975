// Books at start-up through the real binary: compiling kitebook.txt once, loading images.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "book/bookimage.h"
#include "bookfiles.h"
#include "support.h"

static const std::string bannerStart = "\n----------------------------------\nmossKite version";

// Starts the engine in folder at the console and quits it at once; returns its output.
static std::string StartIn(const std::string& folder) {
    return RunCommand("cd '" + folder + "' && printf 'quit\\n' | '" + EngineBinary() + "'");
}

TEST(BookStartup, TextBookIsCompiledOnceIntoItsImage) {
    std::string folder = ScratchFolder();
    std::string text = ReadFile(std::string(MOSSKITE_SOURCE_DIR) + "/kitebook.txt");
    ASSERT_FALSE(text.empty());
    WriteFile(folder + "/kitebook.txt", text);

    std::string out = StartIn(folder);
    std::string head = "--- No big book: cannot open kitebigb.bin ---\n"
                       "Reading opening book (kitebook.txt) ...\n";
    EXPECT_EQ(out.substr(0, head.size()), head);
    EXPECT_NE(out.find(" positions read in.\n"), std::string::npos);
    EXPECT_EQ(out.find("****"), std::string::npos) << out;
    EXPECT_EQ(long(ReadFile(folder + "/kitebook.bin").size()), SmallBookImageBytes);

    out = StartIn(folder);
    EXPECT_EQ(out.substr(0, out.find(bannerStart)), "--- No big book: cannot open kitebigb.bin ---\n");
}

TEST(BookStartup, BigBookImageIsLoadedOrReported) {
    std::string folder = ScratchFolder();
    WriteFile(folder + "/kitebook.txt", "#\n");
    auto table = std::make_unique<BigBookEntry[]>(BigBookSize);
    ASSERT_EQ(SaveBigBookImage(table.get(), (folder + "/kitebigb.bin").c_str()), ImageSaved);
    StartIn(folder);  // compiles the empty text book into kitebook.bin
    std::string out = StartIn(folder);
    EXPECT_EQ(out.substr(0, bannerStart.size()), bannerStart);

    WriteFile(folder + "/kitebigb.bin", std::string(BigBookImageBytes + 1, '\0'));
    out = StartIn(folder);
    EXPECT_EQ(out.substr(0, out.find(bannerStart)),
              "--- ERROR: kitebigb.bin is not 1048576 bytes long, the big book is empty ---\n");
}

TEST(BookStartup, AnImageThatCannotBeWrittenCostsOnlyTheCompileTime) {
    std::string folder = ScratchFolder();
    WriteFile(folder + "/kitebook.txt",
              "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\ne2e4\n#\n");
    // A folder where the image is first written: as in a folder the user may not write to,
    // the image cannot be made. That is no error; each start compiles the text again.
    ASSERT_EQ(std::system(("mkdir '" + folder + "/kitebook.bin.new'").c_str()), 0);
    for (int start = 0; start < 2; start++) {
        std::string out = StartIn(folder);
        EXPECT_EQ(out.substr(0, out.find(bannerStart)),
                  "--- No big book: cannot open kitebigb.bin ---\n"
                  "Reading opening book (kitebook.txt) ...\n"
                  "\n1 positions read in.\n1 moves read in.\n");
        EXPECT_NE(out.find(bannerStart), std::string::npos);
        EXPECT_TRUE(ReadFile(folder + "/kitebook.bin").empty());
    }
}
