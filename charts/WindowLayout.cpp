#include "charts/WindowLayout.h"

namespace tw {

WindowSize CompactWindowSize(const FrameMetrics& frame, const CanvasRect& button) {
  return {2 * frame.dialogFrameWidth + button.right + 2,
          2 * frame.dialogFrameHeight + frame.captionHeight + button.bottom + 2};
}

int TrendHiddenHeight(const FrameMetrics& frame, const CanvasRect& buttonsPanel) {
  return frame.sizingFrameHeight + buttonsPanel.bottom + frame.captionHeight;
}

}  // namespace tw
