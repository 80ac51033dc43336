// The event setup dialog: defaults, filling from a record and reading it
// back, the change rules (only after the first paint), keys, fonts, the
// Browse dialogs, the window list, and Test buttons that really run and
// close programs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "actions/ActionsTestSupport.h"
#include "actions/Player.h"
#include "dialogs/Help.h"
#include "dialogs/SetEvnt.h"
#include "dialogs/SpinEdit.h"
#include "dialogs/UsetURL.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"
#include "util/HelpIds.h"

namespace tw {
namespace {

// Shows the dialog and waits for its first paint, as a user would see it.
void ShowPainted(TSetEvent& dialog) {
  dialog.show();
  ASSERT_TRUE(test::WaitFor([&] { return dialog.Painted(); }, 5000));
}

// A sound device that only records what it was asked.
class RecordingSound final : public SoundDevice {
 public:
  explicit RecordingSound(std::vector<std::string>& opened) : opened_(opened) {}
  void Open(const std::string& file) override { opened_.push_back(file); }
  void Close() override {}
  void Play() override {}
  void Stop() override {}
  void Rewind() override {}
  int64_t LengthMs() const override { return 1000; }
  int64_t PositionMs() const override { return 0; }
  SoundMode Mode() const override { return SoundMode::Playing; }

 private:
  std::vector<std::string>& opened_;
};

class SetEventTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureQtApp(); }
  EventDialogServices Services(bool byFile = true) { return {{}, nullptr, byFile}; }
};

TEST_F(SetEventTest, AFreshRecordShowsItsDefaultsWithEveryTestButtonOff) {
  TSetEvent form(true, Services());
  EXPECT_EQ(form.PerfTimeBtn()->value(), 10);  // the form's own default
  TSetEvent dialog(true, Services());
  dialog.LoadRecord(NewEventRecord());
  ShowPainted(dialog);
  EXPECT_TRUE(dialog.PerfOnceBtn()->isChecked());
  EXPECT_EQ(dialog.PerfTimeBtn()->value(), 3);
  EXPECT_TRUE(dialog.PlaySoundBtn()->isChecked());
  EXPECT_TRUE(dialog.ResetCounter()->isChecked());
  for (QPushButton* test : {dialog.PlayTest(), dialog.RunTest(), dialog.CloseTest()}) {
    EXPECT_FALSE(test->isEnabled()) << test->objectName().toStdString();
  }
  EXPECT_EQ(dialog.windowTitle(), "Min speed action setup");
  EXPECT_EQ(dialog.ResetCounter()->text(), "Enable to perform max speed event after that.");
  TSetEvent max(false, Services());
  EXPECT_EQ(max.windowTitle(), "Max speed action setup");
  EXPECT_EQ(max.ResetCounter()->text(), "Enable to perform min speed event after that.");
}

TEST_F(SetEventTest, RecordTextsAreReadLenientlyAndFillingHasNoSideEffects) {
  struct Case {
    std::string once, timeout, kind, other;
    bool onceChecked;
    int seconds;
    const char* radio;
    bool otherChecked;
  };
  const Case cases[] = {
      {"1", "3", "0", "1", true, 3, "PlaySoundBtn", true},
      {"0", "250000", "1", "0", false, 100000, "RunPrgBtn", false},
      {"7", "12abc", "2", "2", true, 12, "ClosePrgBtn", false},
      {"x", "abc", "3", "", false, 0, "NotifyBtn", false},
      {"1", "3", "4", "", true, 3, "PlaySoundBtn", false},
      {"", "", "", "1 ", false, 0, "PlaySoundBtn", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.once + "/" + c.timeout + "/" + c.kind + "/" + c.other);
    EventRecord record{c.once, c.timeout, c.kind, c.other, "s.wav", "prog", "/tmp", "f", "t", "n"};
    TSetEvent dialog(true, Services());
    dialog.LoadRecord(record);
    ShowPainted(dialog);
    EXPECT_EQ(dialog.PerfOnceBtn()->isChecked(), c.onceChecked);
    EXPECT_EQ(dialog.PerfTimeBtn()->value(), c.seconds);
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(c.radio)->isChecked());
    EXPECT_EQ(dialog.ResetCounter()->isChecked(), c.otherChecked);
    // Loaded texts enable no Test button and choose no other action.
    EXPECT_FALSE(dialog.PlayTest()->isEnabled());
    EXPECT_FALSE(dialog.RunTest()->isEnabled());
    EXPECT_FALSE(dialog.CloseTest()->isEnabled());
    EXPECT_FALSE(dialog.NotifyTest()->isEnabled());
    EXPECT_EQ(dialog.RunFileName()->text(), "prog");
    EXPECT_EQ(dialog.NotifyText()->text(), "n");
    EXPECT_EQ(dialog.SavedRecord()[etNotifyText], "n");
  }
}

TEST_F(SetEventTest, EditingAFieldChoosesItsActionAndSwitchesItsTestButton) {
  TSetEvent dialog(true, Services());
  dialog.LoadRecord(NewEventRecord());
  ShowPainted(dialog);
  QTest::keyClicks(dialog.RunFileName(), "notepad");
  EXPECT_TRUE(dialog.RunPrgBtn()->isChecked());
  EXPECT_TRUE(dialog.RunTest()->isEnabled());
  dialog.RunFileName()->clear();
  EXPECT_FALSE(dialog.RunTest()->isEnabled());
  EXPECT_TRUE(dialog.RunPrgBtn()->isChecked());  // the choice stays

  QTest::keyClicks(dialog.NotifyText(), "Link down");
  EXPECT_TRUE(dialog.NotifyBtn()->isChecked());
  EXPECT_TRUE(dialog.NotifyTest()->isEnabled());
  EXPECT_EQ(dialog.SavedRecord()[etActionKind], "3");
  EXPECT_TRUE(HasActionTarget(dialog.SavedRecord()));

  QTest::keyClicks(dialog.PlayFileName(), "a.wav");
  EXPECT_TRUE(dialog.PlaySoundBtn()->isChecked());
  EXPECT_TRUE(dialog.PlayTest()->isEnabled());

  QTest::keyClicks(dialog.CloseFileName(), "/usr/bin/xterm");
  EXPECT_TRUE(dialog.ClosePrgBtn()->isChecked());
  EXPECT_TRUE(dialog.CloseTest()->isEnabled());
  dialog.PlaySoundBtn()->click();
  QTest::keyClicks(dialog.WinTitle(), "Editor");
  EXPECT_TRUE(dialog.ClosePrgBtn()->isChecked());
  // The field that became empty switches the button off, even with the
  // other one still filled.
  dialog.WinTitle()->clear();
  EXPECT_FALSE(dialog.CloseTest()->isEnabled());
  EXPECT_FALSE(dialog.CloseFileName()->text().isEmpty());
}

TEST_F(SetEventTest, OkGivesTheRecordAndCancelKeepsIt) {
  EventRecord record = NewEventRecord();
  test::AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<TSetEvent*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->PerfOnceBtn()->setChecked(false);
    dialog->ResetCounter()->setChecked(false);
    dialog->ClosePrgBtn()->click();
    dialog->PerfTimeBtn()->selectAll();
    QTest::keyClicks(dialog->PerfTimeBtn(), "37");
    dialog->OkBtn()->click();
  });
  EXPECT_TRUE(EditEventRecord(record, true, Services()));
  // Every text comes back; an action kind is stored even with nothing to act on.
  const EventRecord expected{"0", "37", "2", "0", "", "", "", "", ""};
  EXPECT_EQ(record, expected);
  EXPECT_FALSE(HasActionTarget(record));

  const EventRecord before = record;
  test::AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<TSetEvent*>(modal);
    QTest::keyClicks(dialog->RunFileName(), "changed");
    test::SendKey(dialog->RunFileName(), Qt::Key_Escape);
  });
  EXPECT_FALSE(EditEventRecord(record, true, Services()));
  EXPECT_EQ(record, before);
}

TEST_F(SetEventTest, KeysReachTheWindowBeforeItsControls) {
  struct Case {
    const char* control;
    int key;
    int result;
  };
  const Case cases[] = {
      {"CancelBtn", Qt::Key_Return, kDialogOk},    {"RunFileName", Qt::Key_Enter, kDialogOk},
      {"PerfTimeBtn", Qt::Key_Return, kDialogOk},  {"OkBtn", Qt::Key_Escape, kDialogCancel},
      {"WinTitle", Qt::Key_Escape, kDialogCancel},
  };
  for (const Case& c : cases) {
    TSetEvent dialog(true, Services());
    test::AnswerNextModal([&](QWidget*) {
      QWidget* control = dialog.findChild<QWidget*>(c.control);
      // A spin edit's keys arrive at its line edit.
      if (auto* spin = qobject_cast<TSpinEdit*>(control)) control = spin->findChild<QLineEdit*>();
      test::SendKey(control, c.key);
    });
    EXPECT_EQ(dialog.exec(), c.result) << c.control;
  }
}

TEST_F(SetEventTest, ATimeoutOutsideItsRangeIsBroughtIntoRange) {
  TSetEvent dialog(true, Services());
  ShowPainted(dialog);
  dialog.PerfTimeBtn()->setFocus();
  dialog.PerfTimeBtn()->selectAll();
  QTest::keyClicks(dialog.PerfTimeBtn(), "250000");
  // The spin edit loses the focus (sent, so that it does not depend on which
  // window the desktop made active).
  QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(dialog.PerfTimeBtn(), &focusOut);
  EXPECT_EQ(dialog.PerfTimeBtn()->value(), 100000);
  EXPECT_EQ(dialog.PerfTimeBtn()->text(), "100000");

  // Enter right after typing: OK reads the value in range.
  EventRecord record = NewEventRecord();
  test::AnswerNextModal([](QWidget* modal) {
    auto* dialog = qobject_cast<TSetEvent*>(modal);
    dialog->PerfTimeBtn()->setFocus();
    dialog->PerfTimeBtn()->selectAll();
    QTest::keyClicks(dialog->PerfTimeBtn(), "999999");
    test::SendKey(dialog->PerfTimeBtn(), Qt::Key_Return);
  });
  ASSERT_TRUE(EditEventRecord(record, true, Services()));
  EXPECT_EQ(record[etTimeout], "100000");
}

TEST_F(SetEventTest, WithoutTheProcessListOnlyTheWindowTitleIsOffered) {
  for (const bool byFile : {true, false}) {
    TSetEvent dialog(true, Services(byFile));
    ShowPainted(dialog);
    for (QWidget* control :
         {static_cast<QWidget*>(dialog.CloseFileLbl()),
          static_cast<QWidget*>(dialog.CloseFileName()),
          static_cast<QWidget*>(dialog.CloseBrowse()), static_cast<QWidget*>(dialog.ORLabel())}) {
      EXPECT_EQ(control->isVisible(), byFile) << control->objectName().toStdString();
    }
    EXPECT_TRUE(dialog.WinTitle()->isVisible());
    EXPECT_TRUE(dialog.WinTitleBrowse()->isVisible());
  }
}

TEST_F(SetEventTest, ThePreferencesFontsAreTakenWhenShown) {
  WindowParameters preferences;
  preferences.dialogFont = {"DejaVu Sans", 13, false, false, clNavy};
  preferences.editLineFont = {"DejaVu Sans", 11, false, true, clMaroon};
  TSetEvent dialog(true, Services(), nullptr, &preferences);
  EXPECT_NE(dialog.font().pointSize(), 13);  // not before it is shown
  ShowPainted(dialog);
  EXPECT_EQ(dialog.font().pointSize(), 13);
  EXPECT_EQ(dialog.OkBtn()->font().pointSize(), 13);
  for (QWidget* edit :
       {static_cast<QWidget*>(dialog.PerfTimeBtn()), static_cast<QWidget*>(dialog.PlayFileName()),
        static_cast<QWidget*>(dialog.RunFileName()), static_cast<QWidget*>(dialog.RunDirectory()),
        static_cast<QWidget*>(dialog.CloseFileName()), static_cast<QWidget*>(dialog.WinTitle())}) {
    EXPECT_EQ(edit->font().pointSize(), 11) << edit->objectName().toStdString();
    EXPECT_TRUE(edit->font().italic());
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0x80, 0, 0));
  }
}

TEST_F(SetEventTest, BrowseOffersItsFilterAndTheChosenFileRunsTheChangeRule) {
  test::TempDir dir;
  const std::string sound = dir.File("ring.wav");
  std::ofstream(sound) << "RIFF";
  TSetEvent dialog(true, Services());
  ShowPainted(dialog);
  QStringList filters;
  // Answered from inside the file dialog's own loop, however long it takes
  // to come up; a dialog that did not take the file is closed, so the test
  // fails instead of waiting.
  QObject::connect(&dialog, &TSetEvent::FileDialogOpened, [&](QFileDialog* files) {
    filters = files->nameFilters();
    files->setDirectory(QString::fromStdString(dir.Path()));
    QTimer::singleShot(0, files, [files, sound] {
      files->selectFile(QString::fromStdString(sound));
      QMetaObject::invokeMethod(files, "accept");
      if (files->isVisible()) files->reject();
    });
  });
  dialog.PlayBrowse()->click();
  EXPECT_EQ(filters, QStringList({"Sound files (*.wav)", "All files (*)"}));
  EXPECT_EQ(dialog.PlayFileName()->text().toStdString(), sound);
  EXPECT_TRUE(dialog.PlayTest()->isEnabled());

  QObject::disconnect(&dialog, &TSetEvent::FileDialogOpened, nullptr, nullptr);
  QObject::connect(&dialog, &TSetEvent::FileDialogOpened, [&](QFileDialog* files) {
    filters = files->nameFilters();
    QTimer::singleShot(0, files, [files] { files->reject(); });
  });
  dialog.RunBrowse()->click();
  EXPECT_EQ(filters, QStringList({"Program files (*.exe)", "All files (*)"}));
  EXPECT_TRUE(dialog.RunFileName()->text().isEmpty());  // cancelled: unchanged
}

TEST_F(SetEventTest, HelpButtonF1AndContextNumbers) {
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (bin == nullptr) GTEST_SKIP() << "TARNWICK_BIN_DIR is not set";
  THelp help;
  help.SetHelpFile(QString(bin) + "/TARNWICK.HLP");
  TSetEvent dialog(true, Services());
  ShowPainted(dialog);
  dialog.BtnHelp()->click();
  EXPECT_EQ(help.CurrentTopic(), "PerfActDialog");
  help.Quit();
  test::SendKey(dialog.RunFileName(), Qt::Key_F1);
  EXPECT_EQ(help.CurrentTopic(), "PerfActDialog");
  const std::pair<const char*, int> contexts[] = {
      {"PerfOnceBtn", 303}, {"ResetCounter", 305}, {"PlaySoundBtn", 306}, {"PlayBrowse", 308},
      {"PlayTest", 309},    {"RunTest", 309},      {"CloseTest", 309},    {"RunPrgBtn", 310},
      {"RunBrowse", 311},   {"CloseBrowse", 311},  {"ClosePrgBtn", 313},  {"WinTitleBrowse", 315},
      {"CancelBtn", 117},   {"OkBtn", 119},        {"BtnHelp", 120}};
  for (const auto& [name, context] : contexts) {
    EXPECT_EQ(HelpContextOf(dialog.findChild<QWidget*>(name)), context) << name;
  }
  help.Quit();
}

TEST_F(SetEventTest, PlayTestPlaysTheFileInTheShownPlayer) {
  std::vector<std::string> opened;
  TPlayer player(std::make_unique<RecordingSound>(opened));
  EventDialogServices services{[&]() -> TPlayer& { return player; }, nullptr, true};
  TSetEvent dialog(true, services);
  ShowPainted(dialog);
  dialog.RunPrgBtn()->click();
  QTest::keyClicks(dialog.PlayFileName(), "ring.wav");
  bool shown = false;
  test::AnswerNextModal([&](QWidget* modal) {
    shown = modal == &player;
    player.close();
  });
  dialog.PlayTest()->click();
  EXPECT_TRUE(shown);
  EXPECT_EQ(opened, std::vector<std::string>{"ring.wav"});
  EXPECT_TRUE(test::WaitFor([&] { return dialog.PlaySoundBtn()->isChecked(); }, 5000));
}

TEST_F(SetEventTest, RunTestStartsTheProgramInItsFolder) {
  test::TempDir dir;
  const QString before = QDir::currentPath();
  TSetEvent dialog(true, Services());
  ShowPainted(dialog);
  QTest::keyClicks(dialog.RunFileName(), "touch made-by-test");
  dialog.RunDirectory()->setText(QString::fromStdString(dir.Path()));
  dialog.PlaySoundBtn()->click();
  dialog.RunTest()->click();
  EXPECT_TRUE(
      test::WaitFor([&] { return std::filesystem::exists(dir.File("made-by-test")); }, 10000));
  // The tested action becomes the chosen one once the posted click arrives.
  EXPECT_TRUE(test::WaitFor([&] { return dialog.RunPrgBtn()->isChecked(); }, 5000));
  QDir::setCurrent(before);
}

class SetEventDesktopTest : public SetEventTest {
 protected:
  void SetUp() override {
    SetEventTest::SetUp();
    if (!test::HaveDisplay()) GTEST_SKIP() << "no X server (DISPLAY is not set)";
    windows_ = OpenTopWindows();
    if (!windows_->Available()) GTEST_SKIP() << "the X server cannot be reached";
  }
  std::string Title(const char* what) const {
    return std::string("SetEvent ") + what + " " + std::to_string(getpid());
  }
  std::unique_ptr<TopWindows> windows_;
  test::TempDir dir_;
};

TEST_F(SetEventDesktopTest, CloseTestWithOnlyATitleClosesThatWindow) {
  const std::string title = Title("closing");
  test::Child child(test::TestProgram("tw_close_window"),
                    {QString::fromStdString(title), QString::fromStdString(dir_.File("closed"))});
  ASSERT_TRUE(test::WaitForWindow(*windows_, title));
  TSetEvent dialog(true, {{}, windows_.get(), false});
  ShowPainted(dialog);
  QTest::keyClicks(dialog.WinTitle(), QString::fromStdString(title.substr(0, 12)));
  dialog.PlaySoundBtn()->click();
  dialog.CloseTest()->click();
  EXPECT_TRUE(child.WaitFinished(10000));
  EXPECT_EQ(test::RecordLines(dir_.File("closed")).size(), 1u);
  EXPECT_TRUE(test::WaitFor([&] { return dialog.ClosePrgBtn()->isChecked(); }, 5000));
}

TEST_F(SetEventDesktopTest, TheWindowListOffersTheOpenWindowsTitles) {
  const std::string title = Title("listed");
  test::Child child(test::TestProgram("tw_close_window"),
                    {QString::fromStdString(title), QString::fromStdString(dir_.File("closed"))});
  ASSERT_TRUE(test::WaitForWindow(*windows_, title));
  TSetEvent dialog(true, {{}, windows_.get(), false});
  ShowPainted(dialog);
  QString caption, header;
  test::AnswerNextModal([&](QWidget* modal) {
    auto* list = qobject_cast<TSetURL*>(modal);
    ASSERT_NE(list, nullptr);
    caption = list->windowTitle();
    header = list->URLList()->horizontalHeaderItem(0)->text();
    const auto found = list->URLList()->findItems(QString::fromStdString(title), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->URLList()->selectRow(found.first()->row());
    list->Button1()->click();
  });
  dialog.WinTitleBrowse()->click();
  EXPECT_EQ(caption, "List of windows");
  EXPECT_EQ(header, "Window Title");
  EXPECT_EQ(dialog.WinTitle()->text().toStdString(), title);
  EXPECT_TRUE(dialog.CloseTest()->isEnabled());
}

}  // namespace
}  // namespace tw
