#pragma once
// The LCD-like panel of the main window: where each element goes, how a value
// picks its cell of a glyph strip, and one small routine per element that
// copies that cell. The window's paint handler and UpdateDisplay share the
// routines; both draw into the background image, which is the canvas the
// paint copies to the screen.
//
// Values the panel has no cells for:
// - track numbers of 100 and more show 99, and times of 100 minutes and more
//   show 99:59: a saturated counter reads as "a lot", where the last two
//   digits would show a believable but wrong number;
// - any negative track, time, frequency or bit rate shows blanks, as -1 does;
// - a state, sync state, layer or MPEG version without a row or cell draws
//   nothing and leaves whatever the place showed before.
//
// User-interface thread only.

#include <QObject>
#include <QRect>
#include <QImage>
#include <array>

class QPainter;
class QWidget;

// Indexes into the window's display cache, in its declaration order.
enum DisplayValue {
    kTimeValue,
    kFramesValue,
    kSamplingFrequencyValue,
    kChannelsValue,
    kMonoOutputValue,
    kTrackValue,
    kLayerValue,
    kBitRateValue,
    kMpegVersionValue,
    kStateValue,
    kSyncStateValue,
    kProgressValue,
    kPlayTypeValue,
    kDisplayValueCount
};
using DisplayCache = std::array<int, kDisplayValueCount>;

// The glyph strips in their loading order: 301, 306, 302, 304, 305, 307,
// 309, 308, 310.
using DisplayStrips = std::array<QImage, 9>;

class DisplayPanel : public QObject {
public:
    enum class Element { Track, Time, Layer, Stereo, SamplingFrequency, BitRate, MpegVersion, State, SyncState,
                         Progress, SourceType };

    // Refers to the strips; they belong to the window and may be loaded later.
    explicit DisplayPanel(const DisplayStrips& strips);

    // The client rectangle an element covers.
    static QRect ElementRect(Element element);

    // Draws one element as the cache's values select it; `painter` works in
    // client coordinates.
    void Draw(QPainter& painter, Element element, const DisplayCache& cache) const;
    // Draws, in the paint order, every element that meets `area`.
    void DrawAll(QPainter& painter, const DisplayCache& cache, const QRect& area) const;

    // Watches the client area's paint events, so that a paint handler, which
    // gets no event, knows which part of the area it has to paint.
    void Watch(QWidget* client);
    QRect ExposedRect() const { return exposed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DrawTrack(QPainter& painter, int track) const;
    void DrawTime(QPainter& painter, int time) const;
    void DrawSamplingFrequency(QPainter& painter, int frequency) const;
    void DrawBitRate(QPainter& painter, int rate) const;
    void DrawStereo(QPainter& painter, int channels, int monoOutput) const;
    void DrawMpegVersion(QPainter& painter, int version) const;
    void DrawLayer(QPainter& painter, int layer) const;
    void DrawState(QPainter& painter, int state) const;
    void DrawSyncState(QPainter& painter, int syncState) const;
    void DrawProgress(QPainter& painter, int percent) const;
    void DrawSourceType(QPainter& painter, int playType) const;

    void DrawLargeDigit(QPainter& painter, QPoint at, int cell) const;
    void DrawSmallDigit(QPainter& painter, QPoint at, int cell) const;
    void Copy(QPainter& painter, int strip, const QRect& source, QPoint at) const;

    const DisplayStrips& strips;
    QRect exposed;
};
