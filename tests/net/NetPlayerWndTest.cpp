// The net layer of the main window over a scripted decoder: its settings,
// the proxy handed to the decoder, Play Location with the URL history, the
// option dialogs, and what happens when a stream that may be saved opens.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <string>
#include <vector>

#include "net/NetPlayerWnd.h"
#include "net/UrlHistory.h"
#include "net/UrlMethod.h"
#include "platform/filedialogs/FileDialogs.h"
#include "tests/player/PlayerHarness.h"
#include "tests/support/ModalDialogs.h"

using testenv::ControlWithText;
using testenv::WhileModal;

namespace {
using Texts = std::vector<std::string>;
using NetHarness = WindowHarness<NetPlayerWnd>;
using TextCommand = std::pair<std::uint32_t, std::string>;
using TextCommands = std::vector<TextCommand>;

constexpr const char* kStation = "http://radio.example:8000/live/stream01.mp3";
constexpr const char* kSavedFile = "/tmp/saved/stream01.MP3";

void Click(QDialog& dialog, const QString& text) {
    if (auto* button = ControlWithText<QAbstractButton>(dialog, text)) button->click();
}

// Types `location` into Open URL, opened by `open`, and confirms it.
void PlayLocation(const std::function<void()>& open, const std::string& location) {
    EXPECT_TRUE(WhileModal(open, [&](QDialog& d) {
        d.findChild<QComboBox*>()->setEditText(QString::fromStdString(location));
        Click(d, "OK");
    }));
}

// Answers "Save URL as" with `path` (empty: cancel) and records the request.
struct SaveDialogAnswer {
    FileDialogRequest request;
    int shown = 0;
    explicit SaveDialogAnswer(std::string path) {
        SetFileDialogHandler([this, path](const FileDialogRequest& r, std::vector<std::string>& chosen) {
            request = r;
            ++shown;
            if (path.empty()) return false;
            chosen = {path};
            return true;
        });
    }
    ~SaveDialogAnswer() { SetFileDialogHandler({}); }
};

// A station that may be saved, 10 frames long, as the only entry.
void PrepareStation(NetHarness& h, int method) {
    h.decoder->startStatus = kStatusMaySave;
    h.decoder->AddTrack(kStation, 10);
    h.decoder->AddTrack(kSavedFile, 10);
    h.wnd->playlist = {kStation};
    h.wnd->trackCount = 1;
    h.wnd->currentTrack = 1;
    h.wnd->UrlMethod = method;
    h.wnd->DefaultDirectory = "/tmp/saved";
}
}  // namespace

TEST(NetPlayerWnd, FirstRunWritesEveryKeyAndHandsTheProxyPairToTheDecoder) {
    NetHarness h;
    ASSERT_TRUE(h.Create());
    EXPECT_TRUE(h.store.Has("Proxies", "HttpProxy"));
    EXPECT_EQ(h.store.GetString("Proxies", "HttpProxy", "unset"), "");
    EXPECT_EQ(h.store.GetInt("Proxies", "HttpPort", 0), 80);
    EXPECT_EQ(h.store.GetString("Proxies", "NoProxies", "unset"), "");
    EXPECT_EQ(h.store.GetString("UrlSettings", "DefaultDirectory", "unset"), "");
    EXPECT_EQ(h.store.GetInt("UrlSettings", "UrlMethod", 0), UrlAskUser);
    EXPECT_FALSE(h.store.Has("UrlSettings", "HttpProxy")) << "the proxy keys live in Proxies";
    EXPECT_TRUE(UrlHistory::Process().entries.empty());
    EXPECT_EQ(h.decoder->texts, (TextCommands{{DecoderCommand::Proxy, ""}, {DecoderCommand::NoProxy, ""}}))
        << "sent even without a proxy, in this order";
    EXPECT_EQ(h.decoder->CommandsWith(DecoderCommand::Proxy).front().p2, 80);
}

TEST(NetPlayerWnd, SettingsAndHistoryAreWrittenAtCloseAndReadAtTheNextStart) {
    MemorySettingsStore store;
    {
        NetHarness h;
        h.store.WriteString("Proxies", "HttpProxy", std::string("proxy.lan"));
        h.store.WriteInt("Proxies", "HttpPort", 3128);
        ASSERT_TRUE(h.Create());
        EXPECT_EQ(h.decoder->texts.front(), TextCommand(DecoderCommand::Proxy, "proxy.lan"));
        EXPECT_EQ(h.decoder->CommandsWith(DecoderCommand::Proxy).front().p2, 3128);
        h.wnd->NoProxies = "localhost";
        h.wnd->UrlMethod = UrlSaveOnly;
        h.wnd->DefaultDirectory = "/music";
        h.decoder->AddTrack("http://first/", 5);
        PlayLocation([&] { h.wnd->OpenDialog(2, 0); }, "http://first/");
        h.wnd->SendMessage(WM_CLOSE, 0, 0);
        h.wnd = nullptr;
        store = h.store;
    }
    UrlHistory::Process().entries.clear();
    NetHarness h;
    h.store = store;
    ASSERT_TRUE(h.Create());
    EXPECT_EQ(h.wnd->HttpProxy, "proxy.lan");
    EXPECT_EQ(h.wnd->HttpPort, 3128);
    EXPECT_EQ(h.wnd->NoProxies, "localhost");
    EXPECT_EQ(h.wnd->UrlMethod, UrlSaveOnly);
    EXPECT_EQ(h.wnd->DefaultDirectory, "/music");
    EXPECT_EQ(UrlHistory::Process().entries, Texts{"http://first/"});
}

TEST(NetPlayerWnd, PlayLocationStopsTheTrackAndPlaysTheLocationAloneAsTyped) {
    NetHarness h;
    ASSERT_TRUE(h.Create());
    h.SetList(3);
    h.Command(ID_PLAY);
    ASSERT_EQ(h.wnd->state, PlayState::Playing);
    const std::string typed = " http://radio.example/a b?c=1 [offset=2]";
    h.decoder->AddTrack(" http://radio.example/a b?c=1 ", 5);
    PlayLocation([&] { h.Command(ID_PLAY_LOCATION); }, typed);
    EXPECT_EQ(h.wnd->playlist, Texts{typed});
    EXPECT_EQ(h.wnd->trackCount, 1);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    NetHarness::Pump();
    EXPECT_EQ(h.decoder->openedLocations.back(), " http://radio.example/a b?c=1 ")
        << "the entry's options apply to a location too";
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
    EXPECT_EQ(UrlHistory::Process().entries, Texts{typed});

    // Cancel, and OK on an empty field, change nothing and playback goes on.
    EXPECT_TRUE(WhileModal([&] { h.wnd->OpenDialog(2, 0); }, [](QDialog& d) { Click(d, "Cancel"); }));
    PlayLocation([&] { h.Command(ID_PLAY_LOCATION); }, "");
    NetHarness::Pump();
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
    EXPECT_EQ(h.decoder->openedLocations.size(), 2u);
    EXPECT_EQ(UrlHistory::Process().entries, Texts{typed});
}

TEST(NetPlayerWnd, ProxyDialogSendsThePairAfterEveryOkAndNothingOnCancel) {
    NetHarness h;
    ASSERT_TRUE(h.Create());
    h.decoder->texts.clear();
    EXPECT_TRUE(WhileModal([&] { h.wnd->OpenDialog(5, 0); }, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Proxy Settings");
        Click(d, "Cancel");
    }));
    EXPECT_TRUE(h.decoder->texts.empty());
    for (const char* host : {"proxy.lan", "proxy.lan"}) {
        EXPECT_TRUE(WhileModal([&] { h.Command(ID_OPTIONS_PROXY); }, [&](QDialog& d) {
            d.findChildren<QLineEdit*>()[0]->setText(host);
            Click(d, "OK");
        }));
    }
    EXPECT_EQ(h.decoder->texts, (TextCommands{{DecoderCommand::Proxy, "proxy.lan"},
                                              {DecoderCommand::NoProxy, ""},
                                              {DecoderCommand::Proxy, "proxy.lan"},
                                              {DecoderCommand::NoProxy, ""}}))
        << "OK without a change sends the pair again";
    EXPECT_EQ(h.store.GetString("Proxies", "HttpProxy", "unset"), "") << "written only at close";
    EXPECT_TRUE(WhileModal([&] { h.wnd->OpenDialog(6, 0); }, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "URL Options");
        Click(d, "Cancel");
    }));
}

TEST(NetPlayerWnd, AStreamThatMayBeSavedIsPlayedSavedOrBothAsTheMethodSays) {
    struct Case {
        const char* what;
        int method;
        const char* askChoice;  // the button pressed in "Please select"
        bool playAfterSave;
        std::string answer;  // the save dialog's answer; empty: cancelled
        bool plays;
        int saveOnlyCommands;
        bool saved;
        bool asked;
    } cases[] = {
        {"play only", UrlPlayOnly, nullptr, false, kSavedFile, true, 0, false, false},
        {"stored value outside the table", 7, nullptr, false, kSavedFile, true, 0, false, false},
        {"play and save", UrlPlayAndSave, nullptr, false, kSavedFile, true, 0, true, true},
        {"play and save, cancelled", UrlPlayAndSave, nullptr, false, "", false, 0, false, true},
        {"save only", UrlSaveOnly, nullptr, false, kSavedFile, true, 1, true, true},
        {"save only, cancelled", UrlSaveOnly, nullptr, false, "", false, 1, false, true},
        {"save then play", UrlSaveThenPlay, nullptr, false, kSavedFile, true, 1, true, true},
        {"ask: play only", UrlAskUser, "Play only", false, kSavedFile, true, 0, false, false},
        {"ask: play and save", UrlAskUser, "Play && Save", false, kSavedFile, true, 0, true, true},
        {"ask: save then play", UrlAskUser, "Save only", true, kSavedFile, true, 1, true, true},
        {"ask: cancel", UrlAskUser, "Cancel Request", false, kSavedFile, false, 0, false, false},
    };
    for (const Case& c : cases) {
        NetHarness h;
        ASSERT_TRUE(h.Create());
        PrepareStation(h, c.method);
        h.decoder->texts.clear();
        SaveDialogAnswer answer(c.answer);
        const auto play = [&] { h.Command(ID_PLAY); };
        if (c.askChoice) {
            EXPECT_TRUE(WhileModal(play, [&](QDialog& d) {
                EXPECT_EQ(d.windowTitle(), "Please select");
                if (c.playAfterSave) ControlWithText<QAbstractButton>(d, "Play after save")->click();
                Click(d, c.askChoice);
            })) << c.what;
        } else {
            play();
        }
        EXPECT_EQ(h.wnd->state, c.plays ? PlayState::Playing : PlayState::Stopped) << c.what;
        EXPECT_EQ(h.decoder->CommandCount(DecoderCommand::SaveOnly), c.saveOnlyCommands) << c.what;
        const TextCommands saves = c.saved ? TextCommands{{DecoderCommand::SaveToFile, kSavedFile}} : TextCommands{};
        EXPECT_EQ(h.decoder->texts, saves) << c.what;
        EXPECT_EQ(answer.shown, c.asked ? 1 : 0) << c.what;
        EXPECT_TRUE(h.messages.empty()) << c.what << ": a cancel shows no message";
        const bool thenPlay = c.method == UrlSaveThenPlay || c.playAfterSave;
        EXPECT_EQ(h.wnd->playlist, Texts{thenPlay ? kSavedFile : kStation}) << c.what;
        EXPECT_EQ(h.wnd->replayOnce, thenPlay ? 1 : 0) << c.what;
        if (c.asked) {
            EXPECT_EQ(answer.request.title, "Save URL as");
            EXPECT_TRUE(answer.request.save);
            EXPECT_TRUE(answer.request.flags & OFN_OVERWRITEPROMPT);
            EXPECT_EQ(answer.request.directory, "/tmp/saved/");
            EXPECT_EQ(answer.request.fileName, "stream01.MP3");
        }
    }
}

TEST(NetPlayerWnd, PlayAfterSavePlaysTheSavedFileOnceTheStreamHasEnded) {
    NetHarness h;
    ASSERT_TRUE(h.Create());
    PrepareStation(h, UrlSaveThenPlay);
    SaveDialogAnswer answer(kSavedFile);
    h.Command(ID_PLAY);
    h.decoder->startStatus = 0;
    h.PlayToEnd();
    EXPECT_EQ(h.decoder->openedLocations, (Texts{kStation, kSavedFile}));
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
    EXPECT_EQ(h.wnd->replayOnce, 0);
    h.PlayToEnd();
    EXPECT_EQ(h.decoder->openedLocations.size(), 2u) << "the replay happens once";
}

TEST(NetPlayerWnd, AFailedSaveIsReportedAndNeverPlayedAsIfSaved) {
    {
        // The file cannot even be created: the open is cancelled with the reason.
        NetHarness h;
        ASSERT_TRUE(h.Create());
        PrepareStation(h, UrlSaveThenPlay);
        h.decoder->saveStatus = 0xC1010030;
        h.decoder->errorText = "Saving failed: Permission denied";
        SaveDialogAnswer answer(kSavedFile);
        h.Command(ID_PLAY);
        EXPECT_EQ(h.wnd->state, PlayState::Stopped);
        EXPECT_EQ(h.messages, Texts{std::string("Unable to save ") + kSavedFile + "\nSaving failed: Permission denied"});
        EXPECT_EQ(h.wnd->playlist, Texts{kStation});
        EXPECT_EQ(h.wnd->replayOnce, 0);
    }
    {
        // The disk fills while saving: the half-written file is not played.
        NetHarness h;
        ASSERT_TRUE(h.Create());
        PrepareStation(h, UrlSaveThenPlay);
        h.decoder->tracks[kStation].push_back({0xC1010030, 0, kStereoFrame});
        SaveDialogAnswer answer(kSavedFile);
        h.Command(ID_PLAY);
        h.PlayToEnd();
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.decoder->openedLocations, Texts{kStation});
        EXPECT_EQ(h.wnd->replayOnce, 0);
    }
}
