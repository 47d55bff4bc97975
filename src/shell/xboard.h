// The commands of the xboard protocol, analysis mode and fritz mode. Each command returns
// true when the console prompt follows.
#pragma once

struct Engine;

// "protover N": announces the features. Below version 2 only done=1, so that the interface
// keeps its defaults; from version 2 on ping, setboard, usermove and memory, no signals.
bool CommandProtover(Engine& e);

// "accepted FEATURE" and "rejected FEATURE": the interface's answer to a feature; nothing
// to do.
bool CommandAccepted(Engine& e);

// Protocol version 2. "ping N": "pong N" once everything before it is done, after the
// engine's move when the ping came while it was on move.
bool CommandPing(Engine& e);

// Protocol version 2. "setboard FEN": sets up the position of the rest of the line, or
// answers "tellusererror Illegal position" and plays nothing until a position is accepted.
bool CommandSetboard(Engine& e);

// Protocol version 2. "usermove MOVE": the opponent's move; "Illegal move: MOVE" when it is
// not legal here.
bool CommandUsermove(Engine& e);

// Protocol version 2. "memory N": the hash table gets what the N megabytes leave beside
// the engine's fixed tables.
bool CommandMemory(Engine& e);

// Protocol version 2. "cores N": search with N threads (1 to 64).
bool CommandCores(Engine& e);

// "option NAME=VALUE": sets the "Search" option (Classic or Modern).
bool CommandOption(Engine& e);

// Answers the pings that waited for the engine's move, once it is no longer on move.
void AnswerPendingPings(Engine& e);

// Answers a token that is neither a command nor a legal move: "Illegal move (no matching
// move)" with it; under protocol version 2 "Illegal move: MOVE" for what reads as a move
// and "Error (unknown command): ..." with the rest of its line for anything else.
void RejectToken(Engine& e, const char* token);

// True when text has the form of a move in coordinate notation or SAN, legal or not.
bool LooksLikeMove(const char* text);

// "reset" (fritz mode): stops the search and clears the hash tables.
bool CommandReset(Engine& e);

// "fritz": switches fritz mode on.
bool CommandFritz(Engine& e);

// "name NAME": logs the opponent's name (the rest of the line).
bool CommandName(Engine& e);

// "rating OURS THEIRS": ignored.
bool CommandRating(Engine& e);

// "result RESULT {COMMENT}": ignored up to the closing brace or the end of its line.
bool CommandResult(Engine& e);

// "exit": ends analysis, or the program when not analysing.
bool CommandExit(Engine& e);

// "analyze": analyses the position until told otherwise.
bool CommandAnalyze(Engine& e);

// Protocol version 2. "exclude MOVE" and "include MOVE" take a move out of or back into the
// set of root moves searched; "exclude all" empties the set, "include all" makes it every
// move again. The set holds until the position changes. An analysis goes on with the new
// set; one left without moves searches on until a move comes back.
bool CommandExclude(Engine& e);
bool CommandInclude(Engine& e);

// ".": prints the analysis status line.
bool CommandStatus(Engine& e);

// "black", "white", "random": accepted without effect; "go" plays the side to move.
bool CommandNoEffect(Engine& e);

// "edit": the xboard edit mode, up to "."; analysis, if running, goes on from the result.
// "quit" inside the edit ends the program.
bool CommandEdit(Engine& e);

// "post" and "nopost": thinking lines on and off.
bool CommandPost(Engine& e);
bool CommandNopost(Engine& e);

// The board being edited, as the 64 characters of EPD squares (rank 8 first, files a to h,
// "1" for empty) with the side to move and the colour of the pieces being placed.
struct EditBoard {
    char squares[64];   // piece letter, or '1' for an empty square
    char side;          // 'w' or 'b', kept from the position the edit started from
    bool placingWhite;  // pieces are placed as White; "c" switches
};

// Starts an edit from the Engine's position.
void StartEdit(const Engine& e, EditBoard& b);

// Applies one edit token other than ".": "#" clears the board, "c" switches colour, "xSQ"
// empties a square, "PSQ" places a piece. Tokens shorter than three characters, naming no
// square or no piece are ignored.
void ApplyEditToken(EditBoard& b, const char* token);

// Returns the EPD text of the edited board: castling from the kings and rooks on their
// starting squares, no en-passant square. The next call overwrites the text.
const char* EditedPositionText(const EditBoard& b);

// Returns "stat01: TIME NODES DEPTH DONE TOTAL" for the running or last search: centiseconds
// in whole seconds, nodes, iterations completed, root moves searched in the current
// iteration and legal root moves. The next call overwrites the text.
const char* AnalysisStatusLine(const Engine& e);
