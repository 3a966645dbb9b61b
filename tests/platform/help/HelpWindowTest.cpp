// The help commands open our pages in one reused help window.
#include <gtest/gtest.h>

#include "platform/help/HelpWindow.h"

TEST(HelpWindow, IndexAndUsingHelpOpenTheirPagesInOneWindow) {
    ASSERT_TRUE(HelpWindow::Show(HELP_INDEX));
    HelpWindow* window = HelpWindow::Current();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->source().toString(), "qrc:/help/index.html");
    EXPECT_FALSE(window->toPlainText().isEmpty());

    ASSERT_TRUE(HelpWindow::Show(HELP_HELPONHELP));
    EXPECT_EQ(HelpWindow::Current(), window);
    EXPECT_EQ(window->source().toString(), "qrc:/help/using.html");

    EXPECT_FALSE(HelpWindow::Show(99));
    EXPECT_EQ(window->source().toString(), "qrc:/help/using.html");
}
