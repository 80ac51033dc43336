// The labels of the resource wizard's pages: plain text, wrapped unless told
// otherwise, and bold headings.
#pragma once

#include <QLabel>

namespace tw {

inline QLabel* NewLabel(const QString& caption, QWidget* parent, bool wrap = true) {
  auto* label = new QLabel(caption, parent);
  label->setWordWrap(wrap);
  return label;
}

inline QLabel* NewHeading(const QString& caption, QWidget* parent) {
  QLabel* label = NewLabel(caption, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

}  // namespace tw
