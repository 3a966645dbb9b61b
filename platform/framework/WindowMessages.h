#pragma once
// Message numbers and parameter types the program's window classes exchange.
// The values are the classic ones so that ids written in the program's
// resources and automation clients keep their meaning.

#include <cstdint>

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_USER = 0x0400;

// WM_COMMAND carries the command id in the low word of wParam and the
// notification code in the high word.
constexpr WPARAM MakeCommandWParam(UINT id, UINT code) { return (WPARAM(code & 0xFFFF) << 16) | (id & 0xFFFF); }
constexpr UINT CommandId(WPARAM wParam) { return UINT(wParam & 0xFFFF); }
constexpr UINT CommandCode(WPARAM wParam) { return UINT((wParam >> 16) & 0xFFFF); }

// The framework's own command: every frame window closes on it.
constexpr UINT ID_APP_EXIT = 57665;

constexpr UINT BN_CLICKED = 0;
constexpr UINT BN_DOUBLECLICKED = 5;

constexpr WPARAM SC_DRAGMOVE = 0xF012;  // caption-drag form of SC_MOVE

// WM_COPYDATA's lParam points at one of these; the data is valid only during the call.
struct CopyDataStruct {
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    const void* lpData = nullptr;
};
