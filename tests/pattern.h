// Regular expressions for the tests, kept in one file: <regex> takes long to compile, so
// no test file instantiates it.
#pragma once

#include <string>
#include <vector>

// True when the whole text matches the ECMAScript pattern.
bool FullMatch(const std::string& text, const std::string& pattern);

// The first match of pattern in text, as its submatches (the whole match first); empty
// when there is none. end, when given, receives the position just after the match.
std::vector<std::string> FirstMatch(const std::string& text, const std::string& pattern,
                                    size_t* end = nullptr);

// Every match of pattern in text, in order, each as its submatches.
std::vector<std::vector<std::string>> AllMatches(const std::string& text,
                                                 const std::string& pattern);
