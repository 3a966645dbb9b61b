// Opening files in the main window: the hand-over of a command line, list
// files, the Play File dialog with the stored list it writes, and drops.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/PlayerMessages.h"
#include "engine/PlaylistEntry.h"
#include "platform/filedialogs/FileDialogs.h"
#include "platform/framework/DroppedFiles.h"
#include "platform/framework/MessageBox.h"
#include "platform/shell/FileUri.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "tests/support/TestEnvironment.h"
#include "ui/PlayerFileDialog.h"
#include "ui/SkinFrameWnd.h"

namespace fs = std::filesystem;

namespace {
using Entries = std::vector<std::string>;

// Counts the layer's calls to the player: stops, and plays started from the loop.
class FilesWnd : public SkinFrameWnd {
public:
    using SkinFrameWnd::SkinFrameWnd;
    int stops = 0;
    int plays = 0;
    void StopPlayback() override { ++stops; }
    int PlayCurrent(int, int) override {
        ++plays;
        return 0;
    }
};

struct Message {
    std::string text;
    MessageBoxIcon icon;
};

struct FilesHarness {
    MemorySettingsStore store;
    FilesWnd* wnd = nullptr;
    std::vector<Message> messages;
    fs::path dir;

    FilesHarness() {
        SetMessageBoxHandler([this](const std::string& text, MessageBoxIcon icon) {
            messages.push_back({text, icon});
            return IDOK;
        });
        static int serial = 0;
        dir = fs::path(testenv::Home()) / ("files" + std::to_string(++serial));
        fs::create_directories(dir);
        wnd = new FilesWnd(store);
        EXPECT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", 0x00CA0000, 201));
    }
    ~FilesHarness() {
        wnd->DestroyWindow();
        QCoreApplication::processEvents();
        SetMessageBoxHandler({});
        SetFileDialogHandler({});
    }

    std::string File(const std::string& name, const std::string& content = "x") {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    void HandOver(const std::string& text) {
        CopyDataStruct data;
        data.cbData = std::uint32_t(text.size() + 1);
        data.lpData = text.c_str();
        wnd->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    }
    void Drop(const Entries& paths) {
        DroppedFiles drop{paths};
        wnd->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&drop), 0);
    }
    static void Pump() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
};
}  // namespace

TEST(OpeningFiles, HandOverOfAQuotedPathWithABlankGivesOneEntryAndStartsPlaying) {
    FilesHarness h;
    const std::string path = h.File("my song.mp3");
    const int writes = h.store.writes;
    h.HandOver("\"" + path + "\"");
    EXPECT_EQ(h.wnd->playlist, Entries{path});
    EXPECT_EQ(h.wnd->trackCount, 1);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_EQ(h.wnd->stops, 1);
    EXPECT_EQ(h.wnd->plays, 0) << "playback starts from the loop, not inside the hand-over";
    FilesHarness::Pump();
    EXPECT_EQ(h.wnd->plays, 1);
    EXPECT_EQ(h.store.writes, writes) << "a handed-over list is not stored";
}

TEST(OpeningFiles, ArgumentsAreReadAsFilesOrAsListFiles) {
    FilesHarness h;
    const std::string list = h.File("party.txt", "#EXTM3U\n#EXTINF:123,Title\n\n   indented.mp3\r\nsecond.mp3\n");
    const std::string m3u = h.File("Mix.M3U", "one.mp3\n");
    const Entries fromList{"indented.mp3", "second.mp3"};
    struct Case {
        std::string argument;
        Entries expected;
    } cases[] = {
        {"/L " + list, fromList},
        {"/l " + list, fromList},
        {"-L " + list, fromList},
        {"/L \"" + list + "\"", fromList},
        {"/L" + list, {"/L" + list}},
        {" /L x.txt", {"/L", "x.txt"}},
        {m3u, {"one.mp3"}},
        {"\"" + m3u + "\"", {"one.mp3"}},
        {"a.mp3 b.mp3", {"a.mp3", "b.mp3"}},
        {"C:\\My Music\\a.mp3", {"C:\\My", "Music\\a.mp3"}},
    };
    for (const Case& c : cases) {
        h.wnd->playlist = {"old.mp3"};
        EXPECT_TRUE(h.wnd->OpenFileOrList(c.argument, true, true)) << c.argument;
        EXPECT_EQ(h.wnd->playlist, c.expected) << c.argument;
        EXPECT_EQ(h.wnd->trackCount, int(c.expected.size())) << c.argument;
    }
    EXPECT_TRUE(h.messages.empty());
}

TEST(OpeningFiles, FileLocationsJoinTheListAsTheLocalFilesTheyName) {
    FilesHarness h;
    const std::string song = h.File("my song.mp3");
    const std::string other = h.File("other.mp3");
    const std::string songUri = FileUriFromLocalPath(song);
    const std::string list = h.File("desk top.m3u", songUri + "\nfile://localhost" + other + "\n");
    struct Case {
        std::string argument;
        Entries expected;
    } cases[] = {
        // As a desktop starts the player for "Open with": percent-encoded, unquoted.
        {songUri + " " + FileUriFromLocalPath(other), {song, other}},
        {FileUriFromLocalPath(list), {song, other}},
        {"\"" + FileUriFromLocalPath(list) + "\"", {song, other}},
        {"/L " + FileUriFromLocalPath(list), {song, other}},
        // Not this machine's, or broken: kept as written, for the decoder to refuse.
        {"file://server/a.mp3 file:///a%00.mp3", {"file://server/a.mp3", "file:///a%00.mp3"}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(h.wnd->OpenFileOrList(c.argument, true, true)) << c.argument;
        EXPECT_EQ(h.wnd->playlist, c.expected) << c.argument;
    }
    EXPECT_TRUE(h.messages.empty());
}

TEST(OpeningFiles, RelativeListEntriesNotFoundFromTheCurrentFolderAreTriedBesideTheList) {
    FilesHarness h;
    const fs::path listDir = h.dir / "lists";
    const fs::path cwd = h.dir / "elsewhere";
    fs::create_directories(listDir / "sub");
    fs::create_directories(cwd);
    std::ofstream(listDir / "sub" / "beside.mp3") << "x";
    std::ofstream(listDir / "both.mp3") << "x";
    std::ofstream(cwd / "both.mp3") << "x";
    const std::string absolute = h.File("absolute.mp3");
    std::ofstream(listDir / "party.m3u") << "sub/beside.mp3\nboth.mp3\nmissing.mp3\nhttp://radio.example/live\n"
                                         << absolute << "\n";
    const fs::path before = fs::current_path();
    fs::current_path(cwd);
    struct Case {
        std::string argument;
    } cases[] = {{(listDir / "party.m3u").string()}, {"/L " + (listDir / "party.m3u").string()},
                 // The list named relative to the current folder.
                 {"../lists/party.m3u"}};
    for (const Case& c : cases) {
        EXPECT_TRUE(h.wnd->OpenFileOrList(c.argument, true, false)) << c.argument;
        EXPECT_EQ(h.wnd->playlist, (Entries{(listDir / "sub" / "beside.mp3").string(), "both.mp3", "missing.mp3",
                                            "http://radio.example/live", absolute}))
            << c.argument;
    }
    fs::current_path(before);
    EXPECT_TRUE(h.messages.empty());
}

TEST(OpeningFiles, AMissingListFileLeavesAnEmptyListAndStartsNothing) {
    FilesHarness h;
    h.wnd->playlist = {"playing.mp3"};
    h.wnd->trackCount = h.wnd->currentTrack = 1;
    h.HandOver("/L " + (h.dir / "missing.txt").string());
    ASSERT_EQ(h.messages.size(), 1u);
    EXPECT_EQ(h.messages[0].text, "Unable to open playlist");
    EXPECT_EQ(h.messages[0].icon, MessageBoxIcon::Question);
    EXPECT_TRUE(h.wnd->playlist.empty());
    EXPECT_EQ(h.wnd->trackCount, 0);
    EXPECT_EQ(h.wnd->currentTrack, 0);
    EXPECT_EQ(h.wnd->stops, 0) << "a track already playing plays on";
    FilesHarness::Pump();
    EXPECT_EQ(h.wnd->plays, 0);
}

TEST(OpeningFiles, AnEmptyHandOverChangesNothing) {
    FilesHarness h;
    h.wnd->playlist = {"kept.mp3"};
    h.HandOver("");
    EXPECT_EQ(h.wnd->playlist, Entries{"kept.mp3"});
    EXPECT_FALSE(h.wnd->OpenFileOrList("", true, true));
    EXPECT_EQ(h.wnd->playlist, Entries{"kept.mp3"});
    EXPECT_EQ(h.wnd->stops, 0);
}

TEST(OpeningFiles, ListsOfTenThousandEntriesAndOfGarbageLoadWithoutHarm) {
    FilesHarness h;
    std::string big;
    for (int i = 1; i <= 10000; ++i) big += "/music/track" + std::to_string(i) + ".mp3\n";
    h.HandOver("/L " + h.File("big.m3u", big));
    ASSERT_EQ(h.wnd->trackCount, 10000);
    EXPECT_EQ(h.wnd->playlist.front(), "/music/track1.mp3");
    EXPECT_EQ(h.wnd->playlist.back(), "/music/track10000.mp3");

    std::mt19937 random(7);
    std::string garbage(200000, '\0');
    for (char& c : garbage) c = char(random());
    h.HandOver(h.File("garbage.m3u", garbage));
    EXPECT_GT(h.wnd->trackCount, 0);
    for (const std::string& entry : h.wnd->playlist) {
        EXPECT_FALSE(entry.empty());
        EXPECT_LE(entry.size(), 255u);
    }
}

TEST(OpeningFiles, PlayFileReplacesTheStoredListAndStarts) {
    FilesHarness h;
    h.store.WriteInt("PlayList", "NumberOfFiles", 12);
    for (int i = 1; i <= 12; ++i) h.store.WriteString("PlayList", TrackKey(i), std::string("old"));
    const std::string a = h.File("a song.mp3");
    const std::string list = h.File("list.m3u", "x.mp3\ny.mp3\n");
    FileDialogRequest seen;
    SetFileDialogHandler([&](const FileDialogRequest& request, std::vector<std::string>& chosen) {
        seen = request;
        chosen = {a, list};
        return true;
    });
    h.wnd->SendMessage(WM_COMMAND, MakeCommandWParam(ID_FILE_PLAY, 0), 0);

    EXPECT_EQ(seen.title, "Play Layer 3 File(s)");
    EXPECT_FALSE(seen.save);
    EXPECT_EQ(seen.owner, h.wnd->Widget());
    EXPECT_EQ(seen.defaultSuffix, "mp3");
    EXPECT_EQ(seen.flags & (OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST), OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST);
    EXPECT_EQ(seen.filters, (Entries{"Layer 3 (*.mp3 *.MP3)", "Playlist (*.m3u *.M3U)", "All Files (*)"}));

    const Entries expected{a, "x.mp3", "y.mp3"};
    EXPECT_EQ(h.wnd->playlist, expected);
    EXPECT_EQ(h.wnd->trackCount, 3);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_EQ(h.store.GetInt("PlayList", "NumberOfFiles", 0), 3);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(h.store.GetString("Playlist", TrackKey(i)), expected[std::size_t(i - 1)]);
    for (int i = 4; i <= 12; ++i)
        EXPECT_FALSE(h.store.Has("PlayList", TrackKey(i))) << i;
    FilesHarness::Pump();
    EXPECT_EQ(h.wnd->plays, 1);
}

TEST(OpeningFiles, CancellingPlayFileChangesNothing) {
    FilesHarness h;
    h.wnd->playlist = {"kept.mp3"};
    SetFileDialogHandler([](const FileDialogRequest&, std::vector<std::string>&) { return false; });
    const int writes = h.store.writes;
    h.wnd->SendMessage(WM_COMMAND, MakeCommandWParam(ID_FILE_PLAY, 0), 0);
    FilesHarness::Pump();
    EXPECT_EQ(h.wnd->playlist, Entries{"kept.mp3"});
    EXPECT_EQ(h.store.writes, writes);
    EXPECT_EQ(h.wnd->stops, 0);
    EXPECT_EQ(h.wnd->plays, 0);
}

TEST(OpeningFiles, DroppedFilesReplaceTheListInDropOrderAndFoldersAreSkipped) {
    FilesHarness h;
    h.wnd->playlist = {"old.mp3"};
    const std::string a = h.File("b first.mp3");
    const std::string list = h.File("drop.m3u", "from list.mp3\n");
    const std::string c = h.File("a last.mp3");
    const fs::path folder = h.dir / "folder.m3u";
    fs::create_directory(folder);
    const int writes = h.store.writes;
    h.Drop({a, folder.string(), list, c});
    EXPECT_EQ(h.wnd->playlist, (Entries{a, "from list.mp3", c}));
    EXPECT_EQ(h.wnd->trackCount, 3);
    EXPECT_EQ(h.wnd->currentTrack, 1);
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.store.writes, writes) << "a drop is not stored";
    FilesHarness::Pump();
    EXPECT_EQ(h.wnd->plays, 1);

    // A drop of nothing but a folder leaves an empty list and nothing current.
    h.Drop({folder.string()});
    EXPECT_TRUE(h.wnd->playlist.empty());
    EXPECT_EQ(h.wnd->currentTrack, 0);
}

TEST(OpeningFiles, FilterStringsBecomeQtFilters) {
    EXPECT_EQ(PlayerFileDialog::QtFilters(PlayerFileDialog::kLayer3Filter),
              (Entries{"Layer 3 (*.mp3 *.MP3)", "Playlist (*.m3u *.M3U)", "All Files (*)"}));
    EXPECT_EQ(PlayerFileDialog::QtFilters("Audio|*.mp2; *.Mp1|"), (Entries{"Audio (*.mp2 *.MP2 *.mp1 *.MP1)"}));
    EXPECT_TRUE(PlayerFileDialog::QtFilters("").empty());
    EXPECT_TRUE(PlayerFileDialog::QtFilters("dangling").empty());
}
