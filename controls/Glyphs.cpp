#include "controls/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <array>

namespace tw {

namespace {

constexpr QRgb kKey = 0xFFFF00FFu;

// Pixel pictures are written as rows of letters; each letter is a colour and
// '.' is the transparent key.
QRgb LetterColour(char c) {
  switch (c) {
    case 'k':
      return 0xFF000000u;  // black outline
    case 'w':
      return 0xFFFFFFFFu;
    case 's':
      return 0xFF808080u;  // grey
    case 'S':
      return 0xFFC0C0C0u;  // silver
    case 'g':
      return 0xFF008000u;  // green outline
    case 'G':
      return 0xFF00E000u;  // bright green fill
    case 'r':
      return 0xFF800000u;  // dark red outline
    case 'R':
      return 0xFFE00000u;  // red fill
    case 'b':
      return 0xFF000080u;  // navy outline
    case 'B':
      return 0xFF2040E0u;  // blue fill
    case 'o':
      return 0xFF905020u;  // brown
    case 'Y':
      return 0xFFF0D000u;  // yellow
    default:
      return kKey;
  }
}

template <size_t N>
QImage FromRows(const std::array<const char*, N>& rows) {
  const int width = static_cast<int>(std::char_traits<char>::length(rows[0]));
  QImage image(width, static_cast<int>(N), QImage::Format_ARGB32);
  for (int y = 0; y < static_cast<int>(N); ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, LetterColour(rows[y][x]));
  }
  return image;
}

QImage StartGlyph() {
  return FromRows<16>(
      {"................", "................", "...gg...........", "...gGg..........",
       "...gGGg.........", "...gGGGg........", "...gGGGGg.......", "...gGGGGGg......",
       "...gGGGGGGg.....", "...gGGGGGg......", "...gGGGGg.......", "...gGGGg........",
       "...gGGg.........", "...gGg..........", "...gg...........", "................"});
}

QImage StopGlyph() {
  return FromRows<16>(
      {"................", "................", "................", "...rrrrrrrrrr...",
       "...rRRRRRRRRr...", "...rRRRRRRRRr...", "...rRRRRRRRRr...", "...rRRRRRRRRr...",
       "...rRRRRRRRRr...", "...rRRRRRRRRr...", "...rRRRRRRRRr...", "...rRRRRRRRRr...",
       "...rrrrrrrrrr...", "................", "................", "................"});
}

QImage CloseGlyph() {
  return FromRows<16>(
      {"................", ".kkkkkkkk.......", ".kooooook.......", ".kooooook.......",
       ".kooooook...g...", ".kooooook...gg..", ".kooooogggggGGg.", ".koooYogGGGGGGGg",
       ".kooooogggggGGg.", ".kooooook...gg..", ".kooooook...g...", ".kooooook.......",
       ".kooooook.......", ".kooooook.......", ".kkkkkkkk.......", "................"});
}

QImage DeleteGlyph() {
  return FromRows<16>(
      {"................", "................", "..RR........RR..", "..RRR......RRR..",
       "...RRR....RRR...", "....RRR..RRR....", ".....RRRRRR.....", "......RRRR......",
       "......RRRR......", ".....RRRRRR.....", "....RRR..RRR....", "...RRR....RRR...",
       "..RRR......RRR..", "..RR........RR..", "................", "................"});
}

QImage AddGlyph() {
  return FromRows<16>(
      {"................", "................", "......gggg......", "......gGGg......",
       "......gGGg......", "......gGGg......", "..gggggGGggggg..", "..gGGGGGGGGGGg..",
       "..gGGGGGGGGGGg..", "..gggggGGggggg..", "......gGGg......", "......gGGg......",
       "......gGGg......", "......gggg......", "................", "................"});
}

QImage EditGlyph() {
  return FromRows<16>(
      {"................", "............kk..", "...........kRRk.", "..........kYkRk.",
       ".........kYYYk..", "........kYYYk...", ".......kYYYk....", "......kYYYk.....",
       ".....kYYYk......", "....kYYYk.......", "...kSYYk........", "...kSSk.........",
       "...kkk..........", "...k............", "................", "................"});
}

QImage SettingsGlyph() {
  return FromRows<16>(
      {"................", "......kkkk......", "..kk..kSSk..kk..", "..kSkkkSSkkkSk..",
       "...kSSSSSSSSk...", "...kSSSkkSSSk...", ".kkkSSk..kSSkkk.", ".kSSSk....kSSSk.",
       ".kSSSk....kSSSk.", ".kkkSSk..kSSkkk.", "...kSSSkkSSSk...", "...kSSSSSSSSk...",
       "..kSkkkSSkkkSk..", "..kk..kSSk..kk..", "......kkkk......", "................"});
}

QImage HelpGlyph() {
  return FromRows<16>(
      {"................", ".....bbbbbb.....", "...bbBBBBBBbb...", "..bBBBwwwwBBBb..",
       "..bBBwwBBwwBBb..", ".bBBBBBBBwwBBBb.", ".bBBBBBBwwBBBBb.", ".bBBBBBwwBBBBBb.",
       ".bBBBBBwwBBBBBb.", ".bBBBBBBBBBBBBb.", "..bBBBBwwBBBBb..", "..bBBBBwwBBBBb..",
       "...bbBBBBBBbb...", ".....bbbbbb.....", "................", "................"});
}

QImage TrendGlyph() {
  return FromRows<16>(
      {"................", ".k..............", ".k.........RR...", ".k........R..R..",
       ".k.......R....R.", ".k..RR..R.......", ".k.R..RR........", ".kR.............",
       ".k..........gg..", ".k.........g..g.", ".kgg......g.....", ".k..g....g......",
       ".k...gggg.......", ".k..............", ".kkkkkkkkkkkkkkk", "................"});
}

QImage StayOnTopGlyph() {
  return FromRows<16>(
      {"................", "......kkkk......", ".....kRRRRk.....", ".....kRRRRk.....",
       "......kRRk......", "......kRRk......", "....kkkRRkkk....", "...kRRRRRRRRk...",
       "...kkkkkkkkkk...", ".......kk.......", ".......kk.......", ".......kk.......",
       ".......ss.......", "........s.......", "................", "................"});
}

QImage ShrinkGlyph() {
  return FromRows<12>({"............", "..bbbbbbbb..", "...bBBBBb...", "....bBBb....",
                       ".....bb.....", "............", "............", ".....bb.....",
                       "....bBBb....", "...bBBBBb...", "..bbbbbbbb..", "............"});
}

QImage GrowGlyph() {
  return FromRows<12>({"............", ".....bb.....", "....bBBb....", "...bBBBBb...",
                       "..bbbbbbbb..", "............", "............", "..bbbbbbbb..",
                       "...bBBBBb...", "....bBBb....", ".....bb.....", "............"});
}

QImage ArrowUpGlyph() {
  return FromRows<5>({".........", "....k....", "...kkk...", "..kkkkk..", ".kkkkkkk."});
}

QImage ArrowLeftGlyph() {
  return FromRows<11>({"......", "....k.", "...kk.", "..kkk.", ".kkkk.", "kkkkk.", ".kkkk.",
                       "..kkk.", "...kk.", "....k.", "......"});
}

// A framed square with three grid lines across (horizontal) or down, small
// enough to sit inside the 16 x 16 grid buttons within their 3-D edges even
// when they are down.
QImage GridGlyph(bool horizontal) {
  constexpr int kSize = 11, kFirst = 1, kLast = 9;
  QImage image(kSize, kSize, QImage::Format_ARGB32);
  image.fill(kKey);
  for (int i = kFirst; i <= kLast; ++i) {
    for (int edge : {kFirst, kLast}) {
      image.setPixel(i, edge, LetterColour('k'));
      image.setPixel(edge, i, LetterColour('k'));
    }
    for (int line : {3, 5, 7}) {
      if (i > kFirst && i < kLast) {
        image.setPixel(horizontal ? i : line, horizontal ? line : i, LetterColour('g'));
      }
    }
  }
  return image;
}

// Mirrors keep the key pixel in place only for pictures with a transparent
// border, which all arrows have.
QImage Flipped(const QImage& image, bool horizontally, bool vertically) {
  return image.mirrored(horizontally, vertically);
}

void DrawComputer(QPainter& p, int left) {
  p.setPen(QColor(0, 0, 0));
  p.setBrush(QColor(192, 192, 192));
  p.drawRect(left, 6, 12, 10);
  p.setBrush(QColor(0, 0, 128));
  p.drawRect(left + 2, 8, 8, 6);
  p.setBrush(QColor(192, 192, 192));
  p.drawRect(left + 4, 17, 4, 2);
  p.drawRect(left, 20, 12, 3);
}

}  // namespace

QRgb GlyphKeyColour() {
  return kKey;
}

QImage MakeGlyph(GlyphId id) {
  switch (id) {
    case GlyphId::Start:
      return StartGlyph();
    case GlyphId::Stop:
      return StopGlyph();
    case GlyphId::Close:
      return CloseGlyph();
    case GlyphId::Delete:
      return DeleteGlyph();
    case GlyphId::Add:
      return AddGlyph();
    case GlyphId::Edit:
      return EditGlyph();
    case GlyphId::Settings:
      return SettingsGlyph();
    case GlyphId::Help:
      return HelpGlyph();
    case GlyphId::Trend:
      return TrendGlyph();
    case GlyphId::StayOnTop:
      return StayOnTopGlyph();
    case GlyphId::HorGrid:
      return GridGlyph(true);
    case GlyphId::VertGrid:
      return GridGlyph(false);
    case GlyphId::Shrink:
      return ShrinkGlyph();
    case GlyphId::Grow:
      return GrowGlyph();
    case GlyphId::ScaleUp:
      return ArrowUpGlyph();
    case GlyphId::ScaleDown:
      return Flipped(ArrowUpGlyph(), false, true);
    case GlyphId::DayBack:
      return ArrowLeftGlyph();
    case GlyphId::DayForward:
      return Flipped(ArrowLeftGlyph(), true, false);
  }
  return QImage();
}

QPixmap PleaseWaitFilm() {
  constexpr int kFrameWidth = 44;
  constexpr int kHeight = 28;
  QImage strip(kFrameWidth * kPleaseWaitFrames, kHeight, QImage::Format_ARGB32);
  strip.fill(kKey);
  QPainter p(&strip);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int frame = 0; frame < kPleaseWaitFrames; ++frame) {
    const int left = frame * kFrameWidth;
    DrawComputer(p, left + 1);
    DrawComputer(p, left + kFrameWidth - 14);
    // The cable between the two, and the packet moving along it.
    p.setPen(QColor(128, 128, 128));
    p.drawLine(left + 13, 21, left + kFrameWidth - 15, 21);
    const int travel = kFrameWidth - 32;
    const int x = left + 14 + travel * frame / (kPleaseWaitFrames - 1);
    p.setPen(QColor(0, 128, 0));
    p.setBrush(QColor(0, 224, 0));
    p.drawRect(x, 19, 3, 4);
  }
  p.end();
  return QPixmap::fromImage(strip);
}

QPixmap WizardPicture(QSize size) {
  QPixmap picture(size);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(0, 0, 128));
  sky.setColorAt(1, QColor(0, 128, 128));
  p.fillRect(picture.rect(), sky);
  // A small network: nodes joined by lines, spread over the picture.
  const QPointF nodes[] = {{0.25, 0.15}, {0.7, 0.3}, {0.35, 0.5}, {0.75, 0.68}, {0.3, 0.85}};
  auto at = [&](QPointF n) { return QPointF(n.x() * size.width(), n.y() * size.height()); };
  p.setPen(QPen(QColor(192, 192, 192), 2));
  for (size_t i = 0; i + 1 < std::size(nodes); ++i) p.drawLine(at(nodes[i]), at(nodes[i + 1]));
  p.drawLine(at(nodes[0]), at(nodes[2]));
  p.drawLine(at(nodes[2]), at(nodes[4]));
  p.setPen(QPen(QColor(0, 0, 0), 1));
  p.setBrush(QColor(0, 224, 0));
  for (const QPointF& n : nodes) p.drawEllipse(at(n), 6, 6);
  return picture;
}

}  // namespace tw
