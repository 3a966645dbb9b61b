// The Audio topic of a player over fakes, read and driven by a real client on
// a private session bus: the fourteen items at start-up, during a track and
// after its end, the command table, the command guard, and "set playlist".
#include <gtest/gtest.h>

#include <QDialog>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "platform/filedialogs/FileDialogs.h"
#include "platform/help/HelpWindow.h"
#include "tests/dde/AutomationHarness.h"
#include "tests/support/TestEnvironment.h"

namespace {
using Result = DdeClient::Result;
using Strings = std::vector<std::string>;

class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(testbus::Start()); }
    void TearDown() override { testbus::Stop(); }
};
const auto* const busEnvironment = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

constexpr const char* kItems[] = {"Track",   "Frames",   "Time",     "Progress",  "State",
                                  "SyncState", "PlayType", "Layer",  "MpegVersion", "Bitrate",
                                  "SampFreq", "Channels", "TrackName", "PlayList"};

Strings AllItems(AutomationHarness& h) {
    Strings values;
    for (const char* item : kItems) values.push_back(h.Item(item));
    return values;
}
}  // namespace

TEST(AudioTopic, ItemsBeforeAndAfterTheWindowIsCreated) {
    AutomationHarness h;
    QStringList listed;
    ASSERT_EQ(h.client.ListItems("audio", listed), Result::Ok);
    EXPECT_EQ(listed.join(' ').toStdString(),
              "Track Frames Time Progress State SyncState PlayType Layer MpegVersion Bitrate SampFreq Channels "
              "TrackName PlayList");
    EXPECT_EQ(AllItems(h), (Strings{"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "", ""}));

    ASSERT_TRUE(h.CreateWindow());
    EXPECT_EQ(AllItems(h), (Strings{"-1", "-1", "-1", "-1", "-1", "-1", "0", "-1", "-1", "-1", "-1", "-1", "", ""}));
}

TEST(AudioTopic, ASavedListIsPublishedWithItsEntriesAsStored) {
    AutomationHarness h;
    h.store.WriteInt("PlayList", "NumberOfFiles", 3);
    h.store.WriteString("PlayList", "Track01", std::string("/m/a b.mp3"));
    h.store.WriteString("PlayList", "Track02", std::string("c.mp3[offset=5]"));
    h.store.WriteString("PlayList", "Track03", std::string("d.mp3"));
    ASSERT_TRUE(h.CreateWindow());
    EXPECT_EQ(h.Item("Track"), "1");
    EXPECT_EQ(h.Item("PlayList"), "/m/a b.mp3 c.mp3[offset=5] d.mp3");
    EXPECT_EQ(h.Item("Time"), "-1");
}

TEST(AudioTopic, ItemsFollowATrackWhileItPlaysAndAfterItEnds) {
    AutomationHarness h;
    ASSERT_TRUE(h.CreateWindow());
    h.SetList(2, 2000);
    h.wnd->playlist[1] = "t2.mp3[offset=1]";
    h.wnd->PublishPlayList();
    for (const char* item : kItems) ASSERT_EQ(h.client.AdviseStart("Audio", item), Result::Ok);

    ASSERT_EQ(h.Exec("play 2"), Result::Ok);
    PlayerHarness::Pump();
    h.Tick();
    EXPECT_EQ(h.Item("Track"), "2");
    EXPECT_EQ(h.Item("TrackName"), "t2.mp3") << "the option part is left out";
    EXPECT_EQ(h.Item("PlayList"), "t1.mp3 t2.mp3[offset=1]");
    EXPECT_EQ(h.Item("State"), "0");
    EXPECT_EQ(h.Item("Layer"), "3");
    EXPECT_EQ(h.Item("MpegVersion"), "1");
    EXPECT_EQ(h.Item("SampFreq"), "44100");
    EXPECT_EQ(h.Item("Channels"), "2");
    EXPECT_EQ(h.Item("Bitrate"), "128");
    EXPECT_EQ(h.Item("PlayType"), "1");
    EXPECT_NE(h.Item("Frames"), "-1");
    EXPECT_NE(h.Item("Time"), "-1");
    // The scripted stream has no length: no estimate, so no progress.
    EXPECT_EQ(h.Item("Progress"), "-1");

    ASSERT_EQ(h.Exec("pause"), Result::Ok);
    h.Tick();
    ASSERT_EQ(h.Exec("PAUSE"), Result::Ok);
    h.Tick();
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.advised["State"].size() >= 3; }));
    EXPECT_EQ(h.advised["State"], (std::vector<QString>{"0", "1", "0"}));
    EXPECT_EQ(h.advised["TrackName"], (std::vector<QString>{"t2.mp3"}));

    h.PlayToEnd();
    EXPECT_EQ(AllItems(h), (Strings{"1", "-1", "-1", "-1", "-1", "-1", "0", "-1", "-1", "-1", "-1", "-1", "",
                                    "t1.mp3 t2.mp3[offset=1]"}));
    ASSERT_TRUE(testsupport::WaitFor([&] { return h.advised["TrackName"].size() >= 2; }));
    EXPECT_EQ(h.advised["TrackName"].back(), "");
    // Numbers are advised only when they change: Layer went 3, then -1.
    EXPECT_EQ(h.advised["Layer"], (std::vector<QString>{"3", "-1"}));
}

TEST(AudioTopic, TheCommandTable) {
    enum Start { Stopped, Playing2, Paused1, StoppedOn5 };
    struct Case {
        const char* text;
        Start start;
        Result answer;
        PlayState state;      // after the posted messages ran
        int track;            // current track afterwards
        Strings opened;       // locations opened by the command
        std::vector<int> dialogs;
    } cases[] = {
        {"play", Stopped, Result::Ok, PlayState::Playing, 1, {"t1.mp3"}, {}},
        {"PLAY", Stopped, Result::Ok, PlayState::Playing, 1, {"t1.mp3"}, {}},
        {"pLaY", Stopped, Result::Ok, PlayState::Playing, 1, {"t1.mp3"}, {}},
        {"play ", Stopped, Result::Ok, PlayState::Playing, 1, {"t1.mp3"}, {}},
        {"play 3", Playing2, Result::Ok, PlayState::Playing, 3, {"t3.mp3"}, {}},
        {"play 9", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"play 0", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"play x", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"play 99999999999", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"play -1", Playing2, Result::Ok, PlayState::Playing, 2, {"t2.mp3"}, {}},
        {"playlist", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"play", Paused1, Result::Ok, PlayState::Playing, 1, {}, {}},
        {"pause", Playing2, Result::Ok, PlayState::Paused, 2, {}, {}},
        {"pause", Paused1, Result::Ok, PlayState::Playing, 1, {}, {}},
        {"stop", Playing2, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"Stop", Playing2, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"stop ", Playing2, Result::Refused, PlayState::Playing, 2, {}, {}},
        {" stop", Playing2, Result::Refused, PlayState::Playing, 2, {}, {}},
        {"nexttrack", Stopped, Result::Ok, PlayState::Stopped, 2, {}, {}},
        {"nexttrack", Playing2, Result::Ok, PlayState::Playing, 3, {"t3.mp3"}, {}},
        {"nexttrack", StoppedOn5, Result::Ok, PlayState::Stopped, 5, {}, {}},
        {"prevtrack", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {}},
        {"prevtrack", Playing2, Result::Ok, PlayState::Playing, 1, {"t1.mp3"}, {}},
        {"next track", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"set playlist", Playing2, Result::Ok, PlayState::Playing, 2, {}, {}},
        {"exit", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {0}},
        {"exit ", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"dialog file play file", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {1}},
        {"DIALOG FILE PLAY LOCATION", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {2}},
        {"dialog options output", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {3}},
        {"dialog options play", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {4}},
        {"dialog options proxy", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {5}},
        {"dialog options url", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {6}},
        {"dialog help about", Stopped, Result::Ok, PlayState::Stopped, 1, {}, {8}},
        {"dialog help contents", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"dialog options", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"dialog options output ", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"dialog view about", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"dialogfile play file", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
        {"rewind", Stopped, Result::Refused, PlayState::Stopped, 1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.text + "\"");
        AutomationHarness h;
        ASSERT_TRUE(h.CreateWindow());
        h.SetList(5, 200);
        h.wnd->PublishPlayList();
        if (c.start == Playing2) {
            ASSERT_TRUE(h.wnd->PlayTrack(2));
        }
        if (c.start == Paused1) {
            h.wnd->Play();
            h.wnd->Pause();
        }
        if (c.start == StoppedOn5) h.wnd->currentTrack = 5;
        PlayerHarness::Pump();
        const std::size_t openedBefore = h.decoder->openedLocations.size();

        EXPECT_EQ(h.Exec(c.text), c.answer);
        PlayerHarness::Pump();
        // The exit row closes the window; the rest still have one.
        if (c.dialogs == std::vector<int>{0}) {
            EXPECT_TRUE(h.windowDeleted);
            continue;
        }
        EXPECT_EQ(h.wnd->dialogs, c.dialogs);
        EXPECT_EQ(h.wnd->state, c.state);
        EXPECT_EQ(h.wnd->currentTrack, c.track);
        EXPECT_EQ(Strings(h.decoder->openedLocations.begin() + long(openedBefore), h.decoder->openedLocations.end()),
                  c.opened);
        EXPECT_EQ(h.Item("PlayList"), "t1.mp3 t2.mp3 t3.mp3 t4.mp3 t5.mp3");
    }
}

TEST(AudioTopic, HelpIndexOpensTheHelpWindowAtOnce) {
    AutomationHarness h;
    ASSERT_TRUE(h.CreateWindow());
    EXPECT_EQ(h.Exec("dialog help index"), Result::Ok);
    ASSERT_NE(HelpWindow::Current(), nullptr);
    delete HelpWindow::Current();
}

TEST(AudioTopic, SetPlaylistPlaysFilesAndListFilesAndPublishesThem) {
    const std::filesystem::path folder = std::filesystem::path(testenv::Home()) / "Music";
    std::filesystem::create_directories(folder);
    const std::string list = (folder / "Mix.M3U").string();
    std::ofstream(list) << "#EXTM3U\n" << (folder / "One.mp3").string() << "\n" << (folder / "Two.mp3").string() << "\n";

    struct Case {
        std::string argument;
        Strings playlist;
    } cases[] = {
        {"Upper Case.mp3", {"Upper", "Case.mp3"}},  // words split on blanks
        {"\"Upper Case.mp3\" b.mp3", {"Upper Case.mp3", "b.mp3"}},
        {list, {(folder / "One.mp3").string(), (folder / "Two.mp3").string()}},
        {"/L " + list, {(folder / "One.mp3").string(), (folder / "Two.mp3").string()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        AutomationHarness h;
        ASSERT_TRUE(h.CreateWindow([&](PlayerDecoder& d) {
            for (const std::string& entry : c.playlist) d.AddTrack(entry, 50);
        }));
        h.SetList(3, 200);
        ASSERT_TRUE(h.wnd->PlayTrack(2));
        PlayerHarness::Pump();
        ASSERT_EQ(h.wnd->state, PlayState::Playing);

        ASSERT_EQ(h.Exec("Set Playlist " + c.argument), Result::Ok);
        PlayerHarness::Pump();
        EXPECT_EQ(h.wnd->playlist, c.playlist);
        EXPECT_EQ(h.wnd->currentTrack, 1);
        EXPECT_EQ(h.decoder->openedLocations.back(), c.playlist.front()) << "names keep their letter case";
        std::string joined;
        for (const std::string& entry : c.playlist) joined += (joined.empty() ? "" : " ") + entry;
        EXPECT_EQ(h.Item("PlayList"), joined);
    }
}

// Commands that arrive while a dialog of the player is open, or before the
// window exists, are acknowledged and do nothing.
TEST(AudioTopic, TheGuardKeepsCommandsOutWhileADialogIsOpenAndBeforeTheWindow) {
    const char* commands[] = {"play", "play 2", "stop", "pause", "nexttrack", "prevtrack", "set playlist x.mp3",
                              "dialog options output", "dialog help about", "exit"};
    AutomationHarness h;
    for (const char* command : commands) EXPECT_EQ(h.Exec(command), Result::Ok) << "before the window: " << command;
    EXPECT_EQ(h.Exec("rewind"), Result::Refused);

    ASSERT_TRUE(h.CreateWindow());
    h.SetList(3, 200);
    ASSERT_TRUE(h.wnd->PlayTrack(2));
    PlayerHarness::Pump();
    ASSERT_EQ(h.wnd->state, PlayState::Playing);

    QDialog dialog(h.wnd->Widget());
    std::vector<Result> answers;
    QTimer::singleShot(0, &dialog, [&] {
        for (const char* command : commands) answers.push_back(h.Exec(command));
        answers.push_back(h.Exec("rewind"));
        dialog.reject();
    });
    dialog.exec();
    PlayerHarness::Pump();
    std::vector<Result> expected(std::size(commands), Result::Ok);
    expected.push_back(Result::Refused);
    EXPECT_EQ(answers, expected);
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
    EXPECT_EQ(h.wnd->currentTrack, 2);
    EXPECT_EQ(h.wnd->playlist, (Strings{"t1.mp3", "t2.mp3", "t3.mp3"}));
    EXPECT_TRUE(h.wnd->dialogs.empty());
    // With the dialog gone, commands act again.
    EXPECT_EQ(h.Exec("stop"), Result::Ok);
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);
}

// Play waits in the decoder's open while a location connects, dispatching
// events; a client's Stop must get through then and end the open.
TEST(AudioTopic, AStopSentWhilePlayIsConnectingEndsTheOpen) {
    AutomationHarness h;
    bool sent = false;
    Result stopAnswer = Result::NoServer;
    ASSERT_TRUE(h.CreateWindow([&](PlayerDecoder& d) {
        d.whileOpening = [&] {
            if (sent) return;
            sent = true;
            stopAnswer = h.Exec("stop");
        };
    }));
    h.SetList(2, 200);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(h.Exec("play"), Result::Ok);
    EXPECT_LT(clock.elapsed(), 5000) << "the stop did not wait for a timeout";
    EXPECT_TRUE(sent);
    EXPECT_EQ(stopAnswer, Result::Ok);
    PlayerHarness::Pump();
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);
    EXPECT_EQ(h.Item("TrackName"), "");
}
