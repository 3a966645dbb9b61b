#pragma once
// Small file helpers for the decoder tests.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/TestEnvironment.h"

namespace mpxtest {

inline std::vector<std::uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    const std::string path = testenv::Home() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline std::string Fixture(const std::string& name)
{
    return testenv::FixturesDir() + "/" + name;
}

// An ID3v2.3 tag of totalSize bytes holding one title frame, then padding.
inline std::vector<std::uint8_t> Id3v2Tag(const std::string& title, std::uint32_t totalSize)
{
    auto put32 = [](std::vector<std::uint8_t>& v, std::uint32_t x, int bitsPerByte) {
        const std::uint32_t mask = (1u << bitsPerByte) - 1;
        for (int shift = 3 * bitsPerByte; shift >= 0; shift -= bitsPerByte) {
            v.push_back(static_cast<std::uint8_t>((x >> shift) & mask));
        }
    };
    std::vector<std::uint8_t> tag;
    tag.reserve(totalSize);
    for (char c : std::string("ID3\x03\x00\x00", 6)) {
        tag.push_back(static_cast<std::uint8_t>(c));
    }
    put32(tag, totalSize - 10, 7);  // the tag size is "synchsafe"
    for (char c : std::string("TIT2")) {
        tag.push_back(static_cast<std::uint8_t>(c));
    }
    put32(tag, static_cast<std::uint32_t>(title.size()) + 1, 8);
    tag.insert(tag.end(), {0, 0, 0});  // frame flags, then ISO 8859-1
    tag.insert(tag.end(), title.begin(), title.end());
    tag.resize(totalSize, 0);
    return tag;
}

}  // namespace mpxtest
