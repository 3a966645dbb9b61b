// The resources the program is built with: strings, menu 201, accelerators.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/PlayerMessages.h"
#include "platform/framework/Resources.h"

TEST(Resources, StringTableGivesTextsByNumberAndNothingForUnknownNumbers) {
    struct Case {
        UINT id;
        const char* text;
    } cases[] = {
        {2, "MPXDEC.DLL: wrong version!"},
        {16, "Unable to open playlist"},
        {50, "Windows Resource was not released correctly (Multimeadia-Timer)"},
        {52, "V2.3 beta5"},
    };
    for (const Case& c : cases) EXPECT_EQ(LoadString(c.id), c.text) << c.id;
    std::string text = "stale";
    EXPECT_FALSE(LoadString(9999, text));
    EXPECT_EQ(text, "");
}

TEST(Resources, MenuTwoHundredOneHasTheThreeMenusWithTheirCommands) {
    std::vector<MenuItem> menu;
    ASSERT_TRUE(LoadMenuResource(201, menu));
    ASSERT_EQ(menu.size(), 3u);
    struct Expected {
        const char* title;
        std::vector<std::pair<const char*, UINT>> items;  // separator: text null
    } expected[] = {
        {"&File", {{"Play &File...", ID_FILE_PLAY}, {"Play &Location...", ID_PLAY_LOCATION}, {nullptr, 0},
                   {"E&xit\tAlt+F4", ID_APP_EXIT}}},
        {"&Options", {{"&Output...", ID_OPTIONS_OUTPUT}, {"Pla&y...", ID_OPTIONS_PLAY}, {nullptr, 0},
                      {"&Proxy...", ID_OPTIONS_PROXY}, {"&Url...", ID_OPTIONS_URL}}},
        {"&Help", {{"&Index...\tF1", ID_HELP_INDEX}, {"&Using Help...", ID_HELP_USING}, {nullptr, 0},
                   {"&About...", ID_APP_ABOUT}}},
    };
    for (size_t m = 0; m < menu.size(); ++m) {
        EXPECT_EQ(menu[m].text, expected[m].title);
        ASSERT_EQ(menu[m].items.size(), expected[m].items.size()) << expected[m].title;
        for (size_t i = 0; i < menu[m].items.size(); ++i) {
            const MenuItem& item = menu[m].items[i];
            const auto& [text, id] = expected[m].items[i];
            EXPECT_EQ(item.separator, text == nullptr) << expected[m].title << " " << i;
            if (text) {
                EXPECT_EQ(item.text, text);
                EXPECT_EQ(item.id, id);
            }
        }
    }
}

TEST(Resources, AcceleratorsMapF1ToHelpIndexAndAltF4ToExit) {
    std::vector<Accelerator> table;
    ASSERT_TRUE(LoadAccelerators(200, table));
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].key, QKeySequence(Qt::Key_F1));
    EXPECT_EQ(table[0].id, ID_HELP_INDEX);
    EXPECT_EQ(table[1].key, QKeySequence(Qt::ALT | Qt::Key_F4));
    EXPECT_EQ(table[1].id, ID_APP_EXIT);
    EXPECT_FALSE(LoadAccelerators(999, table));
}
