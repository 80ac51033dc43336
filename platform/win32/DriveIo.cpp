// Drive and file I/O on Windows. Both kinds of file are opened with
// FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH: every read comes from the
// device and every write reaches it before WriteFile returns. Unbuffered
// transfers must start and end on sector boundaries and use sector-aligned
// memory, so each one goes through an aligned buffer that covers the sectors
// it touches; a write that covers part of a sector reads that sector first.
#include <windows.h>

#include <malloc.h>

#include <algorithm>
#include <cstring>

#include "platform/DriveIo.h"
#include "platform/win32/WideText.h"

namespace tw {

namespace {

// Memory alignment that suits every sector size up to 4 KB.
constexpr size_t kMemoryAlign = 4096;

OVERLAPPED At(int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset));
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

// The sector size of the volume that holds `path` (512 when unknown).
int64_t SectorSizeOf(const std::wstring& path) {
  wchar_t volume[MAX_PATH] = {};
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (GetVolumePathNameW(path.c_str(), volume, MAX_PATH) &&
      GetDiskFreeSpaceW(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) &&
      bytesPerSector >= 512 && bytesPerSector <= kMemoryAlign &&
      (bytesPerSector & (bytesPerSector - 1)) == 0) {
    return bytesPerSector;
  }
  return 512;
}

class Win32DriveFile final : public DriveFile {
 public:
  Win32DriveFile(HANDLE handle, int64_t sector) : handle_(handle), sector_(sector) {}
  ~Win32DriveFile() override {
    CloseHandle(handle_);
    _aligned_free(buffer_);
  }

  bool Write(const uint8_t* data, int32_t size, int64_t offset) override {
    if (size < 0 || offset < 0) return false;
    if (size == 0) return true;
    const int64_t start = offset / sector_ * sector_;
    const int64_t end = (offset + size + sector_ - 1) / sector_ * sector_;
    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(handle_, &fileSize) || !Reserve(end - start)) return false;
    const bool whole = start == offset && end == offset + size;
    if (!whole) {
      // The sectors' other bytes keep what the file holds (zeros past its end).
      std::memset(buffer_, 0, static_cast<size_t>(end - start));
      if (Transfer(false, start, end - start) < 0) return false;
    }
    std::memcpy(buffer_ + (offset - start), data, static_cast<size_t>(size));
    if (Transfer(true, start, end - start) != end - start) return false;
    return whole || TrimTo(std::max<int64_t>(fileSize.QuadPart, offset + size));
  }

  int32_t Read(uint8_t* data, int32_t size, int64_t offset) override {
    if (size < 0 || offset < 0) return -1;
    if (size == 0) return 0;
    const int64_t start = offset / sector_ * sector_;
    const int64_t end = (offset + size + sector_ - 1) / sector_ * sector_;
    if (!Reserve(end - start)) return -1;
    const int64_t got = Transfer(false, start, end - start);
    if (got < 0) return -1;
    const int64_t useful = std::clamp<int64_t>(got - (offset - start), 0, size);
    std::memcpy(data, buffer_ + (offset - start), static_cast<size_t>(useful));
    return static_cast<int32_t>(useful);
  }

  // Unbuffered handles keep nothing in the cache to drop.
  void DropCache() override {}

  bool Direct() const override { return true; }

  HANDLE Handle() const { return handle_; }

 private:
  bool Reserve(int64_t bytes) {
    if (bytes <= capacity_) return true;
    _aligned_free(buffer_);
    buffer_ = static_cast<uint8_t*>(_aligned_malloc(static_cast<size_t>(bytes), kMemoryAlign));
    capacity_ = buffer_ != nullptr ? bytes : 0;
    return buffer_ != nullptr;
  }

  // One sector-aligned transfer of the buffer: the bytes moved, -1 on failure.
  int64_t Transfer(bool write, int64_t offset, int64_t bytes) {
    OVERLAPPED at = At(offset);
    DWORD moved = 0;
    const auto count = static_cast<DWORD>(bytes);
    const BOOL ok = write ? WriteFile(handle_, buffer_, count, &moved, &at)
                          : ReadFile(handle_, buffer_, count, &moved, &at);
    if (!ok) return !write && GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return moved;
  }

  // A write rounded up to whole sectors sets the end of the file back to
  // where the caller's bytes end.
  bool TrimTo(int64_t size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end) != 0;
  }

  HANDLE handle_;
  int64_t sector_;
  uint8_t* buffer_ = nullptr;
  int64_t capacity_ = 0;
};

constexpr DWORD kUnbuffered = FILE_FLAG_NO_BUFFERING | FILE_FLAG_WRITE_THROUGH;

// Whether the open handle is a plain file on a disk with a single name and
// no reparse point (a symbolic link or junction opened as itself).
bool PlainSingleFile(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0 &&
         info.nNumberOfLinks == 1;
}

bool Truncate(HANDLE handle) {
  FILE_END_OF_FILE_INFO end{};
  return SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end) != 0;
}

class Win32DriveIo final : public DriveIo {
 public:
  std::unique_ptr<DriveFile> CreateTestFile(const std::string& path) override {
    const std::wstring name = Widen(path);
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link or junction at that name as
    // itself, so it is refused below and never written through. No sharing:
    // nobody renames, replaces or writes the file while it is measured.
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                                OPEN_ALWAYS, kUnbuffered | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    if (!PlainSingleFile(handle) || !Truncate(handle)) {
      CloseHandle(handle);
      return nullptr;
    }
    return std::make_unique<Win32DriveFile>(handle, SectorSizeOf(name));
  }

  // The file is deleted through its own handle (when it closes), so the
  // delete reaches exactly the file that was created, whatever the name
  // holds by then.
  void RemoveTestFile(const std::string&, DriveFile& file) override {
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    SetFileInformationByHandle(static_cast<Win32DriveFile&>(file).Handle(), FileDispositionInfo,
                               &dispose, sizeof dispose);
  }

  // Opened without sharing: no other program can open the file while it is
  // measured, and a file another program has open is refused.
  std::unique_ptr<DriveFile> OpenReadOnly(const std::string& path) override {
    const std::wstring name = Widen(path);
    HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, kUnbuffered, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      CloseHandle(handle);
      return nullptr;
    }
    return std::make_unique<Win32DriveFile>(handle, SectorSizeOf(name));
  }
};

}  // namespace

DriveIo& SystemDriveIo() {
  static Win32DriveIo io;
  return io;
}

}  // namespace tw
