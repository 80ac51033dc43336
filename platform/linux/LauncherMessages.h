// The messages between this program and its launcher process over a stream
// socket: a request is a length-prefixed ProgramStart, the answer one byte.
#pragma once

#include <chrono>
#include <string>

#include "platform/ProgramLauncher.h"

namespace tw::launcher {

using Clock = std::chrono::steady_clock;
// No deadline: wait as long as the other side is there.
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();
// Requests longer than this are refused on both sides (bytes).
constexpr size_t kMaxRequest = 4u << 20;

std::string EncodeRequest(const ProgramStart& start);
// False for a damaged request.
bool DecodeRequest(const std::string& bytes, ProgramStart& start);

// Whole-buffer socket I/O that gives up at `deadline`; never raises SIGPIPE.
bool SendAll(int socket, const void* data, size_t size, Clock::time_point deadline);
bool ReceiveAll(int socket, void* data, size_t size, Clock::time_point deadline);

// One length-prefixed message; false at end of stream, damage or deadline.
bool SendMessage(int socket, const std::string& message, Clock::time_point deadline);
bool ReceiveMessage(int socket, std::string& message, Clock::time_point deadline);

}  // namespace tw::launcher
