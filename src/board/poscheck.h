// Debug consistency check of the Position.
#pragma once

#include <string_view>

struct Position;

// Recomputes every derived field from the board and compares it with the stored value.
// Returns an empty text when all agree, else the name of the first invariant that breaks.
// Allocates nothing: the name is static text, or a buffer of this thread's that the next
// failing check overwrites.
std::string_view CheckPosition(const Position& p);

// True when the attack maps, pin lists and mobilityBalance are those the board gives: a
// rebuild on a copy finds the same. They describe the last position generated, which
// after an unmake is not the current one, so the check above leaves them out.
bool MapsDescribeBoard(const Position& p);

// The switch of the check that MOSSKITE_CHECK_POSITION makes after every make, unmake, null
// move and set-up in a build with asserts. On from the start; a test that makes millions of
// moves may switch it off, as the check costs about as much as a move.
bool PositionChecks();
void SetPositionChecks(bool on);

// With the switch on, checks the Position and, when an invariant breaks, writes it and the
// function that broke it to standard error and fails an assert.
void AssertPositionConsistent(const Position& p, const char* function);

// Checks the Position where it stands, in builds with asserts; nothing under NDEBUG.
#ifdef NDEBUG
#define MOSSKITE_CHECK_POSITION(p) ((void)0)
#else
#define MOSSKITE_CHECK_POSITION(p) AssertPositionConsistent((p), __func__)
#endif
