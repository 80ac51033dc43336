#include "dialogs/DialogBase.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QChildEvent>
#include <QFontDatabase>
#include <QKeyEvent>

#include "controls/SystemColors.h"
#include "controls/SystemFonts.h"

namespace tw {

void ApplyFontSetting(QWidget* widget, const FontSetting& setting) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  const QString family = QString::fromStdString(setting.name);
  if (FontFamilyAvailable(family)) font.setFamily(family);
  if (setting.size > 0) font.setPointSize(setting.size);
  font.setBold(setting.bold);
  font.setItalic(setting.italic);
  widget->setFont(font);
  QPalette colours = widget->palette();
  const QColor color = ToQColor(setting.color, QApplication::palette());
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    colours.setColor(role, color);
  }
  widget->setPalette(colours);
}

TDialogBase::TDialogBase(QWidget* parent, const WindowParameters* preferences)
    : QDialog(parent), preferences_(preferences) {
  setModal(true);
  Watch(this);
}

void TDialogBase::Watch(QWidget* widget) {
  widget->installEventFilter(this);
  for (QWidget* child : widget->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool TDialogBase::IsOwnControl(QObject* watched) const {
  // A file dialog or picker opened from this one is a child window of it;
  // its keys are its own.
  auto* widget = qobject_cast<QWidget*>(watched);
  return widget != nullptr && widget->window() == this;
}

bool TDialogBase::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    // Controls made after the constructor are watched as well.
    if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
      Watch(child);
  } else if (event->type() == QEvent::KeyPress && IsOwnControl(watched)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      done(kDialogOk);
      return true;
    }
    if (plain && key->key() == Qt::Key_Escape) {
      done(kDialogCancel);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TDialogBase::done(int result) {
  if (result == kDialogOk) {
    for (QAbstractSpinBox* spin : findChildren<QAbstractSpinBox*>()) spin->interpretText();
  }
  QDialog::done(result);
}

void TDialogBase::showEvent(QShowEvent* event) {
  ApplyFonts();
  QDialog::showEvent(event);
}

void TDialogBase::ApplyFonts() {
  if (preferences_ == nullptr) return;
  ApplyFontSetting(this, preferences_->dialogFont);
  for (const QPointer<QWidget>& edit : editLines_) {
    if (edit != nullptr) ApplyFontSetting(edit, preferences_->editLineFont);
  }
  for (const QPointer<QWidget>& grid : grids_) {
    if (grid != nullptr) ApplyFontSetting(grid, preferences_->stringGridFont);
  }
}

}  // namespace tw
