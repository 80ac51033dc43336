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

class QAbstractButton;
class QFrame;
class QLabel;
class QToolButton;
class QWidget;

namespace tw {

class TChartImage;
class TDisplayResourceTable;
class THelpPanel;
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
  QToolButton* scaleUp = nullptr;  // `ScaleUP`
  QToolButton* scaleDown = nullptr;
  QToolButton* hGrdBtn = nullptr;
  QToolButton* vGrdBtn = nullptr;
  QToolButton* shrinkAndGrow = nullptr;
  TDisplayResourceTable* table = nullptr;  // `DisplayResourceTable`
  QWidget* buttonsPanel = nullptr;         // `ButtonsPanel`
  QToolButton* trendBmp = nullptr;         // `TrendBmp`
  QFrame* trendDisplay = nullptr;
  TChartImage* trendDisplay2 = nullptr;
  TPaintBox* trendLegend = nullptr;
  QToolButton* trendScaleUp = nullptr;
  QToolButton* trendScaleDown = nullptr;
  QToolButton* hTrendGrdBtn = nullptr;
  QToolButton* vTrendGrdBtn = nullptr;
  QToolButton* trendPrevDate = nullptr;
  QToolButton* trendNextDate = nullptr;
  THelpPanel* trendDatePanel = nullptr;
  TValueWindow* liveValueWindow = nullptr;
  TValueWindow* trendValueWindow = nullptr;
  QTimer hideValueWindow;  // `HideValueWindow`, 1000 ms

  // `NotIcon1` .. `NotIcon13`.
  std::vector<QIcon> speedIcons;
  // The application title on the taskbar.
  std::string taskbarTitle = "Tarnwick";
  // The help context last asked for with the right mouse button (-1: none).
  int lastHelpContext = -1;

  // The painter of the drawing pass under way (between ClearChart and FinishChart).
  std::optional<QPainter> painter;
  std::optional<QtCanvas> canvas;
};

// A sunken green chart panel (`Display`, `TrendDisplay`) at its design place.
QFrame* MakeChartPanel(QWidget* parent, const CanvasRect& r, const char* name);
// A small button of the chart column at its design place.
QToolButton* MakeSmallButton(QWidget* parent, const CanvasRect& r, const char* name,
                             const char* hint, int helpContext);

}  // namespace tw
