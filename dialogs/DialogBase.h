// What every dialog of the program does alike: Enter closes it with OK and
// Esc with Cancel before any control sees the key; when shown it takes the
// dialog font of the preferences, its edit fields the edit-line font and its
// tables the string-grid font; spin edits are brought into range before OK
// reads them.
#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include "monitor/Parameters.h"

namespace tw {

// Modal results, as the openers test them.
constexpr int kDialogOk = 1;
constexpr int kDialogCancel = 2;

// Gives a widget the font and text colour of a font setting. A family the
// desktop lacks becomes its sans-serif family; the setting keeps its name.
void ApplyFontSetting(QWidget* widget, const FontSetting& setting);

class TDialogBase : public QDialog {
  Q_OBJECT

 public:
  // `preferences` (owned by the main window; may be null) gives the fonts.
  explicit TDialogBase(QWidget* parent = nullptr, const WindowParameters* preferences = nullptr);

  void SetPreferences(const WindowParameters* preferences) { preferences_ = preferences; }
  const WindowParameters* Preferences() const { return preferences_; }

 public slots:
  // OK (1) interprets the spin edits first, so that a typed value counts.
  void done(int result) override;
  void accept() override { done(kDialogOk); }
  void reject() override { done(kDialogCancel); }

 protected:
  // Edit fields that take the edit-line font, tables the string-grid font.
  void MarkEditLine(QWidget* edit) { editLines_.append(edit); }
  void MarkGrid(QWidget* grid) { grids_.append(grid); }
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Watch(QWidget* widget);
  bool IsOwnControl(QObject* watched) const;
  void ApplyFonts();

  const WindowParameters* preferences_ = nullptr;
  QList<QPointer<QWidget>> editLines_;
  QList<QPointer<QWidget>> grids_;
};

}  // namespace tw
