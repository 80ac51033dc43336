// The main window's chart controls and chart state: the live chart, the
// trend chart, the status table, the value windows and the speed icons.
#pragma once

#include <QIcon>
#include <QPainter>
#include <QTimer>
#include <optional>
#include <vector>

#include "charts/LiveChart.h"
#include "charts/TrendChart.h"
#include "charts/qt/QtCanvas.h"
#include "controls/Glyphs.h"

class QFrame;
class QLabel;
class QWidget;

namespace tw {

class TBitmapButton;
class TChartImage;
class TDisplayResourceTable;
class TLabelWithShadow;
class TPaintBox;
class TValueWindow;

struct ChartParts {
  // Chart state (scales, grid switches, trend date): set by the parameters file.
  TLiveChart live;
  TTrendChart trend;
  // Where the trend chart reads records; none until the trend files are attached.
  TrendLookup* trendLookup = nullptr;
  // Whether the compact view is on ("Shrinked").
  bool shrunk = false;
  // The window's full client size, remembered at creation (pixels).
  int fullWidth = 0, fullHeight = 0;

  QFrame* display = nullptr;  // `Display`
  TChartImage* display2 = nullptr;
  TPaintBox* legend = nullptr;
  TBitmapButton* scaleUp = nullptr;  // `ScaleUP`
  TBitmapButton* scaleDown = nullptr;
  TBitmapButton* hGrdBtn = nullptr;
  TBitmapButton* vGrdBtn = nullptr;
  TBitmapButton* shrinkAndGrow = nullptr;
  TDisplayResourceTable* table = nullptr;  // `DisplayResourceTable`
  QWidget* buttonsPanel = nullptr;         // `ButtonsPanel`
  TBitmapButton* trendBmp = nullptr;       // `TrendBmp`
  QFrame* trendDisplay = nullptr;
  TChartImage* trendDisplay2 = nullptr;
  TPaintBox* trendLegend = nullptr;
  TBitmapButton* trendScaleUp = nullptr;
  TBitmapButton* trendScaleDown = nullptr;
  TBitmapButton* hTrendGrdBtn = nullptr;
  TBitmapButton* vTrendGrdBtn = nullptr;
  TBitmapButton* trendPrevDate = nullptr;
  TBitmapButton* trendNextDate = nullptr;
  QLabel* trendDatePanel = nullptr;
  TValueWindow* liveValueWindow = nullptr;
  TValueWindow* trendValueWindow = nullptr;
  QTimer hideValueWindow;  // `HideValueWindow`, 1000 ms

  // `NotIcon1` .. `NotIcon13`.
  std::vector<QIcon> speedIcons;
  // The application title on the taskbar.
  std::string taskbarTitle = "Tarnwick";

  // The painter of the drawing pass under way (between ClearChart and FinishChart).
  std::optional<QPainter> painter;
  std::optional<QtCanvas> canvas;
};

// A sunken green chart panel (`Display`, `TrendDisplay`) at its design place.
QFrame* MakeChartPanel(QWidget* parent, const CanvasRect& r, const char* name);
// A small bitmap button of the chart column at its design place, in the main
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

}  // namespace tw
