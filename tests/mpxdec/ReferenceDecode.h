#pragma once
// What the decoder library's output is compared with: the whole file read
// through a plain libmpg123 loop in large blocks, with the same output
// settings, so frame boundaries play no part in it.

#include <cstdint>
#include <string>
#include <vector>

namespace mpxtest {

std::vector<std::uint8_t> ReferenceDecode(const std::string& path, int quality, int resolution, int downmix);

}  // namespace mpxtest
