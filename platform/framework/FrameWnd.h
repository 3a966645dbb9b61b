#pragma once
// A top-level frame window: caption (optional), menu bar (optional) and a
// client area. Qt events become the window's messages (see ClientWidget and
// FrameWidget); commands that no table of the window handles go on to the
// application object's table.
//
// Geometry follows the classic model: the outer rectangle is the client area
// plus the frame margins the window system draws around a captioned window,
// plus the menu bar when there is one. Positions given and reported are the
// outer rectangle's, with a caption or without, so that a stored position
// comes back as it was. Frame margins are only known once the platform has
// told them (0 until then, and always 0 under a window system that draws no
// frames); a window placed before that is placed again when it is first
// shown with its frame. Showing and hiding the caption changes the frame in
// place: the client area stays where it is until the window is moved.
//
// Frame windows are created with new and delete themselves after they are
// destroyed; a failed Create destroys the object too. User-interface thread
// only (but see Wnd::PostMessage).

#include <QMargins>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <string>

#include "platform/framework/Wnd.h"

class FrameWidget;
class QMenuBar;

// The creation parameters a class may adjust in PreCreateWindow; WM_CREATE's
// lParam points at them.
struct CreateStruct {
    std::string className;
    std::string title;
    UINT style = WS_OVERLAPPEDWINDOW;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int cx = CW_USEDEFAULT;
    int cy = CW_USEDEFAULT;
    int menuId = 0;
};

class FrameWnd : public Wnd {
public:
    // Builds the window (hidden) and runs WM_CREATE; false when PreCreateWindow
    // refuses, the menu resource is missing or a create handler returns -1.
    bool Create(const std::string& className, const std::string& title, UINT style, int menuId);
    ~FrameWnd() override;

    // Installs accelerator table `id` (WM_COMMAND with code 1 and no control).
    bool LoadAccelTable(int id);
    void DragAcceptFiles(bool accept);

    // Attaches a fresh copy of menu resource `menuId`, or detaches and deletes
    // the menu when 0. False when the resource is missing.
    bool SetMenu(int menuId);
    QMenuBar* GetMenu() const;

    UINT GetStyle() const { return style; }
    // Applies a new style in place; a visible window stays visible.
    void SetStyle(UINT newStyle);

    // The outer size of a window with `style` around a client area of
    // `client`, with or without a menu bar (AdjustWindowRectEx).
    QSize AdjustWindowRect(QSize client, UINT forStyle, bool withMenu) const;
    // The outer rectangle on the screen (GetWindowRect); right and bottom
    // exclusive as x + width, y + height.
    QRect GetWindowRect() const;
    QSize GetClientSize() const;
    // Moves and sizes the outer rectangle (SWP_NOSIZE, SWP_NOMOVE honoured).
    void SetWindowPos(int x, int y, int cx, int cy, UINT flags);
    // Whether the platform has told the frame of a captioned window yet.
    bool CaptionFrameKnown() const { return !captionMargins.isNull(); }
    // The primary screen's size in pixels (SM_CXSCREEN, SM_CYSCREEN).
    static QSize ScreenSize();

    // The client-area widget: parent of child controls, and the paint device
    // of WM_PAINT handlers (valid only during WM_PAINT and WM_ERASEBKGND).
    QWidget* ClientWidget() const;
    // Repaints the whole client area (erase, then paint) from the event loop.
    void Invalidate();

    DECLARE_MESSAGE_TABLE()

protected:
    virtual bool PreCreateWindow(CreateStruct& cs);
    // Called when a window placed while its caption's frame was unknown has
    // just been placed again with the frame the platform told.
    virtual void OnCaptionFrameLearnt() {}
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnAppExit(WPARAM wParam, LPARAM lParam);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    FrameWidget* Frame() const;
    // The frame this window made: it outlives the window until Qt deletes
    // it, and must not call back into a window that is gone.
    QPointer<FrameWidget> builtFrame;
    QMargins MarginsFor(UINT forStyle) const;
    void ApplyWindowFlags();
    void SetOuterSize(int cx, int cy);
    // Puts the outer rectangle's top-left corner at `outer`.
    void PlaceOuter(QPoint outer);
    void OnFrameExposed();

    UINT style = 0;
    // The frame margins of a captioned window, kept while the caption is
    // hidden so that the size with a caption can still be computed.
    mutable QMargins captionMargins;
    // The height of the last menu bar, for sizes that count a detached menu.
    int menuHeight = 0;
    // Where the outer corner is to go once the frame is known.
    bool placementPending = false;
    QPoint pendingOuter;
};
