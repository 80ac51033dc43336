// The about box `TAboutBox` ("About"): the program's name, version and
// purpose, closed with OK.
#pragma once

#include "dialogs/DialogBase.h"

class QLabel;
class QPushButton;

namespace tw {

// The version the build was made from ("0.1").
QString ProgramVersion();

class TAboutBox final : public TDialogBase {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr, const WindowParameters* preferences = nullptr);

  QLabel* ProductName() const { return productName_; }
  QLabel* Version() const { return version_; }
  QPushButton* OKButton() const { return okButton_; }

 private:
  QLabel* productName_ = nullptr;
  QLabel* version_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace tw
