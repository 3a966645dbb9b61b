#pragma once
// Copying texts into callers' fixed-size buffers.

#include <cstddef>
#include <string>

namespace mpxdec {

// Stores text into out (capacity bytes including the terminator), cut at a
// UTF-8 character boundary when it does not fit. False when nothing fits.
bool CopyText(const std::string& text, char* out, std::ptrdiff_t capacity);

// ID3v1 and ICY texts are ISO 8859-1 by convention; the caller gets UTF-8.
std::string Latin1ToUtf8(const std::string& text);

// True when text is valid UTF-8 (an ICY title may be either encoding).
bool IsUtf8(const std::string& text);

}  // namespace mpxdec
