#pragma once
// The locations entered in Open URL, most recent first. The process has one
// list, shared by every Open URL dialog; the net layer loads it from section
// "UrlHistory" when it is created and saves it there when it closes.
//
// A new location enters at the front; when that makes the list longer than
// kLength, the last entry goes. Only one goes per addition, so a longer list
// read from the settings keeps its length. User-interface thread only.

#include <string>
#include <vector>

class SettingsStore;

class UrlHistory {
public:
    static constexpr int kLength = 30;

    static UrlHistory& Process();

    // Replaces the entries by the stored ones: "NumberOfEntries" keys
    // History01, History02 ... (a missing key reads as an empty entry).
    void Load(SettingsStore& settings);
    // Deletes the keys of the stored count, then writes the count and entries.
    void Save(SettingsStore& settings) const;
    void Add(const std::string& location);

    // "History" and the 1-based number, at least two digits.
    static std::string Key(int number);

    std::vector<std::string> entries;
};
