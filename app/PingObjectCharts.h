// The main window's chart parts: the live and trend chart panels, the status
// table, the button bar's Trend switch, the compact view and the speed icons.
#pragma once

#include <QIcon>
#include <string>
#include <vector>

class QWidget;

namespace tw {

class TBitmapButton;
class TDisplayResourceTable;
class TLiveChartPanel;
class TTrendChartPanel;

struct ChartParts {
  TLiveChartPanel* live = nullptr;         // child object
  TTrendChartPanel* trend = nullptr;       // child object
  TDisplayResourceTable* table = nullptr;  // `DisplayResourceTable`
  QWidget* buttonsPanel = nullptr;         // `ButtonsPanel`
  TBitmapButton* trendBmp = nullptr;       // `TrendBmp`
  TBitmapButton* shrinkAndGrow = nullptr;  // `ShrinkAndGrow`
  // Whether the compact view is on ("Shrinked").
  bool shrunk = false;
  // The window's full client size, remembered at creation (pixels).
  int fullWidth = 0, fullHeight = 0;

  // `NotIcon1` .. `NotIcon13`.
  std::vector<QIcon> speedIcons;
  // The application title on the taskbar.
  std::string taskbarTitle = "Tarnwick";
};

}  // namespace tw
