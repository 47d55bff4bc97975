// The one-line description of the search's score.
#pragma once

struct Engine;

// True when a score (from the side to move's view) means a forced mate.
bool IsMateScore(int score);

// The moves to the mate that a mate score means: positive when the side to move mates,
// negative when it is mated.
int MateMoves(int score);

// Copies text into the score text, or with nullptr describes lastScore: who stands better
// and by how much, or who mates in how many moves.
void SetScoreText(Engine& e, const char* text);

// The last score description.
const char* ScoreText(const Engine& e);
