// The player layer: creation and close around the decoder library, the
// stored playlist, the transport commands and what follows the end of a track.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/filedialogs/FileDialogs.h"
#include "platform/framework/Application.h"
#include "platform/framework/Resources.h"
#include "tests/player/PlayerHarness.h"

namespace {
using Locations = std::vector<std::string>;
}

TEST(PlayerWnd, CreationFailsWithTheLibrarysMessage) {
    struct Case {
        const char* what;
        DecoderStatus initStatus;
        std::uint32_t version;
        UINT message;
    } cases[] = {
        {"init fails", 0xC1010001, kDecoderVersion, PlayerWnd::kStringInitFailed},
        {"another version", 0, 0x02030B04, PlayerWnd::kStringWrongVersion},
    };
    for (const Case& c : cases) {
        PlayerHarness h;
        EXPECT_FALSE(h.Create([&](PlayerDecoder& d) {
            d.initStatus = c.initStatus;
            d.version = c.version;
        })) << c.what;
        EXPECT_EQ(h.messages, Locations{LoadString(c.message)}) << c.what;
    }
}

TEST(PlayerWnd, CloseEndsTheStreamAndReportsAFailedShutdownButStillCloses) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(1);
    h.Command(ID_PLAY);
    ASSERT_EQ(h.wnd->state, PlayState::Playing);
    h.decoder->doneStatus = 0xC1010001;
    const int closesBefore = h.decoder->closeCount;
    h.wnd->SendMessage(WM_CLOSE, 0, 0);
    h.wnd = nullptr;  // destroyed and deleted by the close
    EXPECT_EQ(h.decoder->closeCount, closesBefore + 1);
    EXPECT_EQ(h.messages, Locations{LoadString(PlayerWnd::kStringDoneFailed)});
}

TEST(PlayerWnd, StoredPlaylistIsRestoredWithEmptyEntriesForMissingKeys) {
    PlayerHarness h;
    h.store.WriteInt("PlayList", "NumberOfFiles", 3);
    h.store.WriteString("Playlist", "Track01", std::string("first.mp3"));
    ASSERT_TRUE(h.Create());
    EXPECT_EQ(h.wnd->playlist, (Locations{"first.mp3", "", ""}));
    EXPECT_EQ(h.wnd->trackCount, 3);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    PlayerHarness::Pump();
    EXPECT_EQ(h.wnd->state, PlayState::Stopped) << "a restored list waits for Play";
}

TEST(PlayerWnd, ACommandLinePlaysItsFilesAndLeavesTheStoredListAlone) {
    Application app("one.mp3 two.mp3");
    PlayerHarness h;
    h.store.WriteInt("PlayList", "NumberOfFiles", 1);
    h.store.WriteString("PlayList", "Track01", std::string("stored.mp3"));
    ASSERT_TRUE(h.Create([](PlayerDecoder& d) { d.AddTrack("one.mp3", 10); }));
    EXPECT_EQ(h.wnd->playlist, (Locations{"one.mp3", "two.mp3"}));
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, Locations{"one.mp3"});
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
    EXPECT_EQ(h.store.GetInt("PlayList", "NumberOfFiles", 0), 1);
    EXPECT_EQ(h.store.GetString("PlayList", "Track01"), "stored.mp3");
}

TEST(PlayerWnd, TheListPlaysThroughAndStopsOnTrackOneUnlessRepeatIsSet) {
    for (int repeat : {0, 1}) {
        PlayerHarness h;
        ASSERT_TRUE(h.Create());
        h.SetList(3);
        h.wnd->repeat = repeat;
        h.Command(ID_PLAY);
        EXPECT_EQ(h.wnd->GetWindowText(), "Brelune3");
        for (int track = 0; track < 3; ++track) h.PlayToEnd();
        EXPECT_EQ(h.wnd->currentTrack, 1);
        if (repeat) {
            EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t2.mp3", "t3.mp3", "t1.mp3"}));
            EXPECT_EQ(h.wnd->state, PlayState::Playing);
        } else {
            EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t2.mp3", "t3.mp3"}));
            EXPECT_EQ(h.wnd->state, PlayState::Stopped);
            EXPECT_EQ(h.wnd->trackName, "");
            EXPECT_EQ(h.wnd->trackNames,
                      (Locations{"t1.mp3", "", "t2.mp3", "", "t3.mp3", ""}));
        }
    }
}

TEST(PlayerWnd, NextOnTheLastAndPreviousOnTheFirstDoNothingInEveryState) {
    struct Case {
        UINT command;
        int track;
    } cases[] = {{ID_PREV_TRACK, 1}, {ID_NEXT_TRACK, 2}};
    for (PlayState state : {PlayState::Stopped, PlayState::Playing, PlayState::Paused}) {
        for (const Case& c : cases) {
            PlayerHarness h;
            ASSERT_TRUE(h.Create());
            h.SetList(2);
            h.wnd->currentTrack = c.track;
            if (state != PlayState::Stopped) h.Command(ID_PLAY);
            if (state == PlayState::Paused) h.Command(ID_PAUSE);
            ASSERT_EQ(h.wnd->state, state);
            const std::size_t opens = h.decoder->openedLocations.size();
            h.Command(c.command);
            PlayerHarness::Pump();
            EXPECT_EQ(h.wnd->currentTrack, c.track) << int(state) << " " << c.command;
            EXPECT_EQ(h.wnd->state, state) << int(state) << " " << c.command;
            EXPECT_EQ(h.decoder->openedLocations.size(), opens);
        }
    }
}

TEST(PlayerWnd, NextAndPreviousMoveOneTrack) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(3);
    // Stopped: only the number moves.
    h.Command(ID_NEXT_TRACK);
    EXPECT_EQ(h.wnd->currentTrack, 2);
    h.Command(ID_PREV_TRACK);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_TRUE(h.decoder->openedLocations.empty());

    // Playing: pressed twice before the stop arrives, Next still moves one track.
    h.Command(ID_PLAY);
    h.Command(ID_NEXT_TRACK);
    h.Command(ID_NEXT_TRACK);
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t2.mp3"}));
    EXPECT_EQ(h.wnd->currentTrack, 2);
    h.Command(ID_PREV_TRACK);
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t2.mp3", "t1.mp3"}));
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
}

TEST(PlayerWnd, StopLeavesTrackOneCurrentAndOverrulesAPendingPrevious) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(3);
    ASSERT_TRUE(h.wnd->PlayTrack(2));
    PlayerHarness::Pump();
    ASSERT_EQ(h.wnd->state, PlayState::Playing);
    h.Command(ID_PREV_TRACK);
    h.Command(ID_STOP);
    PlayerHarness::Pump();
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_FALSE(h.device->IsOpen());
    // The overruled Previous does not come back at the end of the next track.
    h.Command(ID_PLAY);
    h.PlayToEnd();
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t2.mp3", "t1.mp3", "t2.mp3"}));
}

TEST(PlayerWnd, DoubleClickOnPlayWhileStoppedStartsThenRestartsTheTrack) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(2);
    h.Command(ID_PLAY);
    h.Command(ID_PLAY, BN_DOUBLECLICKED);
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t1.mp3"}));
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
}

TEST(PlayerWnd, PauseHoldsTheDeviceAndPauseOrPlayResume) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(1, 60);
    h.Command(ID_PLAY);
    for (int i = 0; i < 3; ++i) {
        TickCounter = 1;
        h.wnd->SendMessage(UM_DECODE_TICK, 0, 0);
    }
    ASSERT_TRUE(h.device->IsOpen());
    for (UINT resume : {ID_PAUSE, ID_PLAY}) {
        h.Command(ID_PAUSE);
        EXPECT_EQ(h.wnd->state, PlayState::Paused);
        EXPECT_TRUE(h.device->IsPaused());
        h.Command(resume);
        EXPECT_EQ(h.wnd->state, PlayState::Playing);
        EXPECT_FALSE(h.device->IsPaused());
    }
    EXPECT_EQ(h.decoder->openedLocations.size(), 1u);
}

TEST(PlayerWnd, EntryOptionsReachTheDecoderAfterTheOpen) {
    struct Case {
        std::string entry;
        std::string opened;
        std::vector<std::intptr_t> offset;  // value and unit; empty when none is sent
        std::vector<std::intptr_t> length;
    } cases[] = {
        {"C:\\a.mp3 [offset=30t length=10t]", "C:\\a.mp3 ", {30, 1}, {10, 1}},
        {"C:\\a.mp3 [offset=30x]", "C:\\a.mp3 ", {}, {}},
        {"b.mp3[length=500f offset=4096b]", "b.mp3", {4096, 0}, {500, 2}},
        {"c.mp3 [offset=0t]", "c.mp3 ", {}, {}},
        {"d.mp3 ]offset=5t[", "d.mp3 ]offset=5t", {}, {}},
        {"plain.mp3", "plain.mp3", {}, {}},
    };
    for (const Case& c : cases) {
        PlayerHarness h;
        ASSERT_TRUE(h.Create());
        h.decoder->AddTrack(c.opened, 10);
        h.wnd->playlist = {c.entry};
        h.wnd->trackCount = h.wnd->currentTrack = 1;
        h.Command(ID_PLAY);
        EXPECT_EQ(h.decoder->openedLocations, Locations{c.opened}) << c.entry;
        EXPECT_EQ(h.wnd->trackName, c.opened);
        // Value and unit of each command sent, in order.
        const auto sent = [&](std::uint32_t code) {
            std::vector<std::intptr_t> values;
            for (const auto& call : h.decoder->CommandsWith(code)) values.insert(values.end(), {call.p1, call.p2});
            return values;
        };
        EXPECT_EQ(sent(DecoderCommand::StartOffset), c.offset) << c.entry;
        EXPECT_EQ(sent(DecoderCommand::PlayLength), c.length) << c.entry;
    }
}

TEST(PlayerWnd, AMissingFileShowsTheOpensMessageAndTheListDoesNotAdvance) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(2);
    h.wnd->playlist[0] = "missing.mp3";
    h.Command(ID_PLAY);
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, Locations{"missing.mp3"});
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].rfind("Unable to play missing.mp3\n", 0), 0u) << h.messages[0];
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_EQ(h.wnd->GetWindowText(), "Brelune3");
}

TEST(PlayerWnd, ATrackThatFailsWhilePlayingMovesOnToTheNext) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(2, 60);
    auto& first = h.decoder->tracks["t1.mp3"];
    first.resize(20);
    first.push_back({kFrameError, 0, kStereoFrame});
    h.Command(ID_PLAY);
    h.PlayToEnd();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].rfind(PlaybackEngine::kTextDecodeError, 0), 0u);
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t2.mp3"}));
    EXPECT_EQ(h.wnd->currentTrack, 2);
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
}

TEST(PlayerWnd, ReplayOnceFlagPlaysTheTrackAgainOnce) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(2);
    h.Command(ID_PLAY);
    h.wnd->replayOnce = 1;
    h.PlayToEnd();
    h.PlayToEnd();
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t1.mp3", "t2.mp3"}));
    EXPECT_EQ(h.wnd->replayOnce, 0);
}

TEST(PlayerWnd, PlayTrackChecksItsNumberAndStartsFromTheMessageLoop) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(3);
    for (int n : {0, -2, 4}) EXPECT_FALSE(h.wnd->PlayTrack(n)) << n;
    ASSERT_TRUE(h.wnd->PlayTrack(3));
    EXPECT_TRUE(h.decoder->openedLocations.empty());
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, Locations{"t3.mp3"});
    ASSERT_TRUE(h.wnd->PlayTrack(-1));
    PlayerHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t3.mp3", "t3.mp3"}));
}

TEST(PlayerWnd, StopWhileConnectingAbortsTheOpen) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(2);
    h.wnd->currentTrack = 2;
    h.decoder->whileOpening = [&] {
        EXPECT_EQ(h.wnd->state, PlayState::Connecting);
        EXPECT_EQ(h.wnd->GetWindowText(), "Connecting...");
        h.Command(ID_STOP);
    };
    h.Command(ID_PLAY);
    EXPECT_EQ(h.decoder->CommandsWith(DecoderCommand::AbortOpen).size(), 1u);
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_EQ(h.wnd->GetWindowText(), "Brelune3");
    EXPECT_EQ(h.timer->LiveCount(), 0u);
    EXPECT_TRUE(h.messages.empty());
}

TEST(PlayerWnd, ClosingWhileConnectingWaitsForTheOpenToReturn) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(1);
    bool closedInside = false;
    h.decoder->whileOpening = [&] {
        h.wnd->SendMessage(WM_CLOSE, 0, 0);
        closedInside = !h.wnd->IsWindow();
    };
    bool deleted = false;
    h.wnd->deleted = &deleted;
    h.Command(ID_PLAY);
    EXPECT_FALSE(closedInside);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);
    PlayerHarness::Pump();
    EXPECT_TRUE(deleted) << "the posted close ran";
    if (deleted) h.wnd = nullptr;
}

TEST(PlayerWnd, AConfirmationRequestIsAnsweredGoOn) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    EXPECT_EQ(h.wnd->SendMessage(UM_CONFIRM_STREAM, 1, reinterpret_cast<LPARAM>("http://host/x")), 1);
}

TEST(PlayerWnd, TheDisplayShowsTheCurrentTrackAndTheStreamWhilePlaying) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(3, 60);
    ASSERT_TRUE(h.wnd->PlayTrack(2));
    PlayerHarness::Pump();
    TickCounter = 1;
    h.wnd->SendMessage(UM_DECODE_TICK, 0, 0);
    const DisplayCache& shown = h.wnd->displayCache;
    EXPECT_EQ(shown[kTrackValue], 2);
    EXPECT_EQ(shown[kStateValue], 0);
    EXPECT_EQ(shown[kLayerValue], 3);
    EXPECT_EQ(shown[kMpegVersionValue], 1);
    EXPECT_EQ(shown[kSamplingFrequencyValue], 44100);
    EXPECT_EQ(shown[kChannelsValue], 2);
    EXPECT_EQ(shown[kBitRateValue], 128);
    EXPECT_EQ(shown[kPlayTypeValue], 1);
    h.Command(ID_PAUSE);
    TickCounter = 1;
    h.wnd->SendMessage(UM_DECODE_TICK, 0, 0);
    EXPECT_EQ(shown[kStateValue], 1);

    h.Command(ID_STOP);
    PlayerHarness::Pump();
    EXPECT_EQ(shown[kTrackValue], 1);
    EXPECT_EQ(shown[kStateValue], -1);
    EXPECT_EQ(shown[kLayerValue], -1);
    EXPECT_EQ(shown[kPlayTypeValue], 0);
}

TEST(PlayerWnd, TheEjectButtonAndOpenDialogOneShowThePlayFileDialog) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    std::vector<std::string> titles;
    SetFileDialogHandler([&](const FileDialogRequest& request, std::vector<std::string>&) {
        titles.push_back(request.title);
        return false;
    });
    h.Command(ID_OPEN_FILES);
    h.wnd->SendMessage(UM_OPEN_DIALOG, 1, 0);
    SetFileDialogHandler({});
    EXPECT_EQ(titles, (Locations{"Play Layer 3 File(s)", "Play Layer 3 File(s)"}));
}

TEST(PlayerWnd, NoSoundDeviceIsToldOnceAndPlaybackGoesOn) {
    PlayerHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(2, 60);
    h.device->silentReason = "ALSA: Couldn't open audio device";
    h.Command(ID_PLAY);
    for (int track = 0; track < 2; ++track) h.PlayToEnd();
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_NE(h.messages[0].find("No sound device could be opened"), std::string::npos) << h.messages[0];
    EXPECT_NE(h.messages[0].find("ALSA: Couldn't open audio device"), std::string::npos) << h.messages[0];
    // Both tracks played through, the second without another word.
    EXPECT_EQ(h.decoder->openedLocations, (Locations{"t1.mp3", "t2.mp3"}));
    EXPECT_EQ(h.wnd->state, PlayState::Stopped);

    // A device that reaches real sound says nothing.
    PlayerHarness quiet;
    ASSERT_TRUE(quiet.Create());
    quiet.SetList(1, 60);
    quiet.Command(ID_PLAY);
    quiet.PlayToEnd();
    EXPECT_TRUE(quiet.messages.empty());
}
