#include "dialogs/SpinEdit.h"

#include <QRegularExpression>

namespace tw {

namespace {

// The leading whole number of a text (blanks first allowed); 0 without one.
// Values beyond the int range are held at its ends.
qint64 LeadingNumber(const QString& text) {
  static const QRegularExpression kNumber(QStringLiteral("^\\s*([+-]?\\d{1,18})"));
  const QRegularExpressionMatch match = kNumber.match(text);
  return match.hasMatch() ? match.captured(1).toLongLong() : 0;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : QSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  setButtonSymbols(QAbstractSpinBox::UpDownArrows);
}

void TSpinEdit::SetValueText(const QString& text) {
  const qint64 number = std::clamp<qint64>(LeadingNumber(text), minimum(), maximum());
  setValue(static_cast<int>(number));
}

QValidator::State TSpinEdit::validate(QString& input, int& pos) const {
  static const QRegularExpression kTyping(QStringLiteral("^\\s*[+-]?\\d{0,18}\\s*$"));
  if (!kTyping.match(input).hasMatch()) return QValidator::Invalid;
  bool isNumber = false;
  const qint64 number = input.trimmed().toLongLong(&isNumber);
  if (!isNumber) return QValidator::Intermediate;
  return number >= minimum() && number <= maximum() ? QValidator::Acceptable
                                                    : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& input) const {
  input = QString::number(std::clamp<qint64>(LeadingNumber(input), minimum(), maximum()));
}

}  // namespace tw
