#pragma once
// The wire form of a hand-over from a second start to the running instance,
// over the per-user local socket InstanceSocketPath names.
//
// The second start sends one message and then reads one byte:
//   4 bytes   "B3HO"
//   4 bytes   N, unsigned, big-endian, at most kMaxHandOverBytes
//   N bytes   the command line and its terminating zero (N = length + 1),
//             or nothing (N = 0) when the command line is empty
// Every message asks the running instance to show its window normally and
// raise it; data also hands the command line over. The running instance
// answers kHandOverAnswer once it has handled both, then closes. It closes
// without an answer on a wrong tag, an N over the limit, or a message not
// complete within kHandOverReadMs, so a foreign or stuck client can neither
// crash nor hold up the player.

#include <cstddef>
#include <cstdint>

inline constexpr char kHandOverTag[4] = {'B', '3', 'H', 'O'};
inline constexpr std::size_t kHandOverHeaderBytes = 8;
// Far above any command line the system lets a process have.
inline constexpr std::uint32_t kMaxHandOverBytes = 8u << 20;
inline constexpr char kHandOverAnswer = '\x06';
inline constexpr int kHandOverReadMs = 10000;
