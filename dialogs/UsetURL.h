// The URL list `TSetURL` (caption "URL"): the web addresses the user already
// keeps in a browser, as rows of name and address; choosing a row gives its
// address. The event setup dialog reuses it as its "List of windows".
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "dialogs/BookmarkLookup.h"
#include "dialogs/DialogBase.h"

class QPushButton;
class QTableWidget;

namespace tw {

class TSetURL final : public TDialogBase {
  Q_OBJECT

 public:
  // How long building the list may take; what was found by then is shown.
  static constexpr int kLookupMs = 1000;

  explicit TSetURL(QWidget* parent = nullptr, const WindowParameters* preferences = nullptr);

  // Rebuilds the rows from the user's bookmarks (platform/Bookmarks.h);
  // returns the number of addresses found. Finding nothing is no error.
  int BuildURLList();
  // Rebuilds the rows from a list already read.
  void SetBookmarks(const BookmarkList& list);
  // Turns the window into the "List of windows": one column "Window Title",
  // one row per title given (empty titles skipped, equal ones kept).
  void SetWindowTitles(const std::vector<std::string>& titles);

  // Rows of the table counting its header row, as the openers count them.
  int RowCount() const;
  // The chosen row's address (its last column); empty without a row.
  QString SelectedAddress() const;

  QTableWidget* URLList() const { return urlList_; }
  QPushButton* Button1() const { return button1_; }
  QPushButton* Button2() const { return button2_; }

 private:
  void AddRow(const QStringList& cells);
  void SelectFirstRow();

  QTableWidget* urlList_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
};

}  // namespace tw
