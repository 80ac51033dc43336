#include "controls/SystemColors.h"

#include <QGuiApplication>
#include <iterator>

namespace tw {

namespace {

struct RoleOf {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};

// One entry per screen element, in the order of SystemColor. Roles are chosen
// so that the 3-D edges come out as on a classic desktop: clBtnHighlight is
// the lit edge, clBtnShadow the shaded edge, cl3DDkShadow the darkest line.
constexpr RoleOf kRoles[] = {
    {QPalette::Active, QPalette::Button},             // clScrollBar
    {QPalette::Active, QPalette::Dark},               // clBackground (desktop)
    {QPalette::Active, QPalette::Highlight},          // clActiveCaption
    {QPalette::Inactive, QPalette::Mid},              // clInactiveCaption
    {QPalette::Active, QPalette::Window},             // clMenu
    {QPalette::Active, QPalette::Base},               // clWindow
    {QPalette::Active, QPalette::Shadow},             // clWindowFrame
    {QPalette::Active, QPalette::WindowText},         // clMenuText
    {QPalette::Active, QPalette::Text},               // clWindowText
    {QPalette::Active, QPalette::HighlightedText},    // clCaptionText
    {QPalette::Active, QPalette::Button},             // clActiveBorder
    {QPalette::Inactive, QPalette::Button},           // clInactiveBorder
    {QPalette::Active, QPalette::Dark},               // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},          // clHighlight
    {QPalette::Active, QPalette::HighlightedText},    // clHighlightText
    {QPalette::Active, QPalette::Button},             // clBtnFace
    {QPalette::Active, QPalette::Dark},               // clBtnShadow
    {QPalette::Disabled, QPalette::Text},             // clGrayText
    {QPalette::Active, QPalette::ButtonText},         // clBtnText
    {QPalette::Inactive, QPalette::HighlightedText},  // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},              // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},             // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},           // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},        // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},        // clInfoBk
};

}  // namespace

QColor ToQColor(ColorValue value, const QPalette& palette) {
  if (value == clNone) return QColor(Qt::transparent);
  const auto bits = static_cast<uint32_t>(value);
  if ((bits & 0x80000000u) != 0) {
    // Like the desktop, only the element number in the lowest byte counts.
    const unsigned element = bits & 0xFFu;
    if (element >= std::size(kRoles)) return QColor(Qt::black);
    QColor colour = palette.color(kRoles[element].group, kRoles[element].role);
    colour.setAlpha(255);
    return colour;
  }
  return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                static_cast<int>((bits >> 16) & 0xFFu));
}

QColor ToQColor(ColorValue value) {
  return ToQColor(value, QGuiApplication::palette());
}

}  // namespace tw
