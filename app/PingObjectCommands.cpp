// The main window's standing: its resource buttons, stay-on-top, the Help
// button's menu and the about box, and the two messages it posts to itself
// once it has started.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>

#include "app/EventServices.h"
#include "app/FirstStartWizard.h"
#include "app/PingObject.h"
#include "app/PingObjectCharts.h"
#include "app/TrayIcon.h"
#include "charts/qt/ChartPanel.h"
#include "controls/Glyphs.h"
#include "dialogs/AboutBox.h"
#include "dialogs/Help.h"
#include "util/Text.h"

namespace tw {

namespace {

// The window's own messages keep their numbers above the first user event:
// 1225 opens the first-start wizard, 1226 puts the window on top.
constexpr auto kAfterStartUpMessage = static_cast<QEvent::Type>(QEvent::User + 1225);
constexpr auto kStayOnTopMessage = static_cast<QEvent::Type>(QEvent::User + 1226);

// The sticky toggles each form a group of their own (see PingObjectCharts.cpp).
constexpr int kStayOnTopGroup = 7;

// The small buttons left of the status table, top to bottom.
constexpr CanvasRect SmallButtonPlace(int index) {
  return {6, 100 + 22 * index, 6 + 22, 100 + 22 * index + 20};
}

bool firstStartWizardEnabled = true;

}  // namespace

void SetFirstStartWizardEnabled(bool enabled) {
  firstStartWizardEnabled = enabled;
}

bool FirstStartWizardEnabled() {
  return firstStartWizardEnabled;
}

void TPingObject::BuildResourceButtons() {
  addResource_ = MakeSmallButton(this, SmallButtonPlace(0), "AddResource", GlyphId::Add,
                                 "Adds new test resource", 0);
  editCurResource_ = MakeSmallButton(this, SmallButtonPlace(1), "EditCurResource", GlyphId::Edit,
                                     "Edits current resource", 0);
  stayOnTop_ = MakeSmallButton(this, SmallButtonPlace(2), "StayOnTop", GlyphId::StayOnTop,
                               "Keeps the window visible", 0);
  MakeStickyToggle(stayOnTop_, kStayOnTopGroup, false);
  editCurResource_->setEnabled(false);
  connect(addResource_, &QAbstractButton::clicked, this, &TPingObject::AddResourceClick);
  connect(editCurResource_, &QAbstractButton::clicked, this, &TPingObject::EditCurResourceClick);
  connect(deleteBtn_, &QAbstractButton::clicked, this, &TPingObject::DelResourceClick);
  connect(stayOnTop_, &QAbstractButton::clicked, this, &TPingObject::StayOnTopClick);
  // The button bar has no room for two more captions: Settings and Help are
  // small buttons too, and keep their keys (Alt+E, Alt+H).
  setBtn_ = MakeSmallButton(this, SmallButtonPlace(3), "SetBtn", GlyphId::Settings,
                            "Program settings", 0);
  setBtn_->setShortcut(QKeySequence("Alt+E"));
  connect(setBtn_, &QAbstractButton::clicked, this, &TPingObject::SetBtnClick);
  helpBtn_ = MakeSmallButton(this, SmallButtonPlace(4), "HelpBtn", GlyphId::Help, "Help", 0);
  helpBtn_->setShortcut(QKeySequence("Alt+H"));
  connect(helpBtn_, &QAbstractButton::clicked, this, &TPingObject::HelpBtnClick);
  BuildHelpPopup();
  tray_ = new TTrayIcon(*this);
}

QString TPingObject::TrayToolTip() const {
  const int row = SelectedRow();
  if (table_.ResourceCount() < 1 || row < 1 || row >= table_.RowCount()) return "Tarnwick";
  const KindDescriptor& kind = Describe(table_.Kind(row));
  const std::string speed = Trim(table_.Cell(SpeedColumn(kind.mainSeries), row));
  return QString::fromStdString("Tarnwick\n\"" + table_.Cell(Col::Resource, row) + "\" " +
                                kind.mainLabel + ": " + (speed.empty() ? "-" : speed));
}

void TPingObject::BuildHelpPopup() {
  helpPopup_ = new QMenu(this);
  helpPopup_->setObjectName("HelpPopup");
  QAction* contents = helpPopup_->addAction("Help", [this] { Help().ShowContents(); });
  contents->setShortcut(Qt::Key_F1);  // shown only: F1 is the window's own key
  contents->setShortcutContext(Qt::WidgetShortcut);
  helpPopup_->addAction("About", this, &TPingObject::AboutClick);
}

void TPingObject::HelpBtnClick() {
  helpPopup_->popup(QCursor::pos());
}

void TPingObject::AboutClick() {
  ModalScope modal(*this);
  TAboutBox about(this, &params_);
  about.exec();
}

// ---- stay on top ----

bool TPingObject::StaysOnTop() const {
  return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TPingObject::StayOnTopClick() {
  params_.stayOnTop = stayOnTop_->Down();
  if (modalDepth_ == 0) SetStayOnTopStyle(stayOnTop_->Down());
}

void TPingObject::SetStayOnTopStyle(bool on) {
  if (StaysOnTop() == on) return;
  // A new style re-creates the window; it comes back where it was.
  const bool visible = isVisible();
  const QPoint place = pos();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (!visible) return;
  move(place);
  show();
}

TPingObject::ModalScope::ModalScope(TPingObject& window) : window_(window) {
  if (window_.modalDepth_++ == 0) window_.SetStayOnTopStyle(false);
}

TPingObject::ModalScope::~ModalScope() {
  if (--window_.modalDepth_ == 0) window_.SetStayOnTopStyle(window_.stayOnTop_->Down());
}

// ---- the messages after start-up ----

void TPingObject::PostStartUpMessages() {
  if (parametersMissing_) {
    QCoreApplication::postEvent(this, new QEvent(kAfterStartUpMessage));
  } else if (params_.stayOnTop) {
    QCoreApplication::postEvent(this, new QEvent(kStayOnTopMessage));
  }
}

void TPingObject::customEvent(QEvent* event) {
  if (event->type() == kAfterStartUpMessage) {
    AfterStartUpMessage();
  } else if (event->type() == kStayOnTopMessage) {
    stayOnTop_->SetDown(true);
    StayOnTopClick();
  } else {
    QWidget::customEvent(event);
  }
}

void TPingObject::AfterStartUpMessage() {
  if (closed_ || !parametersMissing_ || !FirstStartWizardEnabled()) return;
  AddResourceClick();
  parametersMissing_ = false;
  if (params_.stayOnTop) QCoreApplication::postEvent(this, new QEvent(kStayOnTopMessage));
}

}  // namespace tw
