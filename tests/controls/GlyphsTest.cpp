#include <gtest/gtest.h>

#include "controls/Glyphs.h"
#include "support/QtTestApp.h"

namespace tw {
namespace {

TEST(Glyphs, EveryGlyphIsSmallNamesItsKeyAndHasInk) {
  for (int id = 0; id <= static_cast<int>(GlyphId::DayForward); ++id) {
    SCOPED_TRACE(id);
    const QImage glyph = MakeGlyph(static_cast<GlyphId>(id));
    ASSERT_FALSE(glyph.isNull());
    EXPECT_LE(glyph.width(), 16);
    EXPECT_LE(glyph.height(), 16);
    // The buttons take the lower left pixel as the transparent colour.
    EXPECT_EQ(glyph.pixel(0, glyph.height() - 1), GlyphKeyColour());
    int ink = 0;
    for (int y = 0; y < glyph.height(); ++y) {
      for (int x = 0; x < glyph.width(); ++x) ink += glyph.pixel(x, y) != GlyphKeyColour();
    }
    EXPECT_GT(ink, 8);
  }
}

}  // namespace
}  // namespace tw
