// A new user's first session, through the real windows: the first-start
// wizard, adding, editing and deleting resources, an event that runs a
// program, and a second start that finds everything as it was left.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/FirstStartWizard.h"
#include "app/PingObject.h"
#include "charts/qt/DisplayResourceTable.h"
#include "controls/Bitmpbtn.h"
#include "dialogs/EditRes.h"
#include "dialogs/SetEvnt.h"
#include "platform/fake/OffsetClock.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

namespace tw {
namespace {

class FirstStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::EnsureQtApp();
    SetFirstStartWizardEnabled(true);
    setenv("TARNWICK_HOME", home.Path().c_str(), 1);
    std::filesystem::create_directories(share);
    std::ofstream(file, std::ios::binary) << std::string(10 * 1024, 'x');
  }
  void TearDown() override { SetFirstStartWizardEnabled(false); }

  // Runs `fill` in the next wizard that opens, once it has been painted.
  static void InWizard(std::function<void(TEditResource&)> fill) {
    test::AnswerNextModal([fill = std::move(fill)](QWidget* modal) {
      auto* wizard = qobject_cast<TEditResource*>(modal);
      ASSERT_NE(wizard, nullptr) << modal->metaObject()->className();
      ASSERT_TRUE(QTest::qWaitFor([&] { return wizard->Painted(); }, 5000));
      fill(*wizard);
    });
  }

  // Chooses the kind and the resource and finishes with Enter (no checks).
  static void AddWith(TPingObject& window, QRadioButton* (TEditResource::*kind)() const,
                      const std::string& resource) {
    InWizard([&](TEditResource& wizard) {
      (wizard.*kind)()->click();
      wizard.Path()->setText(QString::fromStdString(resource));
      QTest::keyClick(&wizard, Qt::Key_Return);
    });
    window.AddResourceClick();
  }

  test::TempDir home, data;
  const std::string share = data.File("share");
  const std::string file = data.File("disk.iso");
  OffsetClock clock;
};

TEST_F(FirstStartTest, ANewUserIsWalkedThroughAndFindsEverythingAsLeftAtTheNextStart) {
  auto window = std::make_unique<TPingObject>(clock);
  window->SetFlagWaitMs(0);
  int firstPage = -1, lastPage = -1;
  InWizard([&](TEditResource& wizard) {
    firstPage = wizard.PageIndex();
    lastPage = wizard.LastPage();
    wizard.Next()->click();  // Welcome -> Resource
    wizard.NetwDrive()->click();
    wizard.Path()->setText(QString::fromStdString(share));
    while (wizard.PageIndex() < wizard.LastPage()) wizard.Next()->click();
    EXPECT_EQ(wizard.CloseBtn()->text(), "&Finish");
    wizard.CloseBtn()->click();
  });
  window->show();  // the wizard opens once the window has started
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Table().ResourceCount() == 1; }, 10000));
  EXPECT_EQ(firstPage, TEditResource::kWelcome);
  EXPECT_EQ(lastPage, TEditResource::kFinish);
  EXPECT_FALSE(window->ParametersMissing());
  ResourceTable& table = window->Table();
  EXPECT_EQ(table.Cell(Col::Resource, 1), share);
  EXPECT_EQ(table.Cell(Col::Kind, 1), "1");
  EXPECT_EQ(table.Cell(Col::ReadColor, 1), "clLime");
  EXPECT_EQ(table.Cell(Col::WriteColor, 1), "clYellow");

  AddWith(*window, &TEditResource::CDROM, file);
  AddWith(*window, &TEditResource::IP, "127.0.0.1");
  ASSERT_EQ(table.ResourceCount(), 3);
  EXPECT_EQ(table.Cell(Col::ReadColor, 3), "clBlue");  // lime, yellow, aqua, fuchsia taken

  // Edit the host: an event that runs a program; the event bookkeeping is cleared.
  table.SetCell(Col::MinPerformed, 3, "1");
  table.SetCell(Col::MinSince, 3, "42");
  window->DisplayResourceTable()->SelectRow(3);
  QString loadedPath;
  InWizard([&](TEditResource& wizard) {
    loadedPath = wizard.Path()->text();
    wizard.MinSpeed()->setText("5");
    test::AnswerNextModal([](QWidget* modal) {
      auto* event = qobject_cast<TSetEvent*>(modal);
      ASSERT_NE(event, nullptr);
      event->RunPrgBtn()->click();
      event->RunFileName()->setText("/bin/true");
      event->OkBtn()->click();
    });
    wizard.MinSpeedEvent()->click();
    EXPECT_TRUE(wizard.PerformMinSpeed()->isChecked());
    QTest::keyClick(&wizard, Qt::Key_Return);
  });
  window->EditCurResourceBtn()->click();
  EXPECT_EQ(loadedPath, "127.0.0.1");
  EXPECT_EQ(table.Cell(Col::MinSpeed, 3), "5");
  EXPECT_EQ(table.Cell(Col::PerformMinSpeed, 3), "1");
  EXPECT_EQ(table.Cell(Col::MinAction, 3), "1");
  EXPECT_EQ(table.Cell(Col::MinCommand, 3), "/bin/true");
  EXPECT_EQ(table.Cell(Col::MinPerformed, 3), "");
  EXPECT_EQ(table.Cell(Col::MinSince, 3), "");

  // Delete the file (sampling never ran, so Delete is offered).
  window->DisplayResourceTable()->SelectRow(2);
  ASSERT_TRUE(window->DeleteBtn()->isEnabled());
  window->DeleteBtn()->click();
  ASSERT_EQ(table.ResourceCount(), 2);
  window.reset();

  auto again = std::make_unique<TPingObject>(clock);
  again->SetFlagWaitMs(0);
  test::ModalWatch watch;
  again->show();
  QTest::qWait(200);
  EXPECT_TRUE(watch.Seen().isEmpty()) << watch.Seen().join("; ").toStdString();
  EXPECT_FALSE(again->ParametersMissing());
  ResourceTable& saved = again->Table();
  ASSERT_EQ(saved.ResourceCount(), 2);
  EXPECT_EQ(saved.Cell(Col::Resource, 1), share);
  EXPECT_EQ(saved.Cell(Col::Resource, 2), "127.0.0.1");
  EXPECT_EQ(saved.Cell(Col::Kind, 2), "3");
  EXPECT_EQ(saved.Cell(Col::MinCommand, 2), "/bin/true");
  EXPECT_EQ(saved.Cell(Col::PerformMinSpeed, 2), "1");
  EXPECT_EQ(saved.Thread(2)->Settings().address, "127.0.0.1");
  EXPECT_TRUE(again->EditCurResourceBtn()->isEnabled());
}

TEST_F(FirstStartTest, ACancelledFirstStartAddsNothingAndIsNotAskedAgain) {
  auto window = std::make_unique<TPingObject>(clock);
  window->SetFlagWaitMs(0);
  bool opened = false;
  InWizard([&](TEditResource& wizard) {
    opened = true;
    QTest::keyClick(&wizard, Qt::Key_Escape);
  });
  window->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return opened; }, 10000));
  QTest::qWait(50);
  EXPECT_EQ(window->Table().ResourceCount(), 0);
  EXPECT_FALSE(window->ParametersMissing());
  EXPECT_FALSE(window->EditCurResourceBtn()->isEnabled());
  window.reset();
  // The close saved a file: the next start is no first start.
  EXPECT_TRUE(std::filesystem::exists(home.File("RAREDARI.INI")));
}

}  // namespace
}  // namespace tw
