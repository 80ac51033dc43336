#include "dialogs/SetTrTim.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "charts/TrendExport.h"
#include "dialogs/Help.h"
#include "dialogs/SpinEdit.h"
#include "util/HelpIds.h"

namespace tw {

TTrendTimePeriod::TTrendTimePeriod(QWidget* parent, const WindowParameters* preferences)
    : TDialogBase(parent, preferences) {
  setObjectName("TrendTimePeriod");
  setWindowTitle("Select the Time Period");
  fromTimeHours_ = MakeField("FromTimeHours", 24, 1, 0);
  fromTimeMin_ = MakeField("FromTimeMin", 45, 15, 0);
  tillTimeHours_ = MakeField("TillTimeHours", 24, 1, 24);
  tillTimeMins_ = MakeField("TillTimeMins", 45, 15, 0);
  btnOk_ = new QPushButton("&Ok", this);
  btnOk_->setObjectName("BtnOk");
  btnOk_->setDefault(true);
  cancelBtn_ = new QPushButton("&Cancel", this);
  cancelBtn_->setObjectName("CancelBtn");
  btnHelp_ = new QPushButton("&Help", this);
  btnHelp_->setObjectName("BtnHelp");
  SetHelpContext(btnOk_, HelpContext::OkBtn);
  SetHelpContext(cancelBtn_, HelpContext::CancelBtn);
  SetHelpContext(btnHelp_, HelpContext::HelpBtn);

  auto* period = new QHBoxLayout;
  period->addWidget(new QLabel("from", this));
  period->addWidget(fromTimeHours_);
  period->addWidget(new QLabel(":", this));
  period->addWidget(fromTimeMin_);
  period->addSpacing(12);
  period->addWidget(new QLabel("till", this));
  period->addWidget(tillTimeHours_);
  period->addWidget(new QLabel(":", this));
  period->addWidget(tillTimeMins_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {btnOk_, cancelBtn_, btnHelp_}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(period);
  layout->addLayout(buttons);

  connect(btnOk_, &QPushButton::clicked, this, [this] { done(kDialogOk); });
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { done(kDialogCancel); });
  connect(btnHelp_, &QPushButton::clicked, this, &TTrendTimePeriod::BtnHelpClick);
  EnableContextHelp(this, 0, [this] { BtnHelpClick(); });
}

TSpinEdit* TTrendTimePeriod::MakeField(const char* name, int maximum, int step, int value) {
  auto* field = new TSpinEdit(this);
  field->setObjectName(name);
  field->setRange(0, maximum);
  field->setSingleStep(step);
  field->setValue(value);
  MarkEditLine(field);
  return field;
}

void TTrendTimePeriod::SetTexts(const QStringList& texts) {
  TSpinEdit* const fields[] = {fromTimeHours_, fromTimeMin_, tillTimeHours_, tillTimeMins_};
  for (int i = 0; i < 4 && i < texts.size(); ++i) fields[i]->SetValueText(texts[i]);
}

QStringList TTrendTimePeriod::Texts() const {
  return {fromTimeHours_->text(), fromTimeMin_->text(), tillTimeHours_->text(),
          tillTimeMins_->text()};
}

int TTrendTimePeriod::StartSlot() const {
  return TimeSlot(fromTimeHours_->value(), fromTimeMin_->value());
}

int TTrendTimePeriod::EndSlot() const {
  return TimeSlot(tillTimeHours_->value(), tillTimeMins_->value());
}

void TTrendTimePeriod::BtnHelpClick() {
  if (THelp::Current() != nullptr) THelp::Current()->JumpToTopic(HelpTopicName::Copy);
}

}  // namespace tw
