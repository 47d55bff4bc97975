// Commands that set the time limits: the xboard clock and level words and the console
// time, level and sync dialogs. Each returns true when the console prompt follows.
#pragma once

struct Engine;

// "sync": shows the thinking time used and lets the user correct it.
bool CommandSync(Engine& e);

// "level": xboard time control in xboard mode, the console tournament dialog otherwise.
bool CommandLevel(Engine& e);

// "time": xboard clock in xboard mode, the console time dialog otherwise.
bool CommandTime(Engine& e);

// "sd": fixed depth with a long time, until the next new game.
bool CommandSd(Engine& e);

// "st": fixed time per move.
bool CommandSt(Engine& e);

// "otim": the opponent's clock, read and ignored.
bool CommandOtim(Engine& e);
