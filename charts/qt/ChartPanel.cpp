#include "charts/qt/ChartPanel.h"

#include <QCursor>
#include <QFrame>

#include "charts/ChartRules.h"
#include "charts/WindowLayout.h"
#include "charts/qt/ChartWidgets.h"
#include "charts/qt/QtCanvas.h"
#include "controls/Bitmpbtn.h"
#include "controls/Shadowlb.h"
#include "dialogs/Help.h"
#include "util/HelpIds.h"

namespace tw {

namespace {

void Place(QWidget* widget, const CanvasRect& r) {
  widget->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

QFrame* MakeChartPanel(QWidget* parent, const CanvasRect& r, const char* name) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setLineWidth(Layout::kBevel);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, ToQColor(clGreen));
  panel->setPalette(palette);
  Place(panel, r);
  return panel;
}

TBitmapButton* MakeSmallButton(QWidget* parent, const CanvasRect& r, const char* name,
                               GlyphId glyph, const char* hint, int helpContext) {
  auto* button = new TBitmapButton(parent);
  button->setObjectName(name);
  button->ApplyWindowLook(2);
  button->SetGlyph(MakeGlyph(glyph));
  button->setToolTip(hint);
  SetHelpContext(button, helpContext);
  Place(button, r);
  return button;
}

void MakeStickyToggle(TBitmapButton* button, int groupIndex, bool down) {
  button->SetGroupIndex(groupIndex);
  button->SetAllowAllUp(true);
  button->SetDown(down);
}

TLabelWithShadow* MakeButtonCaption(QWidget* parent, const char* caption, int left, int top,
                                    int bottom) {
  auto* label = new TLabelWithShadow(caption, parent);
  // The window's own background shows around the letters.
  label->SetTransparent(true);
  label->SetShadowShift(1);
  label->adjustSize();
  label->move(left, top + (bottom - top - label->height() + 1) / 2);
  return label;
}

TChartPanel::TChartPanel(QWidget* window, const ChartColumnParts& parts, ResourceTable& table)
    : QObject(window), table_(table) {
  const CanvasRect& r = parts.displayPlace;
  display = MakeChartPanel(window, r, parts.display);
  const int inner = Layout::kBevel;
  image = new TChartImage(parts.imageWidth, parts.imageHeight, display);
  image->setObjectName(parts.image);
  image->move(r.right - r.left - inner - parts.imageWidth, inner);
  SetHelpContext(image, HelpContext::Chart);
  image->setAccessibleName(parts.title);
  image->describe = [this] { return QString::fromStdString(Describe()); };
  legend = new TPaintBox(parts.legendWidth, parts.imageHeight, display);
  legend->setObjectName(parts.legend);
  legend->move(inner, inner);
  legend->setAccessibleName(QString(parts.title) + " scale");
  legend->onPaint = [this](Canvas& canvas) { PaintLegend(canvas); };
  SetHelpContext(legend, HelpContext::Legend);
  BuildButtons(window, parts);
  valueWindow = new TValueWindow(window);
  hideValueWindow_.setInterval(1000);
  connect(&hideValueWindow_, &QTimer::timeout, this, &TChartPanel::HideValueWindowTimer);
  hideValueWindow_.start();
}

void TChartPanel::BuildButtons(QWidget* window, const ChartColumnParts& parts) {
  const char* scaleHint = "Changes the scale on the vertical axis";
  scaleUp = MakeSmallButton(window, parts.scaleUpPlace, parts.scaleUp, GlyphId::ScaleUp, scaleHint,
                            HelpContext::ScaleButtons);
  scaleDown = MakeSmallButton(window, parts.scaleDownPlace, parts.scaleDown, GlyphId::ScaleDown,
                              scaleHint, HelpContext::ScaleButtons);
  hGrdBtn = MakeSmallButton(window, parts.hGrdPlace, parts.hGrd, GlyphId::HorGrid,
                            "Displays horisontal grid lines", HelpContext::GridButtons);
  vGrdBtn = MakeSmallButton(window, parts.vGrdPlace, parts.vGrd, GlyphId::VertGrid,
                            "Displays vertical grid lines", HelpContext::GridButtons);
  MakeStickyToggle(hGrdBtn, parts.hGrdGroup, true);
  MakeStickyToggle(vGrdBtn, parts.vGrdGroup, true);
  const int captionLeft = parts.scaleUpPlace.right + 3;
  MakeButtonCaption(window, "Scale", captionLeft, parts.scaleUpPlace.top,
                    parts.scaleDownPlace.bottom);
  MakeButtonCaption(window, "Hor.Grid", captionLeft, parts.hGrdPlace.top, parts.hGrdPlace.bottom);
  MakeButtonCaption(window, "Vert.Grid", captionLeft, parts.vGrdPlace.top, parts.vGrdPlace.bottom);
  // The glyph-only buttons are named for screen readers by what they do.
  const QString title = parts.title;
  scaleUp->setAccessibleName(title + " scale up");
  scaleDown->setAccessibleName(title + " scale down");
  hGrdBtn->setAccessibleName(title + " horizontal grid");
  vGrdBtn->setAccessibleName(title + " vertical grid");
  connect(scaleUp, &QAbstractButton::clicked, this, &TChartPanel::ScaleUpClick);
  connect(scaleDown, &QAbstractButton::clicked, this, &TChartPanel::ScaleDownClick);
  connect(hGrdBtn, &QAbstractButton::clicked, this, &TChartPanel::GrdBtnClick);
  connect(vGrdBtn, &QAbstractButton::clicked, this, &TChartPanel::GrdBtnClick);
}

void TChartPanel::SetGrids(bool horizontal, bool vertical) {
  hGrdBtn->setChecked(horizontal);
  vGrdBtn->setChecked(vertical);
  SetGridLines(horizontal, vertical);
  Redraw();
}

void TChartPanel::StepScaleClick(bool up) {
  StepScale(up);
  legend->repaint();
  Redraw();
}

void TChartPanel::GrdBtnClick() {
  SetGridLines(hGrdBtn->isChecked(), vGrdBtn->isChecked());
  Redraw();
}

void TChartPanel::ShowValueText(const std::string& text) {
  if (text.empty()) {
    valueWindow->hide();
  } else {
    valueWindow->ShowText(QString::fromStdString(text), QCursor::pos());
  }
}

void TChartPanel::HideValueWindowTimer() {
  // Asking where the mouse is costs a round trip to the display server.
  if (!valueWindow->isVisible()) return;
  const QPoint p = image->mapFromGlobal(QCursor::pos());
  if (p.x() < 0 || p.x() > image->width() || p.y() < 0 || p.y() > image->height())
    valueWindow->hide();
}

}  // namespace tw
