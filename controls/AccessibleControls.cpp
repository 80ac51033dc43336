#include "controls/AccessibleControls.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QLabel>

#include "controls/Bitmpbtn.h"
#include "controls/MyCntrl.h"

namespace tw {

namespace {

QString WithoutAccelerators(QString text) {
  text.replace(QLatin1String("&&"), QLatin1String("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

QString BuddyLabelText(const QWidget* widget) {
  const QWidget* parent = widget->parentWidget();
  if (parent == nullptr) return {};
  for (const QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (label->buddy() == widget) return WithoutAccelerators(label->text());
  }
  return {};
}

// A push button of the program's own drawing. Its actions click it the way
// the mouse does (pressed, the group's sticky state, released, clicked), so
// that whatever a click starts also starts from a screen reader. The click
// is queued: the command may take a while (Stop waits for the threads), and
// the caller on the accessibility bus must get its answer at once.
class AccessibleOwnButton final : public QAccessibleWidget {
 public:
  explicit AccessibleOwnButton(QAbstractButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }

  // A sticky button reads as what it works like: one of a group that keeps
  // one button down is a radio button, one that can be raised by itself a
  // check box.
  QAccessible::Role role() const override {
    auto* button = qobject_cast<TBitmapButton*>(Button());
    if (button == nullptr || !button->isCheckable()) return QAccessible::Button;
    return button->AllowAllUp() ? QAccessible::CheckBox : QAccessible::RadioButton;
  }

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return AccessibleControlName(Button(), Button()->text());
      case QAccessible::Description: {
        const QString hint = Button()->toolTip();
        if (!Button()->accessibleDescription().isEmpty()) return Button()->accessibleDescription();
        return hint != text(QAccessible::Name) ? hint : QString();
      }
      default:
        return QAccessibleWidget::text(t);
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = false;
    s.checkable = Button()->isCheckable();
    s.checked = Button()->isChecked();
    s.pressed = Button()->isDown();
    return s;
  }

  QStringList actionNames() const override {
    if (!Button()->isEnabled()) return {};
    QStringList names{pressAction()};
    if (Button()->isCheckable()) names << toggleAction();
    return names;
  }

  void doAction(const QString& name) override {
    if (!Button()->isEnabled()) return;
    if (name == pressAction() || name == toggleAction()) {
      QMetaObject::invokeMethod(Button(), &QAbstractButton::click, Qt::QueuedConnection);
    }
  }

  QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* OwnButtonFactory(const QString&, QObject* object) {
  if (auto* b = qobject_cast<TBitmapButton*>(object)) return new AccessibleOwnButton(b);
  if (auto* b = qobject_cast<TBlackBitButton*>(object)) return new AccessibleOwnButton(b);
  return nullptr;
}

}  // namespace

QString AccessibleControlName(const QWidget* widget, const QString& caption) {
  if (!widget->accessibleName().isEmpty()) return widget->accessibleName();
  if (const QString plain = WithoutAccelerators(caption); !plain.isEmpty()) return plain;
  if (const QString label = BuddyLabelText(widget); !label.isEmpty()) return label;
  return widget->toolTip();
}

void InstallButtonAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(OwnButtonFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace tw
