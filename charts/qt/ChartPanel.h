// One chart column of the main window: the sunken panel with the chart image
// and its scale strip, the Scale and grid buttons with their captions, and
// the value window that names the line under the mouse. The live and the
// trend chart columns look alike and differ only in their chart.
#pragma once

#include <QObject>
#include <QTimer>
#include <string>

#include "charts/Canvas.h"
#include "controls/Glyphs.h"

class QFrame;
class QWidget;

namespace tw {

class ResourceTable;
class TBitmapButton;
class TChartImage;
class TLabelWithShadow;
class TPaintBox;
class TValueWindow;

// A sunken green chart panel (`Display`, `TrendDisplay`) at its design place.
QFrame* MakeChartPanel(QWidget* parent, const CanvasRect& r, const char* name);
// A small bitmap button of a chart column at its design place, in the main
// window's look, with its glyph, hint and help context.
TBitmapButton* MakeSmallButton(QWidget* parent, const CanvasRect& r, const char* name,
                               GlyphId glyph, const char* hint, int helpContext);
// Makes `button` a toggle that sticks down and up by itself: a group of its
// own (`groupIndex`, unique among its parent's buttons) that may be all up.
void MakeStickyToggle(TBitmapButton* button, int groupIndex, bool down);
// A shadowed caption beside a chart button, vertically centred on the
// rows `top`..`bottom`, `left` pixels from the window's left edge.
TLabelWithShadow* MakeButtonCaption(QWidget* parent, const char* caption, int left, int top,
                                    int bottom);

// The object names and design places of one column's controls.
struct ChartColumnParts {
  const char* title;  // the chart's name for screen readers
  const char* display;
  CanvasRect displayPlace;
  const char* image;
  int imageWidth, imageHeight;
  const char* legend;
  int legendWidth;
  const char* scaleUp;
  CanvasRect scaleUpPlace;
  const char* scaleDown;
  CanvasRect scaleDownPlace;
  const char* hGrd;
  CanvasRect hGrdPlace;
  int hGrdGroup;  // sticky toggle groups, unique in the window
  const char* vGrd;
  CanvasRect vGrdPlace;
  int vGrdGroup;
};

class TChartPanel : public QObject {
  Q_OBJECT

 public:
  // The controls are the window's children at their design places.
  TChartPanel(QWidget* window, const ChartColumnParts& parts, ResourceTable& table);

  QFrame* display = nullptr;
  TChartImage* image = nullptr;
  TPaintBox* legend = nullptr;
  TBitmapButton* scaleUp = nullptr;
  TBitmapButton* scaleDown = nullptr;
  TBitmapButton* hGrdBtn = nullptr;
  TBitmapButton* vGrdBtn = nullptr;
  TValueWindow* valueWindow = nullptr;

  // Puts the grid buttons down or up as saved and redraws.
  void SetGrids(bool horizontal, bool vertical);

 public slots:
  void ScaleUpClick() { StepScaleClick(true); }
  void ScaleDownClick() { StepScaleClick(false); }
  // Either grid button: the chart follows both buttons.
  void GrdBtnClick();
  // Hides the value window once the mouse has left the chart image.
  void HideValueWindowTimer();

 protected:
  // Shows the hover text of the chart (empty: hides the value window).
  void ShowValueText(const std::string& text);
  ResourceTable& Table() const { return table_; }

  virtual void StepScale(bool up) = 0;
  virtual void SetGridLines(bool horizontal, bool vertical) = 0;
  virtual void PaintLegend(Canvas& canvas) = 0;
  virtual void Redraw() = 0;
  // The latest values on show, in words.
  virtual std::string Describe() const = 0;

 private:
  void BuildButtons(QWidget* window, const ChartColumnParts& parts);
  void StepScaleClick(bool up);

  ResourceTable& table_;
  QTimer hideValueWindow_;  // `HideValueWindow`
};

}  // namespace tw
