// The net layer's dialogs on their own: Open URL and its history, Proxy
// Settings, URL Options with the folder chooser, "Please select", and the
// file name proposed for a saved stream.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>
#include <vector>

#include "net/InputLimits.h"
#include "net/OpenUrlDialog.h"
#include "net/ProposedSavePath.h"
#include "net/ProxyDialog.h"
#include "net/UrlActionDialog.h"
#include "net/UrlHistory.h"
#include "net/UrlMethod.h"
#include "net/UrlOptionsDialog.h"
#include "platform/filedialogs/FileDialogs.h"
#include "platform/framework/MessageBox.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/support/ModalDialogs.h"

using testenv::ControlWithText;
using testenv::WhileModal;

namespace {
using Texts = std::vector<std::string>;

QLineEdit* Edit(QDialog& dialog, int index) { return dialog.findChildren<QLineEdit*>().value(index); }

void Click(QDialog& dialog, const QString& text) {
    if (auto* button = ControlWithText<QAbstractButton>(dialog, text)) button->click();
}

// Records message boxes instead of showing them.
struct MessageRecorder {
    Texts texts;
    MessageRecorder() {
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon) {
            texts.push_back(text);
            return IDOK;
        });
    }
    ~MessageRecorder() { SetMessageBoxHandler({}); }
};
}  // namespace

TEST(UrlHistory, NewLocationsEnterAtTheFrontAndOnlyTheLastGoesPerAddition) {
    UrlHistory history;
    for (int i = 1; i <= 31; ++i) history.Add("http://host/" + std::to_string(i));
    ASSERT_EQ(history.entries.size(), 30u);
    EXPECT_EQ(history.entries.front(), "http://host/31");
    EXPECT_EQ(history.entries.back(), "http://host/2") << "the oldest went";

    MemorySettingsStore store;
    store.WriteInt("UrlHistory", "NumberOfEntries", 40);
    for (int i = 1; i <= 40; ++i) store.WriteString("UrlHistory", UrlHistory::Key(i), "stored " + std::to_string(i));
    store.WriteString("UrlHistory", UrlHistory::Key(7), std::nullopt);
    history.Load(store);
    ASSERT_EQ(history.entries.size(), 40u) << "no limit while loading";
    EXPECT_EQ(history.entries[6], "") << "a missing key is an empty entry";
    history.Add("http://new");
    EXPECT_EQ(history.entries.size(), 40u) << "a longer stored list keeps its length";
    EXPECT_EQ(history.entries.back(), "stored 39");

    history.entries.resize(2);
    history.Save(store);
    EXPECT_EQ(store.GetInt("UrlHistory", "NumberOfEntries", 0), 2);
    EXPECT_EQ(store.GetString("UrlHistory", "History01"), "http://new");
    EXPECT_FALSE(store.Has("UrlHistory", "History03")) << "the old keys are deleted";
    EXPECT_FALSE(store.Has("UrlHistory", "History40"));
    EXPECT_EQ(UrlHistory::Key(100), "History100");
}

TEST(OpenUrlDialog, ShowsTheHistoryOnceIgnoringCaseAndAddsOnlyNewLocations) {
    struct Case {
        const char* typed;
        Texts historyAfter;
    } cases[] = {
        {"HTTP://B/", {"http://a/x", "HTTP://A/X", "http://b/"}},
        {"http://c/", {"http://c/", "http://a/x", "HTTP://A/X", "http://b/"}},
        {" http://a/x", {" http://a/x", "http://a/x", "HTTP://A/X", "http://b/"}},
        {"", {"http://a/x", "HTTP://A/X", "http://b/"}},
    };
    for (const Case& c : cases) {
        UrlHistory history;
        history.entries = {"http://a/x", "HTTP://A/X", "http://b/"};
        OpenUrlDialog dialog(nullptr, history);
        Texts listed;
        std::string shown;
        int result = 0;
        EXPECT_TRUE(WhileModal([&] { result = dialog.DoModal(); },
                               [&](QDialog& d) {
                                   auto* box = d.findChild<QComboBox*>();
                                   for (int i = 0; i < box->count(); ++i) listed.push_back(box->itemText(i).toStdString());
                                   shown = box->currentText().toStdString();
                                   box->setEditText(c.typed);
                                   Click(d, "OK");
                               }));
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(listed, (Texts{"http://a/x", "http://b/"})) << c.typed;
        EXPECT_EQ(shown, "http://a/x") << "the most recent location stands in the field";
        EXPECT_EQ(dialog.url, c.typed) << "the text as typed";
        EXPECT_EQ(history.entries, c.historyAfter) << c.typed;
    }
}

TEST(OpenUrlDialog, ALocationPastTheLimitIsRefusedWithAMessageAndNotCut) {
    MessageRecorder messages;
    UrlHistory history;
    OpenUrlDialog dialog(nullptr, history);
    const std::string longest = "http://host/" + std::string(kMaxLocationLength - 12, 'a');
    int result = 0;
    WhileModal([&] { result = dialog.DoModal(); },
               [&](QDialog& d) {
                   auto* box = d.findChild<QComboBox*>();
                   box->setEditText(QString::fromStdString(longest + "b"));
                   Click(d, "OK");
                   EXPECT_TRUE(d.isVisible()) << "the dialog stays open for a correction";
                   box->setEditText(QString::fromStdString(longest));
                   Click(d, "OK");
               });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.url, longest) << "a long location is taken whole";
    EXPECT_EQ(messages.texts, Texts{"The location is too long: enter at most 2048 characters."});
}

TEST(ProxyDialog, OkTakesHostAndListAndThePortOnlyWhenItIsANumberUpTo65535) {
    struct Case {
        const char* port;
        int expected;
    } cases[] = {{"3128", 3128}, {" 8080 ", 8080}, {"0", 0}, {"65535", 65535}, {"", 80},
                 {"abc", 80},   {"12ab", 80},     {"-1", 80}, {"65536", 80}, {"99999999999", 80}};
    for (const Case& c : cases) {
        ProxyDialog dialog(nullptr);
        dialog.SetProxy("old.example", 80, "");
        Texts initial;
        WhileModal([&] { dialog.DoModal(); },
                   [&](QDialog& d) {
                       for (int i = 0; i < 3; ++i) initial.push_back(Edit(d, i)->text().toStdString());
                       Edit(d, 0)->setText("proxy.example");
                       Edit(d, 1)->setText(c.port);
                       Edit(d, 2)->setText("localhost,.lan");
                       Click(d, "OK");
                   });
        EXPECT_EQ(initial, (Texts{"old.example", "80", ""}));
        std::string host, list;
        int port = -1;
        dialog.GetProxy(host, port, list);
        EXPECT_EQ(port, c.expected) << "port field \"" << c.port << "\"";
        EXPECT_EQ(host, "proxy.example");
        EXPECT_EQ(list, "localhost,.lan");
    }
}

TEST(UrlOptionsDialog, OpensWithTheStoredMethodAndPlayAfterSaveOnlyUsableWithSaveOnly) {
    struct Case {
        int method;
        const char* selected;
        bool playAfterSave;
        bool enabled;
    } cases[] = {
        {UrlPlayOnly, "Play only", false, false},   {UrlPlayAndSave, "Play && Save", false, false},
        {UrlSaveOnly, "Save only", false, true},    {UrlSaveThenPlay, "Save only", true, true},
        {UrlAskUser, "Ask user", false, false},     {3, "Ask user", false, false},
    };
    for (const Case& c : cases) {
        UrlOptionsDialog dialog(nullptr);
        dialog.SetUrlOptions(c.method, "/music");
        WhileModal([&] { dialog.DoModal(); },
                   [&](QDialog& d) {
                       auto* check = d.findChild<QCheckBox*>();
                       EXPECT_TRUE(ControlWithText<QRadioButton>(d, c.selected)->isChecked()) << c.method;
                       EXPECT_EQ(check->isChecked(), c.playAfterSave) << c.method;
                       EXPECT_EQ(check->isEnabled(), c.enabled) << c.method;
                       EXPECT_EQ(Edit(d, 0)->text(), "/music");
                       Click(d, "Cancel");
                   });
    }
}

TEST(UrlOptionsDialog, OkGivesTheMethodOfTheSelectionAndTheCheckKeepsItsMarkWhenDisabled) {
    struct Case {
        int stored;
        const char* click;
        bool check;
        int expected;
    } cases[] = {
        {UrlSaveThenPlay, "Play only", false, UrlPlayOnly}, {UrlAskUser, "Play && Save", false, UrlPlayAndSave},
        {UrlAskUser, "Save only", false, UrlSaveOnly},      {UrlAskUser, "Save only", true, UrlSaveThenPlay},
        {UrlPlayOnly, "Ask user", false, UrlAskUser},
    };
    for (const Case& c : cases) {
        UrlOptionsDialog dialog(nullptr);
        dialog.SetUrlOptions(c.stored, "");
        bool markKept = true;
        WhileModal([&] { dialog.DoModal(); },
                   [&](QDialog& d) {
                       auto* check = d.findChild<QCheckBox*>();
                       const bool markBefore = check->isChecked();
                       Click(d, c.click);
                       markKept = check->isChecked() == markBefore;
                       EXPECT_EQ(check->isEnabled(), std::string(c.click) == "Save only");
                       if (c.check) check->click();
                       Click(d, "OK");
                   });
        EXPECT_TRUE(markKept) << c.click;
        EXPECT_EQ(dialog.method, c.expected) << c.click;
    }
}

TEST(UrlOptionsDialog, BrowseStartsAtTheFieldAndPutsTheChosenFolderWithoutTrailingSlash) {
    struct Case {
        const char* chosen;  // nullptr: cancelled
        const char* field;
    } cases[] = {{"/home/me/Music/", "/home/me/Music"}, {"/srv", "/srv"}, {"/", "/"}, {nullptr, "start here"}};
    for (const Case& c : cases) {
        std::string startedIn;
        SetDirectoryDialogHandler([&](const DirectoryDialogRequest& request, std::string& chosen) {
            startedIn = request.directory;
            EXPECT_EQ(request.title, "Select Directory");
            if (c.chosen) chosen = c.chosen;
            return c.chosen != nullptr;
        });
        UrlOptionsDialog dialog(nullptr);
        dialog.SetUrlOptions(UrlAskUser, "start here");
        WhileModal([&] { dialog.DoModal(); },
                   [&](QDialog& d) {
                       Click(d, "Browse...");
                       Click(d, "OK");
                   });
        SetDirectoryDialogHandler({});
        EXPECT_EQ(startedIn, "start here");
        EXPECT_EQ(dialog.directory, c.field);
    }
}

TEST(UrlActionDialog, EachChoiceEndsWithItsMethodAndCancelWithCancel) {
    struct Case {
        const char* button;
        bool playAfterSave;
        int expected;
    } cases[] = {
        {"Play && Save", false, UrlPlayAndSave}, {"Play only", false, UrlPlayOnly},
        {"Save only", false, UrlSaveOnly},       {"Save only", true, UrlSaveThenPlay},
        {"Cancel Request", false, IDCANCEL},
    };
    for (const Case& c : cases) {
        UrlActionDialog dialog(nullptr);
        int result = 0;
        WhileModal([&] { result = dialog.DoModal(); },
                   [&](QDialog& d) {
                       auto* check = d.findChild<QCheckBox*>();
                       EXPECT_FALSE(check->isChecked());
                       if (c.playAfterSave) check->click();
                       Click(d, c.button);
                   });
        EXPECT_EQ(result, c.expected) << c.button;
    }
    UrlActionDialog dialog(nullptr);
    int result = 0;
    WhileModal([&] { result = dialog.DoModal(); }, [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    EXPECT_EQ(result, IDCANCEL) << "Escape";
}

TEST(ProposedSavePath, TakesUpToEightCharactersOfTheLastSegmentBeforeItsFirstDot) {
    struct Case {
        const char* directory;
        const char* name;
        const char* expected;
    } cases[] = {
        {"/music", "http://host/a/track01.mp3", "/music/track01.MP3"},
        {"/music", "http://host/averylongname.mp3", "/music/averylon.MP3"},
        {"/music", "http://host/dir/", "/music/.MP3"},
        {"/music/", "http://host/Live.Radio.mp3", "/music/Live.MP3"},
        {"", "http://host/stream", "stream.MP3"},
        {"/", "http://host/x.y", "/x.MP3"},
        {"/music", "http://host/\xC3\xA9t\xC3\xA9\xC3\xA9t\xC3\xA9\xC3\xA9\xC3\xA9y", "/music/\xC3\xA9t\xC3\xA9\xC3\xA9t\xC3\xA9\xC3\xA9\xC3\xA9.MP3"},
    };
    for (const Case& c : cases) EXPECT_EQ(ProposedSavePath(c.directory, c.name), c.expected) << c.name;
}
