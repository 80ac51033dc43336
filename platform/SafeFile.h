// Files the program reads and writes, handled so that neither a damaged or
// hostile file nor an interrupted write can lose the user's data:
// - a file is replaced in one step, so a failed or interrupted write never
//   destroys the previous contents, and what is created is readable and
//   writable by its owner only (a settings file holds command lines);
// - reading never blocks on a FIFO or device in a file's place and takes
//   nothing but a regular file.
#pragma once

#include <cstddef>
#include <string>

namespace tw {

// Writes `bytes` to a new file beside `path` and renames it over `path` only
// when every byte has reached the disk. On failure the old file (if any) is
// untouched, the temporary file is removed, and `error` (when given) holds a
// short reason. Returns true on success. The new file has mode 0600 whatever
// the umask. A symbolic link at `path` is replaced by the new file, never
// written through: its target stays as it was.
bool ReplaceFileContents(const std::string& path, const std::string& bytes,
                         std::string* error = nullptr);

enum class FileReadStatus {
  Ok,
  Missing,     // nothing at all at the path
  NotRegular,  // a folder, FIFO, device or socket (or a link to one)
  TooLarge,    // larger than the limit
  Unreadable,  // there, but it cannot be opened or read
};

struct FileRead {
  FileReadStatus status = FileReadStatus::Missing;
  std::string bytes;  // the whole file when `status` is Ok
  std::string error;  // a short reason otherwise
};

// Reads a whole regular file of at most `maxBytes`. The file is opened
// without blocking, so a FIFO in its place is refused at once instead of
// waited on. A symbolic link is followed (reading through it cannot harm its
// target) but must lead to a regular file.
FileRead ReadRegularFile(const std::string& path, size_t maxBytes);

// Whether anything (a file, folder, link, even a dangling one) is at `path`.
bool PathExists(const std::string& path);

// Creates the folder and its missing parents; each folder made here is for
// its owner only (0700) whatever the umask, so that nobody else can put a
// file in it or rename one. Folders already there stay as they are.
// Returns whether the folder exists afterwards.
bool CreatePrivateFolders(const std::string& path);

enum class RenameOutcome { Done, NameTaken, Failed };

// Renames `from` to `to` unless something is already at `to`; never replaces
// it. `error` (when given) holds a short reason on failure.
RenameOutcome RenameWithoutReplacing(const std::string& from, const std::string& to,
                                     std::string* error = nullptr);

}  // namespace tw
