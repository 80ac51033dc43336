// A whole-number spin edit that lets the user type any number and brings a
// value outside its range into range when it loses the focus (or when its
// dialog closes with OK), instead of refusing the keystrokes.
#pragma once

#include <QSpinBox>

namespace tw {

class TSpinEdit final : public QSpinBox {
  Q_OBJECT

 public:
  explicit TSpinEdit(QWidget* parent = nullptr);

  // Shows a setting's text: read leniently (a leading whole number, else 0),
  // then brought into range.
  void SetValueText(const QString& text);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

}  // namespace tw
