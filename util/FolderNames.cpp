#include "util/FolderNames.h"

#include <algorithm>
#include <sstream>

#include "util/BookmarkFormats.h"

namespace tw {

namespace {

bool IsNetworkFileSystem(const std::string& type) {
  static const char* const kTypes[] = {"nfs",
                                       "nfs4",
                                       "cifs",
                                       "smb3",
                                       "smbfs",
                                       "ncpfs",
                                       "afs",
                                       "9p",
                                       "ceph",
                                       "glusterfs",
                                       "davfs",
                                       "fuse.sshfs",
                                       "sshfs",
                                       "fuse.davfs2",
                                       "fuse.rclone",
                                       "fuse.gvfsd-fuse",
                                       "fuse.glusterfs",
                                       "fuse.ceph"};
  return std::any_of(std::begin(kTypes), std::end(kTypes),
                     [&](const char* known) { return type == known; });
}

// The mount table writes blank, tab, newline and backslash as "\ooo".
std::string DecodeOctalEscapes(const std::string& field) {
  std::string text;
  for (size_t i = 0; i < field.size(); ++i) {
    const bool octal = field[i] == '\\' && i + 4 <= field.size() &&
                       field.find_first_not_of("01234567", i + 1) >= i + 4;
    if (octal) {
      text += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8) & 0xFF);
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

}  // namespace

std::vector<std::string> NetworkMountPoints(const std::string& mountsText) {
  std::vector<std::string> points;
  std::istringstream lines(mountsText);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type) || !IsNetworkFileSystem(type)) continue;
    const std::string decoded = DecodeOctalEscapes(point);
    if (std::find(points.begin(), points.end(), decoded) == points.end()) points.push_back(decoded);
  }
  return points;
}

std::string FolderChoiceText(const std::string& path, const std::string& displayText,
                             bool lowerCaseLetters) {
  std::string text = path;
  if (lowerCaseLetters) {
    for (char& c : text) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  text = CutUtf8(text, kMaxBookmarkText);
  if (!text.empty()) return text;
  return CutUtf8("[" + displayText + "]", kMaxBookmarkText);
}

}  // namespace tw
