// The help commands open our pages in one reused help window.
#include <gtest/gtest.h>

#include <QUrl>

#include "platform/help/HelpFolder.h"
#include "platform/help/HelpWindow.h"

TEST(HelpWindow, IndexAndUsingHelpOpenTheirPagesInOneWindow) {
    // Run from the build folder, the pages come from the source tree.
    const QString folder = HelpFolder();
    ASSERT_EQ(folder, QStringLiteral(BRELUNE_SOURCE_HELP_DIR));
    const QUrl index = QUrl::fromLocalFile(folder + "/index.html");
    const QUrl using_ = QUrl::fromLocalFile(folder + "/using.html");

    ASSERT_TRUE(HelpWindow::Show(HELP_INDEX));
    HelpWindow* window = HelpWindow::Current();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->source(), index);
    EXPECT_FALSE(window->toPlainText().isEmpty());

    ASSERT_TRUE(HelpWindow::Show(HELP_HELPONHELP));
    EXPECT_EQ(HelpWindow::Current(), window);
    EXPECT_EQ(window->source(), using_);
    EXPECT_FALSE(window->toPlainText().isEmpty());

    EXPECT_FALSE(HelpWindow::Show(99));
    EXPECT_EQ(window->source(), using_);
}
