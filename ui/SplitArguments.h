#pragma once
// Splitting a command line into words the way the C runtime builds argv, and
// the inverse that turns argv back into one command line.

#include <string>
#include <string_view>
#include <vector>

// Words are separated by the C locale's white space (bytes with the high bit
// set never are). A double quote toggles the quoted state, in which white
// space belongs to the word. 2n backslashes before a quote give n backslashes
// and a quote that acts; 2n+1 give n backslashes and a literal quote; other
// backslashes are plain. Inside quotes, two quotes in a row give one literal
// quote and end the quoted state. A word made of quotes only is an empty word.
std::vector<std::string> SplitArguments(std::string_view commandLine);

// Joins words with single blanks, quoting and escaping only the words that
// need it, so that SplitArguments gives the same words back.
std::string JoinArguments(const std::vector<std::string>& words);
