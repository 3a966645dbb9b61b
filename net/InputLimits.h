#pragma once
// The longest texts the net layer's dialogs take. A longer text is refused
// with a message and the dialog stays open: cutting it silently would play or
// save something other than what was typed.

#include <cstddef>
#include <string>

// Locations longer than this are not typed but pasted by mistake.
constexpr std::size_t kMaxLocationLength = 2048;
// A host name has at most 253 characters.
constexpr std::size_t kMaxProxyHostLength = 255;
constexpr std::size_t kMaxNoProxyLength = 4096;
// The longest path Linux takes.
constexpr std::size_t kMaxDirectoryLength = 4096;

// True when `text` has at most `limit` characters (not bytes). Otherwise
// shows "The <what> is too long: enter at most <limit> characters." and
// returns false.
bool WithinLimit(const std::string& text, std::size_t limit, const char* what);
