// How the program's own buttons meet screen readers and other assistive
// technology: each one has a name (its caption, else the caption of the
// label that names it, else its hint), a button role with its checked
// state, and actions that run the very command a mouse click runs.
#pragma once

#include <QString>

class QAbstractButton;
class QWidget;

namespace tw {

// Makes the program's own buttons known to the accessibility framework;
// called by their constructors, it does its work once.
void InstallButtonAccessibility();

// The name a screen reader reads for `widget`: its accessible name, else
// `caption` (accelerator marks removed), else the text of a label whose
// buddy it is, else its hint.
QString AccessibleControlName(const QWidget* widget, const QString& caption);

}  // namespace tw
