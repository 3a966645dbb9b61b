#pragma once
// The player's automation topic "Audio": fourteen items that follow what the
// panel shows, the track name and the playlist, and the execute commands
// that drive the player (read by AudioCommand, run in AudioTopicExecute.cpp).
//
// The main window publishes into it through ItemPublisher. Commands reach
// the window through `mainWindow`, which answers null while there is none;
// they act only while the window has no dialog, message box or other owned
// pop-up active, and are acknowledged either way. User-interface thread only.

#include <functional>
#include <string>
#include <vector>

#include "platform/dde/DdeNumberItem.h"
#include "platform/dde/DdeTopic.h"
#include "ui/ItemPublisher.h"

class PlayerWnd;

class AudioTopic : public DdeTopic, public ItemPublisher {
public:
    static constexpr const char* kTopicName = "Audio";

    AudioTopic(DdeServer& server, std::function<PlayerWnd*()> mainWindow);

    bool OnExecute(std::string& command) override;
    // The entries in order, joined by single spaces, as stored (nothing quoted).
    bool PublishPlayList(const std::vector<std::string>& playlist) override;
    void PublishItem(const std::string& item, const std::string& value) override;

    DdeNumberItem* track;
    DdeNumberItem* frames;
    DdeNumberItem* time;
    DdeNumberItem* progress;
    DdeNumberItem* state;
    DdeNumberItem* syncState;
    DdeNumberItem* playType;
    DdeNumberItem* layer;
    DdeNumberItem* mpegVersion;
    DdeNumberItem* bitrate;
    DdeNumberItem* sampFreq;
    DdeNumberItem* channels;
    DdeItem* trackName;
    DdeItem* playList;

private:
    // The main window when a command may act on it, else null.
    PlayerWnd* GuardedWindow() const;

    std::function<PlayerWnd*()> mainWindow;
};
