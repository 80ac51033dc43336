#include "platform/SafeFile.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/win32/WideText.h"

namespace tw {

namespace {

// Puts the finished file `temp` in the place of `path`. ReplaceFileW swaps
// the contents in one step and keeps the old file's identity (its access
// list and attributes); where nothing is at `path` yet, a plain rename does.
// A link at `path` is replaced itself, never written through.
bool MoveIntoPlace(const std::wstring& temp, const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const bool plainFile =
      attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0;
  if (plainFile && ReplaceFileW(path.c_str(), temp.c_str(), nullptr,
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    return true;
  }
  return MoveFileExW(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& bytes, std::string* error) {
  // The new file inherits the folder's access list, which for the program's
  // own folders is the user's.
  const std::wstring target = Widen(path);
  const std::wstring temp = target + L".new";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (error != nullptr) *error = "cannot create a file beside it";
    return false;
  }
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok || !MoveIntoPlace(temp, target)) {
    DeleteFileW(temp.c_str());
    if (error != nullptr) *error = ok ? "cannot replace" : "cannot write";
    return false;
  }
  return true;
}

FileRead ReadRegularFile(const std::string& path, size_t maxBytes) {
  FileRead result;
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    const bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    result.status =
        missing && !PathExists(path) ? FileReadStatus::Missing
        : PathExists(path) && (GetFileAttributesW(Widen(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            ? FileReadStatus::NotRegular
            : FileReadStatus::Unreadable;
    result.error = "cannot open";
    return result;
  }
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    result.status = FileReadStatus::NotRegular;
    result.error = "not a regular file";
    return result;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
    CloseHandle(file);
    result.status = FileReadStatus::TooLarge;
    result.error = "larger than the limit";
    return result;
  }
  result.bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  const BOOL ok =
      result.bytes.empty() ||
      ReadFile(file, result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &read, nullptr);
  CloseHandle(file);
  if (!ok) {
    result.bytes.clear();
    result.status = FileReadStatus::Unreadable;
    result.error = "cannot read";
    return result;
  }
  result.bytes.resize(read);
  result.status = FileReadStatus::Ok;
  return result;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreatePrivateFolders(const std::string& path) {
  // New folders inherit the access list of the user's profile folders.
  std::error_code ignored;
  const std::filesystem::path folder(Widen(path));
  std::filesystem::create_directories(folder, ignored);
  return std::filesystem::is_directory(folder, ignored);
}

RenameOutcome RenameWithoutReplacing(const std::string& from, const std::string& to,
                                     std::string* error) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
  if (MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_WRITE_THROUGH))
    return RenameOutcome::Done;
  const DWORD code = GetLastError();
  if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS) return RenameOutcome::NameTaken;
  if (error != nullptr) *error = "cannot rename";
  return RenameOutcome::Failed;
}

}  // namespace tw
