#include "ui/DisplayPanel.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace {
// Strip numbers in the loading order of DisplayStrips.
enum Strip { kLargeDigits, kStereoMarks, kSmallDigits, kLayerMarks, kVersionMarks, kStateMarks, kSyncMarks,
             kProgressBar, kSourceTypes };

constexpr QSize kLargeCell(15, 24);
constexpr QSize kSmallCell(6, 9);
constexpr int kMarkRow = 7;         // stereo, version and layer rows
constexpr int kStateRow = 11;       // state rows and sync cells are 6 x 11
constexpr int kProgressWidth = 150;
constexpr int kProgressRow = 9;
constexpr int kSourceTypeRow = 11;

// The panel's elements sit relative to its origin inside the LCD well.
constexpr QPoint kPanel(8, 8);
constexpr QPoint kTrackCells[] = {kPanel + QPoint(6, 12), kPanel + QPoint(21, 12)};
constexpr QPoint kTimeCells[] = {kPanel + QPoint(50, 12), kPanel + QPoint(65, 12), kPanel + QPoint(84, 12),
                                 kPanel + QPoint(99, 12)};
constexpr QPoint kFrequencyCells[] = {kPanel + QPoint(137, 12), kPanel + QPoint(143, 12)};
constexpr QPoint kBitRateCells[] = {kPanel + QPoint(131, 27), kPanel + QPoint(137, 27), kPanel + QPoint(143, 27)};
constexpr QPoint kStereo = kPanel + QPoint(174, 13);
constexpr QPoint kVersion = kPanel + QPoint(191, 13);
constexpr QPoint kLayer = kPanel + QPoint(187, 28);
constexpr QPoint kState = kPanel + QPoint(118, 12);
constexpr QPoint kSync = kPanel + QPoint(118, 24);
// The progress bar and the source-type strip lie outside the panel.
constexpr QPoint kProgress(6, 99);
constexpr QPoint kSourceType(188, 98);

constexpr int kBlank = 0;
constexpr int DigitCell(int digit) { return digit + 1; }
// A leading digit that is zero stays blank.
constexpr int LeadingCell(int digit) { return digit == 0 ? kBlank : DigitCell(digit); }

const DisplayPanel::Element kPaintOrder[] = {
    DisplayPanel::Element::Track,     DisplayPanel::Element::Time,     DisplayPanel::Element::Layer,
    DisplayPanel::Element::Stereo,    DisplayPanel::Element::SamplingFrequency, DisplayPanel::Element::BitRate,
    DisplayPanel::Element::MpegVersion, DisplayPanel::Element::State, DisplayPanel::Element::SyncState,
    DisplayPanel::Element::Progress,  DisplayPanel::Element::SourceType};
}  // namespace

DisplayPanel::DisplayPanel(const DisplayStrips& strips) : strips(strips) {}

QRect DisplayPanel::ElementRect(Element element) {
    switch (element) {
        case Element::Track: return QRect(kTrackCells[0], QSize(30, 24));
        case Element::Time: return QRect(kTimeCells[0], QSize(64, 24));
        case Element::SamplingFrequency: return QRect(kFrequencyCells[0], QSize(12, 9));
        case Element::BitRate: return QRect(kBitRateCells[0], QSize(18, 9));
        case Element::Stereo: return QRect(kStereo, QSize(11, kMarkRow));
        case Element::MpegVersion: return QRect(kVersion, QSize(7, kMarkRow));
        case Element::Layer: return QRect(kLayer, QSize(12, kMarkRow));
        case Element::State: return QRect(kState, QSize(6, kStateRow));
        case Element::SyncState: return QRect(kSync, QSize(6, kStateRow));
        case Element::Progress: return QRect(kProgress, QSize(kProgressWidth, kProgressRow));
        case Element::SourceType: return QRect(kSourceType, QSize(80, kSourceTypeRow));
    }
    return {};
}

void DisplayPanel::Draw(QPainter& painter, Element element, const DisplayCache& cache) const {
    switch (element) {
        case Element::Track: DrawTrack(painter, cache[kTrackValue]); break;
        case Element::Time: DrawTime(painter, cache[kTimeValue]); break;
        case Element::SamplingFrequency: DrawSamplingFrequency(painter, cache[kSamplingFrequencyValue]); break;
        case Element::BitRate: DrawBitRate(painter, cache[kBitRateValue]); break;
        case Element::Stereo: DrawStereo(painter, cache[kChannelsValue], cache[kMonoOutputValue]); break;
        case Element::MpegVersion: DrawMpegVersion(painter, cache[kMpegVersionValue]); break;
        case Element::Layer: DrawLayer(painter, cache[kLayerValue]); break;
        case Element::State: DrawState(painter, cache[kStateValue]); break;
        case Element::SyncState: DrawSyncState(painter, cache[kSyncStateValue]); break;
        case Element::Progress: DrawProgress(painter, cache[kProgressValue]); break;
        case Element::SourceType: DrawSourceType(painter, cache[kPlayTypeValue]); break;
    }
}

void DisplayPanel::DrawAll(QPainter& painter, const DisplayCache& cache, const QRect& area) const {
    for (Element element : kPaintOrder) {
        if (ElementRect(element).intersects(area)) Draw(painter, element, cache);
    }
}

void DisplayPanel::Watch(QWidget* client) {
    if (client) client->installEventFilter(this);
}

bool DisplayPanel::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Paint) exposed = static_cast<QPaintEvent*>(event)->rect();
    return false;
}

void DisplayPanel::DrawTrack(QPainter& painter, int track) const {
    if (track < 0) {
        DrawLargeDigit(painter, kTrackCells[0], kBlank);
        DrawLargeDigit(painter, kTrackCells[1], kBlank);
        return;
    }
    track = std::min(track, 99);
    DrawLargeDigit(painter, kTrackCells[0], LeadingCell(track / 10));
    DrawLargeDigit(painter, kTrackCells[1], track == 0 ? kBlank : DigitCell(track % 10));
}

void DisplayPanel::DrawTime(QPainter& painter, int time) const {
    if (time < 0) {
        for (QPoint cell : kTimeCells) DrawLargeDigit(painter, cell, kBlank);
        return;
    }
    int minutes = time / 60;
    int seconds = time % 60;
    if (minutes > 99) {
        minutes = 99;
        seconds = 59;
    }
    DrawLargeDigit(painter, kTimeCells[0], LeadingCell(minutes / 10));
    DrawLargeDigit(painter, kTimeCells[1], DigitCell(minutes % 10));
    DrawLargeDigit(painter, kTimeCells[2], DigitCell(seconds / 10));
    DrawLargeDigit(painter, kTimeCells[3], DigitCell(seconds % 10));
}

void DisplayPanel::DrawSamplingFrequency(QPainter& painter, int frequency) const {
    if (frequency < 0) {
        for (QPoint cell : kFrequencyCells) DrawSmallDigit(painter, cell, kBlank);
        return;
    }
    const int kiloHertz = frequency / 1000;
    DrawSmallDigit(painter, kFrequencyCells[0], LeadingCell((kiloHertz / 10) % 10));
    DrawSmallDigit(painter, kFrequencyCells[1], DigitCell(kiloHertz % 10));
}

void DisplayPanel::DrawBitRate(QPainter& painter, int rate) const {
    if (rate < 0) {
        for (QPoint cell : kBitRateCells) DrawSmallDigit(painter, cell, kBlank);
        return;
    }
    DrawSmallDigit(painter, kBitRateCells[0], rate / 100 == 0 ? kBlank : DigitCell((rate / 100) % 10));
    DrawSmallDigit(painter, kBitRateCells[1], rate / 10 == 0 ? kBlank : DigitCell((rate / 10) % 10));
    DrawSmallDigit(painter, kBitRateCells[2], DigitCell(rate % 10));
}

void DisplayPanel::DrawStereo(QPainter& painter, int channels, int monoOutput) const {
    int row = 1;
    if (channels == 1 || channels == -1) row = 0;
    else if (monoOutput != 0) row = 2;
    Copy(painter, kStereoMarks, QRect(0, row * kMarkRow, 11, kMarkRow), kStereo);
}

void DisplayPanel::DrawMpegVersion(QPainter& painter, int version) const {
    if (version != -1 && version != 1 && version != 2) return;
    const int row = version == -1 ? 0 : version;
    Copy(painter, kVersionMarks, QRect(0, row * kMarkRow, 7, kMarkRow), kVersion);
}

void DisplayPanel::DrawLayer(QPainter& painter, int layer) const {
    if (layer != -1 && (layer < 1 || layer > 3)) return;
    const int row = layer == -1 ? 0 : layer;
    Copy(painter, kLayerMarks, QRect(0, row * kMarkRow, 12, kMarkRow), kLayer);
}

void DisplayPanel::DrawState(QPainter& painter, int state) const {
    if (state < -1 || state > 1) return;
    Copy(painter, kStateMarks, QRect(0, (state + 1) * kStateRow, 6, kStateRow), kState);
}

void DisplayPanel::DrawSyncState(QPainter& painter, int syncState) const {
    const int cell = syncState == -1 ? 0 : syncState;
    if (cell < 0 || cell > 6) return;
    Copy(painter, kSyncMarks, QRect(cell * 6, 0, 6, kStateRow), kSync);
}

void DisplayPanel::DrawProgress(QPainter& painter, int percent) const {
    // Clamped before the conversion so that no percentage can overflow it.
    const double columns = percent == -1 ? 0.0 : std::clamp(percent * 1.5, 0.0, double(kProgressWidth));
    const int done = int(columns);
    Copy(painter, kProgressBar, QRect(0, 0, done, kProgressRow), kProgress);
    Copy(painter, kProgressBar, QRect(0, kProgressRow, kProgressWidth - done, kProgressRow),
         kProgress + QPoint(done, 0));
}

void DisplayPanel::DrawSourceType(QPainter& painter, int playType) const {
    int row = 0;
    switch (playType) {
        case 1: row = 4; break;
        case 2: row = 2; break;
        case 3: row = 1; break;
        case 4: row = 3; break;
        default: break;
    }
    Copy(painter, kSourceTypes, QRect(0, row * kSourceTypeRow, 80, kSourceTypeRow), kSourceType);
}

void DisplayPanel::DrawLargeDigit(QPainter& painter, QPoint at, int cell) const {
    Copy(painter, kLargeDigits, QRect(QPoint(cell * kLargeCell.width(), 0), kLargeCell), at);
}

void DisplayPanel::DrawSmallDigit(QPainter& painter, QPoint at, int cell) const {
    Copy(painter, kSmallDigits, QRect(QPoint(cell * kSmallCell.width(), 0), kSmallCell), at);
}

void DisplayPanel::Copy(QPainter& painter, int strip, const QRect& source, QPoint at) const {
    if (source.isEmpty()) return;
    // A plain copy: glyph pixels replace what was there.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(at, strips[strip], source);
}
