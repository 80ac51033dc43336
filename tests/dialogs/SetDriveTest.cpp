// The folder picker: its roots, the text of the chosen folder, and the keys.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTreeView>
#include <filesystem>

#include "dialogs/Usetdrv.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

class SetDriveTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQtApp(); }
};

TEST_F(SetDriveTest, OffersTheFileSystemAndTheHomeFolder) {
  TSetDrive picker;
  EXPECT_EQ(picker.windowTitle(), "Select a folder");
  const QStringList roots = TSetDrive::FolderRoots();
  ASSERT_GE(roots.size(), 2);
  EXPECT_EQ(roots[0], "/");
  EXPECT_EQ(roots[1], QDir::homePath());
  EXPECT_EQ(picker.Roots()->count(), roots.size());
  EXPECT_EQ(picker.FolderName(), "/");  // the root is the choice until a folder is picked
}

TEST_F(SetDriveTest, TheChosenFolderKeepsItsLetterCase) {
  test::TempDir dir;
  const std::string folder = dir.File("Mixed Case");
  std::filesystem::create_directories(folder);
  TSetDrive picker;
  picker.SetRoot(QString::fromStdString(dir.Path()));
  EXPECT_EQ(picker.FolderName().toStdString(), dir.Path());
  picker.SelectFolder(QString::fromStdString(folder));
  EXPECT_EQ(picker.DirName()->text().toStdString(), folder);
}

TEST_F(SetDriveTest, EnterTakesTheFolderAndEscCancels) {
  test::TempDir dir;
  TSetDrive picker;
  picker.SetRoot(QString::fromStdString(dir.Path()));
  test::AnswerNextModal([&](QWidget*) { test::SendKey(picker.SystemTreeView1(), Qt::Key_Return); });
  EXPECT_EQ(picker.exec(), kDialogOk);
  EXPECT_EQ(picker.FolderName().toStdString(), dir.Path());
  test::AnswerNextModal([&](QWidget*) { test::SendKey(picker.Roots(), Qt::Key_Escape); });
  EXPECT_EQ(picker.exec(), kDialogCancel);
}

}  // namespace
}  // namespace tw
