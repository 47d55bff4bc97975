// The one file of the tests that compiles <regex>.
#include "pattern.h"

#include <regex>

// The submatches of a match as strings.
static std::vector<std::string> Groups(const std::smatch& m) {
    std::vector<std::string> groups;
    for (const auto& g : m)
        groups.push_back(g.str());
    return groups;
}

bool FullMatch(const std::string& text, const std::string& pattern) {
    return std::regex_match(text, std::regex(pattern));
}

std::vector<std::string> FirstMatch(const std::string& text, const std::string& pattern,
                                    size_t* end) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex(pattern)))
        return {};
    if (end)
        *end = size_t(m.position(0) + m.length(0));
    return Groups(m);
}

std::vector<std::vector<std::string>> AllMatches(const std::string& text,
                                                 const std::string& pattern) {
    std::vector<std::vector<std::string>> matches;
    std::regex re(pattern);
    for (std::sregex_iterator it(text.begin(), text.end(), re), last; it != last; ++it)
        matches.push_back(Groups(*it));
    return matches;
}
