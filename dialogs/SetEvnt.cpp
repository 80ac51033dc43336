#include "dialogs/SetEvnt.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include "actions/CloseProgram.h"
#include "actions/DesktopNotifier.h"
#include "actions/Player.h"
#include "actions/RunProgram.h"
#include "dialogs/Help.h"
#include "dialogs/SpinEdit.h"
#include "dialogs/UsetURL.h"
#include "util/HelpIds.h"
#include "util/Numbers.h"

namespace tw {

namespace {

std::string Text(const QLineEdit* edit) {
  return edit->text().toStdString();
}

}  // namespace

EventDialogServices DesktopEventServices(std::function<TPlayer&()> player, TopWindows* windows) {
  return {std::move(player), windows, CloseByFileOffered()};
}

TSetEvent::TSetEvent(bool minimumEvent, EventDialogServices services, QWidget* parent,
                     const WindowParameters* preferences)
    : TDialogBase(parent, preferences), services_(std::move(services)) {
  setObjectName("SetEvent");
  setWindowTitle("Event Setup");
  BuildControls(minimumEvent);
  SetHelpContexts();
  EnableContextHelp(this, 0, [this] { BtnHelpClick(); });
  connect(playFileName_, &QLineEdit::textChanged, this, &TSetEvent::PlayFileNameChange);
  connect(runFileName_, &QLineEdit::textChanged, this, &TSetEvent::RunFileNameChange);
  connect(closeFileName_, &QLineEdit::textChanged, this, &TSetEvent::CloseFileNameChange);
  connect(winTitle_, &QLineEdit::textChanged, this, &TSetEvent::WinTitleChange);
  connect(playBrowse_, &QPushButton::clicked, this, &TSetEvent::PlayBrowseClick);
  connect(runBrowse_, &QPushButton::clicked, this, &TSetEvent::RunBrowseClick);
  connect(closeBrowse_, &QPushButton::clicked, this, &TSetEvent::CloseBrowseClick);
  connect(winTitleBrowse_, &QPushButton::clicked, this, &TSetEvent::WinTitleBrowseClick);
  connect(playTest_, &QPushButton::clicked, this, &TSetEvent::PlayTestClick);
  connect(runTest_, &QPushButton::clicked, this, &TSetEvent::RunTestClick);
  connect(closeTest_, &QPushButton::clicked, this, &TSetEvent::CloseTestClick);
  connect(notifyTest_, &QPushButton::clicked, this, &TSetEvent::NotifyTestClick);
  connect(notifyText_, &QLineEdit::textChanged, this, [this] {
    if (!painted_) return;
    const bool filled = !notifyText_->text().isEmpty();
    notifyTest_->setEnabled(filled);
    if (filled) notifyBtn_->setChecked(true);
  });
  connect(okBtn_, &QPushButton::clicked, this, [this] { done(kDialogOk); });
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { done(kDialogCancel); });
  connect(btnHelp_, &QPushButton::clicked, this, &TSetEvent::BtnHelpClick);
}

void TSetEvent::SetHelpContexts() {
  const std::pair<QWidget*, int> contexts[] = {{perfOnceBtn_, HelpContext::PerfOnceBtn},
                                               {resetCounter_, HelpContext::ResetCounter},
                                               {playSoundBtn_, HelpContext::PlaySoundBtn},
                                               {playBrowse_, HelpContext::PlayBrowse},
                                               {playTest_, HelpContext::TestButtons},
                                               {runTest_, HelpContext::TestButtons},
                                               {closeTest_, HelpContext::TestButtons},
                                               {runPrgBtn_, HelpContext::RunPrgBtn},
                                               {runBrowse_, HelpContext::RunCloseBrowse},
                                               {closeBrowse_, HelpContext::RunCloseBrowse},
                                               {closePrgBtn_, HelpContext::ClosePrgBtn},
                                               {winTitleBrowse_, HelpContext::WinTitleBrowse},
                                               {cancelBtn_, HelpContext::CancelBtn},
                                               {okBtn_, HelpContext::OkBtn},
                                               {btnHelp_, HelpContext::HelpBtn}};
  for (const auto& [control, context] : contexts) SetHelpContext(control, context);
}

void TSetEvent::LoadRecord(const EventRecord& record) {
  perfOnceBtn_->setChecked(ParseWholeNumber(record[etPerformOnce]) != 0);
  perfTimeBtn_->SetValueText(QString::fromStdString(record[etTimeout]));
  const std::string& kind = record[etActionKind];
  QRadioButton* chosen = kind == "1"   ? runPrgBtn_
                         : kind == "2" ? closePrgBtn_
                         : kind == "3" ? notifyBtn_
                                       : playSoundBtn_;
  chosen->setChecked(true);
  playFileName_->setText(QString::fromStdString(record[etSoundFile]));
  runFileName_->setText(QString::fromStdString(record[etCommandLine]));
  runDirectory_->setText(QString::fromStdString(record[etWorkingFolder]));
  closeFileName_->setText(QString::fromStdString(record[etCloseFile]));
  winTitle_->setText(QString::fromStdString(record[etCloseTitle]));
  notifyText_->setText(QString::fromStdString(record[etNotifyText]));
  resetCounter_->setChecked(record[etEnableOther] == "1");
}

EventRecord TSetEvent::SavedRecord() const {
  EventRecord record;
  record[etPerformOnce] = perfOnceBtn_->isChecked() ? "1" : "0";
  record[etTimeout] = perfTimeBtn_->text().toStdString();
  record[etActionKind] = runPrgBtn_->isChecked()     ? "1"
                         : closePrgBtn_->isChecked() ? "2"
                         : notifyBtn_->isChecked()   ? "3"
                                                     : "0";
  record[etEnableOther] = resetCounter_->isChecked() ? "1" : "0";
  record[etSoundFile] = Text(playFileName_);
  record[etCommandLine] = Text(runFileName_);
  record[etWorkingFolder] = Text(runDirectory_);
  record[etCloseFile] = Text(closeFileName_);
  record[etCloseTitle] = Text(winTitle_);
  record[etNotifyText] = Text(notifyText_);
  return record;
}

void TSetEvent::showEvent(QShowEvent* event) {
  // Without the process list a program can only be closed by its title.
  const bool byFile = services_.closeByFileOffered;
  const QList<QWidget*> byFileControls{closeFileLbl_, closeFileName_, closeBrowse_, orLabel_};
  for (QWidget* control : byFileControls) control->setVisible(byFile);
  TDialogBase::showEvent(event);
}

void TSetEvent::paintEvent(QPaintEvent* event) {
  painted_ = true;
  TDialogBase::paintEvent(event);
}

// The change rules act only once the window was painted, so that filling
// the dialog from a record enables no Test button and picks no action.
void TSetEvent::PlayFileNameChange() {
  if (!painted_) return;
  const bool filled = !playFileName_->text().isEmpty();
  playTest_->setEnabled(filled);
  if (filled) playSoundBtn_->setChecked(true);
}

void TSetEvent::RunFileNameChange() {
  if (!painted_) return;
  const bool filled = !runFileName_->text().isEmpty();
  runTest_->setEnabled(filled);
  if (filled) runPrgBtn_->setChecked(true);
}

void TSetEvent::CloseFileNameChange() {
  if (!painted_) return;
  const bool filled = !closeFileName_->text().isEmpty();
  closeTest_->setEnabled(filled);
  if (filled) closePrgBtn_->setChecked(true);
}

void TSetEvent::WinTitleChange() {
  if (!painted_) return;
  const bool filled = !winTitle_->text().isEmpty();
  closeTest_->setEnabled(filled);
  if (filled) closePrgBtn_->setChecked(true);
}

void TSetEvent::BrowseInto(QLineEdit* edit, const QString& caption, const QString& filter) {
  QFileDialog dialog(this, caption, QString(), filter);
  dialog.setObjectName("OpenDialog");
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  emit FileDialogOpened(&dialog);
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
    edit->setText(dialog.selectedFiles().constFirst());
  }
}

void TSetEvent::PlayBrowseClick() {
  BrowseInto(playFileName_, "Play a sound", "Sound files (*.wav);;All files (*)");
}

void TSetEvent::RunBrowseClick() {
  BrowseInto(runFileName_, "Run a program", "Program files (*.exe);;All files (*)");
}

void TSetEvent::CloseBrowseClick() {
  BrowseInto(closeFileName_, "Close a program", "Program files (*.exe);;All files (*)");
}

void TSetEvent::WinTitleBrowseClick() {
  TSetURL list(this, Preferences());
  std::vector<std::string> titles;
  if (services_.windows != nullptr) {
    for (const TopWindow& window : services_.windows->List()) titles.push_back(window.title);
  }
  list.SetWindowTitles(titles);
  if (list.exec() == kDialogOk && list.RowCount() > 1) winTitle_->setText(list.SelectedAddress());
}

void TSetEvent::PostClick(QRadioButton* radio) {
  // Posted, as a click the user makes: the tested action becomes the chosen one.
  QMetaObject::invokeMethod(radio, &QAbstractButton::click, Qt::QueuedConnection);
}

void TSetEvent::PlayTestClick() {
  PostClick(playSoundBtn_);
  if (!services_.player) return;
  TPlayer& player = services_.player();
  player.SetSoundFile(Text(playFileName_).substr(0, 255));
  player.exec();
}

void TSetEvent::RunTestClick() {
  PostClick(runPrgBtn_);
  RunProgram(Text(runFileName_), Text(runDirectory_));
}

void TSetEvent::CloseTestClick() {
  PostClick(closePrgBtn_);
  if (services_.windows == nullptr) return;
  if (!closeFileName_->text().isEmpty()) {
    CloseProgramByFile(Text(closeFileName_), *services_.windows);
  } else if (!winTitle_->text().isEmpty()) {
    CloseProgramByTitle(Text(winTitle_), *services_.windows);
  }
}

void TSetEvent::NotifyTestClick() {
  PostClick(notifyBtn_);
  const std::string trouble = ShowDesktopNotification(Text(notifyText_));
  if (!trouble.empty()) QMessageBox::warning(this, "Warning", QString::fromStdString(trouble));
}

void TSetEvent::BtnHelpClick() {
  if (THelp::Current() != nullptr) THelp::Current()->JumpToTopic(HelpTopicName::PerfActDialog);
}

bool EditEventRecord(EventRecord& record, bool minimumEvent, const EventDialogServices& services,
                     QWidget* parent, const WindowParameters* preferences) {
  TSetEvent dialog(minimumEvent, services, parent, preferences);
  dialog.LoadRecord(record);
  if (dialog.exec() != kDialogOk) return false;
  record = dialog.SavedRecord();
  return true;
}

}  // namespace tw
