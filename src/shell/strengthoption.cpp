// The strength options: reading their values, the UCI and xboard announcements, and the
// console commands, all through one setter.
#include "shell/strengthoption.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine.h"
#include "output.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/playgame.h"

static constexpr int32_t MaxSeed = INT32_MAX;

// Reads a check value: true or false, 1 or 0, in any letter case.
static bool ReadCheckValue(const char* value, bool& on) {
    if (strcasecmp(value, "true") == 0 || std::strcmp(value, "1") == 0)
        on = true;
    else if (strcasecmp(value, "false") == 0 || std::strcmp(value, "0") == 0)
        on = false;
    else
        return false;
    return true;
}

// Reads a whole decimal number (optional sign) and clamps it to low..high.
static bool ReadSpinValue(const char* value, int32_t low, int32_t high, int32_t& number) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(value, &end, 10);
    if (end == value || *end != '\0')
        return false;
    const long long clamped = errno == ERANGE ? (*value == '-' ? low : high) : v;
    number = int32_t(std::clamp<long long>(clamped, low, high));
    return true;
}

OptionResult SetStrengthOption(Engine& e, const char* name, const char* value) {
    Strength& st = e.search.strength;
    if (strcasecmp(name, "UCI_LimitStrength") == 0) {
        if (!ReadCheckValue(value, st.limit))
            return OptionResult::BadValue;
    } else if (strcasecmp(name, "UCI_Elo") == 0) {
        if (!ReadSpinValue(value, StrengthEloMin, StrengthEloMax, st.elo))
            return OptionResult::BadValue;
    } else if (strcasecmp(name, "Skill Level") == 0) {
        if (!ReadSpinValue(value, 0, MaxSkillLevel, st.skill))
            return OptionResult::BadValue;
    } else if (strcasecmp(name, "Seed") == 0) {
        int32_t seed;
        if (!ReadSpinValue(value, 0, MaxSeed, seed))
            return OptionResult::BadValue;
        st.seed = uint32_t(seed);
        NewGameSeed(st, ClockSeed());
    } else {
        return OptionResult::Unknown;
    }
    UpdateStrengthLevel(st);
    LogPrint(e, "Strength: limit %d, Elo %d, skill %d, seed %u: level %.2f\n", int(st.limit),
             int(st.elo), int(st.skill), unsigned(st.seed), st.level);
    return OptionResult::Set;
}

const char* StrengthUciOptions() {
    static char text[320];
    std::snprintf(text, sizeof text,
                  "option name UCI_LimitStrength type check default false\n"
                  "option name UCI_Elo type spin default %d min %d max %d\n"
                  "option name Skill Level type spin default %d min 0 max %d\n"
                  "option name Seed type spin default 0 min 0 max %d\n",
                  StrengthEloMax, StrengthEloMin, StrengthEloMax, MaxSkillLevel, MaxSkillLevel,
                  int(MaxSeed));
    return text;
}

void PrintStrengthFeatures(const Engine& e) {
    const Strength& st = e.search.strength;
    Print("feature option=\"UCI_LimitStrength -check %d\"\n", int(st.limit));
    Print("feature option=\"UCI_Elo -spin %d %d %d\"\n", int(st.elo), StrengthEloMin,
          StrengthEloMax);
    Print("feature option=\"Skill Level -spin %d 0 %d\"\n", int(st.skill), MaxSkillLevel);
    Print("feature option=\"Seed -spin %u 0 %d\"\n", unsigned(st.seed), int(MaxSeed));
}

// Prints the strength the engine plays at and the seed.
static void ShowStrength(const Engine& e) {
    const Strength& st = e.search.strength;
    if (st.limit)
        Print("Strength: Elo %d (level %.1f of %d)\n", int(st.elo), st.level, MaxSkillLevel);
    else if (StrengthLimited(st))
        Print("Strength: Skill Level %d of %d\n", int(st.skill), MaxSkillLevel);
    else
        Print("Strength: full\n");
    if (st.seed)
        Print("Seed: %u\n", unsigned(st.seed));
    else
        Print("Seed: 0 (each game draws one from the clock)\n");
}

bool CommandElo(Engine& e) {
    char value[SlotSize];
    TakeToken(value);
    StopSearchForCommand(e);
    if (strcasecmp(value, "off") == 0) {
        SetStrengthOption(e, "UCI_LimitStrength", "false");
    } else if (SetStrengthOption(e, "UCI_Elo", value) == OptionResult::Set) {
        SetStrengthOption(e, "UCI_LimitStrength", "true");
    } else {
        Print("Usage: elo N (%d to %d) or elo off\n", StrengthEloMin, StrengthEloMax);
        return true;
    }
    ShowStrength(e);
    return true;
}

// Sets the strength option name from the console's next token and shows the strength;
// a value that cannot be read gets the usage line instead. False when it was refused.
static bool ConsoleSet(Engine& e, const char* name, const char* usage) {
    char value[SlotSize];
    TakeToken(value);
    StopSearchForCommand(e);
    if (SetStrengthOption(e, name, value) == OptionResult::BadValue) {
        Print("Usage: %s\n", usage);
        return false;
    }
    return true;
}

bool CommandSkill(Engine& e) {
    if (ConsoleSet(e, "Skill Level", "skill N (0 to 20)")) {
        SetStrengthOption(e, "UCI_LimitStrength", "false");
        ShowStrength(e);
    }
    return true;
}

bool CommandSeed(Engine& e) {
    if (ConsoleSet(e, "Seed", "seed N (0 to 2147483647; 0 draws each game's seed from the clock)"))
        ShowStrength(e);
    return true;
}

bool CommandStrength(Engine& e) {
    ShowStrength(e);
    return true;
}
