// The resource wizard as a user meets it: the colours of a new resource, the
// host proposal and the small-file note through the real message dialog, the
// page and kind rules in both modes, edit mode loading the row when the
// window first appears, the event buttons, the dial-up settings of a first
// start, and typed input that is empty, huge or broken.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <deque>
#include <filesystem>
#include <fstream>

#include "app/DialUpTimer.h"
#include "controls/MyCntrl.h"
#include "dialogs/ColorSwatch.h"
#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/EditRes.h"
#include "dialogs/Help.h"
#include "dialogs/Msgdlg.h"
#include "dialogs/SpinEdit.h"
#include "dialogs/UsetURL.h"
#include "dialogs/Usetdrv.h"
#include "support/HomeSandbox.h"
#include "support/QtTestApp.h"
#include "util/HelpIds.h"

namespace tw {
namespace {

// Answers the messages of the wizard's message dialog in order, each once it
// is shown; a message nobody expected is recorded and answered "No", so a
// test never hangs on it.
class MessageAnswers {
 public:
  explicit MessageAnswers(TMsgDialog& dialog) : dialog_(dialog) {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
    poll_.start(5);
  }
  // The next message is answered with its OkBtn ("Yes") or CancelBtn ("No");
  // `neverShow` checks "&Never show this note" first.
  MessageAnswers& Then(bool yes, bool neverShow = false) {
    answers_.push_back({yes, neverShow});
    return *this;
  }
  // "title|text" of every message shown.
  const QStringList& Seen() const { return seen_; }

 private:
  struct Answer {
    bool yes = false;
    bool neverShow = false;
  };
  void Poll() {
    if (!dialog_.isVisible()) return;
    seen_.append(dialog_.windowTitle() + "|" + dialog_.MessageTxt()->toPlainText());
    const Answer answer = answers_.empty() ? Answer{} : answers_.front();
    if (!answers_.empty()) answers_.pop_front();
    if (answer.neverShow) dialog_.NeverAsk()->setChecked(true);
    (answer.yes ? dialog_.OkBtn() : dialog_.CancelBtn())->click();
  }

  TMsgDialog& dialog_;
  QTimer poll_;
  std::deque<Answer> answers_;
  QStringList seen_;
};

// Runs `answer` on the next modal window of type T (the wizard itself is
// modal too, so the generic helper would find it first).
template <typename T>
void AnswerModalOf(std::function<void(T*)> answer) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    if (modal == nullptr) return;
    poll->stop();
    poll->deleteLater();
    answer(modal);
  });
  poll->start(5);
}

// The desktop of the dial-up timer's keeper: no windows, no buttons.
class NoWindows final : public TopWindows {
 public:
  bool Available() const override { return false; }
  std::vector<TopWindow> List() override { return {}; }
  void RequestClose(uint64_t) override {}
};
class NoButtons final : public AccessibleButtons {
 public:
  bool Available() const override { return false; }
  void PostPress(int64_t, const std::string&, const std::string&) override {}
  bool WaitIdle(int) override { return true; }
};

struct QtFirst {
  QtFirst() { test::EnsureQtApp(); }
};

class EditResTest : public ::testing::Test {
 protected:
  WizardContext Context() {
    WizardContext context;
    context.table = &table;
    context.msgDialog = &messages;
    context.userKnownCDFileSize = &userKnown;
    context.randomPart = [] { return 0; };
    return context;
  }
  // A wizard as the main window opens it: shown, and painted once.
  std::unique_ptr<TEditResource> Open(WizardContext context) {
    auto wizard = std::make_unique<TEditResource>(std::move(context));
    wizard->show();
    EXPECT_TRUE(test::WaitFor([&] { return wizard->Painted(); }, 20000));
    return wizard;
  }
  std::string WriteFile(const std::string& name, size_t bytes) {
    const std::string path = dir.File(name);
    std::ofstream(path, std::ios::binary) << std::string(bytes, 'x');
    return path;
  }

  QtFirst qt;
  test::HomeSandbox home;  // no bookmarks; a home folder of the test's own
  test::TempDir dir;
  ResourceTable table;
  TMsgDialog messages;
  MessageAnswers answers{messages};
  bool userKnown = false;
};

void UseColors(ResourceTable& table, const std::vector<ColorValue>& colors) {
  table.SetRowCount(static_cast<int>(colors.size() + 1) / 2 + 1);
  for (size_t i = 0; i < colors.size(); ++i) {
    const int column = i % 2 == 0 ? Col::WriteColor : Col::ReadColor;
    table.SetCell(column, static_cast<int>(i / 2) + 1, ColorToString(colors[i]));
  }
}

ColorValue Rgb(int red, int green, int blue) {
  return red | (green << 8) | (blue << 16);
}

TEST_F(EditResTest, ANewResourceGetsTheFirstTwoFreeColours) {
  struct Case {
    const char* name;
    std::vector<ColorValue> used;
    std::vector<int> randomParts;
    ColorValue read, write;
  };
  const Case cases[] = {
      {"empty table", {}, {}, clLime, clYellow},
      {"lime and yellow in use", {clYellow, clLime}, {}, clAqua, clFuchsia},
      {"read and write colours both count",
       {clLime, clRed, clAqua, clAqua},
       {},
       clYellow,
       clFuchsia},
      // Only white is left: it is the read colour, the write colour random.
      {"one left",
       {clLime, clYellow, clAqua, clFuchsia, clBlue, clPurple, clRed, clSilver},
       {1, 2, 3},
       clWhite,
       Rgb(129, 130, 131)},
      // None left: the read colour is drawn again until it differs.
      {"none left",
       {clLime, clYellow, clAqua, clFuchsia, clBlue, clPurple, clRed, clSilver, clWhite},
       {5, 5, 5, 5, 5, 5, 7, 8, 126},
       Rgb(135, 136, 254),
       Rgb(133, 133, 133)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    table.SetRowCount(1);
    UseColors(table, c.used);
    WizardContext context = Context();
    auto parts = std::make_shared<std::deque<int>>(c.randomParts.begin(), c.randomParts.end());
    context.randomPart = [parts] {
      const int part = parts->empty() ? 0 : parts->front();
      if (!parts->empty()) parts->pop_front();
      return part;
    };
    auto wizard = Open(context);
    EXPECT_EQ(wizard->windowTitle(), "Adding new resource");
    EXPECT_EQ(wizard->ReadColor()->Color(), c.read);
    EXPECT_EQ(wizard->WriteColor()->Color(), c.write);
    EXPECT_EQ(wizard->Result().readColor, c.read);
    EXPECT_EQ(wizard->Result().writeColor, c.write);
  }
}

TEST_F(EditResTest, AnAddressWithSlashesIsOfferedItsHost) {
  struct Case {
    const char* typed;
    bool yes;
    const char* proposal;
    const char* after;
  };
  const Case cases[] = {
      {"http://www.example.com/index.html", true, "www.example.com", "www.example.com"},
      {"http://www.example.com/index.html", false, "www.example.com",
       "http://www.example.com/index.html"},
      {"www.example.com/folder", true, "folder", "folder"},
      {"ftp://192.0.2.7//pub/", true, "192.0.2.7", "192.0.2.7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    auto wizard = Open(Context());
    wizard->Path()->setText(c.typed);
    answers.Then(c.yes);
    const int before = answers.Seen().size();
    wizard->Next()->click();
    ASSERT_EQ(answers.Seen().size(), before + 1);
    EXPECT_EQ(answers.Seen().last(),
              QString("Warning|Address:\n%1\n\ncan be:\n%2\n\nDo you want to "
                      "replace it?")
                  .arg(c.typed, c.proposal));
    EXPECT_EQ(wizard->Path()->text(), c.after);
    EXPECT_EQ(wizard->PageIndex(), TEditResource::kColor);  // either answer goes on
  }
  // An address without a slash is not asked about.
  auto wizard = Open(Context());
  wizard->Path()->setText("192.0.2.1");
  wizard->Next()->click();
  EXPECT_EQ(answers.Seen().size(), 4);
  EXPECT_EQ(wizard->PageIndex(), TEditResource::kColor);
}

TEST_F(EditResTest, AnEmptyResourceIsRefusedWithAMessage) {
  // "host/" proposes nothing; taking it would leave no resource at all.
  auto wizard = Open(Context());
  wizard->Path()->setText("host/");
  answers.Then(true).Then(true);
  wizard->Next()->click();
  ASSERT_EQ(answers.Seen().size(), 2);
  EXPECT_TRUE(answers.Seen()[0].contains("can be:\n\n\nDo you want"));
  EXPECT_EQ(
      answers.Seen()[1],
      "Warning|\nNo resource is given.\nPlease type a folder, a file or an Internet address.");
  EXPECT_EQ(wizard->PageIndex(), TEditResource::kResource);
  // Blanks are no resource either, neither for Next nor for Enter.
  wizard->Path()->setText("   ");
  answers.Then(true).Then(true);
  wizard->Next()->click();
  test::SendKey(wizard->Path(), Qt::Key_Return);
  EXPECT_EQ(answers.Seen().size(), 4);
  EXPECT_TRUE(wizard->isVisible());
  // Finishing from a later page leads back to the Resource page.
  wizard->Path()->setText("192.0.2.1");
  wizard->Next()->click();
  wizard->Next()->click();
  wizard->Path()->clear();
  answers.Then(true);
  test::SendKey(wizard->PingDelay(), Qt::Key_Return);
  EXPECT_EQ(answers.Seen().size(), 5);
  EXPECT_TRUE(wizard->isVisible());
  EXPECT_EQ(wizard->PageIndex(), TEditResource::kResource);
}

TEST_F(EditResTest, HugeAndBrokenTextsAreShownCutAndStoredOnOneLine) {
  auto wizard = Open(Context());
  const QString huge = "http://" + QString(10000, 'h') + "/page";
  wizard->Path()->setText(huge);
  answers.Then(false);
  wizard->Next()->click();
  ASSERT_EQ(answers.Seen().size(), 1);
  const QString shown = answers.Seen()[0].section('|', 1);
  EXPECT_LE(shown.size(), 255);
  EXPECT_TRUE(shown.endsWith("Do you want to replace it?"));
  EXPECT_EQ(wizard->Path()->text(), huge);

  wizard->Path()->setText(
      "host\nname\twith\x01"
      "controls");
  test::SendKey(wizard->Path(), Qt::Key_Return);
  EXPECT_EQ(wizard->result(), kDialogOk);
  ResourceTable filled;
  filled.SetRowCount(2);
  FillRowFromWizard(filled, 1, wizard->Result());
  EXPECT_EQ(filled.Cell(Col::Resource, 1), "host name with controls");
}

// The page each click leads to, and what the buttons say there.
struct PageStep {
  const char* click;  // "next", "previous" or "" for the first page shown
  int page;
  bool previousEnabled, nextEnabled;
  const char* closeCaption;
};

TEST_F(EditResTest, PagesAndButtonsInShortAndFirstStartMode) {
  const std::vector<PageStep> shortMode = {
      {"", 1, true, true, "&Cancel"},          {"next", 2, true, true, "&Cancel"},
      {"next", 3, true, true, "&Cancel"},      {"next", 4, true, false, "&Finish"},
      {"previous", 3, true, true, "&Cancel"},  {"previous", 2, true, true, "&Cancel"},
      {"previous", 1, true, true, "&Cancel"},  {"previous", 0, false, true, "&Cancel"},
      {"previous", 0, false, true, "&Cancel"}, {"next", 1, true, true, "&Cancel"}};
  const std::vector<PageStep> firstStart = {
      {"", 0, false, true, "&Cancel"},    {"next", 1, true, true, "&Cancel"},
      {"next", 2, true, true, "&Cancel"}, {"next", 3, true, true, "&Cancel"},
      {"next", 4, true, true, "&Cancel"}, {"next", 5, true, true, "&Cancel"},
      {"next", 6, true, false, "&Finish"}};
  for (const bool first : {false, true}) {
    SCOPED_TRACE(first ? "first start" : "short mode");
    WizardContext context = Context();
    context.firstStart = first;
    auto wizard = Open(context);
    EXPECT_EQ(wizard->LastPage(), first ? 6 : 4);
    for (const PageStep& step : first ? firstStart : shortMode) {
      if (std::string(step.click) == "next") wizard->Next()->click();
      if (std::string(step.click) == "previous") wizard->PreviosClick();
      EXPECT_EQ(wizard->PageIndex(), step.page);
      EXPECT_EQ(wizard->Notebook1()->currentIndex(), step.page);
      EXPECT_EQ(wizard->Previos()->isEnabled(), step.previousEnabled) << step.page;
      EXPECT_EQ(wizard->Next()->isEnabled(), step.nextEnabled) << step.page;
      EXPECT_EQ(wizard->CloseBtn()->text(), step.closeCaption) << step.page;
    }
    // On the last page the close button finishes; elsewhere it cancels.
    while (wizard->PageIndex() < wizard->LastPage()) wizard->Next()->click();
    wizard->CloseBtn()->click();
    EXPECT_EQ(wizard->result(), kDialogOk);
    auto other = Open(context);
    other->CloseBtn()->click();
    EXPECT_EQ(other->result(), kDialogCancel);
  }
  EXPECT_TRUE(answers.Seen().isEmpty());
}

TEST_F(EditResTest, TheKindDecidesHintColourRowAndPanels) {
  userKnown = true;  // no size note for the read-only file here
  struct Case {
    const char* radio;
    const char* hintStart;
    bool writeRow;
    const char* readLabel;
    bool sizePanel, timeoutPanel;
  };
  const Case cases[] = {
      {"NetwDrive", "Select a file server directory", true, "Read Color :", true, false},
      {"CDROM", "If you have read only network permission", false, "Read Color :", false, false},
      {"IP",
       "Type address of an Internet host. It can be or IP address: 192.0.2.1 or an URL like: "
       "http://www.example.com/index.html",
       false, "Ping Color :", true, true},
      {"WebPage", "Type the whole address of a web page or file", false, "Read Color :", true,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radio);
    auto wizard = Open(Context());
    wizard->findChild<QRadioButton*>(c.radio)->click();
    EXPECT_TRUE(wizard->Page2_Topic()->text().startsWith(c.hintStart));
    const bool addressKind = std::string(c.radio) == "IP" || std::string(c.radio) == "WebPage";
    EXPECT_EQ(wizard->Browse()->isVisible(), !addressKind);  // no bookmarks
    // The fixed-size window shows the whole hint under the four kinds.
    QCoreApplication::processEvents();  // the new text's layout
    const QLabel* topic = wizard->Page2_Topic();
    EXPECT_GE(topic->height(), topic->heightForWidth(topic->width()));
    EXPECT_LE(topic->geometry().bottom(), topic->parentWidget()->height());
    wizard->Next()->click();
    ASSERT_EQ(wizard->PageIndex(), TEditResource::kColor);
    EXPECT_EQ(wizard->LabelWriteColor()->isVisible(), c.writeRow);
    EXPECT_EQ(wizard->WriteColor()->isVisible(), c.writeRow);
    EXPECT_EQ(wizard->SetWriteColor()->isVisible(), c.writeRow);
    EXPECT_TRUE(wizard->ReadColor()->isVisible());
    EXPECT_EQ(wizard->LabelReadColor()->text(), c.readLabel);
    wizard->Next()->click();
    EXPECT_EQ(wizard->SizeofPacketPanel()->isVisible(), c.sizePanel);
    EXPECT_EQ(wizard->TimeoutPanel()->isVisible(), c.timeoutPanel);
  }
  // "Defines automatically" switches the size field off.
  auto wizard = Open(Context());
  EXPECT_FALSE(wizard->SizeOfPacket()->isEnabled());
  wizard->DefAuto()->click();
  EXPECT_TRUE(wizard->SizeOfPacket()->isEnabled());
  EXPECT_FALSE(wizard->Result().autoSize);
}

TEST_F(EditResTest, WithBookmarksTheHostKindOffersTheListAndBrowseTakesAnAddress) {
  home.Write(".netscape/bookmarks.html", "<DT><A HREF=\"http://bookmarked.example/\">Mark</A>\r\n");
  auto wizard = Open(Context());
  EXPECT_TRUE(wizard->Browse()->isVisible());
  AnswerModalOf<TSetURL>([](TSetURL* list) { list->Button1()->click(); });
  wizard->Browse()->click();
  EXPECT_EQ(wizard->Path()->text(), "http://bookmarked.example/");
}

TEST_F(EditResTest, TheWebKindKeepsTheWholeAddressAndTakesLargeSizes) {
  home.Write(".netscape/bookmarks.html",
             "<DT><A HREF=\"http://bookmarked.example/files/big.bin\">Big</A>\r\n");
  auto wizard = Open(Context());
  wizard->WebPage()->click();
  EXPECT_TRUE(wizard->Browse()->isVisible());
  AnswerModalOf<TSetURL>([](TSetURL* list) { list->Button1()->click(); });
  wizard->Browse()->click();
  EXPECT_EQ(wizard->Path()->text(), "http://bookmarked.example/files/big.bin");
  wizard->Next()->click();
  EXPECT_TRUE(answers.Seen().isEmpty());  // no host proposal
  EXPECT_EQ(wizard->Path()->text(), "http://bookmarked.example/files/big.bin");
  wizard->Next()->click();
  ASSERT_EQ(wizard->PageIndex(), TEditResource::kFrequence);
  wizard->DefAuto()->click();
  wizard->SizeOfPacket()->SetValueText("4000000");
  const WizardResult result = wizard->Result();
  EXPECT_EQ(result.kind, ResourceKind::Web);
  EXPECT_EQ(result.packetSize, "4000000");
  EXPECT_FALSE(result.autoSize);

  // Edited again, the row's kind "4" and its size come back as they were.
  table.SetRowCount(2);
  FillRowFromWizard(table, 1, result);
  EXPECT_EQ(table.Cell(Col::Kind, 1), "4");
  WizardContext context = Context();
  context.editRow = 1;
  auto edited = Open(context);
  ASSERT_TRUE(test::WaitFor([&] { return edited->windowTitle() == "Editing resource"; }, 20000));
  EXPECT_TRUE(edited->WebPage()->isChecked());
  EXPECT_EQ(edited->SizeOfPacket()->value(), 4000000);
  // The other kinds keep the echo's largest size.
  edited->IP()->click();
  EXPECT_EQ(edited->SizeOfPacket()->value(), 64512);
}

TEST_F(EditResTest, ASmallReadOnlyFileIsQuestioned) {
  const std::string small = WriteFile("small.iso", 10 * 1024);
  struct Case {
    bool yes, neverShow;
    int page;
  };
  const Case cases[] = {{false, false, 1}, {true, false, 2}, {false, true, 1}};
  for (const Case& c : cases) {
    userKnown = false;
    messages.NeverAsk()->setChecked(false);
    auto wizard = Open(Context());
    wizard->CDROM()->click();
    wizard->Path()->setText(QString::fromStdString(small));
    answers.Then(c.yes, c.neverShow);
    wizard->Next()->click();
    ASSERT_FALSE(answers.Seen().isEmpty());
    EXPECT_EQ(answers.Seen().last(),
              "Warning|The file has size 10 KB.\n\nFor prevent reading the file from the Windows "
              "Cache, you need a choice of a file with the size at least 3000 KB.\n\nDo you want "
              "to proceed?");
    EXPECT_EQ(wizard->PageIndex(), c.page);
    EXPECT_EQ(userKnown, c.neverShow);
  }
  // Once the note is not wanted, the size is not checked again.
  const int shown = answers.Seen().size();
  auto wizard = Open(Context());
  wizard->CDROM()->click();
  wizard->Path()->setText(QString::fromStdString(small));
  wizard->Next()->click();
  EXPECT_EQ(answers.Seen().size(), shown);
  EXPECT_EQ(wizard->PageIndex(), TEditResource::kColor);
}

TEST_F(EditResTest, FilesThatCannotBeMeasuredAreNamedAndLargeOnesPass) {
  std::filesystem::create_directories(dir.File("folder"));
  struct Case {
    std::string path;
    const char* message;  // empty: none
  };
  const Case cases[] = {
      {dir.File("missing.iso"), "Warning|\nFile access error!\nThe file does not exist."},
      {dir.File("folder"), "Warning|\nFile access error!\nThis is not a file."},
      {WriteFile("empty.iso", 0), "Warning|The file has size 0 KB."},
      {WriteFile("large.iso", 3000 * 1024), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    auto wizard = Open(Context());
    wizard->CDROM()->click();
    wizard->Path()->setText(QString::fromStdString(c.path));
    answers.Then(true);
    const int before = answers.Seen().size();
    wizard->Next()->click();
    if (*c.message == '\0') {
      EXPECT_EQ(answers.Seen().size(), before);
    } else {
      ASSERT_EQ(answers.Seen().size(), before + 1);
      EXPECT_TRUE(answers.Seen().last().startsWith(c.message))
          << answers.Seen().last().toStdString();
    }
    EXPECT_EQ(wizard->PageIndex(), TEditResource::kColor);  // the wizard goes on
  }
}

TEST_F(EditResTest, EnterOnTheResourcePageFinishesWithoutTheSizeNote) {
  const std::string small = WriteFile("small.iso", 10 * 1024);
  auto wizard = Open(Context());
  wizard->CDROM()->click();
  wizard->Path()->setText(QString::fromStdString(small));
  test::SendKey(wizard->Path(), Qt::Key_Return);
  EXPECT_EQ(wizard->result(), kDialogOk);
  EXPECT_FALSE(wizard->isVisible());
  EXPECT_TRUE(answers.Seen().isEmpty());
  EXPECT_FALSE(userKnown);
  EXPECT_EQ(wizard->Result().kind, ResourceKind::File);
  EXPECT_EQ(wizard->Result().resource, small);
  // Esc cancels from any control.
  auto other = Open(Context());
  test::SendKey(other->Path(), Qt::Key_Escape);
  EXPECT_EQ(other->result(), kDialogCancel);
}

TEST_F(EditResTest, EditModeLoadsTheRowWhenTheWindowFirstAppears) {
  WizardResult stored;
  stored.resource = "/srv/share";
  stored.kind = ResourceKind::Drive;
  stored.writeColor = clRed;
  stored.readColor = clBlue;
  stored.processDelay = "2500";
  stored.autoSize = false;
  stored.packetSize = "4096";
  stored.timeout = "800";
  stored.minSpeed = "12.5";
  stored.maxSpeed = "900";
  stored.performMaxSpeed = true;
  stored.maxEvent[etActionKind] = "1";
  stored.maxEvent[etCommandLine] = "backup --now";
  table.SetRowCount(3);
  FillRowFromWizard(table, 1, stored);
  FillRowFromWizard(table, 2, WizardResult{});
  table.SetCell(Col::Kind, 2, "");

  WizardContext context = Context();
  context.editRow = 1;
  TEditResource wizard(context);
  EXPECT_EQ(wizard.windowTitle(), "Welcome to Tarnwick");
  // The row as it is when the window appears counts.
  table.SetCell(Col::Resource, 1, "/srv/share2");
  stored.resource = "/srv/share2";
  wizard.show();
  ASSERT_TRUE(test::WaitFor([&] { return wizard.windowTitle() == "Editing resource"; }, 20000));
  EXPECT_EQ(wizard.Path()->text(), "/srv/share2");
  EXPECT_TRUE(wizard.NetwDrive()->isChecked());
  EXPECT_EQ(wizard.Page2_Topic()->text(), "Select a file server directory for speed measurement.");
  EXPECT_EQ(wizard.ReadColor()->Color(), clBlue);
  EXPECT_TRUE(wizard.SizeOfPacket()->isEnabled());
  EXPECT_TRUE(wizard.PerformMaxSpeed()->isChecked());
  EXPECT_FALSE(wizard.PerformMinSpeed()->isChecked());
  // Finished at once, the result fills the row with the same texts.
  test::SendKey(wizard.Path(), Qt::Key_Return);
  ASSERT_EQ(wizard.result(), kDialogOk);
  ResourceTable again;
  again.SetRowCount(2);
  FillRowFromWizard(again, 1, wizard.Result());
  for (int col = 1; col < Col::Count; ++col) {
    EXPECT_EQ(again.Cell(col, 1), table.Cell(col, 1)) << "column " << col;
  }

  // A row whose kind column is empty keeps the form's IP choice.
  context.editRow = 2;
  auto second = Open(context);
  ASSERT_TRUE(test::WaitFor([&] { return second->windowTitle() == "Editing resource"; }, 20000));
  EXPECT_TRUE(second->IP()->isChecked());
  EXPECT_EQ(second->Result().kind, ResourceKind::Echo);
}

TEST_F(EditResTest, AnEventButtonSwitchesItsEventByTheReturnedRecord) {
  auto wizard = Open(Context());
  struct Step {
    QPushButton* button;
    QCheckBox* perform;
    const char* program;  // typed into the event dialog; nullptr: Cancel
    bool on;
  };
  const Step steps[] = {{wizard->MinSpeedEvent(), wizard->PerformMinSpeed(), "run-me", true},
                        {wizard->MinSpeedEvent(), wizard->PerformMinSpeed(), nullptr, true},
                        {wizard->MinSpeedEvent(), wizard->PerformMinSpeed(), "", false},
                        {wizard->MaxSpeedEvent(), wizard->PerformMaxSpeed(), "other", true}};
  for (const Step& step : steps) {
    AnswerModalOf<TSetEvent>([&step](TSetEvent* dialog) {
      if (step.program == nullptr) {
        QTest::keyClicks(dialog->RunFileName(), "ignored");
        dialog->CancelBtn()->click();
        return;
      }
      dialog->RunFileName()->setText(step.program);
      dialog->RunPrgBtn()->click();
      dialog->OkBtn()->click();
    });
    step.button->click();
    EXPECT_EQ(step.perform->isChecked(), step.on);
  }
  const WizardResult result = wizard->Result();
  EXPECT_EQ(result.minEvent[etCommandLine], "");
  EXPECT_EQ(result.minEvent[etActionKind], "1");
  EXPECT_EQ(result.maxEvent[etCommandLine], "other");
  EXPECT_TRUE(result.performMaxSpeed);
  EXPECT_FALSE(result.performMinSpeed);
}

TEST_F(EditResTest, OnlyAFirstStartFinishWritesTheDialUpKeeper) {
  NoWindows windows;
  NoButtons buttons;
  DialUpKeeper keeper(windows, buttons);
  keeper.Table().SetDefaultEntries();
  TDialUpTimer timer(keeper);
  int rowsAfterFinish = 0;
  // A first start finished, then one cancelled and a short-mode wizard
  // finished: only the first one changes the keeper.
  for (const char* run : {"first start finished", "first start cancelled", "short mode"}) {
    SCOPED_TRACE(run);
    const bool finish = run == std::string("first start finished");
    WizardContext context = Context();
    context.firstStart = run != std::string("short mode");
    context.dialUpTable = &keeper.Table();
    context.dialUpTimer = &timer;
    auto wizard = Open(context);
    if (finish) {
      EXPECT_EQ(wizard->ConnectWindowsTable()->item(1, 0)->text(), "Dial-Up Networking");
      EXPECT_EQ(wizard->DialUpTimeout()->value(), 3);
      EXPECT_FALSE(wizard->KeppDialUp()->isChecked());
      while (wizard->PageIndex() < TEditResource::kDialUp) wizard->Next()->click();
      EXPECT_FALSE(wizard->KeepDialPanel()->isVisible());
      wizard->KeppDialUp()->click();
      EXPECT_TRUE(wizard->KeepDialPanel()->isVisible());
      wizard->ConnectWindowsTable()->item(0, 0)->setText("Connect To Mine");
      wizard->DialUpTimeout()->selectAll();
      QTest::keyClicks(wizard->DialUpTimeout(), "25");
      wizard->Next()->click();
      wizard->CloseBtn()->click();
      ASSERT_EQ(wizard->result(), kDialogOk);
      rowsAfterFinish = wizard->ConnectWindowsTable()->TableRowCount();
    } else if (context.firstStart) {
      // The keeper's state as the first run left it is shown again.
      EXPECT_TRUE(wizard->KeppDialUp()->isChecked());
      EXPECT_EQ(wizard->DialUpTimeout()->value(), 25);
      wizard->KeppDialUp()->click();
      wizard->ConnectWindowsTable()->item(0, 0)->setText("Changed");
      test::SendKey(wizard->Path(), Qt::Key_Escape);
      ASSERT_EQ(wizard->result(), kDialogCancel);
    } else {
      test::SendKey(wizard->Path(), Qt::Key_Return);
      ASSERT_EQ(wizard->result(), kDialogOk);
    }
    EXPECT_EQ(keeper.Table().Cell(ConnectWindowsTable::TitleCol, 1), "Connect To Mine");
    EXPECT_EQ(keeper.Table().Cell(ConnectWindowsTable::TitleCol, 2), "Dial-Up Networking");
    EXPECT_EQ(keeper.Table().RowCount(), rowsAfterFinish);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.IntervalMs(), 25000);
  }
  timer.SetEnabled(false);
}

TEST_F(EditResTest, WithoutEchoTheHostKindIsOffAndTheHomeFolderIsProposed) {
  WizardContext context = Context();
  context.echoAvailable = false;
  auto wizard = Open(context);
  EXPECT_TRUE(wizard->NetwDrive()->isChecked());
  EXPECT_FALSE(wizard->IP()->isEnabled());
  EXPECT_EQ(wizard->Path()->text(), QDir::cleanPath(QString::fromLocal8Bit(std::getenv("HOME"))));
  EXPECT_EQ(wizard->Page2_Topic()->text(), "Select a file server directory for speed measurement.");
  // Coming back to the page keeps what the user typed.
  wizard->Path()->setText("/srv/other");
  wizard->Next()->click();
  wizard->PreviosClick();
  EXPECT_EQ(wizard->Path()->text(), "/srv/other");
  EXPECT_EQ(wizard->Result().kind, ResourceKind::Drive);
}

TEST_F(EditResTest, ColourButtonsAndFileBrowseTakeTheDialogsChoice) {
  auto wizard = Open(Context());
  QColor preset;
  QObject::connect(wizard.get(), &TEditResource::ColorDialogOpened, [&](QColorDialog* dialog) {
    preset = dialog->currentColor();
    QTimer::singleShot(0, dialog, [dialog] {
      dialog->setCurrentColor(QColor(255, 0, 0));
      dialog->accept();
    });
  });
  wizard->SetReadColor()->click();
  EXPECT_EQ(preset, QColor(0, 255, 0));  // lime, the swatch's colour
  EXPECT_EQ(wizard->ReadColor()->Color(), clRed);

  const std::string file = WriteFile("disc.iso", 4 * 1024 * 1024);
  QObject::connect(wizard.get(), &TEditResource::FileDialogOpened, [&](QFileDialog* files) {
    files->setDirectory(QString::fromStdString(dir.Path()));
    QTimer::singleShot(0, files, [files, file] {
      files->selectFile(QString::fromStdString(file));
      QMetaObject::invokeMethod(files, "accept");
      if (files->isVisible()) files->reject();
    });
  });
  wizard->CDROM()->click();
  wizard->Browse()->click();
  EXPECT_EQ(wizard->Path()->text().toStdString(), file);
}

TEST_F(EditResTest, ThePreferencesFontsAreTakenWhenShown) {
  WindowParameters preferences;
  preferences.dialogFont = {"DejaVu Sans", 13, false, false, clNavy};
  preferences.editLineFont = {"DejaVu Sans", 11, false, true, clMaroon};
  preferences.stringGridFont = {"DejaVu Sans", 9, true, false, clBlack};
  WizardContext context = Context();
  context.preferences = &preferences;
  auto wizard = Open(context);
  EXPECT_EQ(wizard->font().pointSize(), 13);
  EXPECT_EQ(wizard->Next()->font().pointSize(), 13);
  for (QWidget* edit : std::initializer_list<QWidget*>{
           wizard->Path(), wizard->PingDelay(), wizard->TimeOut(), wizard->SizeOfPacket(),
           wizard->MinSpeed(), wizard->MaxSpeed(), wizard->DialUpTimeout()}) {
    EXPECT_EQ(edit->font().pointSize(), 11) << edit->objectName().toStdString();
    EXPECT_TRUE(edit->font().italic());
  }
  EXPECT_EQ(wizard->ConnectWindowsTable()->font().pointSize(), 9);
  EXPECT_TRUE(wizard->ConnectWindowsTable()->font().bold());
}

TEST_F(EditResTest, SpeedEditsTakeAnyTextAndTheirArrowsStayInRange) {
  auto wizard = Open(Context());
  struct Case {
    QLineEdit* edit;
    const char *typed, *arrow, *after;
  };
  const Case cases[] = {{wizard->MinSpeed(), "0", "MinSpeedUp", "1"},
                        {wizard->MinSpeed(), "0", "MinSpeedDown", "0"},
                        {wizard->MaxSpeed(), "10000", "MaxSpeedUp", "10000"},
                        {wizard->MaxSpeed(), "12.5 fast", "MaxSpeedDown", "11"},
                        {wizard->MaxSpeed(), "none", "MaxSpeedUp", "1"}};
  for (const Case& c : cases) {
    c.edit->setText(c.typed);
    EXPECT_EQ(wizard->Result().maxSpeed == c.typed || wizard->Result().minSpeed == c.typed, true);
    wizard->findChild<QAbstractButton*>(c.arrow)->click();
    EXPECT_EQ(c.edit->text(), c.after) << c.arrow << " from " << c.typed;
  }
}

TEST_F(EditResTest, BrowseForANetworkDriveTakesThePickedFolder) {
  const std::string folder = dir.File("share");
  std::filesystem::create_directories(folder);
  auto wizard = Open(Context());
  wizard->NetwDrive()->click();
  EXPECT_TRUE(wizard->Browse()->isVisible());
  AnswerModalOf<TSetDrive>([&](TSetDrive* picker) {
    picker->SetRoot(QString::fromStdString(dir.Path()));
    picker->SelectFolder(QString::fromStdString(folder));
    picker->Button1()->click();
  });
  wizard->Browse()->click();
  EXPECT_EQ(wizard->Path()->text().toStdString(), folder);
  // Cancel keeps the text.
  AnswerModalOf<TSetDrive>([](TSetDrive* picker) { picker->Button2()->click(); });
  wizard->Browse()->click();
  EXPECT_EQ(wizard->Path()->text().toStdString(), folder);
}

TEST_F(EditResTest, HelpTopicsPerPageAndContextNumbers) {
  const char* bin = std::getenv("TARNWICK_BIN_DIR");
  if (bin == nullptr) GTEST_SKIP() << "TARNWICK_BIN_DIR is not set";
  THelp help;
  help.SetHelpFile(QString(bin) + "/TARNWICK.HLP");
  WizardContext context = Context();
  context.firstStart = true;
  context.help = &help;
  auto wizard = Open(context);
  const char* topics[] = {"Main_index",   "SetResource",  "SetResource2", "SetResource3",
                          "SetResource4", "SetResource5", "Main_index"};
  for (int page = 0; page < TEditResource::kPageCount; ++page) {
    ASSERT_EQ(wizard->PageIndex(), page);
    wizard->HelpBtn()->click();
    EXPECT_EQ(help.CurrentTopic(), topics[page]);
    help.Quit();
    if (page == 3) {
      test::SendKey(wizard->PingDelay(), Qt::Key_F1);
      EXPECT_EQ(help.CurrentTopic(), "SetResource3");
      help.Quit();
    }
    wizard->Next()->click();
  }
  const std::pair<const char*, int> contexts[] = {{"CloseBtn", 117},
                                                  {"HelpBtn", 120},
                                                  {"NetwDrive", 141},
                                                  {"CDROM", 142},
                                                  {"IP", 143},
                                                  {"Browse", 145},
                                                  {"SetReadColor", 147},
                                                  {"SetWriteColor", 147},
                                                  {"DefAuto", 151},
                                                  {"PerformMinSpeed", 152},
                                                  {"PerformMaxSpeed", 152},
                                                  {"MinSpeedEvent", 155},
                                                  {"MaxSpeedEvent", 155},
                                                  {"KeppDialUp", 108}};
  for (const auto& [name, number] : contexts) {
    EXPECT_EQ(HelpContextOf(wizard->findChild<QWidget*>(name)), number) << name;
  }
}

}  // namespace
}  // namespace tw
