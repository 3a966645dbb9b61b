// The Track information window as the main window keeps it: opened by the
// info button, filled from a tagged file that plays through the real decoder
// and SDL's dummy driver, cleared at the end of the track. Also the Output
// dialog while a track plays.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "player/PlayerWnd.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "ui/TrackInfoDialog.h"

namespace {
constexpr UINT kMainWindowStyle = 0x00CA0000;
constexpr int kTrackTimeoutMs = 10000;

// The real decoder library, with a record of opens and tag requests, and a
// switch that makes every tag request fail.
class WatchedDecoder : public Decoder {
public:
    struct TagCall {
        std::uint32_t code;
        std::intptr_t p1;
        std::intptr_t p2;
    };
    std::vector<int> openQualities;
    std::vector<TagCall> tagCalls;
    bool refuseTags = false;

    DecoderStatus Init() override { return real.Init(); }
    DecoderStatus Done() override { return real.Done(); }
    DecoderStatus Open(const std::string& location, int quality, int resolution, int downmix,
                       int cpuType) override {
        openQualities.push_back(quality);
        return real.Open(location, quality, resolution, downmix, cpuType);
    }
    DecoderStatus GetFrame(void* pcm, std::int32_t* bytes, FrameInfo* info) override {
        return real.GetFrame(pcm, bytes, info);
    }
    DecoderStatus Close() override { return real.Close(); }
    DecoderStatus Command(std::uint32_t code, std::intptr_t p1, std::intptr_t p2, void* out) override {
        if (code >= DecoderCommand::Title && code <= DecoderCommand::Composer) {
            tagCalls.push_back({code, p1, p2});
            if (refuseTags) return kStatusNoTag;
        }
        return real.Command(code, p1, p2, out);
    }

private:
    static constexpr DecoderStatus kStatusNoTag = 0x81010110;
    MpxDecoder real;
};

struct Player {
    MemorySettingsStore store;
    WatchedDecoder* decoder = nullptr;
    PlayerWnd* wnd = nullptr;

    Player() {
        auto watched = std::make_unique<WatchedDecoder>();
        decoder = watched.get();
        wnd = new PlayerWnd(store, PlayerDevices{std::move(watched), CreateSdlWaveOut(), CreateThreadTimer(),
                                                 CreateSteadyClock()});
        EXPECT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
        wnd->ShowWindow(SW_SHOWNORMAL);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(wnd->Widget()));
        wnd->playlist = {Tagged()};
        wnd->trackCount = 1;
        wnd->currentTrack = 1;
    }
    ~Player() { wnd->SendMessage(WM_CLOSE, 0, 0); }

    static std::string Tagged() { return testenv::FixturesDir() + "/l3_mpeg1_44k_stereo.mp3"; }
    void Command(UINT id) { wnd->SendMessage(WM_COMMAND, MakeCommandWParam(id, BN_CLICKED), 0); }
    std::string Text(int id) const { return wnd->infoDialog->GetDlgItemText(id); }
    std::vector<std::string> Fields() const {
        return {Text(TrackInfoDialog::IDC_TRACK), Text(TrackInfoDialog::IDC_FILE), Text(TrackInfoDialog::IDC_TITLE),
                Text(TrackInfoDialog::IDC_ARTIST), Text(TrackInfoDialog::IDC_COMPOSER),
                Text(TrackInfoDialog::IDC_AUTHOR)};
    }
    bool WaitUntilStopped() {
        return QTest::qWaitFor([this] { return wnd->state == PlayState::Stopped; }, kTrackTimeoutMs);
    }
};

template <class Control>
Control* ByText(QDialog& dialog, const QString& text) {
    for (Control* control : dialog.findChildren<Control*>()) {
        if (control->text() == text) return control;
    }
    return nullptr;
}

const std::vector<std::string> kEmpty{"--", "", "", "", "", ""};

std::vector<std::string> TaggedFields() {
    const std::string file = Player::Tagged();
    return {" 1", file.substr(0, 10) + "..." + file.substr(file.size() - 20), "Tone Title", "Tone Artist",
            "Tone Composer", "Tone Author"};
}
}  // namespace

TEST(TrackInfoWindow, ShowsTheTagsWhileATaggedFilePlaysAndClearsAtItsEnd) {
    Player player;
    player.Command(ID_TRACK_INFO);
    ASSERT_NE(player.wnd->infoDialog, nullptr);
    EXPECT_EQ(player.Fields(), kEmpty);

    player.Command(ID_PLAY);
    ASSERT_EQ(player.wnd->state, PlayState::Playing);
    EXPECT_EQ(player.Fields(), TaggedFields());
    // Asked in this order, each with p1 0 and a buffer size of 125.
    std::vector<std::uint32_t> codes;
    for (const auto& call : player.decoder->tagCalls) {
        codes.push_back(call.code);
        EXPECT_EQ(call.p1, 0);
        EXPECT_EQ(call.p2, 125);
    }
    const std::vector<std::uint32_t> oneRound{DecoderCommand::Title, DecoderCommand::Artist,
                                              DecoderCommand::Composer, DecoderCommand::Author};
    ASSERT_EQ(codes.size(), 8u);
    EXPECT_EQ(std::vector<std::uint32_t>(codes.end() - 4, codes.end()), oneRound);

    // A decoder with no text for a tag leaves the field as it was.
    player.decoder->refuseTags = true;
    player.wnd->UpdateInfoDialog(false);
    EXPECT_EQ(player.Fields(), TaggedFields());
    player.decoder->refuseTags = false;

    ASSERT_TRUE(player.WaitUntilStopped());
    EXPECT_EQ(player.Fields(), kEmpty);
}

TEST(TrackInfoWindow, ASecondPressFocusesTheOneWindowAndAPressAfterCloseMakesAFreshOne) {
    Player player;
    player.Command(ID_TRACK_INFO);
    TrackInfoDialog* first = player.wnd->infoDialog;
    ASSERT_NE(first, nullptr);
    QPointer<QWidget> firstWidget = first->Widget();

    player.wnd->BringWindowToTop();
    ASSERT_TRUE(QTest::qWaitForWindowActive(player.wnd->Widget()));
    player.Command(ID_TRACK_INFO);
    EXPECT_EQ(player.wnd->infoDialog, first);
    EXPECT_TRUE(QTest::qWaitForWindowActive(firstWidget));
    EXPECT_EQ(player.wnd->Widget()->findChildren<QDialog*>().size(), 1);

    QTest::mouseClick(first->DlgItem<QPushButton>(IDCANCEL), Qt::LeftButton);
    EXPECT_EQ(player.wnd->infoDialog, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(firstWidget.isNull());

    player.Command(ID_PLAY);
    player.Command(ID_TRACK_INFO);
    ASSERT_NE(player.wnd->infoDialog, nullptr);
    EXPECT_TRUE(player.wnd->infoDialog->Widget()->isVisible());
    // A window opened while a track plays shows it at once.
    EXPECT_EQ(player.Fields(), TaggedFields());
    EXPECT_TRUE(player.WaitUntilStopped());
}

TEST(OutputWhilePlaying, ChangingTheQualityLeavesThePlayingTrackAndReachesTheNextOpen) {
    Player player;
    player.wnd->quality = 2;
    player.Command(ID_PLAY);
    ASSERT_EQ(player.wnd->state, PlayState::Playing);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(ByText<QRadioButton>(*dialog, "&Quarter")->isChecked());
        ByText<QRadioButton>(*dialog, "&Half")->click();
        ByText<QPushButton>(*dialog, "&OK")->click();
    });
    player.wnd->OpenDialog(3, 0);
    EXPECT_EQ(player.wnd->quality, 1);
    EXPECT_EQ(player.wnd->state, PlayState::Playing);
    EXPECT_TRUE(player.wnd->engine->IsActive());
    EXPECT_EQ(player.decoder->openQualities, std::vector<int>{2});

    ASSERT_TRUE(player.WaitUntilStopped());
    player.Command(ID_PLAY);
    EXPECT_EQ(player.decoder->openQualities, (std::vector<int>{2, 1}));
    EXPECT_TRUE(player.WaitUntilStopped());
}
