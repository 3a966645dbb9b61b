#pragma once
// The media controls' view of the current playlist entry, and the metadata
// map (a{sv}) they are sent: track id, location, title, artist, album and
// length, each only when known.

#include <QVariantMap>
#include <cstdint>
#include <string>

struct TrackFacts {
    int track = 0;         // playlist position from 1; 0: no current entry
    std::string location;  // the entry without its options, as in the playlist
    // Tags of the stream that plays; empty when it has none or nothing plays.
    std::string title;
    std::string artist;
    std::string album;
    std::int64_t lengthMicroseconds = -1;  // -1: not known

    bool operator==(const TrackFacts&) const = default;
};

// Empty without a current entry. The title falls back to the file's name,
// or to the location for a stream (a station that sends no title); a local
// path becomes a file:// location, a relative one taken from the current
// folder as the player opens it.
QVariantMap TrackMetadata(const TrackFacts& facts);

// Whether the location is fetched over the network (http:// or https://, any case).
bool IsNetworkLocation(const std::string& location);
