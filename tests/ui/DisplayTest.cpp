// The display panel: every element's glyph rule checked on rendered pixels,
// the items UpdateDisplay publishes, the repaints it asks for, what an
// uncovered window shows, and crisp scaling on a high-density screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "platform/framework/Resources.h"
#include "tests/fakes/MemorySettingsStore.h"
#include "ui/SkinFrameWnd.h"

namespace {
constexpr UINT kMainWindowStyle = 0x00CA0000;  // caption, system menu, minimise box

class DisplayWnd : public SkinFrameWnd {
public:
    using SkinFrameWnd::SkinFrameWnd;
    std::vector<std::pair<std::string, std::string>> published;
    void PublishItem(const std::string& item, const std::string& value) override {
        published.emplace_back(item, value);
    }
};

// UpdateDisplay's arguments; what a test leaves out is "not available".
struct Values {
    int track = -1, time = -1, frames = -1, frequency = -1, channels = -1, monoOutput = -1, layer = -1,
        bitRate = -1, version = -1, state = -1, syncState = -1, progress = -1, playType = 0;
};

void Show(SkinFrameWnd& wnd, const Values& v) {
    wnd.UpdateDisplay(v.track, v.time, v.frames, v.frequency, v.channels, v.monoOutput, v.layer, v.bitRate,
                      v.version, v.state, v.syncState, v.progress, v.playType);
}

class PanelDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        wnd = new DisplayWnd(store);
        ASSERT_TRUE(wnd->Create("Brelune3 Layer III Player", "Brelune3", kMainWindowStyle, 201));
        wnd->ShowWindow(SW_SHOWNORMAL);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd->Widget()));
    }
    void TearDown() override {
        if (wnd) wnd->DestroyWindow();
    }
    QImage Render() const {
        return wnd->ClientWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    MemorySettingsStore store;
    DisplayWnd* wnd = nullptr;
};

// One glyph the screen should show: a rectangle of a strip copied to a
// client position.
struct Glyph {
    const char* element;
    QPoint at;
    int strip;
    QRect source;
};

Glyph Large(const char* element, QPoint at, int cell) { return {element, at, 301, QRect(cell * 15, 0, 15, 24)}; }
Glyph Small(const char* element, QPoint at, int cell) { return {element, at, 302, QRect(cell * 6, 0, 6, 9)}; }
Glyph Row(const char* element, QPoint at, int strip, QSize size, int row) {
    return {element, at, strip, QRect(QPoint(0, row * size.height()), size)};
}

// Digit cells: 0 blank, d + 1 the digit d.
std::vector<Glyph> Track(int tens, int units) {
    return {Large("track tens", {14, 20}, tens), Large("track units", {29, 20}, units)};
}
std::vector<Glyph> Time(int a, int b, int c, int d) {
    return {Large("minute tens", {58, 20}, a), Large("minute units", {73, 20}, b),
            Large("second tens", {92, 20}, c), Large("second units", {107, 20}, d)};
}
std::vector<Glyph> Frequency(int tens, int units) {
    return {Small("kHz tens", {145, 20}, tens), Small("kHz units", {151, 20}, units)};
}
std::vector<Glyph> BitRate(int hundreds, int tens, int units) {
    return {Small("rate hundreds", {139, 35}, hundreds), Small("rate tens", {145, 35}, tens),
            Small("rate units", {151, 35}, units)};
}
std::vector<Glyph> Stereo(int row) { return {Row("stereo", {182, 21}, 306, {11, 7}, row)}; }
std::vector<Glyph> Version(int row) { return {Row("version", {199, 21}, 305, {7, 7}, row)}; }
std::vector<Glyph> Layer(int row) { return {Row("layer", {195, 36}, 304, {12, 7}, row)}; }
std::vector<Glyph> State(int row) { return {Row("state", {126, 20}, 307, {6, 11}, row)}; }
std::vector<Glyph> Sync(int cell) { return {{"sync", {126, 32}, 309, QRect(cell * 6, 0, 6, 11)}}; }
std::vector<Glyph> Progress(int blue) {
    return {{"progress done", {6, 99}, 308, QRect(0, 0, blue, 9)},
            {"progress to go", {6 + blue, 99}, 308, QRect(0, 9, 150 - blue, 9)}};
}
std::vector<Glyph> SourceType(int row) { return {Row("source type", {188, 98}, 310, {80, 11}, row)}; }

std::vector<Glyph> operator+(std::vector<Glyph> a, const std::vector<Glyph>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

QImage Strip(int id) {
    QImage image;
    EXPECT_TRUE(LoadBitmap(id, image)) << id;
    return image.convertToFormat(QImage::Format_RGB32);
}

// Empty when every glyph is on the screen, else the elements that differ.
std::string Mismatches(const QImage& screen, const std::vector<Glyph>& glyphs) {
    std::string wrong;
    for (const Glyph& glyph : glyphs) {
        if (glyph.source.isEmpty()) continue;
        if (screen.copy(QRect(glyph.at, glyph.source.size())) != Strip(glyph.strip).copy(glyph.source)) {
            wrong += std::string(glyph.element) + "; ";
        }
    }
    return wrong;
}

const std::vector<Glyph> kNothingAvailable = Track(0, 0) + Time(0, 0, 0, 0) + Frequency(0, 0) +
                                              BitRate(0, 0, 0) + Stereo(0) + Version(0) + Layer(0) + State(0) +
                                              Sync(0) + Progress(0) + SourceType(0);
}  // namespace

TEST_F(PanelDisplay, RightAfterCreationEveryElementShowsItsNotAvailableLook) {
    EXPECT_EQ(Mismatches(Render(), kNothingAvailable), "");
}

TEST_F(PanelDisplay, EachValueSelectsTheGlyphsOfItsRule) {
    struct Case {
        const char* what;
        std::vector<Values> calls;
        std::vector<Glyph> shown;
    } cases[] = {
        {"track 7", {{.track = 7}}, Track(0, 8)},
        {"track 10", {{.track = 10}}, Track(2, 1)},
        {"track 0", {{.track = 35}, {.track = 0}}, Track(0, 0)},
        {"track 100 saturates", {{.track = 100}}, Track(10, 10)},
        {"track 123 saturates", {{.track = 123}}, Track(10, 10)},
        {"negative track", {{.track = 35}, {.track = -7}}, Track(0, 0)},
        {"time 59", {{.time = 59}}, Time(0, 1, 6, 10)},
        {"time 61", {{.time = 61}}, Time(0, 2, 1, 2)},
        {"time 600", {{.time = 600}}, Time(2, 1, 1, 1)},
        {"time 0", {{.time = 0}}, Time(0, 1, 1, 1)},
        {"time -1", {{.time = 61}, {.time = -1}}, Time(0, 0, 0, 0)},
        {"time 99:59", {{.time = 5999}}, Time(10, 10, 6, 10)},
        {"time 100:00 saturates", {{.time = 6000}}, Time(10, 10, 6, 10)},
        {"time of days saturates", {{.time = 400000}}, Time(10, 10, 6, 10)},
        {"44100 Hz", {{.frequency = 44100}}, Frequency(5, 5)},
        {"8000 Hz", {{.frequency = 8000}}, Frequency(0, 9)},
        {"11025 Hz", {{.frequency = 11025}}, Frequency(2, 2)},
        {"128 kbit/s", {{.bitRate = 128}}, BitRate(2, 3, 9)},
        {"64 kbit/s", {{.bitRate = 64}}, BitRate(0, 7, 5)},
        {"1411 kbit/s", {{.bitRate = 1411}}, BitRate(5, 2, 2)},
        {"8 kbit/s", {{.bitRate = 8}}, BitRate(0, 0, 9)},
        {"stereo", {{.channels = 2, .monoOutput = 0}}, Stereo(1)},
        {"stereo played mono", {{.channels = 2, .monoOutput = 1}}, Stereo(2)},
        {"mono stream", {{.channels = 1, .monoOutput = 1}}, Stereo(0)},
        {"MPEG-1", {{.version = 1}}, Version(1)},
        {"MPEG-2", {{.version = 2}}, Version(2)},
        {"version 3 leaves the mark", {{.version = 2}, {.version = 3}}, Version(2)},
        {"layer 3", {{.layer = 3}}, Layer(3)},
        {"layer 0 leaves the mark", {{.layer = 3}, {.layer = 0}}, Layer(3)},
        {"layer 4 leaves the mark", {{.layer = 2}, {.layer = 4}}, Layer(2)},
        {"playing", {{.state = 0}}, State(1)},
        {"paused", {{.state = 1}}, State(2)},
        {"state 7 leaves the mark", {{.state = 1}, {.state = 7}}, State(2)},
        {"in sync", {{.syncState = 2}}, Sync(2)},
        {"sync 6", {{.syncState = 6}}, Sync(6)},
        {"sync lost again", {{.syncState = 2}, {.syncState = -1}}, Sync(0)},
        {"sync 9 leaves the mark", {{.syncState = 3}, {.syncState = 9}}, Sync(3)},
        {"progress 50", {{.progress = 50}}, Progress(75)},
        {"progress 33", {{.progress = 33}}, Progress(49)},
        {"progress 100", {{.progress = 100}}, Progress(150)},
        {"progress past 100", {{.progress = 250}}, Progress(150)},
        {"progress -1", {{.progress = 50}, {.progress = -1}}, Progress(0)},
        {"play type 1", {{.playType = 1}}, SourceType(4)},
        {"play type 2", {{.playType = 2}}, SourceType(2)},
        {"play type 3", {{.playType = 3}}, SourceType(1)},
        {"play type 4", {{.playType = 4}}, SourceType(3)},
        {"play type 9", {{.playType = 3}, {.playType = 9}}, SourceType(0)},
    };
    for (const Case& c : cases) {
        Show(*wnd, Values{});
        for (const Values& values : c.calls) Show(*wnd, values);
        EXPECT_EQ(Mismatches(Render(), c.shown), "") << c.what;
    }
}

TEST_F(PanelDisplay, ChangedValuesArePublishedInTheirOrderAndOnlyWhenTheyChange) {
    // Creation published every number item but PlayType, which stays 0.
    const std::vector<std::pair<std::string, std::string>> atCreation = {
        {"Track", "-1"}, {"SampFreq", "-1"}, {"Channels", "-1"}, {"Frames", "-1"}, {"Layer", "-1"},
        {"Time", "-1"},  {"Bitrate", "-1"},  {"MpegVersion", "-1"}, {"State", "-1"}, {"SyncState", "-1"},
        {"Progress", "-1"}};
    EXPECT_EQ(wnd->published, atCreation);

    const Values playing{.track = 3, .time = 61, .frames = 2340, .frequency = 44100, .channels = 2,
                         .monoOutput = 0, .layer = 3, .bitRate = 128, .version = 1, .state = 0, .syncState = 2,
                         .progress = 12, .playType = 3};
    wnd->published.clear();
    Show(*wnd, playing);
    const std::vector<std::pair<std::string, std::string>> all = {
        {"Track", "3"},  {"SampFreq", "44100"}, {"Channels", "2"},    {"Frames", "2340"}, {"Layer", "3"},
        {"Time", "61"},  {"Bitrate", "128"},    {"MpegVersion", "1"}, {"State", "0"},     {"SyncState", "2"},
        {"Progress", "12"}, {"PlayType", "3"}};
    EXPECT_EQ(wnd->published, all);

    wnd->published.clear();
    Show(*wnd, playing);
    EXPECT_TRUE(wnd->published.empty());

    // The output flag has no item of its own: the unchanged channel count
    // goes out again, and the mark changes.
    Values mono = playing;
    mono.monoOutput = 1;
    Show(*wnd, mono);
    EXPECT_EQ(wnd->published, (std::vector<std::pair<std::string, std::string>>{{"Channels", "2"}}));
    EXPECT_EQ(Mismatches(Render(), Stereo(2)), "");

    // Values the panel saturates are still published as they are.
    wnd->published.clear();
    Values late = mono;
    late.time = 7205;
    late.track = 150;
    Show(*wnd, late);
    EXPECT_EQ(wnd->published, (std::vector<std::pair<std::string, std::string>>{{"Track", "150"}, {"Time", "7205"}}));
}

namespace {
// Collects the rectangles the client area is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* client) { client->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};
}  // namespace

TEST_F(PanelDisplay, AnUpdateRepaintsOnlyTheElementsThatChanged) {
    Values playing{.track = 1, .time = 10, .frequency = 44100, .channels = 2, .monoOutput = 0, .layer = 3,
                   .bitRate = 128, .version = 1, .state = 0, .syncState = 2, .progress = 5, .playType = 3};
    Show(*wnd, playing);
    QCoreApplication::processEvents();
    PaintRecorder recorder(wnd->ClientWidget());

    // Frames move on every tick without being drawn.
    playing.frames = 40;
    Show(*wnd, playing);
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.painted.isEmpty());

    playing.time = 11;
    Show(*wnd, playing);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.painted.boundingRect(), QRect(58, 20, 64, 24));
}

TEST_F(PanelDisplay, TheScreenAndAnUncoveredWindowShowTheLastValues) {
    // Many ticks' worth of updates, each painted as it came.
    for (int second = 0; second <= 75; ++second) {
        Show(*wnd, {.track = 12, .time = second, .frames = second * 38, .frequency = 22050, .channels = 2,
                    .monoOutput = 0, .layer = 2, .bitRate = 64 + second, .version = 2, .state = second % 2,
                    .syncState = 2, .progress = second, .playType = 2});
        QCoreApplication::processEvents();
    }
    // A layer the panel has no mark for leaves the last one.
    Show(*wnd, {.track = 12, .time = 75, .frames = 2850, .frequency = 22050, .channels = 2, .monoOutput = 0,
                .layer = 0, .bitRate = 139, .version = 2, .state = 1, .syncState = 2, .progress = 75,
                .playType = 2});
    QCoreApplication::processEvents();
    const std::vector<Glyph> last = Track(2, 3) + Time(0, 2, 2, 6) + Frequency(3, 3) + BitRate(2, 4, 10) +
                                    Stereo(1) + Version(2) + Layer(2) + State(2) + Sync(2) + Progress(112) +
                                    SourceType(2);

    // What the incremental paints left in the window's backing store...
    QWidget* client = wnd->ClientWidget();
    const QPoint offset = client->mapTo(wnd->Widget(), QPoint(0, 0));
    const QImage onScreen = client->screen()
                                ->grabWindow(wnd->Widget()->winId(), offset.x(), offset.y(), client->width(),
                                             client->height())
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(onScreen.size(), client->size());
    EXPECT_EQ(Mismatches(onScreen, last), "");
    // ...and a paint of the whole area, as after uncovering the window.
    EXPECT_EQ(Mismatches(Render(), last), "");
}

TEST_F(PanelDisplay, OnADoubleDensityScreenEverySkinPixelBecomesASharpTwoByTwoBlock) {
    Show(*wnd, {.track = 8, .time = 125, .frequency = 48000, .channels = 2, .monoOutput = 0, .layer = 3,
                .bitRate = 192, .version = 1, .state = 0, .syncState = 2, .progress = 40, .playType = 3});
    const QImage plain = Render();
    QImage dense(plain.size() * 2, QImage::Format_RGB32);
    dense.setDevicePixelRatio(2);
    wnd->ClientWidget()->render(&dense);
    int wrong = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb pixel = plain.pixel(x, y);
            for (QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                wrong += dense.pixel(2 * x + d.x(), 2 * y + d.y()) != pixel;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}
