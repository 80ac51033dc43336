// The later pages of the resource wizard: speed events, the dial-up keeper
// and the closing page of a first start.
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/ConnectWindowsGrid.h"
#include "dialogs/EditRes.h"
#include "dialogs/SpinEdit.h"
#include "dialogs/WizardLabels.h"
#include "util/Numbers.h"

namespace tw {

namespace {

constexpr int kMaxSpeedStep = 10000;  // Kbps, the up-down controls' upper end

// An up-down pair beside a free-text edit: it steps the edit's leading whole
// number within 0..10000 and leaves any other typing alone.
QWidget* WithUpDown(QLineEdit* edit, QWidget* parent) {
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  row->addWidget(edit);
  auto* arrows = new QVBoxLayout;
  arrows->setSpacing(0);
  for (const int step : {1, -1}) {
    auto* arrow = new QToolButton(box);
    arrow->setObjectName(edit->objectName() + (step > 0 ? "Up" : "Down"));
    arrow->setArrowType(step > 0 ? Qt::UpArrow : Qt::DownArrow);
    arrow->setFixedSize(16, 11);
    arrow->setAutoRepeat(true);
    QObject::connect(arrow, &QToolButton::clicked, edit, [edit, step] {
      const int value = ParseWholeNumber(edit->text().toStdString()) + step;
      edit->setText(QString::number(std::clamp(value, 0, kMaxSpeedStep)));
    });
    arrows->addWidget(arrow);
  }
  row->addLayout(arrows);
  return box;
}

}  // namespace

QWidget* TEditResource::BuildEventsPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(NewHeading("You can specify reactions for some events.", content));
  struct Side {
    QCheckBox*& perform;
    QLineEdit*& speed;
    QPushButton*& action;
    const char *performName, *speedName, *actionName, *line1, *line2, *caption, *hint, *value;
  };
  const Side sides[] = {
      {performMinSpeed_, minSpeed_, minSpeedEvent_, "PerformMinSpeed", "MinSpeed", "MinSpeedEvent",
       "Perform action if speed value ", "will be less or equal:", "M&in speed action...",
       "Setup action on Min speed", "0"},
      {performMaxSpeed_, maxSpeed_, maxSpeedEvent_, "PerformMaxSpeed", "MaxSpeed", "MaxSpeedEvent",
       "Perform action if speed value", "will be more or equal:", "M&ax speed action...",
       "Setup action on Max speed", "2"}};
  auto* grid = new QGridLayout;
  int gridRow = 0;
  for (const Side& side : sides) {
    side.perform = new QCheckBox(side.line1, content);
    side.perform->setObjectName(side.performName);
    side.speed = new QLineEdit(side.value, content);
    side.speed->setObjectName(side.speedName);
    side.speed->setMaximumWidth(80);
    MarkEditLine(side.speed);
    side.action = NewButton(side.caption, side.actionName);
    side.action->setToolTip(side.hint);
    grid->addWidget(side.perform, gridRow, 0, 1, 4);
    grid->addWidget(NewLabel(side.line2, content, false), gridRow + 1, 0);
    grid->addWidget(WithUpDown(side.speed, content), gridRow + 1, 1);
    grid->addWidget(NewLabel("Kbps", content, false), gridRow + 1, 2);
    grid->addWidget(side.action, gridRow + 1, 3);
    gridRow += 2;
  }
  column->addLayout(grid);
  column->addWidget(
      NewLabel("You can play on this action notification message or run a program.", content));
  column->addWidget(
      NewLabel("It can be used for run a communication program, e.g. Netscape.", content));
  column->addStretch();
  return WithPicture(content);
}

QWidget* TEditResource::BuildDialUpPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  column->addWidget(
      NewLabel("If you don't like to press button OK when line is busy or connection "
               "lost, Tarnwick can do it for you.",
               content));
  keppDialUp_ = new QCheckBox("Keep Dial-Up connection", content);
  keppDialUp_->setObjectName("KeppDialUp");
  column->addWidget(keppDialUp_);

  keepDialPanel_ = new QWidget(content);
  keepDialPanel_->setObjectName("KeepDialPanel");
  keepDialPanel_->setVisible(false);
  dialUpTimeout_ = NewSpinEdit("DialUpTimeout", 0, 100000, 1, 10);
  connectWindowsTable_ = new TConnectWindowsGrid(keepDialPanel_);
  connectWindowsTable_->setObjectName("ConnectWindowsTable");
  MarkGrid(connectWindowsTable_);
  auto* every = new QHBoxLayout;
  every->addWidget(
      NewLabel("The program will search following dialog boxes every:", keepDialPanel_, false));
  every->addWidget(dialUpTimeout_);
  every->addWidget(NewLabel("sec.", keepDialPanel_, false));
  every->addStretch();
  auto* panel = new QVBoxLayout(keepDialPanel_);
  panel->setContentsMargins(0, 0, 0, 0);
  panel->addLayout(every);
  panel->addWidget(connectWindowsTable_, 1);
  panel->addWidget(
      NewLabel("If you have dialog boxes with another titles you should put it in "
               "the table. Also you can add dialog box titles from another program.",
               keepDialPanel_));
  column->addWidget(keepDialPanel_, 1);
  return WithPicture(content);
}

QWidget* TEditResource::BuildFinishPage() {
  auto* content = new QWidget(this);
  auto* column = new QVBoxLayout(content);
  for (const char* text :
       {"Now Tarnwick is ready to work.",
        "You can change the additional parameters by pressing button \"Settings\" in the main "
        "screen.",
        "If you want to know more about Tarnwick - please click \"Help\" button.",
        "To start work with program - please click \"Finish\" button."}) {
    column->addWidget(NewLabel(text, content));
  }
  column->addStretch();
  return WithPicture(content);
}

}  // namespace tw
