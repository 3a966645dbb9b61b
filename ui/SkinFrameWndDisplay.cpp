// The display side of the skin window: the paint handler and UpdateDisplay.
// Both draw the panel's elements into the background image, the canvas that
// the paint copies to the screen; UpdateDisplay then asks for a repaint of
// just the rectangles it changed, so a steady stream costs one small copy a
// second for the time.
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "ui/SkinFrameWnd.h"

namespace {
// Starts painting on the canvas; false when there is none (after close).
bool BeginCanvas(QImage& canvas, QPainter& painter) {
    if (canvas.isNull()) return false;
    // Indexed images cannot be painted on, and the paint copies fastest from
    // the screen's own format.
    if (canvas.format() != QImage::Format_RGB32) canvas.convertTo(QImage::Format_RGB32);
    return painter.begin(&canvas);
}

// The automation items carry numbers as "%ld" text.
std::string NumberText(int value) { return std::to_string(value); }
}  // namespace

LRESULT SkinFrameWnd::OnPaint(WPARAM, LPARAM) {
    QWidget* client = ClientWidget();
    if (!client) return 0;
    const QRect area = display.ExposedRect().isEmpty() ? client->rect() : display.ExposedRect();

    // The canvas normally holds every element already; drawing the exposed
    // ones from the cache keeps the screen true to the cache whatever
    // happened to the canvas.
    QPainter canvas;
    if (BeginCanvas(background, canvas)) {
        display.DrawAll(canvas, displayCache, area);
        canvas.end();
    }

    QPainter painter(client);
    // Skin pixels become whole blocks of device pixels on a high-density
    // screen, never a blur.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The whole canvas, so that every paint samples it on the same grid at
    // any screen scale; the paint event's clip limits the copy to the
    // exposed area.
    painter.drawImage(clientRect, background, clientRect);
    if (titleBarShown == 1) {
        // An etched line under the menu bar: dark grey over white, short of
        // the right edge by one pixel.
        const int width = client->width() - 1;
        painter.fillRect(QRect(0, 0, width, 1), QColor(64, 64, 64));
        painter.fillRect(QRect(0, 1, width, 1), Qt::white);
    }
    return 0;
}

void SkinFrameWnd::UpdateDisplay(int track, int time, int frames, int samplingFrequency, int channels,
                                 int monoOutput, int layer, int bitRate, int mpegVersion, int state,
                                 int syncState, int progress, int playType) {
    using Element = DisplayPanel::Element;
    QPainter canvas;
    QRegion changed;
    // Items are published after drawing, so that a publisher that lets the
    // window repaint finds the canvas free.
    std::vector<std::pair<const char*, int>> items;

    const auto store = [this](DisplayValue index, int value) {
        if (displayCache[index] == value) return false;
        displayCache[index] = value;
        return true;
    };
    const auto redraw = [&](Element element) {
        if (canvas.isActive() || BeginCanvas(background, canvas)) display.Draw(canvas, element, displayCache);
        changed += DisplayPanel::ElementRect(element);
    };
    const auto show = [&](DisplayValue index, int value, Element element, const char* item) {
        if (!store(index, value)) return;
        redraw(element);
        items.emplace_back(item, value);
    };

    show(kTrackValue, track, Element::Track, "Track");
    show(kSamplingFrequencyValue, samplingFrequency, Element::SamplingFrequency, "SampFreq");
    // The stereo mark depends on both values; the item only carries the
    // channel count, sent again when just the output flag changed.
    const bool channelsChanged = store(kChannelsValue, channels);
    const bool monoOutputChanged = store(kMonoOutputValue, monoOutput);
    if (channelsChanged || monoOutputChanged) {
        redraw(Element::Stereo);
        items.emplace_back("Channels", channels);
    }
    if (store(kFramesValue, frames)) items.emplace_back("Frames", frames);
    show(kLayerValue, layer, Element::Layer, "Layer");
    show(kTimeValue, time, Element::Time, "Time");
    show(kBitRateValue, bitRate, Element::BitRate, "Bitrate");
    show(kMpegVersionValue, mpegVersion, Element::MpegVersion, "MpegVersion");
    show(kStateValue, state, Element::State, "State");
    show(kSyncStateValue, syncState, Element::SyncState, "SyncState");
    show(kProgressValue, progress, Element::Progress, "Progress");
    show(kPlayTypeValue, playType, Element::SourceType, "PlayType");

    if (canvas.isActive()) canvas.end();
    if (!changed.isEmpty() && ClientWidget()) ClientWidget()->update(changed);
    for (const auto& [item, value] : items) PublishItem(item, NumberText(value));
}
