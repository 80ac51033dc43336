// The scale labels and the value-window texts of the charts under a
// decimal-comma locale: the numbers keep their ".".
#include <gtest/gtest.h>

#include "charts/LiveChart.h"
#include "support/CommaLocale.h"
#include "support/RecordingCanvas.h"

namespace tw {
namespace {

TEST(ChartTextsInCommaLocale, ScaleLabelsAndHoverTextUseAPoint) {
  test::CommaLocaleScope comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Problem();
  TLiveChart chart;
  test::RecordingCanvas canvas;
  chart.PaintLegend(canvas, 33, 87, CanvasFont{"MS Serif", 9});
  const auto texts = canvas.OpsOf(test::DrawOp::Text);
  ASSERT_EQ(texts.size(), 5u);
  const char* labels[] = {"   0.4", "   0.8", "   1.2", "   1.6"};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(texts[i].text, labels[i]);

  MeasurementSnapshot file;
  file.readHistory.fill(0.5);
  const std::vector<LiveHoverRow> rows = {{{ResourceKind::File, 0, 0, "/cd/file"}, &file}};
  EXPECT_EQ(chart.HoverText(134, 66, rows), "\"/cd/file\" Read      0.50 Kbps");
}

}  // namespace
}  // namespace tw
