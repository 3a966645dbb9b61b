// The player's keys (accelerator table 202, as the program loads it beside
// table 200), the buttons' hints, and a focused button never taking Space.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "tests/player/PlayerHarness.h"

namespace {
// Records the file and location commands instead of opening their dialogs.
class KeysWnd : public RecordingPlayerWnd {
public:
    using RecordingPlayerWnd::RecordingPlayerWnd;
    std::vector<UINT> dialogCommands;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnDialogCommand(WPARAM wParam, LPARAM) {
        dialogCommands.push_back(CommandId(wParam));
        return 0;
    }
};

const MessageMap* KeysWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnCommand(ID_FILE_PLAY, &KeysWnd::OnDialogCommand),
        OnCommand(ID_PLAY_LOCATION, &KeysWnd::OnDialogCommand),
    };
    static const MessageMap table{RecordingPlayerWnd::MessageTable(), entries};
    return &table;
}

constexpr int kPlayerKeys = 202;

struct KeysHarness : WindowHarness<KeysWnd> {
    bool Start() {
        if (!Create() || !wnd->LoadAccelTable(200) || !wnd->LoadAccelTable(kPlayerKeys)) return false;
        SetList(3, 1000);
        wnd->ShowWindow(SW_SHOWNORMAL);
        wnd->BringWindowToTop();
        return QTest::qWaitForWindowActive(wnd->Widget());
    }
    // Media keys have no text, which QTest's keyClick cannot send.
    void Press(QKeyCombination key) { Press(wnd->Widget(), key); }
    static void Press(QWidget* to, QKeyCombination key) {
        const bool printable = key.key() < Qt::Key_Escape && !(key.keyboardModifiers() & ~Qt::ShiftModifier);
        const QString text = printable ? QString(QChar(int(key.key()))).toLower() : QString();
        QTest::sendKeyEvent(QTest::Press, to, key.key(), text, key.keyboardModifiers());
        QTest::sendKeyEvent(QTest::Release, to, key.key(), text, key.keyboardModifiers());
        Pump();
    }
};

QAbstractButton* Button(PlayerWnd& wnd, UINT id) {
    const std::array order{ID_PLAY, ID_STOP, ID_PAUSE, ID_PREV_TRACK, ID_NEXT_TRACK, ID_OPEN_FILES, ID_TRACK_INFO};
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] == id) return wnd.buttons[i];
    return nullptr;
}
}  // namespace

TEST(PlayerKeys, EachKeyHasItsEffect) {
    struct Case {
        const char* what;
        QKeyCombination key;
        // Brings the player into the state the key is pressed in.
        std::function<void(KeysHarness&)> before;
        std::function<void(KeysHarness&)> expect;
    };
    const auto playing = [](KeysHarness& h) { h.Command(ID_PLAY); };
    const auto paused = [](KeysHarness& h) {
        h.Command(ID_PLAY);
        h.Command(ID_PAUSE);
    };
    const auto onTrackTwo = [](KeysHarness& h) { h.wnd->currentTrack = 2; };
    const auto is = [](PlayState state) {
        return [state](KeysHarness& h) { EXPECT_EQ(h.wnd->state, state); };
    };
    const auto onTrack = [](int track) {
        return [track](KeysHarness& h) {
            EXPECT_EQ(h.wnd->currentTrack, track);
            EXPECT_EQ(h.wnd->state, PlayState::Stopped);
        };
    };
    const auto opened = [](UINT command) {
        return [command](KeysHarness& h) { EXPECT_EQ(h.wnd->dialogCommands, std::vector<UINT>{command}); };
    };
    const Case cases[] = {
        {"Space plays", Qt::Key_Space, {}, is(PlayState::Playing)},
        {"Space pauses", Qt::Key_Space, playing, is(PlayState::Paused)},
        {"Space resumes", Qt::Key_Space, paused, is(PlayState::Playing)},
        {"Media Play plays", Qt::Key_MediaPlay, {}, is(PlayState::Playing)},
        {"Media Play pauses", Qt::Key_MediaPlay, playing, is(PlayState::Paused)},
        {"Play/Pause key", Qt::Key_MediaTogglePlayPause, playing, is(PlayState::Paused)},
        {"Media Pause", Qt::Key_MediaPause, playing, is(PlayState::Paused)},
        {"S stops", Qt::Key_S, playing, is(PlayState::Stopped)},
        {"Media Stop stops", Qt::Key_MediaStop, paused, is(PlayState::Stopped)},
        {"Right is next", Qt::Key_Right, {}, onTrack(2)},
        {"Media Next", Qt::Key_MediaNext, {}, onTrack(2)},
        {"Left is previous", Qt::Key_Left, onTrackTwo, onTrack(1)},
        {"Media Previous", Qt::Key_MediaPrevious, onTrackTwo, onTrack(1)},
        {"Ctrl+O is Play File", Qt::CTRL | Qt::Key_O, {}, opened(ID_FILE_PLAY)},
        {"Ctrl+L is Play Location", Qt::CTRL | Qt::Key_L, {}, opened(ID_PLAY_LOCATION)},
        {"Ctrl+Q is Exit", Qt::CTRL | Qt::Key_Q, {},
         [](KeysHarness& h) {
             EXPECT_TRUE(h.windowDeleted);
             EXPECT_TRUE(h.store.Has("Settings", "WindowPosX")) << "closed as Exit, settings saved";
             h.wnd = nullptr;
         }},
        {"Alt+F4 is still Exit", Qt::ALT | Qt::Key_F4, {},
         [](KeysHarness& h) {
             EXPECT_TRUE(h.windowDeleted);
             h.wnd = nullptr;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeysHarness h;
        ASSERT_TRUE(h.Start());
        if (c.before) c.before(h);
        h.Press(c.key);
        c.expect(h);
    }
}

TEST(PlayerKeys, SpaceOnAFocusedButtonPlaysAndPausesInsteadOfPressingIt) {
    KeysHarness h;
    ASSERT_TRUE(h.Start());
    h.Command(ID_PLAY);
    // Tab until the Stop button has the focus: its face shows nothing of it.
    QAbstractButton* stop = Button(*h.wnd, ID_STOP);
    ASSERT_NE(stop, nullptr);
    for (int i = 0; i < 10 && !stop->hasFocus(); ++i) h.Press(Qt::Key_Tab);
    ASSERT_TRUE(stop->hasFocus());
    h.Press(Qt::Key_Space);
    EXPECT_EQ(h.wnd->state, PlayState::Paused) << "Space paused, it did not press Stop";
    h.Press(Qt::Key_Space);
    EXPECT_EQ(h.wnd->state, PlayState::Playing);
    // Space sent to the focused button itself still ends in the window's key.
    stop->setFocus();
    h.Press(stop, Qt::Key_Space);
    EXPECT_EQ(h.wnd->state, PlayState::Paused) << "the window's Space, not the button";
}

TEST(PlayerKeys, ButtonsSayWhatTheyDo) {
    KeysHarness h;
    ASSERT_TRUE(h.Start());
    struct Case {
        UINT id;
        const char* name;
        const char* tip;
    } cases[] = {
        {ID_PLAY, "Play", "Play (Space)"},
        {ID_STOP, "Stop", "Stop (S)"},
        {ID_PAUSE, "Pause", "Pause or resume (Space)"},
        {ID_PREV_TRACK, "Previous track", "Previous track (Left)"},
        {ID_NEXT_TRACK, "Next track", "Next track (Right)"},
        {ID_OPEN_FILES, "Play file", "Play file (Ctrl+O)"},
        {ID_TRACK_INFO, "Track information", "Track information"},
    };
    for (const Case& c : cases) {
        QAbstractButton* button = Button(*h.wnd, c.id);
        ASSERT_NE(button, nullptr) << c.id;
        EXPECT_EQ(button->accessibleName().toStdString(), c.name);
        EXPECT_EQ(button->toolTip().toStdString(), c.tip);
    }
}
