#pragma once
// Private window messages, button and menu command ids, and the play states
// shared by the main window's layers, the engine and the automation commands.

#include "platform/framework/WindowMessages.h"

constexpr UINT UM_DECODE_TICK = WM_USER + 0x01;
constexpr UINT UM_PLAYBACK_STOPPED = WM_USER + 0x03;
constexpr UINT UM_CONFIRM_STREAM = WM_USER + 0x04;
constexpr UINT UM_PLAY_CURRENT = WM_USER + 0x06;
constexpr UINT UM_OPEN_DIALOG = WM_USER + 0x07;
constexpr UINT UM_INFO_CLOSED = WM_USER + 0x0A;

// Bitmap buttons.
constexpr UINT ID_PLAY = 40010;
constexpr UINT ID_STOP = 40011;
constexpr UINT ID_PAUSE = 40012;
constexpr UINT ID_PREV_TRACK = 40013;
constexpr UINT ID_NEXT_TRACK = 40014;
constexpr UINT ID_OPEN_FILES = 40015;
constexpr UINT ID_TRACK_INFO = 40016;
// Play when stopped, pause or resume otherwise: the keyboard's play key.
constexpr UINT ID_PLAY_PAUSE = 40017;

// Menu 201 (its Exit is the framework's ID_APP_EXIT).
constexpr UINT ID_FILE_PLAY = 57601;
constexpr UINT ID_PLAY_LOCATION = 40020;
constexpr UINT ID_OPTIONS_OUTPUT = 40022;
constexpr UINT ID_OPTIONS_PLAY = 40023;
constexpr UINT ID_OPTIONS_PROXY = 40024;
constexpr UINT ID_OPTIONS_URL = 40025;
constexpr UINT ID_HELP_INDEX = 57666;
constexpr UINT ID_HELP_USING = 57668;
constexpr UINT ID_APP_ABOUT = 57664;

enum class PlayState { Stopping = 0, Stopped = 1, Connecting = 2, Playing = 3, Paused = 4 };
