#include "platform/framework/FrameWnd.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

#include "platform/framework/Application.h"
#include "platform/framework/ClientWidget.h"
#include "platform/framework/FrameWidget.h"
#include "platform/framework/Resources.h"

namespace {
void AddMenuItems(FrameWnd& wnd, QWidget* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        const QString text = QString::fromStdString(item.text);
        if (item.separator) {
            auto* separator = new QAction(menu);
            separator->setSeparator(true);
            menu->addAction(separator);
        } else if (!item.items.empty()) {
            auto* popup = new QMenu(text, menu);
            AddMenuItems(wnd, popup, item.items);
            menu->addAction(popup->menuAction());
        } else {
            auto* action = new QAction(text, menu);
            action->setData(item.id);
            const UINT id = item.id;
            QObject::connect(action, &QAction::triggered,
                             [&wnd, id] { wnd.SendMessage(WM_COMMAND, MakeCommandWParam(id, 0), 0); });
            menu->addAction(action);
        }
    }
}
}  // namespace

const MessageMap* FrameWnd::MessageTable() {
    static const MessageEntry entries[] = {
        OnMessage(WM_CREATE, &FrameWnd::OnCreate),
        OnCommand(ID_APP_EXIT, &FrameWnd::OnAppExit),
    };
    static const MessageMap table{Wnd::MessageTable(), entries};
    return &table;
}

bool FrameWnd::Create(const std::string& className, const std::string& title, UINT requestedStyle, int menuId) {
    if (IsWindow()) return false;
    CreateStruct cs{className, title, requestedStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    menuId};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return false;
    }
    auto* frame = new FrameWidget(*this);
    AttachWidget(frame);
    frame->setObjectName(QString::fromStdString(cs.className));
    frame->setWindowTitle(QString::fromStdString(cs.title));
    style = cs.style;
    ApplyWindowFlags();
    // The platform window exists from here on, so its frame margins are known
    // wherever the platform can tell them before the window is shown.
    frame->winId();
    frame->SetExposedHandler([this] { OnFrameExposed(); });
    builtFrame = frame;
    MarginsFor(style);
    if (cs.menuId != 0 && !SetMenu(cs.menuId)) {
        DestroyWindow();
        return false;
    }
    if (cs.x != CW_USEDEFAULT && cs.y != CW_USEDEFAULT) SetWindowPos(cs.x, cs.y, 0, 0, SWP_NOSIZE);
    if (cs.cx != CW_USEDEFAULT && cs.cy != CW_USEDEFAULT) SetWindowPos(0, 0, cs.cx, cs.cy, SWP_NOMOVE);
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return false;
    }
    return true;
}

bool FrameWnd::PreCreateWindow(CreateStruct&) { return true; }

LRESULT FrameWnd::OnCreate(WPARAM, LPARAM) { return 0; }

LRESULT FrameWnd::OnAppExit(WPARAM, LPARAM) {
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
}

LRESULT FrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            LRESULT result = 0;
            if (Application* app = Application::Instance()) app->DispatchMessage(message, wParam, lParam, result);
            return result;
        }
        case WM_SYSCOMMAND:
            if (wParam == SC_DRAGMOVE && Frame()) Frame()->Client()->ArmDragMove();
            return 0;
        case WM_ERASEBKGND: {
            QPainter painter(ClientWidget());
            painter.fillRect(ClientWidget()->rect(), ClientWidget()->palette().window());
            return 1;
        }
        default: return Wnd::DefWindowProc(message, wParam, lParam);
    }
}

FrameWnd::~FrameWnd() {
    if (builtFrame) builtFrame->SetExposedHandler({});
}

void FrameWnd::PostNcDestroy() {
    Application* app = Application::Instance();
    if (app && app->OnFrameDestroyed(this)) return;
    // Deleting later lets the handler that destroyed the window return first.
    QTimer::singleShot(0, [this] { delete this; });
}

FrameWidget* FrameWnd::Frame() const { return static_cast<FrameWidget*>(Widget()); }

QWidget* FrameWnd::ClientWidget() const { return Frame() ? Frame()->Client() : nullptr; }

void FrameWnd::Invalidate() {
    if (ClientWidget()) ClientWidget()->update();
}

bool FrameWnd::LoadAccelTable(int id) {
    std::vector<Accelerator> table;
    if (!Frame() || !LoadAccelerators(id, table)) return false;
    for (const Accelerator& accelerator : table) {
        auto* shortcut = new QShortcut(accelerator.key, Frame());
        shortcut->setContext(Qt::WindowShortcut);
        const UINT command = accelerator.id;
        QObject::connect(shortcut, &QShortcut::activated,
                         [this, command] { SendMessage(WM_COMMAND, MakeCommandWParam(command, 1), 0); });
    }
    return true;
}

void FrameWnd::DragAcceptFiles(bool accept) {
    if (Frame()) Frame()->setAcceptDrops(accept);
}

bool FrameWnd::SetMenu(int menuId) {
    if (!Frame()) return false;
    if (menuId == 0) {
        Frame()->SetMenuBar(nullptr);
        return true;
    }
    std::vector<MenuItem> items;
    if (!LoadMenuResource(menuId, items)) return false;
    auto* bar = new QMenuBar;
    AddMenuItems(*this, bar, items);
    Frame()->SetMenuBar(bar);
    menuHeight = Frame()->MenuBarHeight();
    return true;
}

QMenuBar* FrameWnd::GetMenu() const { return Frame() ? Frame()->MenuBar() : nullptr; }

void FrameWnd::SetStyle(UINT newStyle) {
    const UINT old = style;
    style = newStyle;
    if (Frame() && old != newStyle) ApplyWindowFlags();
}

void FrameWnd::ApplyWindowFlags() {
    Qt::WindowFlags flags = Qt::Window;
    if (style & WS_CAPTION) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
        if (style & WS_MAXIMIZEBOX) flags |= Qt::WindowMaximizeButtonHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    if (Frame()->windowFlags() == flags) return;
    if (QWindow* window = Frame()->windowHandle()) {
        // Tell the window system in place: QWidget::setWindowFlags would
        // unmap and remake the window, and a window manager then places the
        // new one wherever it likes. Here the client area stays where it is
        // and only the frame around it comes or goes.
        Frame()->overrideWindowFlags(flags);
        window->setFlags(flags);
        return;
    }
    Frame()->setWindowFlags(flags);
}

void FrameWnd::OnFrameExposed() {
    if (!placementPending || !(style & WS_CAPTION)) return;
    const QMargins margins = MarginsFor(style);
    if (margins.isNull()) return;
    placementPending = false;
    PlaceOuter(pendingOuter);
    OnCaptionFrameLearnt();
}

QMargins FrameWnd::MarginsFor(UINT forStyle) const {
    if (!(forStyle & WS_CAPTION)) return {};
    if ((style & WS_CAPTION) && Frame() && Frame()->windowHandle()) {
        // Right after a style change a platform may still report the old
        // frame; a captioned window never legitimately has none where the
        // platform draws frames at all.
        const QMargins current = Frame()->windowHandle()->frameMargins();
        if (!current.isNull()) captionMargins = current;
    }
    return captionMargins;
}

QSize FrameWnd::AdjustWindowRect(QSize client, UINT forStyle, bool withMenu) const {
    const QMargins margins = MarginsFor(forStyle);
    int height = client.height() + margins.top() + margins.bottom();
    if (withMenu) height += GetMenu() ? Frame()->MenuBarHeight() : menuHeight;
    return {client.width() + margins.left() + margins.right(), height};
}

QRect FrameWnd::GetWindowRect() const {
    if (!Frame()) return {};
    // The client area's place is what the window system reports reliably;
    // the frame is drawn around it by the margins this window knows.
    const QMargins margins = MarginsFor(style);
    const QRect client = Frame()->geometry();
    const QPoint outer = placementPending ? pendingOuter : client.topLeft() - QPoint(margins.left(), margins.top());
    return QRect(outer, client.size().grownBy(margins));
}

QSize FrameWnd::GetClientSize() const { return ClientWidget() ? ClientWidget()->size() : QSize(); }

void FrameWnd::SetOuterSize(int cx, int cy) {
    const QMargins margins = MarginsFor(style);
    const QSize size(std::max(0, cx - margins.left() - margins.right()),
                     std::max(0, cy - margins.top() - margins.bottom()));
    if (style & WS_THICKFRAME) {
        Frame()->setMinimumSize(0, 0);
        Frame()->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        Frame()->resize(size);
    } else {
        Frame()->setFixedSize(size);
    }
    Frame()->LayOut();
}

void FrameWnd::SetWindowPos(int x, int y, int cx, int cy, UINT flags) {
    if (!Frame()) return;
    if (!(flags & SWP_NOSIZE)) SetOuterSize(cx, cy);
    if (!(flags & SWP_NOMOVE)) PlaceOuter(QPoint(x, y));
}

void FrameWnd::PlaceOuter(QPoint outer) {
    const QMargins margins = MarginsFor(style);
    // A captioned window whose frame the platform has not told yet (before
    // it is first shown under a window manager) is placed again once it has.
    placementPending = (style & WS_CAPTION) && margins.isNull();
    pendingOuter = outer;
    Frame()->setGeometry(QRect(outer + QPoint(margins.left(), margins.top()), Frame()->size()));
}

QSize FrameWnd::ScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}
