// Windows gives exclusive access through the share mode of CreateFile: no
// other open of the file succeeds while ours is open.
//
// FILE_FLAG_OPEN_REPARSE_POINT opens a symbolic link or junction itself
// instead of its target; it is then refused, as is anything that is not a
// file on a disk (a pipe, a device, a folder). Ownership is left to the
// folder's access rights, which on Windows belong to the user's profile.
#include "platform/LockedFile.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace tw {

namespace {

HANDLE AsHandle(intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

LockedFile::OpenResult FromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_EXISTS:
      return LockedFile::OpenResult::Missing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return LockedFile::OpenResult::Busy;
    default:
      return LockedFile::OpenResult::Failed;
  }
}

// One call moves at most 1 GiB, well inside a DWORD.
constexpr size_t kMaxTransfer = 0x40000000;

OVERLAPPED At(int64_t offset) {
  OVERLAPPED at{};
  const auto position = static_cast<uint64_t>(offset);
  at.Offset = static_cast<DWORD>(position);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  return at;
}

constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;

// Keeps `h` only when it is a plain file on a disk.
LockedFile::OpenResult CheckPlainFile(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info{};
  const bool plain =
      GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info) &&
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
  if (plain) return LockedFile::OpenResult::Opened;
  CloseHandle(h);
  return LockedFile::OpenResult::Refused;
}

// Why an open of `name` failed. A folder cannot be opened as a file at all
// (the system says "access denied"): it is refused like any other thing
// that is not a plain file, not reported as a failure to retry.
LockedFile::OpenResult FailureAt(const std::wstring& name) {
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return LockedFile::OpenResult::Refused;
  }
  return FromError(error);
}

}  // namespace

LockedFile::OpenResult LockedFile::OpenExisting(const std::string& path) {
  Close();
  const std::wstring name = Widen(path);
  bool writable = true;
  HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         kOpenFlags, nullptr);
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
    writable = false;
    h = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, kOpenFlags, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) return FailureAt(name);
  const OpenResult result = CheckPlainFile(h);
  if (result != OpenResult::Opened) return result;
  handle_ = reinterpret_cast<intptr_t>(h);
  writable_ = writable;
  return OpenResult::Opened;
}

LockedFile::OpenResult LockedFile::CreateNew(const std::string& path) {
  Close();
  const std::wstring name = Widen(path);
  HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         kOpenFlags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FailureAt(name);
  handle_ = reinterpret_cast<intptr_t>(h);
  writable_ = true;
  return OpenResult::Opened;
}

void LockedFile::Close() {
  if (handle_ == kNoHandle) return;
  CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
  writable_ = false;
}

int64_t LockedFile::Size() const {
  LARGE_INTEGER size;
  if (handle_ == kNoHandle || !GetFileSizeEx(AsHandle(handle_), &size)) return -1;
  return size.QuadPart;
}

int64_t LockedFile::ReadSome(int64_t offset, void* buffer, size_t size) const {
  OVERLAPPED at = At(offset);
  DWORD n = 0;
  const auto chunk = static_cast<DWORD>(size > kMaxTransfer ? kMaxTransfer : size);
  if (!ReadFile(AsHandle(handle_), buffer, chunk, &n, &at)) {
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  }
  return n;
}

int64_t LockedFile::WriteSome(int64_t offset, const void* data, size_t size) {
  OVERLAPPED at = At(offset);
  DWORD n = 0;
  const auto chunk = static_cast<DWORD>(size > kMaxTransfer ? kMaxTransfer : size);
  if (!WriteFile(AsHandle(handle_), data, chunk, &n, &at)) return -1;
  return n;
}

}  // namespace tw
