#pragma once
// A window of the program: a top-level Qt widget plus the message tables that
// handle what happens to it. Frame windows and dialogs derive from it.
//
// Threads: everything but PostMessage runs on the user-interface thread.
// PostMessage may be called from any thread while the Wnd object exists
// (posting threads must be stopped before the object is deleted); messages
// posted after DestroyWindow are dropped.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "platform/framework/CmdTarget.h"
#include "platform/framework/MessageTarget.h"
#include "platform/framework/WindowConstants.h"

class MessagePort;

class Wnd : public CmdTarget, public MessageTarget {
public:
    Wnd();
    ~Wnd() override;
    Wnd(const Wnd&) = delete;
    Wnd& operator=(const Wnd&) = delete;

    void PostMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The message tables first, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Destroys the windows this one owns, then sends WM_DESTROY, removes the
    // widget and calls PostNcDestroy.
    // False when there was no window.
    bool DestroyWindow();
    bool IsWindow() const { return !widget.isNull(); }

    // The top-level widget; null before creation and after destruction.
    QWidget* Widget() const { return widget.data(); }

    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    // Returns whether the window was visible before.
    bool ShowWindow(int showCommand);
    // Brings the window to the front and gives it the focus.
    void BringWindowToTop();

    static const MessageMap* MessageTable() { return CmdTarget::MessageTable(); }

protected:
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called last when the window is destroyed; frame windows delete
    // themselves here.
    virtual void PostNcDestroy() {}
    // Hands the created top-level widget to this object, which owns it.
    void AttachWidget(QWidget* topLevel);

private:
    QPointer<QWidget> widget;
    const std::unique_ptr<MessagePort> port;
};
