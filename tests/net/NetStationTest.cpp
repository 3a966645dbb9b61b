// What a person does with a radio station, through the whole net layer over
// the real decoder library, thread timer and SDL's dummy driver: Play
// Location a real icecast2 station, see its title, pause, stop, save it, and
// reach it through a real proxy.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "net/NetPlayerWnd.h"
#include "net/UrlMethod.h"
#include "platform/filedialogs/FileDialogs.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/support/EventWait.h"
#include "tests/support/IcecastServer.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TinyProxy.h"
#include "ui/TrackInfoDialog.h"

using testenv::ControlWithText;
using testenv::WhileModal;

namespace {
constexpr UINT kStyle = 0x00CA0000;

void Command(NetPlayerWnd& wnd, UINT id) { wnd.SendMessage(WM_COMMAND, MakeCommandWParam(id, 0), 0); }

class NetStation : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon) {
            messages.push_back(text);
            return IDOK;
        });
        std::string error;
        ASSERT_TRUE(station.Start(&error)) << error;
        wnd = new NetPlayerWnd(store);
        ASSERT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kStyle, 201));
        wnd->ShowWindow(SW_SHOWNORMAL);
    }
    void TearDown() override {
        if (wnd) wnd->SendMessage(WM_CLOSE, 0, 0);
        QCoreApplication::processEvents();
        SetFileDialogHandler({});
        SetMessageBoxHandler({});
    }

    // Types the station into Play Location and waits until its audio plays.
    bool PlayStation() {
        EXPECT_TRUE(WhileModal([&] { Command(*wnd, ID_PLAY_LOCATION); }, [&](QDialog& d) {
            d.findChild<QComboBox*>()->setEditText(QString::fromStdString(station.Url()));
            ControlWithText<QAbstractButton>(d, "OK")->click();
        }));
        return testsupport::WaitFor([&] { return wnd->state == PlayState::Playing && wnd->engine->FramesPlayed() > 60; }, 15000);
    }

    testsupport::IcecastServer station;
    MemorySettingsStore store;
    NetPlayerWnd* wnd = nullptr;
    std::vector<std::string> messages;
};
}  // namespace

TEST_F(NetStation, PlayLocationPlaysTheStationWithItsTitleAndPausesAndStops) {
    wnd->UrlMethod = UrlPlayOnly;
    ASSERT_TRUE(PlayStation()) << "messages: " << (messages.empty() ? "" : messages.front());
    EXPECT_EQ(wnd->engine->PlayType(), 4) << "a radio station";

    Command(*wnd, ID_TRACK_INFO);
    ASSERT_NE(wnd->infoDialog, nullptr);
    const auto& titles = station.Titles();
    EXPECT_TRUE(testsupport::WaitFor([&] {
        return std::find(titles.begin(), titles.end(), wnd->infoDialog->title) != titles.end();
    }, 10000)) << "title shown: " << wnd->infoDialog->title;

    Command(*wnd, ID_PAUSE);
    EXPECT_EQ(wnd->state, PlayState::Paused);
    const int frames = wnd->engine->FramesPlayed();
    testsupport::WaitFor([] { return false; }, 500);
    EXPECT_EQ(wnd->engine->FramesPlayed(), frames) << "paused";
    Command(*wnd, ID_PAUSE);
    EXPECT_TRUE(testsupport::WaitFor([&] { return wnd->engine->FramesPlayed() > frames + 10; }, 5000)) << "resumed";
    Command(*wnd, ID_STOP);
    EXPECT_EQ(wnd->state, PlayState::Stopped);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(NetStation, PlayAndSaveWritesExactlyWhatTheServerSent) {
    const std::string path = testenv::Home() + "/saved station.mp3";
    SetFileDialogHandler([&](const FileDialogRequest& request, std::vector<std::string>& chosen) {
        EXPECT_EQ(request.fileName, "radio.MP3");
        chosen = {path};
        return true;
    });
    wnd->UrlMethod = UrlPlayAndSave;
    ASSERT_TRUE(PlayStation());
    testsupport::WaitFor([] { return false; }, 2000);
    Command(*wnd, ID_STOP);

    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(saved.size(), 50'000u) << "more than 3 s of a 128 kbit/s station";
    std::string why;
    EXPECT_TRUE(station.IsRunOfFedLoop(saved, &why)) << why;
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(NetStation, AProxySetInTheDialogCarriesTheStation) {
    testsupport::TinyProxy proxy;
    ASSERT_TRUE(proxy.Running()) << proxy.Error();
    EXPECT_TRUE(WhileModal([&] { wnd->OpenDialog(5, 0); }, [&](QDialog& d) {
        const auto edits = d.findChildren<QLineEdit*>();
        edits[0]->setText("127.0.0.1");
        edits[1]->setText(QString::number(proxy.Port()));
        ControlWithText<QAbstractButton>(d, "OK")->click();
    }));
    wnd->UrlMethod = UrlPlayOnly;
    ASSERT_TRUE(PlayStation()) << "messages: " << (messages.empty() ? "" : messages.front());
    bool viaProxy = false;
    for (const std::string& line : proxy.Requests()) viaProxy |= line.find(testsupport::IcecastServer::kMount) != std::string::npos;
    EXPECT_TRUE(viaProxy) << "the request went through the proxy";
    Command(*wnd, ID_STOP);
}

TEST_F(NetStation, AStationThatDiesSaysReconnectingAndPlaysOnOnceItIsBack) {
    wnd->UrlMethod = UrlPlayOnly;
    ASSERT_TRUE(PlayStation());
    station.Kill();
    EXPECT_TRUE(testsupport::WaitFor([&] { return wnd->GetWindowText() == "Reconnecting..."; }, 20000))
        << "title: " << wnd->GetWindowText();
    std::string error;
    ASSERT_TRUE(station.Restart(&error)) << error;
    const int frames = wnd->engine->FramesPlayed();
    EXPECT_TRUE(testsupport::WaitFor([&] { return wnd->engine->FramesPlayed() > frames + 40; }, 20000)) << "audio flows again";
    // The title follows at the next display update, which need not have come yet.
    EXPECT_TRUE(testsupport::WaitFor([&] { return wnd->GetWindowText() == "Brelune3"; }, 3000))
        << "title: " << wnd->GetWindowText();
    EXPECT_EQ(wnd->state, PlayState::Playing);
    EXPECT_TRUE(messages.empty()) << messages.front();
}
