#include "dialogs/Settings.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/DialUpTimer.h"
#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/Help.h"
#include "dialogs/SpinEdit.h"
#include "util/HelpIds.h"

namespace tw {

TParameters::TParameters(const WindowParameters& preferences,
                         const tw::ConnectWindowsTable& connectWindows, TDialUpTimer& dialUpTimer,
                         QWidget* parent)
    : TDialogBase(parent, &preferences),
      preferences_(preferences),
      connectWindows_(connectWindows),
      dialUpTimer_(dialUpTimer) {
  setObjectName("Parameters");
  setWindowTitle("Global Preferences");
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("TabbedNotebook1");
  tabs_->addTab(BuildDialUpPage(), "Keep &Dial-Up connection");
  tabs_->addTab(BuildFontsPage(), "&Fonts");
  tabs_->addTab(BuildMiscPage(), "&Miscellaneous");
  auto* column = new QVBoxLayout(this);
  column->addWidget(tabs_);
  column->addLayout(BuildButtons());
  SetHelpContexts();
  // F1 is a key like any other for the resting keeper; the help sees it first.
  EnableContextHelp(this, 0, [this] {
    RestoreDialUpTimer();
    BtnHelpClick();
  });
  connect(keppDialUp_, &QCheckBox::toggled, this, &TParameters::KeppDialUpClick);
  connect(choiseDlgFnt_, &QPushButton::clicked, this, &TParameters::ChoiseDlgFntClick);
  connect(choiseTblFnt_, &QPushButton::clicked, this, &TParameters::ChoiseTblFntClick);
  connect(choiseEdLnFnt_, &QPushButton::clicked, this, &TParameters::ChoiseEdLnFntClick);
  connect(btnOk_, &QPushButton::clicked, this, [this] { done(kDialogOk); });
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { done(kDialogCancel); });
  connect(btnHelp_, &QPushButton::clicked, this, &TParameters::BtnHelpClick);
}

void TParameters::SetHelpContexts() {
  const std::pair<QWidget*, int> contexts[] = {{keppDialUp_, HelpContext::KeppDialUp},
                                               {choiseDlgFnt_, HelpContext::ChangeFont},
                                               {choiseTblFnt_, HelpContext::ChangeFont},
                                               {choiseEdLnFnt_, HelpContext::ChangeFont},
                                               {btnOk_, HelpContext::OkBtn},
                                               {cancelBtn_, HelpContext::CancelBtn},
                                               {btnHelp_, HelpContext::HelpBtn}};
  for (const auto& [control, context] : contexts) SetHelpContext(control, context);
}

void TParameters::showEvent(QShowEvent* event) {
  // A window brought back from the taskbar is not a new showing.
  if (!event->spontaneous()) FormShow();
  TDialogBase::showEvent(event);  // the dialog, table and spin edit fonts
}

void TParameters::FormShow() {
  connectWindowsTable_->LoadFrom(connectWindows_);
  dialUpWasOn_ = dialUpTimer_.Enabled();
  keppDialUp_->setChecked(dialUpWasOn_);
  KeppDialUpClick();
  dialUpTimeout_->setValue(dialUpTimer_.IntervalMs() / 1000);
  shown_ = true;
  connectWindowsTable_->SetShown(true);
  dialUpTimer_.SetEnabled(false);
  dialogFont_ = preferences_.dialogFont;
  stringGridFont_ = preferences_.stringGridFont;
  editLineFont_ = preferences_.editLineFont;
  ApplyFontSetting(dialogsText_, dialogFont_);
  ApplyFontSetting(tableFont_, stringGridFont_);
  ApplyFontSetting(editLine_, editLineFont_);
  trendEnabledBtn_->setChecked(preferences_.trendEnabled);
  closeToTrayBtn_->setChecked(preferences_.closeToTray);
  tabs_->setCurrentIndex(0);
}

GlobalPreferences TParameters::Chosen() const {
  GlobalPreferences chosen;
  chosen.keepDialUp = keppDialUp_->isChecked();
  chosen.dialUpIntervalMs = dialUpTimeout_->value() * 1000;
  connectWindowsTable_->StoreInto(chosen.connectWindows);
  chosen.dialogFont = dialogFont_;
  chosen.stringGridFont = stringGridFont_;
  chosen.editLineFont = editLineFont_;
  chosen.trendEnabled = trendEnabledBtn_->isChecked();
  chosen.closeToTray = closeToTrayBtn_->isChecked();
  return chosen;
}

void TParameters::done(int result) {
  if (result != kDialogOk) RestoreDialUpTimer();
  TDialogBase::done(result);
}

bool TParameters::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool enter = plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if (widget != nullptr && widget->window() == this && !enter) RestoreDialUpTimer();
  }
  return TDialogBase::eventFilter(watched, event);
}

void TParameters::RestoreDialUpTimer() {
  // Only a change touches the timer: switching it on again would restart
  // its period with every keystroke.
  if (shown_ && dialUpTimer_.Enabled() != dialUpWasOn_) dialUpTimer_.SetEnabled(dialUpWasOn_);
}

void TParameters::KeppDialUpClick() {
  keepDialPanel_->setVisible(keppDialUp_->isChecked());
}

void TParameters::ChoiseDlgFntClick() {
  ChooseFont(dialogsText_, dialogFont_);
}

void TParameters::ChoiseTblFntClick() {
  ChooseFont(tableFont_, stringGridFont_);
}

void TParameters::ChoiseEdLnFntClick() {
  ChooseFont(editLine_, editLineFont_);
}

void TParameters::ChooseFont(QLabel* preview, FontSetting& setting) {
  fontDialog1_->setCurrentFont(preview->font());
  // The dialog offers the nearest font it lists, which may be another family.
  const QFont offered = fontDialog1_->currentFont();
  if (fontDialog1_->exec() != QDialog::Accepted) return;
  const QFont font = fontDialog1_->selectedFont();
  // An unchanged choice keeps the setting's own family name, which may be
  // one this desktop draws in a look-alike.
  if (font == offered) return;
  setting.name = font.family().toStdString();
  if (font.pointSize() > 0) setting.size = font.pointSize();
  setting.bold = font.bold();
  setting.italic = font.italic();
  ApplyFontSetting(preview, setting);
}

void TParameters::BtnHelpClick() {
  static constexpr const char* kPageTopics[] = {HelpTopicName::Setup1, HelpTopicName::Setup2,
                                                HelpTopicName::Setup3};
  const int page = tabs_->currentIndex();
  if (THelp::Current() != nullptr && page >= 0 && page < 3) {
    THelp::Current()->JumpToTopic(kPageTopics[page]);
  }
}

}  // namespace tw
