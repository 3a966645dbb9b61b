#pragma once
// A playlist entry: a path or location, optionally followed by options in
// square brackets, "offset=" and/or "length=" each with a whole number and a
// unit letter: 'b' bytes (0), 't' time (1), 'f' frames (2).

#include <cstdint>
#include <string>
#include <string_view>

struct PlaylistEntry {
    // The text before the first '[', untrimmed: a blank before the bracket
    // stays part of it. The whole entry when there is no '['.
    std::string file;
    // 0 when absent, when its unit letter is unknown, or when the number does
    // not fit 32 bits. A number that ends the options without a letter is
    // taken in time units, as written most often. Negative values are kept;
    // the player sends only values above 0.
    std::int32_t offset = 0;
    int offsetUnit = 0;
    std::int32_t length = 0;
    int lengthUnit = 0;

    // Options are the text strictly between the first '[' and the first ']'
    // when both exist in that order; each value is read from the first
    // occurrence of its name there.
    static PlaylistEntry Parse(std::string_view entry);
};

// The settings key of the stored playlist's entry n (1-based): "Track"
// followed by n with at least two digits (Track01, Track10, Track100).
std::string TrackKey(int n);
