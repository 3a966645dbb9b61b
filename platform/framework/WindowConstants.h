#pragma once
// Window styles, show commands, positioning flags and mouse parameters that go
// with the message numbers. The values are the classic ones; the frame window
// maps the styles onto Qt window flags.

#include <climits>

#include "platform/framework/WindowMessages.h"

constexpr UINT WS_OVERLAPPED = 0x00000000;
constexpr UINT WS_CAPTION = 0x00C00000;
constexpr UINT WS_SYSMENU = 0x00080000;
constexpr UINT WS_THICKFRAME = 0x00040000;
constexpr UINT WS_MINIMIZEBOX = 0x00020000;
constexpr UINT WS_MAXIMIZEBOX = 0x00010000;
constexpr UINT WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;

// Lets the window system choose a position or size at creation.
constexpr int CW_USEDEFAULT = INT_MIN;

// Mouse messages: wParam holds the key state, lParam the client point.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr LPARAM MakePointLParam(int x, int y) {
    return LPARAM((std::uint32_t(std::uint16_t(y)) << 16) | std::uint16_t(x));
}
constexpr int PointX(LPARAM lParam) { return std::int16_t(lParam & 0xFFFF); }
constexpr int PointY(LPARAM lParam) { return std::int16_t((lParam >> 16) & 0xFFFF); }
