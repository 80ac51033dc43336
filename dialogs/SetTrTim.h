// The time period dialog `TTrendTimePeriod` ("Select the Time Period"): the
// part of the trend day to export, "from" hours : minutes "till" hours :
// minutes, in quarter hours. Created for one export.
#pragma once

#include <QStringList>

#include "dialogs/DialogBase.h"

class QPushButton;

namespace tw {

class TSpinEdit;

class TTrendTimePeriod final : public TDialogBase {
  Q_OBJECT

 public:
  explicit TTrendTimePeriod(QWidget* parent = nullptr,
                            const WindowParameters* preferences = nullptr);

  // Presets the four fields (from hours, from minutes, till hours, till
  // minutes) with the texts the opener kept; unreadable texts count as 0.
  void SetTexts(const QStringList& texts);
  // The four fields' texts, for the opener to keep.
  QStringList Texts() const;
  // The period in quarter-hour slots: hours x 4 + minutes div 15 (24:00 is 96).
  int StartSlot() const;
  int EndSlot() const;

  TSpinEdit* FromTimeHours() const { return fromTimeHours_; }
  TSpinEdit* FromTimeMin() const { return fromTimeMin_; }
  TSpinEdit* TillTimeHours() const { return tillTimeHours_; }
  TSpinEdit* TillTimeMins() const { return tillTimeMins_; }
  QPushButton* BtnOk() const { return btnOk_; }
  QPushButton* CancelBtn() const { return cancelBtn_; }
  QPushButton* BtnHelp() const { return btnHelp_; }

 private slots:
  void BtnHelpClick();

 private:
  TSpinEdit* MakeField(const char* name, int maximum, int step, int value);

  TSpinEdit* fromTimeHours_ = nullptr;
  TSpinEdit* fromTimeMin_ = nullptr;
  TSpinEdit* tillTimeHours_ = nullptr;
  TSpinEdit* tillTimeMins_ = nullptr;
  QPushButton* btnOk_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QPushButton* btnHelp_ = nullptr;
};

}  // namespace tw
