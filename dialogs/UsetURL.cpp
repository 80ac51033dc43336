#include "dialogs/UsetURL.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>

namespace tw {

namespace {

constexpr int kNameWidth = 189;
constexpr int kAddressWidth = 129;

}  // namespace

TSetURL::TSetURL(QWidget* parent, const WindowParameters* preferences)
    : TDialogBase(parent, preferences) {
  setObjectName("SetURL");
  setWindowTitle("URL");
  urlList_ = new QTableWidget(0, 2, this);
  urlList_->setObjectName("URLList");
  urlList_->setHorizontalHeaderLabels({"Name", "Address"});
  urlList_->setColumnWidth(0, kNameWidth);
  urlList_->setColumnWidth(1, kAddressWidth);
  urlList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  urlList_->setSelectionMode(QAbstractItemView::SingleSelection);
  urlList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  urlList_->verticalHeader()->hide();
  urlList_->setMinimumSize(kNameWidth + kAddressWidth + 24, 220);
  MarkGrid(urlList_);

  button1_ = new QPushButton("&Ok", this);
  button1_->setObjectName("Button1");
  button1_->setDefault(true);
  button2_ = new QPushButton("&Cancel", this);
  button2_->setObjectName("Button2");
  connect(button1_, &QPushButton::clicked, this, [this] { done(kDialogOk); });
  connect(button2_, &QPushButton::clicked, this, [this] { done(kDialogCancel); });
  connect(urlList_, &QTableWidget::cellDoubleClicked, this, [this] { done(kDialogOk); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button1_);
  buttons->addWidget(button2_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(urlList_);
  layout->addLayout(buttons);
}

int TSetURL::BuildURLList() {
  BookmarkLimits limits;
  limits.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLookupMs);
  SetBookmarks(CollectBookmarks(FindBookmarkSources(), limits));
  return RowCount() - 1;
}

void TSetURL::SetBookmarks(const BookmarkList& list) {
  // The rows are made at once: tens of thousands of bookmarks fill quickly.
  urlList_->setUpdatesEnabled(false);
  urlList_->setRowCount(static_cast<int>(list.entries.size()));
  int row = 0;
  for (const BookmarkEntry& entry : list.entries) {
    urlList_->setItem(row, 0, new QTableWidgetItem(ForeignText(entry.name)));
    urlList_->setItem(row, 1, new QTableWidgetItem(ForeignText(entry.address)));
    ++row;
  }
  urlList_->setUpdatesEnabled(true);
  if (list.titleFound) setWindowTitle(list.title);
  SelectFirstRow();
}

void TSetURL::SetWindowTitles(const std::vector<std::string>& titles) {
  setWindowTitle("List of windows");
  urlList_->setRowCount(0);
  urlList_->setColumnCount(1);
  urlList_->setHorizontalHeaderLabels({"Window Title"});
  for (const std::string& title : titles) {
    if (!title.empty()) AddRow({QString::fromStdString(title)});
  }
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, urlList_);
  const int tableWidth = std::max(urlList_->width(), urlList_->minimumWidth());
  urlList_->setColumnWidth(0, tableWidth - scrollBar);
  SelectFirstRow();
}

void TSetURL::AddRow(const QStringList& cells) {
  const int row = urlList_->rowCount();
  urlList_->insertRow(row);
  for (int col = 0; col < cells.size(); ++col) {
    urlList_->setItem(row, col, new QTableWidgetItem(cells[col]));
  }
}

void TSetURL::SelectFirstRow() {
  if (urlList_->rowCount() > 0) urlList_->selectRow(0);
}

int TSetURL::RowCount() const {
  return urlList_->rowCount() + 1;
}

QString TSetURL::SelectedAddress() const {
  const int row = urlList_->currentRow();
  const QTableWidgetItem* item =
      row >= 0 ? urlList_->item(row, urlList_->columnCount() - 1) : nullptr;
  return item != nullptr ? item->text() : QString();
}

}  // namespace tw
