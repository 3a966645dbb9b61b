// Dispatch through chained message tables, commands with their codes, and
// the two ways of delivering a message.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <string>
#include <thread>
#include <vector>

#include "platform/framework/Application.h"
#include "platform/framework/FrameWnd.h"

namespace {
constexpr UINT UM_BOTH = WM_USER + 1;
constexpr UINT UM_BASE_ONLY = WM_USER + 2;
constexpr UINT UM_NOBODY = WM_USER + 3;
constexpr UINT UM_COUNT = WM_USER + 4;
constexpr UINT ID_TEST = 100;

class BaseWnd : public FrameWnd {
public:
    std::vector<std::string> calls;
    DECLARE_MESSAGE_TABLE()

protected:
    LRESULT OnBoth(WPARAM, LPARAM) {
        calls.push_back("base both");
        return 1;
    }
    LRESULT OnBaseOnly(WPARAM, LPARAM) {
        calls.push_back("base only");
        return 2;
    }
};

const MessageMap* BaseWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(UM_BOTH, &BaseWnd::OnBoth),
        OnMessage(UM_BASE_ONLY, &BaseWnd::OnBaseOnly),
    };
    static const MessageMap table{FrameWnd::MessageTable(), entries};
    return &table;
}

class DerivedWnd : public BaseWnd {
public:
    std::vector<WPARAM> counted;
    std::vector<std::thread::id> countThreads;
    bool* deleted = nullptr;
    std::vector<WPARAM>* sink = nullptr;
    ~DerivedWnd() override {
        if (deleted) *deleted = true;
    }
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnBoth(WPARAM wParam, LPARAM lParam) {
        calls.push_back("derived both");
        return BaseWnd::OnBoth(wParam, lParam) + 10;
    }
    LRESULT OnTestCommand(WPARAM wParam, LPARAM) {
        calls.push_back("command code " + std::to_string(CommandCode(wParam)));
        return 0;
    }
    LRESULT OnTestDoubleClick(WPARAM, LPARAM) {
        calls.push_back("double click");
        return 0;
    }
    LRESULT OnCount(WPARAM wParam, LPARAM) {
        counted.push_back(wParam);
        if (sink) sink->push_back(wParam);
        countThreads.push_back(std::this_thread::get_id());
        return 0;
    }
};

const MessageMap* DerivedWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(UM_BOTH, &DerivedWnd::OnBoth),
        OnCommand(ID_TEST, &DerivedWnd::OnTestCommand),
        OnNotify(ID_TEST, BN_DOUBLECLICKED, &DerivedWnd::OnTestDoubleClick),
        OnMessage(UM_COUNT, &DerivedWnd::OnCount),
    };
    static const MessageMap table{BaseWnd::MessageTable(), entries};
    return &table;
}

DerivedWnd* MakeWindow() {
    auto* wnd = new DerivedWnd;
    EXPECT_TRUE(wnd->Create("Test", "Test", WS_OVERLAPPEDWINDOW, 0));
    return wnd;
}

class RecordingApp : public Application {
public:
    RecordingApp() : Application("") {}
    std::vector<UINT> commands;
    DECLARE_MESSAGE_TABLE()

private:
    LRESULT OnAnyCommand(WPARAM wParam, LPARAM) {
        commands.push_back(CommandId(wParam));
        return 7;
    }
};

const MessageMap* RecordingApp::MessageTable() {
    static const MessageEntry entries[] = {OnCommandRange(1, 0xFFFF, &RecordingApp::OnAnyCommand)};
    static const MessageMap table{Application::MessageTable(), entries};
    return &table;
}
}  // namespace

TEST(MessageTable, MostDerivedHandlerRunsFirstAndBaseTablesAnswerTheRest) {
    DerivedWnd* wnd = MakeWindow();
    EXPECT_EQ(wnd->SendMessage(UM_BOTH, 0, 0), 11);
    EXPECT_EQ(wnd->SendMessage(UM_BASE_ONLY, 0, 0), 2);
    EXPECT_EQ(wnd->SendMessage(UM_NOBODY, 0, 0), 0);
    EXPECT_EQ(wnd->calls, (std::vector<std::string>{"derived both", "base both", "base only"}));
    wnd->DestroyWindow();
}

TEST(MessageTable, CommandsMatchByIdAndNotificationCode) {
    struct Case {
        UINT id;
        UINT code;
        LPARAM control;
        const char* expected;  // null: no handler of the window runs
    } cases[] = {
        {ID_TEST, BN_CLICKED, 0, "command code 0"},
        {ID_TEST, BN_CLICKED, 0x1234, "command code 0"},
        {ID_TEST, 1, 0, "command code 1"},  // an accelerator
        {ID_TEST, 1, 0x1234, nullptr},      // a control's own notification 1
        {ID_TEST, BN_DOUBLECLICKED, 0x1234, "double click"},
        {ID_TEST + 1, BN_CLICKED, 0, nullptr},
    };
    for (const Case& c : cases) {
        DerivedWnd* wnd = MakeWindow();
        wnd->SendMessage(WM_COMMAND, MakeCommandWParam(c.id, c.code), c.control);
        if (c.expected) {
            EXPECT_EQ(wnd->calls, std::vector<std::string>{c.expected}) << c.id << "/" << c.code;
        } else {
            EXPECT_TRUE(wnd->calls.empty()) << c.id << "/" << c.code;
        }
        wnd->DestroyWindow();
    }
}

TEST(MessageTable, CommandsNoWindowHandlesReachTheApplication) {
    RecordingApp app;
    DerivedWnd* wnd = MakeWindow();
    EXPECT_EQ(wnd->SendMessage(WM_COMMAND, MakeCommandWParam(4242, 0), 0), 7);
    wnd->SendMessage(WM_COMMAND, MakeCommandWParam(ID_TEST, 0), 0);
    EXPECT_EQ(app.commands, std::vector<UINT>{4242});
    wnd->DestroyWindow();
}

TEST(MessageTable, MessagesPostedFromAnotherThreadArriveInOrderOnTheWindowThread) {
    DerivedWnd* wnd = MakeWindow();
    constexpr int count = 2000;
    std::thread poster([wnd] {
        for (int i = 0; i < count; ++i) wnd->PostMessage(UM_COUNT, WPARAM(i), 0);
    });
    QElapsedTimer clock;
    clock.start();
    while (wnd->counted.size() < size_t(count) && clock.elapsed() < 5000) QCoreApplication::processEvents();
    poster.join();
    QCoreApplication::processEvents();
    ASSERT_EQ(wnd->counted.size(), size_t(count));
    for (int i = 0; i < count; ++i) ASSERT_EQ(wnd->counted[size_t(i)], WPARAM(i));
    for (const auto& id : wnd->countThreads) ASSERT_EQ(id, std::this_thread::get_id());
    wnd->DestroyWindow();
}

TEST(MessageTable, PostedMessagesWaitForTheLoopAndDieWithTheWindow) {
    DerivedWnd* wnd = MakeWindow();
    bool deleted = false;
    std::vector<WPARAM> received;
    wnd->deleted = &deleted;
    wnd->sink = &received;
    wnd->PostMessage(UM_COUNT, 1, 0);
    EXPECT_TRUE(received.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(received, std::vector<WPARAM>{1});

    wnd->PostMessage(UM_COUNT, 2, 0);
    wnd->SendMessage(WM_CLOSE, 0, 0);
    EXPECT_FALSE(wnd->IsWindow());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(received, std::vector<WPARAM>{1});
}
