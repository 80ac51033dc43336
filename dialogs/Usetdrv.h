// The folder picker `TSetDrive` ("Select a folder"): a tree of folders from
// which the user chooses the folder of a network drive resource. "Look in:"
// offers the roots a user of this program picks from: the file system, the
// home folder and the mounted network file systems.
#pragma once

#include <QString>
#include <QStringList>

#include "dialogs/DialogBase.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace tw {

class TSetDrive final : public TDialogBase {
  Q_OBJECT

 public:
  explicit TSetDrive(QWidget* parent = nullptr, const WindowParameters* preferences = nullptr);

  // The roots offered: the file system's, the home folder, then network
  // mount points (from the system's mount table).
  static QStringList FolderRoots();

  // Shows the tree below one of the roots and chooses that root.
  void SetRoot(const QString& path);
  // Chooses a folder in the tree (it is expanded to).
  void SelectFolder(const QString& path);
  // The text of `DirName`: what the opener takes on "OK".
  QString FolderName() const;

  QComboBox* Roots() const { return roots_; }
  QTreeView* SystemTreeView1() const { return tree_; }
  QLabel* DirName() const { return dirName_; }
  QPushButton* Button1() const { return button1_; }
  QPushButton* Button2() const { return button2_; }

 private slots:
  void SystemTreeView1Change();

 private:
  void ShowChoice(const QString& path, const QString& displayText);

  QFileSystemModel* model_ = nullptr;
  QComboBox* roots_ = nullptr;
  QTreeView* tree_ = nullptr;
  QLabel* dirName_ = nullptr;
  QPushButton* button1_ = nullptr;
  QPushButton* button2_ = nullptr;
};

}  // namespace tw
