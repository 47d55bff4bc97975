// The xboard protocol commands through the real binary, and the edit-mode board.
#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <vector>

#include "board/gameline.h"
#include "enginepipe.h"
#include "enginerun.h"
#include "notation/movetext.h"
#include "search/strength.h"
#include "pattern.h"
#include "shell/inputring.h"
#include "shell/timecommands.h"
#include "shell/xboard.h"
#include "support.h"
#include "transcript.h"

// The engine's output for an input, in a given or a fresh scratch folder, without the
// start-up notices.
static std::string RunXboardIn(const ScratchDir& dir, const std::string& input,
                         const std::string& args = "", int* status = nullptr) {
    return WithoutStartupNotices(RunEngineIn(dir, input, args, status));
}
static std::string RunXboard(const std::string& input, const std::string& args = "",
                       int* status = nullptr) {
    return WithoutStartupNotices(RunEngine(input, args, status));
}

// The answer to "protover 2": the features of protocol version 2.
static const std::string featuresV2 =
    "feature option=\"Search -combo *Classic /// Modern\"\n"
    "feature option=\"UCI_LimitStrength -check 0\"\n"
    "feature option=\"UCI_Elo -spin " + std::to_string(StrengthEloMax) + " 1400 " +
        std::to_string(StrengthEloMax) + "\"\n"
    "feature option=\"Skill Level -spin 20 0 20\"\n"
    "feature option=\"Seed -spin 0 0 2147483647\"\n"
    "feature ping=1 setboard=1 usermove=1 sigint=0 sigterm=0 analyze=1 myname=\"mossKite 10.88\" "
    "memory=1 smp=1 exclude=1 done=1";

// The first line of a file.
static std::string FirstLine(const std::string& path) {
    std::string text = ReadWholeFile(path);
    return text.substr(0, text.find('\n'));
}

// An edit board started from a FEN.
static EditBoard EditFrom(const std::string& fen) {
    auto e = NewTestEngine();
    SetFen(*e, fen);
    EditBoard b;
    StartEdit(*e, b);
    return b;
}

TEST(XboardCommands, WordsThatNeedNoAnswer) {
    ScratchDir dir;
    int status = -1;
    std::string out = RunXboardIn(dir,
                                  "xboard\nprotover 2\naccepted done\nrandom\nblack\nwhite\n"
                                  "rating 2000 1800\nname Fairy-Max 5.0b\n"
                                  "result 1-0 {White mates}\n"
                                  "result 1/2-1/2\n"  // no comment: ends with its line
                                  "post\nnopost\nfritz\nreset\nprotover 2\nquit\n",
                                  "", &status);
    EXPECT_EQ(out, featuresV2 + "\n" + featuresV2 + "\n");
    EXPECT_EQ(status, 0);
    std::string log = ReadWholeFile(dir.File("mosskite.log"));
    EXPECT_NE(log.find("Opponent: Fairy-Max 5.0b\n"), std::string::npos) << log;
}

TEST(XboardCommands, ResultCommentOverSeveralTokens) {
    // Everything up to the token with the closing brace belongs to "result".
    std::string out = RunXboard("xboard\nresult 0-1 {Black mates in style} protover 1\nquit\n");
    EXPECT_EQ(out, "feature done=1\n");
    // Without the xboard mode "result" is no command.
    out = RunXboard("result\nquit\n", "-xboard");
    EXPECT_EQ(out, "");
}

TEST(XboardCommands, ExitEndsTheProgramOutsideAnalysis) {
    int status = -1;
    std::string out = RunXboard("xboard\nexit\nprotover 1\n", "", &status);
    EXPECT_EQ(out, "");
    EXPECT_EQ(status, 0);
}

TEST(XboardCommands, ExitEndsAnalysisFirst) {
    int status = -1;
    std::string out = RunXboard("xboard\nanalyze\nexit\nprotover 1\nexit\nprotover 1\n", "", &status);
    EXPECT_EQ(out, "feature done=1\n");
    EXPECT_EQ(status, 0);
}

TEST(XboardCommands, AnalysisStatusLine) {
    std::string out = RunXboard("xboard\nanalyze\n.\nexit\n.\nquit\n");
    ASSERT_FALSE(FirstMatch(out, "stat01: [0-9]+ [0-9]+ [0-9]+ [0-9]+ [0-9]+\n").empty()) << out;
    EXPECT_TRUE(FullMatch(out, "(stat01: [0-9]+ [0-9]+ [0-9]+ [0-9]+ [0-9]+\n){2}")) << out;
}

TEST(XboardCommands, EditPlacesPiecesAndKeepsTheSideToMove) {
    ScratchDir dir;
    std::string out = RunXboardIn(dir,
                                  "xboard\nforce\ne2e4\nedit\n#\nKe1\nRh1\nRa1\nc\nKe8\nRa8\n"
                                  "K\nKi1\nQz5\nZd4\nxz1\nxa1\n.\nsave\npos.epd\nquit\n");
    EXPECT_EQ(out.find("Illegal"), std::string::npos) << out;
    // Black was to move after e2e4, and still is; "c" switched only the colour placed.
    EXPECT_EQ(FirstLine(dir.File("pos.epd")), "r3k3/8/8/8/8/8/8/4K2R b Kq -");
}

TEST(XboardCommands, EditFromForceModeThenGo) {
    // The interface's edit mode for a game from a set-up position, then the engine moves.
    EnginePipe x;
    x.Send("xboard");
    x.Send("protover 1");
    EXPECT_EQ(x.ReadLine(), "feature done=1");
    x.Send("new");
    x.Send("force");
    x.Send("edit");
    for (const char* t : {"#", "Ke1", "Qd1", "Pe4", "c", "Ke8", "Pd5", "."})
        x.Send(t);
    x.Send("sd 2");
    x.Send("go");
    std::string move = x.WaitFor("move ");
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/8/3p4/4P3/8/8/3QK3 w - -");
    ASSERT_GE(move.size(), 9u);
    Move m = ParseMove(*e, move.substr(5).c_str());
    EXPECT_NE(MoveFrom(m), 0) << move;
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardCommands, InterruptSignalIsIgnored) {
    for (const char* version : {"1", "2"}) {
        EnginePipe x;
        x.Send("xboard");
        x.Send(std::string("protover ") + version);
        std::string features = x.ReadLine();  // the first line of them
        ASSERT_EQ(kill(x.Pid(), SIGINT), 0);
        x.Send(std::string("protover ") + version);
        if (*version == '2')
            while (x.ReadLine().find("done=1") == std::string::npos)
                continue;  // the rest of the first answer
        EXPECT_EQ(x.ReadLine(), features);
        x.Send("quit");
        EXPECT_EQ(x.Finish(), 0);
    }
}

// An engine under xboard as the interface starts it, with its features answered: of
// protocol version 2 unless version says 1.
struct XboardEngine : EnginePipe {
    explicit XboardEngine(int version = 2) : version_(version) {
        Send("xboard");
        Send("protover " + std::to_string(version));
        if (version == 1) {
            EXPECT_EQ(ReadLine(), "feature done=1");
            Send("accepted done");
            return;
        }
        std::string features = ReadLine();
        while (features.find("done=1") == std::string::npos)
            features += "\n" + ReadLine();
        EXPECT_EQ(features, featuresV2);
        Send("accepted option");
        for (const char* f : {"ping", "setboard", "usermove", "sigint", "sigterm", "analyze",
                              "myname", "memory", "smp", "exclude", "done"})
            Send(std::string("accepted ") + f);
    }
    // Sets up a position with the edit commands (White's pieces, "c", Black's pieces).
    void Edit(const std::vector<std::string>& tokens) {
        Send("edit");
        Send("#");
        for (const std::string& t : tokens)
            Send(t);
        Send(".");
    }
    // Returns what the engine printed in answer to the commands sent so far: the lines
    // before the answer to a "ping" (under protocol version 1, to a "protover 1").
    std::vector<std::string> LinesUpToNow() {
        if (version_ == 1) {
            Send("protover 1");
            return LinesBefore("feature done=1");
        }
        std::string number = std::to_string(++pings_);
        Send("ping " + number);
        return LinesBefore("pong " + number);
    }

private:
    int version_;
    int pings_ = 0;
};

// The White king on h1 is boxed in by the queen on f2: White's one legal move is always
// the h-pawn's step.
static const std::vector<std::string> boxedKing = {"Kh1", "Ph3", "Pb2", "c", "Ka8", "Pb3", "Qf2"};

TEST(XboardTranscript, ForcedMovesWithWhispersAndGreetings) {
    XboardEngine x;
    for (const char* t : {"new", "random", "computer", "level 0 1 0", "post", "hard", "easy", "force"})
        x.Send(t);
    x.Edit(boxedKing);
    x.Send("sd 4");
    x.Send("?");  // nothing to hurry
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {}));
    x.Send("time 6000");
    x.Send("otim 6000");
    x.Send("go");
    EXPECT_TRUE(TranscriptMatches(
        x.LinesThrough("move "),
        {"0 0 0 0 (h4 Forced Move)",
         "~tellics whisper h4, Forced Move, 0\\.0ply, [0-9]+sec, NPS: (undef\\.|[0-9]+)",
         "tellics kibitz Greetings from mossKite version 10.88", "tellics set 1 MossKite 10.88",
         "move h3h4"}));
    // The opponent's move as a bare token; the greetings go with the first moves only, and
    // "nopost" ends the thinking output.
    x.Send("nopost");
    x.Send("time 5900");
    x.Send("otim 5900");
    x.Send("a8a7");
    EXPECT_TRUE(TranscriptMatches(
        x.LinesThrough("move "),
        {"Thinking...",
         "~tellics whisper h5, Forced Move, 0\\.0ply, [0-9]+sec, NPS: (undef\\.|[0-9]+)",
         "move h4h5"}));
    x.Send("force");
    x.Send("result 0-1 {Black mates}");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {}));
    size_t before = x.Transcript().size();
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
    EXPECT_EQ(x.Transcript().size(), before);
}

TEST(XboardProtocol, MoveNowAndEasyWhileThinking) {
    XboardEngine x;
    x.Send("new");
    x.Send("force");
    x.Edit({"Ke1", "Pa2", "Pb2", "Pf2", "Pg2", "Ph2", "c", "Ke8", "Pa7", "Pb7", "Pf7", "Pg7", "Ph7"});
    // A thousand seconds a move: only "?" makes the engine move now.
    x.Send("st 1000");
    x.Send("go");
    x.Send("?");
    std::string move = x.WaitFor("move ");
    auto game = NewTestEngine();
    SetFen(*game, "4k3/pp3ppp/8/8/8/8/PP3PPP/4K3 w - -");
    Move m = ParseMove(*game, move.substr(std::min<size_t>(5, move.size())).c_str());
    ASSERT_NE(MoveFrom(m), 0) << move;
    GameMakeMove(game->pos, m);
    // "easy" while the engine thinks only switches pondering off: the move still comes.
    x.Send("sd 4");
    x.Send("go");
    x.Send("easy");
    move = x.WaitFor("move ");
    m = ParseMove(*game, move.substr(std::min<size_t>(5, move.size())).c_str());
    EXPECT_NE(MoveFrom(m), 0) << move;
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardProtocol, PromotionIsAnnouncedAsSpecified) {
    XboardEngine x;
    x.Send("new");
    x.Send("force");
    x.Edit({"Ka1", "Pa7", "c", "Kb6"});  // promote now, or the king takes the pawn
    x.Send("sd 3");
    x.Send("go");
    EXPECT_EQ(x.WaitFor("move "), "move a7a8Q");
    // The interface's promotion comes in lower case (Black is to move now).
    x.Send("force");
    x.Edit({"Ka1", "c", "Kh7", "Pc2"});
    x.Send("c2c1q");
    x.Send("undo");
    x.Send("c2c1n");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {}));
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardProtocol, AnalysisGoesOnAfterNewMovesUndoAndEdit) {
    // Each of these restarts the analysis on the new position; were one to end it, the
    // next "exit" would end the program and "protover" would get no answer.
    XboardEngine x;
    x.Send("analyze");
    for (const char* step : {"new", "e2e4", "undo", "edit"}) {
        x.Send(step);
        if (std::string(step) == "edit") {
            for (const char* t : {"#", "Ke1", "Qd1", "c", "Ke8", "."})
                x.Send(t);
        }
        x.Send(".");
        std::vector<std::string> lines = x.LinesUpToNow();
        ASSERT_EQ(lines.size(), 1u) << step;
        EXPECT_TRUE(LineMatches(lines[0], "~stat01: [0-9]+ [0-9]+ [0-9]+ [0-9]+ [0-9]+")) << lines[0];
    }
    x.Send("exit");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {}));
    x.Send("exit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardProtocol, ExcludeAndIncludeChooseTheRootMoves) {
    // White mates in two with Qa5 (h5a5). Left out, it is not played; a set of one move is
    // searched and played; a move of the game brings every move back.
    const std::string mateInTwo = "setboard 2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1";
    XboardEngine x;
    x.Send("new");
    x.Send("force");
    x.Send(mateInTwo);
    x.Send("sd 6");
    x.Send("exclude h5a5");
    x.Send("exclude e2e4");  // no move here
    x.Send("include Qa5");   // SAN is read as well: the mate is back in
    x.Send("exclude Qa5");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {"Error (illegal move): exclude e2e4"}));
    x.Send("go");
    std::string move = x.WaitFor("move ");
    EXPECT_NE(move, "move h5a5");
    // "exclude all" and one move back in: that move, searched.
    x.Send("force");
    x.Send(mateInTwo);
    x.Send("exclude all");
    x.Send("include f4f5");
    x.Send("go");
    EXPECT_EQ(x.WaitFor("move "), "move f4f5");
    // The game went on: the set is every move again, and "include all" resets it anyway.
    x.Send("force");
    x.Send("undo");
    x.Send("undo");
    x.Send("exclude all");
    x.Send("include all");
    x.Send("go");
    EXPECT_EQ(x.WaitFor("move "), "move h5a5");
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardProtocol, AnalysisSearchesOnlyTheIncludedMoves) {
    // An analysis restarted on a set of one move shows only lines that begin with it.
    XboardEngine x;
    x.Send("new");
    x.Send("force");
    x.Send("setboard 2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - - 0 1");
    x.Send("post");
    x.Send("exclude all");
    x.Send("include f4f5");
    x.Send("analyze");
    std::vector<std::string> lines = x.LinesThrough(" 3 ");
    x.Send("exit");
    int thinking = 0;
    for (const std::string& line : lines) {
        if (!LineMatches(line, "~ *[0-9]+ +-?[0-9]+ +[0-9]+ +[0-9]+ .*"))
            continue;
        thinking++;
        EXPECT_TRUE(LineMatches(line, "~ *[0-9]+ +-?[0-9]+ +[0-9]+ +[0-9]+ f4f5( .*)?")) << line;
    }
    EXPECT_GE(thinking, 3);
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardProtocol, InputEndingInsideAnEditEndsTheProgram) {
    int status = -1;
    std::string out = RunXboard("xboard\nedit\n#\nKe1\n", "", &status);
    EXPECT_EQ(out, "");
    EXPECT_EQ(status, 0);
}

TEST(XboardGame, GameAgainstTheInterface) {
    // The test plays a legal move of each position, in coordinate notation or in algebraic
    // notation by turns; every reply must be legal, with one whisper each and the greetings
    // only after the engine's first move.
    XboardEngine x;
    for (const char* t : {"new", "random", "level 0 1 0", "post", "hard", "easy", "sd 2"})
        x.Send(t);
    auto game = NewTestEngine();
    int replies = 0;
    std::vector<std::string> lines;
    for (int move = 0; move < 30; move++) {
        const PlyRecord* r = game->pos.currentPly;
        if (r->moveCount == 0)
            break;
        Move ours = EntryMove(r->moves[(move * 7) % r->moveCount]);
        std::string text = move % 2 ? std::string(MoveToSan(*game, ours)) : MoveToUciText(ours);
        GameMakeMove(game->pos, ours);
        x.Send("time 6000");
        x.Send("otim 6000");
        x.Send(text);
        if (game->pos.currentPly->moveCount == 0)
            break;
        std::vector<std::string> answer = x.LinesThrough("move ");
        lines.insert(lines.end(), answer.begin(), answer.end());
        std::string reply = answer.back();
        ASSERT_GE(reply.size(), 9u) << reply;
        Move m = ParseMove(*game, reply.substr(5).c_str());
        ASSERT_NE(MoveFrom(m), 0) << "after " << text << ": " << reply;
        EXPECT_EQ(MoveToCoordinate(m), reply.substr(5));
        GameMakeMove(game->pos, m);
        ASSERT_EQ(CheckPosition(game->pos), "");
        replies++;
    }
    x.Send("result 1-0 {game over}");
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
    int whispers = 0, greetings = 0;
    for (const std::string& l : lines) {
        EXPECT_NE(l.rfind("Illegal", 0), 0u) << l;
        if (l.rfind("tellics whisper ", 0) == 0) {
            whispers++;
            EXPECT_TRUE(LineMatches(l, "~tellics whisper [^ ,]+, [^,]+, [0-9]+\\.[0-9]+ply, "
                                       "[0-9]+sec, NPS: (undef\\.|[0-9]+)"))
                << l;
        }
        greetings += l == "tellics kibitz Greetings from mossKite version 10.88";
    }
    EXPECT_EQ(whispers, replies);
    EXPECT_EQ(greetings, 1);
}

TEST(XboardGame, EngineAgainstEngineWithPondering) {
    // Two engines ponder on each other's time, each checked by the test; "?" while an
    // engine ponders has no effect, and the interrupt signal none at any time.
    XboardEngine white, black;
    for (XboardEngine* x : {&white, &black})
        for (const char* t : {"new", "random", "level 0 1 0", "hard", "sd 3"})
            x->Send(t);
    auto game = NewTestEngine();
    XboardEngine* mover = &white;
    XboardEngine* other = &black;
    white.Send("go");
    for (int ply = 0; ply < 40 && game->pos.currentPly->moveCount > 0; ply++) {
        std::string reply = mover->WaitFor("move ");
        ASSERT_GE(reply.size(), 9u) << reply;
        Move m = ParseMove(*game, reply.substr(5).c_str());
        ASSERT_NE(MoveFrom(m), 0) << "ply " << ply << ": " << reply;
        GameMakeMove(game->pos, m);
        ASSERT_EQ(CheckPosition(game->pos), "");
        mover->Send("?");
        std::vector<std::string> quiet = mover->LinesUpToNow();
        for (const std::string& l : quiet)
            EXPECT_NE(l.rfind("move ", 0), 0u) << "ply " << ply << ": " << l;
        // As xboard does, the interrupt signal comes before the move (the engine ponders)
        // and while it thinks.
        ASSERT_EQ(kill(other->Pid(), SIGINT), 0);
        other->Send("time 6000");
        other->Send("otim 6000");
        other->Send(reply.substr(5));
        ASSERT_EQ(kill(other->Pid(), SIGINT), 0);
        std::swap(mover, other);
    }
    for (XboardEngine* x : {&white, &black}) {
        x->Send("force");
        x->Send("quit");
        EXPECT_EQ(x->Finish(), 0);
        EXPECT_NE(x->Log().find("   Pondering "), std::string::npos);
        for (const std::string& l : x->Transcript())
            EXPECT_NE(l.rfind("Illegal", 0), 0u) << l;
    }
}

// Plays 1. a3 h6 (out of any book) after "new" and searches it to depth 5 with thinking
// output; returns the node count of the depth-5 line.
static int64_t NodesAfterNewGame(XboardEngine& x) {
    for (const char* t : {"new", "force", "a2a3", "h7h6", "post", "sd 5", "go"})
        x.Send(t);
    int64_t nodes = -1;
    for (const std::string& l : x.LinesBefore("move ")) {
        std::istringstream in(l);
        int depth, score, centiseconds;
        int64_t n;
        if (in >> depth >> score >> centiseconds >> n && depth == 5)
            nodes = n;
    }
    return nodes;
}

TEST(XboardProtocol, FritzModeKeepsTheTablesForTheNextGame) {
    // Without fritz mode a new game clears the tables: the same search counts the same nodes.
    XboardEngine plain(1);
    int64_t first = NodesAfterNewGame(plain);
    ASSERT_GT(first, 0);
    EXPECT_EQ(NodesAfterNewGame(plain), first);
    // "reset" is a command in fritz mode only.
    plain.Send("reset");
    EXPECT_TRUE(TranscriptMatches(plain.LinesUpToNow(), {"Illegal move (no matching move)reset"}));
    // In fritz mode the table still knows the position: fewer nodes. "reset" clears it.
    XboardEngine fritz;
    fritz.Send("fritz");
    EXPECT_EQ(NodesAfterNewGame(fritz), first);
    EXPECT_LT(NodesAfterNewGame(fritz), first);
    fritz.Send("reset");
    EXPECT_TRUE(TranscriptMatches(fritz.LinesUpToNow(), {}));
    EXPECT_EQ(NodesAfterNewGame(fritz), first);
}

TEST(XboardProtocol, FritzThenUciIsAConsoleWord) {
    // "uci" after "fritz" is no longer the first token: the console takes it as a move.
    std::string out = RunXboard("fritz\nuci\nquit\n");
    EXPECT_EQ(out, "\n----------------------------------\nmossKite version 10.88\n"
                   "----------------------------------\n\ntype help for ... help!\n" +
                       startBoard + prompt + "Illegal move (no matching move)uci\n");
}

TEST(EditBoard, ClearPlaceAndColour) {
    EditBoard b = EditFrom("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3");
    EXPECT_EQ(b.side, 'b');
    ApplyEditToken(b, "#");
    ApplyEditToken(b, "Ke1");
    ApplyEditToken(b, "Rh1");
    ApplyEditToken(b, "c");
    ApplyEditToken(b, "Ke8");
    // Only White may castle, king side; the side to move is unchanged and no e.p. square.
    std::string squares(64, '1');
    squares[4] = 'k';   // e8
    squares[60] = 'K';  // e1
    squares[63] = 'R';  // h1
    EXPECT_EQ(EditedPositionText(b), squares + " b K -");
    ApplyEditToken(b, "c");
    ApplyEditToken(b, "Ra1");
    ApplyEditToken(b, "xh1");
    squares[56] = 'R';  // a1
    squares[63] = '1';
    EXPECT_EQ(EditedPositionText(b), squares + " b Q -");
    // Placing Black turns the letter to lower case: a rook on h8 beside the king on e8.
    ApplyEditToken(b, "c");
    ApplyEditToken(b, "Rh8");
    squares[7] = 'r';
    EXPECT_EQ(EditedPositionText(b), squares + " b Qk -");
}

TEST(EditBoard, MalformedTokensAreIgnored) {
    EditBoard b = EditFrom("4k3/8/8/8/8/8/8/4K3 w - -");
    std::string before = EditedPositionText(b);
    for (const char* t : {"", "K", "Kd", "x", "xd", "Ki1", "Ka9", "Ka0", "xz1", "Zd4", "1d4", "C", "##"})
        ApplyEditToken(b, t);
    EXPECT_EQ(EditedPositionText(b), before);
}

TEST(XboardClock, FixedTimePerMoveOutlastsTheClockReports) {
    auto e = NewTestEngine();
    e->shell.xboardMode = 1;
    e->shell.consoleMode = 0;
    PutToken("1");
    CommandSt(*e);
    EXPECT_EQ(e->search.maxTime, 900);  // the interface flags at once: a tenth kept back
    // The interface shows the fixed time afresh before each move: the budget stays, and no
    // panic time runs past it.
    PutToken("100");
    CommandTime(*e);
    EXPECT_EQ(e->search.maxTime, 900);
    EXPECT_EQ(e->search.panicCeiling, 900);
    PutToken("100000");
    CommandTime(*e);
    EXPECT_EQ(e->search.maxTime, 900);
    // Less on the clock than the fixed time: the clock decides.
    PutToken("50");
    CommandTime(*e);
    EXPECT_EQ(e->search.maxTime, 450);
    // A time control hands the budget back to the clock: (60 s + 15 s) / 30, half again
    // and a little more by chance early on.
    for (const char* t : {"0", "1", "0"})
        PutToken(t);
    CommandLevel(*e);
    PutToken("6000");
    CommandTime(*e);
    EXPECT_GE(e->search.maxTime, 3750 - 30);
    EXPECT_LT(e->search.maxTime, 5000 - 30);
}

TEST(XboardClock, FractionalIncrementSearchesAndReportsItsSpeed) {
    // Ten seconds and a tenth a move: a third of a second for a searched move, whose
    // whisper gives the speed as a number of nodes a second, never "undef.".
    XboardEngine x;
    for (const char* t : {"new", "level 0 0:10 0.1", "post", "easy", "force"})
        x.Send(t);
    x.Edit({"Kg1", "Qd1", "Rf1", "Pf2", "Pg2", "Ph2", "Nc3", "c", "Kg8", "Qd8", "Rf8", "Pf7",
            "Pg7", "Ph7", "Nc6"});
    x.Send("time 1000");
    x.Send("otim 1000");
    x.Send("go");
    int whispers = 0;
    for (const std::string& l : x.LinesThrough("move ")) {
        if (l.rfind("tellics whisper ", 0) != 0)
            continue;
        whispers++;
        EXPECT_TRUE(LineMatches(l, "~tellics whisper [^ ,]+, [^,]+, [0-9]+\\.[0-9]+ply, [0-9]+sec, "
                                   "NPS: [0-9]+"))
            << l;
    }
    EXPECT_EQ(whispers, 1);
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

// The protocol version 2 features through the real binary.

TEST(XboardVersion2, FeaturesOnlyFromVersion2) {
    EXPECT_EQ(RunXboard("xboard\nprotover 1\nquit\n"), "feature done=1\n");
    EXPECT_EQ(RunXboard("xboard\nprotover 2\nquit\n"), featuresV2 + "\n");
    EXPECT_EQ(RunXboard("xboard\nprotover 3\nquit\n"), featuresV2 + "\n");
    // Without version 2 its words are no commands, as before.
    EXPECT_EQ(RunXboard("xboard\nprotover 1\nping 1\nquit\n"),
              "feature done=1\nIllegal move (no matching move)ping\n"
              "Illegal move (no matching move)1\n");
}

TEST(XboardVersion2, SearchOptionChoosesTheTreeSearch) {
    // The current choice carries the asterisk; "option" sets it, and refuses what it does
    // not know with an error that names it.
    EXPECT_EQ(RunXboard("xboard\nprotover 2\noption Search=Modern\nprotover 2\n"
                        "option Search=Rocket\noption Speed=1\noption Search\n"
                        "option search=classic\nprotover 2\nquit\n"),
              featuresV2 + "\n" + "feature option=\"Search -combo Classic /// *Modern\"\n" +
                  featuresV2.substr(featuresV2.find('\n') + 1) + "\n" +
                  "Error (bad value): Search=Rocket\n"
                  "Error (unknown option): Speed\n"
                  "Error (bad option): Search\n" +
                  featuresV2 + "\n");
    // Chosen on the command line, it is the current choice from the start.
    EXPECT_EQ(RunXboard("xboard\nprotover 2\nquit\n", "-search modern").substr(0, 51),
              "feature option=\"Search -combo Classic /// *Modern\"\n");
    // A game under Modern: the engine answers with legal moves.
    XboardEngine x;
    x.Send("option Search=Modern");
    x.Send("new");
    x.Send("sd 6");
    x.Send("usermove d2d4");
    std::string reply = x.WaitFor("move ");
    EXPECT_EQ(reply.substr(0, 5), "move ");
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardVersion2, PingIsAnsweredAfterEverythingBefore) {
    XboardEngine x;
    // "accepted" and "rejected" need no answer; a draw offer is declined by silence.
    x.Send("rejected colors");
    x.Send("draw");
    x.Send("ping 1");
    EXPECT_TRUE(TranscriptMatches(x.LinesThrough("pong 1"), {"pong 1"}));
    // A ping while the engine is on move is answered after its move.
    x.Send("new");
    x.Send("force");
    x.Send("setboard 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    x.Send("sd 3");
    x.Send("go");
    x.Send("ping 2");
    std::vector<std::string> lines = x.LinesThrough("pong 2");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(LineMatches(lines[lines.size() - 2], "~move [a-h][1-8][a-h][1-8]"))
        << lines[lines.size() - 2];
    // While pondering, and while analysing, at once.
    x.Send("hard");
    x.Send("usermove e8d8");
    x.WaitFor("move ");
    x.Send("ping 3");
    EXPECT_TRUE(TranscriptMatches(x.LinesThrough("pong 3"), {"pong 3"}));
    x.Send("analyze");
    x.Send("ping 4");
    EXPECT_TRUE(TranscriptMatches(x.LinesThrough("pong 4"), {"pong 4"}));
    x.Send("exit");
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardVersion2, SetboardChecksTheFen) {
    XboardEngine x;
    x.Send("new");
    x.Send("force");
    const std::pair<std::string, std::string> refused[] = {
        {"4k3/8/8/8/8/8/8/4K3", "no side to move"},
        {"4k3/8/8/8/8/8/8/4K3 w - e9 0 1", "invalid en-passant square 'e9'"},
        {"4k3/8/8/8/8/8/8/4K3K w - - 0 1", "rank 1 has more than eight squares"},
        {"4k3/8/8/8/8/8/8/8 w - - 0 1", "White has no king"},
    };
    for (const auto& [fen, defect] : refused) {
        x.Send("setboard " + fen);
        EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {"# Illegal position: " + defect,
                                                         "tellusererror Illegal position"}))
            << fen;
    }
    // Nothing is played from the position xboard has and the engine has not.
    x.Send("go");
    x.Send("usermove e2e4");
    x.Send("e2e4");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(), {"Illegal move: e2e4", "Illegal move: e2e4"}));
    // A legal position ends the refusal; the engine moves from it.
    x.Send("force");
    x.Send("setboard 7k/8/8/8/8/8/8/K5R1 w - - 0 1");
    x.Send("sd 3");
    x.Send("go");
    std::string move = x.WaitFor("move ");
    auto game = NewTestEngine();
    SetFen(*game, "7k/8/8/8/8/8/8/K5R1 w - -");
    EXPECT_NE(MoveFrom(ParseMove(*game, move.substr(std::min<size_t>(5, move.size())).c_str())), 0)
        << move;
    // "new" ends a refusal too.
    x.Send("setboard 8/8/8/8/8/8/8/8 w - - 0 1");
    x.Send("new");
    x.Send("sd 3");  // "new" lifted the depth limit: a shallow reply keeps the test short
    x.Send("usermove e2e4");
    std::vector<std::string> lines = x.LinesThrough("move ");
    EXPECT_EQ(lines[0], "# Illegal position: White has no king");
    EXPECT_EQ(lines[1], "tellusererror Illegal position");
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardVersion2, UsermoveIllegalMovesAndUnknownCommands) {
    XboardEngine x;
    x.Send("new");
    x.Send("force");
    x.Send("usermove e2e4");
    x.Send("usermove e7e4");
    x.Send("e7e4");
    x.Send("Nf6");        // legal
    x.Send("Qxf7+");      // SAN, not legal here
    x.Send("O-O");
    // One answer for a whole line that is no command.
    x.Send("setposition 4k3/8/8/8/8/8/8/4K3 w - - 0 1");
    x.Send("variant suicide");
    x.Send("hello");
    EXPECT_TRUE(TranscriptMatches(
        x.LinesUpToNow(),
        {"Illegal move: e7e4", "Illegal move: e7e4", "Illegal move: Qxf7+", "Illegal move: O-O",
         "Error (unknown command): setposition 4k3/8/8/8/8/8/8/4K3 w - - 0 1",
         "Error (unknown command): variant suicide", "Error (unknown command): hello"}));
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
    EXPECT_NE(x.Log().find("1. e4\n1... Nf6\n"), std::string::npos) << x.Log();
}

TEST(XboardVersion2, MemorySizesTheTable) {
    XboardEngine x;
    // What "memory" leaves beside the fixed tables, as the largest power of two of entries.
    const std::pair<const char*, const char*> sizes[] = {
        {"memory 35", "Trans. hash table: 1048576 x 20 = 20971520 bytes."},
        {"memory 1", "Trans. hash table: 32768 x 20 = 655360 bytes."},
        {"memory 100000", "Trans. hash table: 8388608 x 20 = 167772160 bytes."},
    };
    for (const auto& [memory, line] : sizes) {
        x.Send(memory);
        x.Send("mem");
        std::vector<std::string> lines = x.LinesUpToNow();
        ASSERT_FALSE(lines.empty()) << memory;
        EXPECT_EQ(lines[0], line) << memory;
    }
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardVersion2, CoresSearchWithHelpersAndMoveNowStopsThem) {
    XboardEngine x;
    x.Send("new");
    x.Send("cores 2");
    x.Send("force");
    x.Send("e2e4");
    x.Send("st 1000");
    x.Send("go");
    x.Send("?");  // a thousand seconds a move: only "?" ends the search
    std::string move = x.WaitFor("move ");
    auto game = NewTestEngine();
    GameMakeMove(game->pos, ParseMove(*game, "e2e4"));
    Move m = ParseMove(*game, move.substr(std::min<size_t>(5, move.size())).c_str());
    ASSERT_NE(MoveFrom(m), 0) << move;
    GameMakeMove(game->pos, m);
    // A bad count is taken as one thread; a search to a depth ends by itself.
    x.Send("cores 0");
    x.Send("cores 4");
    x.Send("sd 5");
    x.Send("force");
    x.Send("g1f3");
    x.Send("go");
    move = x.WaitFor("move ");
    GameMakeMove(game->pos, ParseMove(*game, "g1f3"));
    m = ParseMove(*game, move.substr(std::min<size_t>(5, move.size())).c_str());
    EXPECT_NE(MoveFrom(m), 0) << move;
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
}

TEST(XboardProtocol, EditEndingInAnIllegalPosition) {
    // Version 1 (edit is how it sets up positions): the defect as it stands, then the
    // interface's error dialog; the engine plays nothing until a legal position.
    XboardEngine x(1);
    x.Send("new");
    x.Send("force");
    x.Edit({"Ke1", "Pe2"});
    x.Send("go");
    x.Send("e2e4");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(),
                                  {"Illegal position: Black has no king",
                                   "tellusererror Illegal position",
                                   "Illegal move (no matching move)e2e4"}));
    x.Edit({"Ke1", "Pe2", "c", "Ke8"});
    x.Send("sd 2");
    x.Send("go");
    std::string move = x.WaitFor("move ");
    EXPECT_TRUE(move == "move e1d1" || move == "move e1f1" || move == "move e1d2" ||
                move == "move e1f2" || move == "move e2e3" || move == "move e2e4")
        << move;
    x.Send("quit");
    EXPECT_EQ(x.Finish(), 0);
    // Version 2: the defect as a comment.
    XboardEngine v2;
    v2.Send("force");
    v2.Edit({"Ke1"});
    EXPECT_TRUE(TranscriptMatches(v2.LinesUpToNow(), {"# Illegal position: Black has no king",
                                                      "tellusererror Illegal position"}));
}

TEST(XboardProtocol, WithoutVersion2WordsAreTriedAsMoves) {
    // A version 1 interface keeps the answer for each word.
    XboardEngine x(1);
    x.Send("setboard 4k3/8/8/8/8/8/8/4K3 w - -");
    EXPECT_TRUE(TranscriptMatches(x.LinesUpToNow(),
                                  {"Illegal move (no matching move)setboard",
                                   "Illegal move (no matching move)4k3/8/8/8/8/8/8/4K3",
                                   "Illegal move (no matching move)w",
                                   "Illegal move (no matching move)-",
                                   "Illegal move (no matching move)-"}));
}

TEST(MoveForm, WhatReadsAsAMove) {
    for (const char* move : {"e2e4", "e7e8q", "e7e8Q", "e4", "Nf3", "exd5", "Nbd2", "R1a3",
                             "Qh4xe1", "e8=Q", "e8Q", "O-O", "O-O-O", "0-0", "Qxf7#", "Nf3+",
                             "a1"})
        EXPECT_TRUE(LooksLikeMove(move)) << move;
    for (const char* word : {"hello", "xboard", "draw", "hint", "bk", "e9", "i2i4", "Kz3",
                             "e2e4e5", "Ne", "x", "", "=Q", "e2e4k"})
        EXPECT_FALSE(LooksLikeMove(word)) << word;
}
