// The strength options, "UCI_LimitStrength", "UCI_Elo", "Skill Level" and "Seed": how every
// interface (UCI, xboard, console) names, reads and sets them.
#pragma once

struct Engine;

// What setting a strength option came to.
enum class OptionResult { Unknown, BadValue, Set };

// Sets the strength option name (letter case aside) from value: the check takes true or
// false, 1 or 0; a spin takes a decimal number, clamped to its range. Unknown when name is
// no strength option; BadValue, with nothing changed, when value cannot be read. The caller
// has stopped any running search.
OptionResult SetStrengthOption(Engine& e, const char* name, const char* value);

// The UCI "option" lines of the four settings, with their defaults.
const char* StrengthUciOptions();

// Writes the xboard "feature option" lines of the four settings, with their current values.
void PrintStrengthFeatures(const Engine& e);

// Console commands. "elo N" limits the strength to Elo N ("elo off" lifts the limit),
// "skill N" sets the skill level, "seed N" the seed, and "strength" shows the settings.
bool CommandElo(Engine& e);
bool CommandSkill(Engine& e);
bool CommandSeed(Engine& e);
bool CommandStrength(Engine& e);
