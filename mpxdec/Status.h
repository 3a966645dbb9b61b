#pragma once
// Every status the library returns. The top two bits classify a status
// (see mpxdec.h); docs/decoder.md explains what each one means to a caller.

#include <cstdint>

namespace mpxdec {

constexpr std::uint32_t kOk = 0;
constexpr std::uint32_t kMaySave = 0x41010101;
// "No frame this time": never shown, the caller simply asks again later.
constexpr std::uint32_t kWaitingForData = 0x81010101;
constexpr std::uint32_t kNoAudio = 0x81010102;
constexpr std::uint32_t kResync = 0x81010103;
constexpr std::uint32_t kEndOfStream = 0x81010104;
// The connection was lost and is being made again; said at every call while it lasts.
constexpr std::uint32_t kReconnecting = 0x81010105;
// A command has no value for this source (no length, no such tag).
constexpr std::uint32_t kNotAvailable = 0x81010110;
// An open or start that the caller aborted; the caller asked for it, so it is not shown.
constexpr std::uint32_t kAborted = 0x81010111;

constexpr std::uint32_t kErrNotInitialised = 0xC1010001;
constexpr std::uint32_t kErrNoStream = 0xC1010002;
constexpr std::uint32_t kErrBadArgument = 0xC1010003;
constexpr std::uint32_t kErrUnknownCommand = 0xC1010004;
constexpr std::uint32_t kErrBusy = 0xC1010005;
constexpr std::uint32_t kErrWrongVersion = 0xC1010006;
constexpr std::uint32_t kErrNoSuchFile = 0xC1010010;
constexpr std::uint32_t kErrCannotRead = 0xC1010011;
constexpr std::uint32_t kErrNotMpeg = 0xC1010012;
constexpr std::uint32_t kErrDecode = 0xC1010013;
constexpr std::uint32_t kErrUnsupportedLocation = 0xC1010014;
constexpr std::uint32_t kErrHttpStatus = 0xC1010020;
constexpr std::uint32_t kErrConnectionRefused = 0xC1010021;
constexpr std::uint32_t kErrHostNotFound = 0xC1010022;
constexpr std::uint32_t kErrTimedOut = 0xC1010023;
constexpr std::uint32_t kErrNetwork = 0xC1010024;
constexpr std::uint32_t kErrSave = 0xC1010030;

// The text for a status when no more precise one was recorded; nullptr for
// statuses that are not errors of this library.
const char* GenericText(std::uint32_t status);

}  // namespace mpxdec
