#pragma once
// The playlist as the settings store keeps it: section "PlayList" (section
// names ignore case), "NumberOfFiles" and one string per entry under
// "Track01", "Track02", … "Track100". Only the Play File dialog writes it;
// the player restores it at a start without arguments.
//
// A stored count above kMaxStoredTracks is taken as damage: reading stops
// there, and deleting removes the whole section instead of walking billions
// of keys that cannot exist.

#include <string>
#include <vector>

class SettingsStore;

constexpr int kMaxStoredTracks = 100000;

// The stored entries; a missing "Track" key gives an empty entry. Empty when
// no list is stored (count 0, missing or negative).
std::vector<std::string> ReadStoredPlaylist(SettingsStore& settings);
// Deletes the "Track" keys 1 up to the stored count.
void DeleteStoredPlaylist(SettingsStore& settings);
// Writes the count, then one key per entry in order.
void WriteStoredPlaylist(SettingsStore& settings, const std::vector<std::string>& entries);
