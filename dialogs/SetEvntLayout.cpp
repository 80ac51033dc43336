// The controls of the event setup dialog and their places.
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialogs/SetEvnt.h"
#include "dialogs/SpinEdit.h"

namespace tw {

namespace {

constexpr int kMaxText = 255;
constexpr int kMaxTimeout = 100000;  // seconds
constexpr int kFormTimeout = 10;     // seconds, before a record is loaded

QLabel* NewLabel(const char* caption, QWidget* parent, const char* name = nullptr) {
  auto* label = new QLabel(caption, parent);
  if (name != nullptr) label->setObjectName(name);
  return label;
}

}  // namespace

QLineEdit* TSetEvent::NewEdit(const char* name) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(name);
  edit->setMaxLength(kMaxText);
  edit->setMinimumWidth(220);
  MarkEditLine(edit);
  return edit;
}

QPushButton* TSetEvent::NewButton(const char* caption, const char* name) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void TSetEvent::BuildControls(bool minimumEvent) {
  setToolTip("Press F1 or right mouse button for help.");
  setWindowTitle(minimumEvent ? "Min speed action setup" : "Max speed action setup");
  perfOnceBtn_ = new QCheckBox("Perform once", this);
  perfOnceBtn_->setObjectName("PerfOnceBtn");
  perfOnceBtn_->setChecked(true);
  perfTimeBtn_ = new TSpinEdit(this);
  perfTimeBtn_->setObjectName("PerfTimeBtn");
  perfTimeBtn_->setRange(0, kMaxTimeout);
  perfTimeBtn_->setValue(kFormTimeout);
  MarkEditLine(perfTimeBtn_);
  resetCounter_ = new QCheckBox(minimumEvent ? "Enable to perform max speed event after that."
                                             : "Enable to perform min speed event after that.",
                                this);
  resetCounter_->setObjectName("ResetCounter");
  resetCounter_->setChecked(true);

  auto* timing = new QHBoxLayout;
  timing->addWidget(perfOnceBtn_);
  timing->addStretch();
  timing->addWidget(NewLabel("Timeout:", this));
  timing->addWidget(perfTimeBtn_);
  timing->addWidget(NewLabel("sec.", this));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(timing);
  layout->addWidget(BuildSoundGroup());
  layout->addWidget(BuildRunGroup());
  layout->addWidget(BuildCloseGroup());
  layout->addWidget(BuildNotifyGroup());
  layout->addWidget(resetCounter_);
  layout->addWidget(BuildButtonBar());

  auto* kinds = new QButtonGroup(this);
  for (QRadioButton* radio : {playSoundBtn_, runPrgBtn_, closePrgBtn_, notifyBtn_})
    kinds->addButton(radio);
  playSoundBtn_->setChecked(true);
  for (QPushButton* test : {playTest_, runTest_, closeTest_, notifyTest_}) test->setEnabled(false);
}

QWidget* TSetEvent::BuildSoundGroup() {
  auto* group = new QGroupBox(this);
  playSoundBtn_ = new QRadioButton("Play a sound:", this);
  playSoundBtn_->setObjectName("PlaySoundBtn");
  playFileName_ = NewEdit("PlayFileName");
  playBrowse_ = NewButton("&Browse...", "PlayBrowse");
  playTest_ = NewButton("&Test", "PlayTest");
  auto* grid = new QGridLayout(group);
  grid->addWidget(playSoundBtn_, 0, 0, 1, 4);
  grid->addWidget(NewLabel("File Name:", this), 1, 0);
  grid->addWidget(playFileName_, 1, 1);
  grid->addWidget(playBrowse_, 1, 2);
  grid->addWidget(playTest_, 1, 3);
  return group;
}

QWidget* TSetEvent::BuildRunGroup() {
  auto* group = new QGroupBox(this);
  runPrgBtn_ = new QRadioButton("Run a program:", this);
  runPrgBtn_->setObjectName("RunPrgBtn");
  runFileName_ = NewEdit("RunFileName");
  runDirectory_ = NewEdit("RunDirectory");
  runBrowse_ = NewButton("B&rowse...", "RunBrowse");
  runTest_ = NewButton("T&est", "RunTest");
  auto* grid = new QGridLayout(group);
  grid->addWidget(runPrgBtn_, 0, 0, 1, 4);
  grid->addWidget(NewLabel("File Name:", this), 1, 0);
  grid->addWidget(runFileName_, 1, 1);
  grid->addWidget(runBrowse_, 1, 2);
  grid->addWidget(runTest_, 1, 3);
  grid->addWidget(NewLabel("Directory:", this), 2, 0);
  grid->addWidget(runDirectory_, 2, 1);
  return group;
}

QWidget* TSetEvent::BuildCloseGroup() {
  auto* group = new QGroupBox(this);
  closePrgBtn_ = new QRadioButton("Close a program:", this);
  closePrgBtn_->setObjectName("ClosePrgBtn");
  closeFileLbl_ = NewLabel("File Name:", this, "CloseFileLbl");
  closeFileName_ = NewEdit("CloseFileName");
  closeBrowse_ = NewButton("B&rowse...", "CloseBrowse");
  orLabel_ = NewLabel("OR", this, "ORLabel");
  closeTitleLbl_ = NewLabel("Window title:", this, "CloseTitleLbl");
  winTitle_ = NewEdit("WinTitle");
  winTitleBrowse_ = NewButton("B&rowse...", "WinTitleBrowse");
  closeTest_ = NewButton("T&est", "CloseTest");
  auto* grid = new QGridLayout(group);
  grid->addWidget(closePrgBtn_, 0, 0, 1, 4);
  grid->addWidget(closeFileLbl_, 1, 0);
  grid->addWidget(closeFileName_, 1, 1);
  grid->addWidget(closeBrowse_, 1, 2);
  grid->addWidget(closeTest_, 1, 3);
  grid->addWidget(orLabel_, 2, 1, Qt::AlignHCenter);
  grid->addWidget(closeTitleLbl_, 3, 0);
  grid->addWidget(winTitle_, 3, 1);
  grid->addWidget(winTitleBrowse_, 3, 2);
  return group;
}

QWidget* TSetEvent::BuildNotifyGroup() {
  auto* group = new QGroupBox(this);
  notifyBtn_ = new QRadioButton("Show a notification:", this);
  notifyBtn_->setObjectName("NotifyBtn");
  notifyText_ = NewEdit("NotifyText");
  notifyTest_ = NewButton("Te&st", "NotifyTest");
  auto* grid = new QGridLayout(group);
  grid->addWidget(notifyBtn_, 0, 0, 1, 4);
  grid->addWidget(NewLabel("Text:", this), 1, 0);
  grid->addWidget(notifyText_, 1, 1);
  grid->addWidget(notifyTest_, 1, 3);
  return group;
}

QWidget* TSetEvent::BuildButtonBar() {
  auto* bar = new QWidget(this);
  okBtn_ = NewButton("&Ok", "OkBtn");
  okBtn_->setDefault(true);
  cancelBtn_ = NewButton("&Cancel", "CancelBtn");
  btnHelp_ = NewButton("&Help", "BtnHelp");
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->addStretch();
  for (QPushButton* button : {okBtn_, cancelBtn_, btnHelp_}) row->addWidget(button);
  return bar;
}

}  // namespace tw
