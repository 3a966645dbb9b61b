#include "dde/AudioTopic.h"

namespace {
DdeNumberItem* NumberItem(DdeTopic& topic, const char* name) {
    auto* item = new DdeNumberItem(topic, name);
    item->SetNumber(0);
    return item;
}
}  // namespace

AudioTopic::AudioTopic(DdeServer& server, std::function<PlayerWnd*()> mainWindow)
    : DdeTopic(server, kTopicName),
      track(NumberItem(*this, "Track")),
      frames(NumberItem(*this, "Frames")),
      time(NumberItem(*this, "Time")),
      progress(NumberItem(*this, "Progress")),
      state(NumberItem(*this, "State")),
      syncState(NumberItem(*this, "SyncState")),
      playType(NumberItem(*this, "PlayType")),
      layer(NumberItem(*this, "Layer")),
      mpegVersion(NumberItem(*this, "MpegVersion")),
      bitrate(NumberItem(*this, "Bitrate")),
      sampFreq(NumberItem(*this, "SampFreq")),
      channels(NumberItem(*this, "Channels")),
      trackName(new DdeItem(*this, "TrackName")),
      playList(new DdeItem(*this, "PlayList")),
      mainWindow(std::move(mainWindow)) {}

bool AudioTopic::PublishPlayList(const std::vector<std::string>& playlist) {
    if (playlist.empty()) return false;
    std::string text;
    for (const std::string& entry : playlist) {
        if (!text.empty() || &entry != &playlist.front()) text += ' ';
        text += entry;
    }
    return playList->SetValue(text);
}

void AudioTopic::PublishItem(const std::string& item, const std::string& value) {
    if (DdeItem* found = FindItem(DdeStringHandle(item))) found->SetValue(value);
}
