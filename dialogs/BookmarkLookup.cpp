#include "dialogs/BookmarkLookup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include "util/BookmarkFormats.h"

namespace tw {

namespace {

// Deeper folders than this are not walked: no real bookmark tree comes near
// it, and the walk stays far from the end of the stack.
constexpr int kMaxFolderDepth = 100;

std::string Utf8Cut(const QString& text) {
  return CutUtf8(text.toStdString(), kMaxBookmarkText);
}

void WalkChromiumNode(const QJsonObject& node, int depth, size_t maxEntries,
                      std::vector<BookmarkEntry>& entries) {
  if (entries.size() >= maxEntries || depth > kMaxFolderDepth) return;
  if (node.value("type").toString() == "url") {
    const std::string address = Utf8Cut(node.value("url").toString());
    if (!address.empty()) entries.push_back({Utf8Cut(node.value("name").toString()), address});
    return;
  }
  for (const QJsonValue& child : node.value("children").toArray()) {
    if (child.isObject()) WalkChromiumNode(child.toObject(), depth + 1, maxEntries, entries);
  }
}

void ReadNetscapeFile(const std::string& path, const BookmarkLimits& limits, BookmarkList& list) {
  const std::optional<std::string> text = ReadForeignFile(path, limits.maxFileBytes);
  if (!text) return;
  std::string title;
  bool titleFound = false;
  ParseNetscapeBookmarks(*text, limits.maxEntries, title, titleFound, list.entries);
  if (titleFound) {
    list.title = ForeignText(title);
    list.titleFound = true;
  }
}

void ReadChromiumFile(const std::string& path, const BookmarkLimits& limits, BookmarkList& list) {
  const std::optional<std::string> text = ReadForeignFile(path, limits.maxFileBytes);
  if (text)
    ParseChromiumBookmarks(QByteArray::fromStdString(*text), limits.maxEntries, list.entries);
}

void ReadFavourites(const std::string& folder, const BookmarkLimits& limits, BookmarkList& list) {
  for (const std::string& file : ListShortcutFiles(folder, limits.maxShortcutFiles)) {
    if (list.entries.size() >= limits.maxEntries || limits.Expired()) return;
    const std::optional<std::string> text = ReadForeignFile(file, limits.maxShortcutBytes);
    if (!text) continue;
    const std::string address = InternetShortcutUrl(*text);
    if (!address.empty()) list.entries.push_back({ShortcutListName(file), address});
  }
}

}  // namespace

void ParseChromiumBookmarks(const QByteArray& json, size_t maxEntries,
                            std::vector<BookmarkEntry>& entries) {
  const QJsonObject roots = QJsonDocument::fromJson(json).object().value("roots").toObject();
  QStringList order{"bookmark_bar", "other", "synced"};
  for (const QString& key : roots.keys()) {
    if (!order.contains(key)) order.append(key);
  }
  for (const QString& key : order) {
    const QJsonValue root = roots.value(key);
    if (root.isObject()) WalkChromiumNode(root.toObject(), 0, maxEntries, entries);
  }
}

BookmarkList CollectBookmarks(const std::vector<BookmarkSource>& sources,
                              const BookmarkLimits& limits) {
  BookmarkList list;
  for (const BookmarkSource& source : sources) {
    if (list.entries.size() >= limits.maxEntries || limits.Expired()) break;
    switch (source.kind) {
      case BookmarkSourceKind::NetscapeFile:
        ReadNetscapeFile(source.path, limits, list);
        break;
      case BookmarkSourceKind::ChromiumFile:
        ReadChromiumFile(source.path, limits, list);
        break;
      case BookmarkSourceKind::FirefoxPlaces: {
        std::vector<BookmarkEntry> found;
        BookmarkLimits room = limits;
        room.maxEntries = limits.maxEntries - list.entries.size();
        ReadPlacesBookmarks(source.path, room, found);
        for (BookmarkEntry& entry : found) {
          if (entry.address.empty()) continue;
          list.entries.push_back(
              {CutUtf8(entry.name, kMaxBookmarkText), CutUtf8(entry.address, kMaxBookmarkText)});
        }
        break;
      }
      case BookmarkSourceKind::FavouritesFolder:
        ReadFavourites(source.path, limits, list);
        break;
    }
  }
  if (list.entries.size() > limits.maxEntries) list.entries.resize(limits.maxEntries);
  return list;
}

QString ForeignText(const std::string& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace tw
