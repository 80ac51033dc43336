#include "platform/linux/LauncherMessages.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tw::launcher {

namespace {

void PutCount(std::string& out, size_t count) {
  const uint32_t value = static_cast<uint32_t>(count);
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutText(std::string& out, const std::string& text) {
  PutCount(out, text.size());
  out += text;
}

void PutList(std::string& out, const std::vector<std::string>& list) {
  for (const std::string& text : list) PutText(out, text);
}

class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool Count(uint32_t& value) {
    if (bytes_.size() - at_ < sizeof value) return false;
    std::memcpy(&value, bytes_.data() + at_, sizeof value);
    at_ += sizeof value;
    return true;
  }
  bool Text(std::string& text) {
    uint32_t size = 0;
    if (!Count(size) || bytes_.size() - at_ < size) return false;
    text.assign(bytes_, at_, size);
    at_ += size;
    return true;
  }
  bool List(uint32_t count, std::vector<std::string>& list) {
    // Every entry takes at least its length field: a damaged count cannot
    // make the list grow past what the request holds.
    if (count > (bytes_.size() - at_) / sizeof(uint32_t)) return false;
    list.resize(count);
    for (std::string& text : list) {
      if (!Text(text)) return false;
    }
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::string& bytes_;
  size_t at_ = 0;
};

// Milliseconds left until `deadline` for poll(), -1 for none.
int PollTimeout(Clock::time_point deadline) {
  if (deadline == kNoDeadline) return -1;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() <= 0 ? 0 : static_cast<int>(left.count()) + 1;
}

// Waits until `socket` is ready for `events`; false at the deadline.
bool WaitFor(int socket, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{socket, events, 0};
    const int ready = poll(&entry, 1, PollTimeout(deadline));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

std::string EncodeRequest(const ProgramStart& start) {
  std::string out;
  PutCount(out, start.arguments.size());
  PutCount(out, start.folders.size());
  PutCount(out, start.environment.size());
  PutText(out, start.program);
  PutList(out, start.arguments);
  PutList(out, start.folders);
  PutList(out, start.environment);
  return out;
}

bool DecodeRequest(const std::string& bytes, ProgramStart& start) {
  Reader in(bytes);
  uint32_t arguments = 0, folders = 0, environment = 0;
  return in.Count(arguments) && in.Count(folders) && in.Count(environment) &&
         in.Text(start.program) && in.List(arguments, start.arguments) &&
         in.List(folders, start.folders) && in.List(environment, start.environment) && in.AtEnd();
}

bool SendAll(int socket, const void* data, size_t size, Clock::time_point deadline) {
  const char* at = static_cast<const char*>(data);
  while (size > 0) {
    if (!WaitFor(socket, POLLOUT, deadline)) return false;
    const ssize_t sent = send(socket, at, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (sent <= 0) return false;
    at += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int socket, void* data, size_t size, Clock::time_point deadline) {
  char* at = static_cast<char*>(data);
  while (size > 0) {
    if (!WaitFor(socket, POLLIN, deadline)) return false;
    const ssize_t got = recv(socket, at, size, MSG_DONTWAIT);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return false;
    at += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool SendMessage(int socket, const std::string& message, Clock::time_point deadline) {
  if (message.size() > kMaxRequest) return false;
  const uint32_t size = static_cast<uint32_t>(message.size());
  return SendAll(socket, &size, sizeof size, deadline) &&
         SendAll(socket, message.data(), message.size(), deadline);
}

bool ReceiveMessage(int socket, std::string& message, Clock::time_point deadline) {
  uint32_t size = 0;
  if (!ReceiveAll(socket, &size, sizeof size, deadline) || size > kMaxRequest) return false;
  message.resize(size);
  return ReceiveAll(socket, message.data(), size, deadline);
}

}  // namespace tw::launcher
