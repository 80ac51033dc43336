// Texts of the folder picker: which mounted file systems are network
// folders a user would test, and the text shown for the chosen node.
#pragma once

#include <string>
#include <vector>

namespace tw {

// The mount points of network file systems (NFS, SMB/CIFS, SSHFS, WebDAV and
// the like) in a mount table in the format of /proc/self/mounts, in table
// order, each once. Escaped characters ("\040" for a blank) are decoded.
std::vector<std::string> NetworkMountPoints(const std::string& mountsText);

// What "Folder name:" shows for a chosen node: its file-system path, or,
// for a node without one, its display text as "[text]". With
// `lowerCaseLetters` (file systems that ignore letter case) A to Z become
// lower case; other characters stay. Cut to 255 characters.
std::string FolderChoiceText(const std::string& path, const std::string& displayText,
                             bool lowerCaseLetters);

}  // namespace tw
