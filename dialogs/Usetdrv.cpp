#include "dialogs/Usetdrv.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/FolderRoots.h"
#include "util/FolderNames.h"

namespace tw {

TSetDrive::TSetDrive(QWidget* parent, const WindowParameters* preferences)
    : TDialogBase(parent, preferences) {
  setObjectName("SetDrive");
  setWindowTitle("Select a folder");
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QString());

  roots_ = new QComboBox(this);
  roots_->setObjectName("Roots");
  roots_->addItems(FolderRoots());
  tree_ = new QTreeView(this);
  tree_->setObjectName("SystemTreeView1");
  tree_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) tree_->hideColumn(column);
  tree_->header()->hide();
  tree_->setMinimumSize(300, 300);

  dirName_ = new QLabel(this);
  dirName_->setObjectName("DirName");
  dirName_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  dirName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  button1_ = new QPushButton("&Ok", this);
  button1_->setObjectName("Button1");
  button1_->setDefault(true);
  button2_ = new QPushButton("&Cancel", this);
  button2_->setObjectName("Button2");

  auto* lookIn = new QHBoxLayout;
  lookIn->addWidget(new QLabel("Look in:", this));
  lookIn->addWidget(roots_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button1_);
  buttons->addWidget(button2_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lookIn);
  layout->addWidget(tree_);
  layout->addWidget(new QLabel("Folder name:", this));
  layout->addWidget(dirName_);
  layout->addLayout(buttons);

  connect(roots_, &QComboBox::currentTextChanged, this, &TSetDrive::SetRoot);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &TSetDrive::SystemTreeView1Change);
  connect(button1_, &QPushButton::clicked, this, [this] { done(kDialogOk); });
  connect(button2_, &QPushButton::clicked, this, [this] { done(kDialogCancel); });
  if (roots_->count() > 0) SetRoot(roots_->itemText(0));
}

QStringList TSetDrive::FolderRoots() {
  QStringList roots;
  for (const std::string& root : FileSystemRoots()) roots << QString::fromStdString(root);
  const QString home = QDir::homePath();
  if (!roots.contains(home)) roots << home;
  for (const std::string& point : NetworkMountPoints(MountTableText())) {
    const QString path = QString::fromStdString(point);
    if (!roots.contains(path)) roots << path;
  }
  return roots;
}

void TSetDrive::SetRoot(const QString& path) {
  tree_->setRootIndex(model_->index(path));
  tree_->selectionModel()->clearCurrentIndex();
  ShowChoice(path, path);
}

void TSetDrive::SelectFolder(const QString& path) {
  const QModelIndex index = model_->index(path);
  if (!index.isValid()) return;
  tree_->setCurrentIndex(index);
  tree_->scrollTo(index);
}

void TSetDrive::SystemTreeView1Change() {
  const QModelIndex current = tree_->currentIndex();
  if (!current.isValid()) return;
  ShowChoice(model_->filePath(current), model_->fileName(current));
}

void TSetDrive::ShowChoice(const QString& path, const QString& displayText) {
  const std::string text =
      FolderChoiceText(path.toStdString(), displayText.toStdString(), FileNamesIgnoreCase());
  dirName_->setText(QString::fromStdString(text));
}

QString TSetDrive::FolderName() const {
  return dirName_->text();
}

}  // namespace tw
