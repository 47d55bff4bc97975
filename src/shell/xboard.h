// The commands of the xboard protocol, analysis mode and fritz mode. Each command returns
// true when the console prompt follows.
#pragma once

struct Engine;

// "protover N": announces the features (none but done=1).
bool CommandProtover(Engine& e);

// "accepted FEATURE": the interface accepted a feature; nothing to do.
bool CommandAccepted(Engine& e);

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
