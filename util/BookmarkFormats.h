// Readers of two bookmark formats, as plain text in and rows out:
// the Netscape bookmark file (HTML, one bookmark per line, as browsers
// export it) and the internet shortcut ("*.URL", an INI file whose
// "InternetShortcut" section holds the address under "URL").
// Both are foreign input: any bytes give some rows or none, never a fault.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Bookmarks.h"

namespace tw {

// The longest name or address a row keeps (texts of the program's fields).
constexpr size_t kMaxBookmarkText = 255;

// Reads a Netscape bookmark file line by line (LF, CR LF or CR ends a line).
// A line holding "TITLE" sets `title` from the text between the next ">"
// and "<"; then, if what is left holds "HREF", the address between the next
// pair of double quotes and the name between the following ">" and "<" make
// a row, unless the address is empty. Markers are case-sensitive. The five
// HTML character references the format uses (&amp; &lt; &gt; &quot; &#39;)
// are decoded. Stops after `maxEntries` rows in total in `entries`.
void ParseNetscapeBookmarks(const std::string& text, size_t maxEntries, std::string& title,
                            bool& titleFound, std::vector<BookmarkEntry>& entries);

// The value of the key "URL" in the section "InternetShortcut" of an
// internet shortcut file, read the way the system's INI functions read it
// (names in any letter case, the first occurrence wins, blanks around the
// value and a pair of enclosing quotes dropped), cut to 255 characters.
// Empty when the section or key is missing.
std::string InternetShortcutUrl(const std::string& text);

// The name a shortcut file is listed under: its file name (without folder)
// up to the first ".", the whole name when it has none.
std::string ShortcutListName(const std::string& path);

// Cuts a UTF-8 text to at most `maxBytes` bytes without splitting a
// character.
std::string CutUtf8(const std::string& text, size_t maxBytes);

}  // namespace tw
