#pragma once
// The base layer of the main window: the skinned, fixed-size frame whose
// caption and menu bar a double click hides and shows again, the "Settings"
// section of the settings store, and the virtual operations through which the
// player and net layers plug in. It also holds the members every layer
// shares: the playlist, the option values, the display cache and bitmaps.
//
// Created with new (frame windows delete themselves once destroyed); the
// settings store must outlive the window. User-interface thread only.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/framework/FrameWnd.h"
#include "ui/BitmapButton.h"
#include "ui/DisplayPanel.h"

class ItemPublisher;
class SettingsStore;

class SkinFrameWnd : public FrameWnd {
public:
    explicit SkinFrameWnd(SettingsStore& settings);

    // User-interface action `number`: 0 close the window, 1 Play File,
    // 3 Output, 4 Play Options, 8 About; anything else does nothing here.
    // Returns 0. The argument is not used.
    virtual int OpenDialog(int number, int argument);
    // Starts playing entry currentTrack; nothing at this layer.
    virtual int PlayCurrent(int wParam, int lParam);
    // Stops whatever plays; nothing at this layer.
    virtual void StopPlayback();

    // Opening files (SkinFrameWndFiles.cpp). OpenFileOrList adds what the
    // argument names (files, an .m3u list, or "/L " and a list file) to the
    // playlist, emptying it first when `replace` is set and posting
    // UM_PLAY_CURRENT when `start` is set; true when the list was emptied or
    // something was read. AddFiles appends the argument's words, ReadListFile
    // a list file's entries (false, with a message, when it cannot be opened).
    bool OpenFileOrList(const std::string& argument, bool replace, bool start);
    bool AddFiles(const std::string& argument);
    bool ReadListFile(const std::string& name);

    // Hides caption and menu bar when shown, shows them when hidden, keeping
    // the window's bottom-right corner where it is.
    void ToggleTitleBar();

    // The one way the player shows its state on the panel; -1 means "not
    // available" for every value but the play type.
    void UpdateDisplay(int track, int time, int frames, int samplingFrequency, int channels, int monoOutput,
                       int layer, int bitRate, int mpegVersion, int state, int syncState, int progress,
                       int playType);

    // Publishing points for the automation service's items (the playlist, and
    // one named item as text). They do nothing while no publisher is attached.
    void PublishPlayList();
    // Virtual so that tests can watch the items.
    virtual void PublishItem(const std::string& item, const std::string& value);
    // Attached before Create, so that creation's values reach it too; the
    // publisher must outlive the window.
    void SetItemPublisher(ItemPublisher* itemPublisher) { publisher = itemPublisher; }

    int quality = 0;     // 0 full, 1 half, 2 quarter output frequency
    int resolution = 0;  // 0 16 bit, 1 8 bit
    int downmix = 0;     // 0 stereo, 1 down-mixed to mono
    int cpuType = 0;     // 0 Pentium class, 1 80486 class
    int repeat = 0;
    int replayOnce = 0;  // play the current track once more at its end
    int shuffle = 0;     // shown, never used: 0 after creation whatever is stored
    std::vector<std::string> playlist;
    std::string trackName;
    int currentTrack = 0;  // counted from 1; 0 for none
    int trackCount = 0;
    std::string windowTitle;
    int titleBarShown = 1;
    // The client area: the background less its last column.
    QRect clientRect;
    QImage background;
    // Play, Stop, Pause, Previous, Next, Open and Track information; the
    // client area owns them, so they go when the window goes.
    std::array<QPointer<BitmapButton>, 7> buttons;
    // The last value drawn for each display element.
    std::array<int, 13> displayCache{};
    // The display's glyph strips, in loading order: 301, 306, 302, 304, 305,
    // 307, 309, 308, 310.
    std::array<QImage, 9> displayBitmaps;
    // Draws the display's elements from the strips above.
    DisplayPanel display{displayBitmaps};

    DECLARE_MESSAGE_TABLE()

protected:
    bool PreCreateWindow(CreateStruct& cs) override;
    void OnCaptionFrameLearnt() override;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnOpenDialogMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnPlayCurrentMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnFilePlay(WPARAM wParam, LPARAM lParam);
    LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(WPARAM wParam, LPARAM lParam);
    // The option commands (SkinFrameWndDialogs.cpp).
    LRESULT OnAppAbout(WPARAM wParam, LPARAM lParam);
    LRESULT OnOptionsOutput(WPARAM wParam, LPARAM lParam);
    LRESULT OnOptionsPlay(WPARAM wParam, LPARAM lParam);

    SettingsStore& settings;

private:
    ItemPublisher* publisher = nullptr;

    int ReadSetting(const char* key, int defaultValue);
    void WriteSetting(const char* key, int value);
    void WriteOptions();
    // Creation step for the buttons (SkinFrameWndButtons.cpp).
    void CreateButtons();
    // The bottom-right corner a caption shown before its frame was known
    // is to keep, once the frame is known.
    std::optional<QPoint> cornerToKeep;
};
