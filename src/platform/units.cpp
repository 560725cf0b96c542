#include "platform/units.h"

#include <QApplication>

namespace pb {

namespace {

QPalette::ColorRole roleFor(uint32_t index, QPalette::ColorGroup* group) {
    *group = QPalette::Active;
    switch (index) {
    case 0:
        return QPalette::Mid; // scroll bar
    case 1:
        return QPalette::Shadow; // desktop
    case 2:
        return QPalette::Highlight; // active caption
    case 3:
        *group = QPalette::Inactive;
        return QPalette::Highlight; // inactive caption
    case 4:
        return QPalette::Button; // menu
    case 5:
        return QPalette::Base; // window background
    case 6:
        return QPalette::Shadow; // window frame
    case 7:
        return QPalette::ButtonText; // menu text
    case 8:
        return QPalette::Text; // window text
    case 9:
        return QPalette::HighlightedText; // caption text
    case 10:
        return QPalette::Mid; // active border
    case 11:
        return QPalette::Mid; // inactive border
    case 12:
        return QPalette::Dark; // application workspace
    case 13:
        return QPalette::Highlight; // highlight
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        *group = QPalette::Disabled;
        return QPalette::Text; // grey text
    case 18:
        return QPalette::ButtonText;
    case 19:
        *group = QPalette::Inactive;
        return QPalette::Text;
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow; // 3-D dark shadow
    case 22:
        return QPalette::Midlight; // 3-D light
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor colourFromStored(int32_t value, const QPalette& palette) {
    const auto v = static_cast<uint32_t>(value);
    if (v & kSystemColourBit) {
        QPalette::ColorGroup group;
        const QPalette::ColorRole role = roleFor(v & 0xFFu, &group);
        return palette.color(group, role);
    }
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

QColor colourFromStored(int32_t value) {
    return colourFromStored(value, qobject_cast<QApplication*>(QCoreApplication::instance())
                                       ? QApplication::palette()
                                       : QPalette());
}

int32_t colourToStored(const QColor& colour) {
    const QColor c = colour.toRgb();
    return static_cast<int32_t>(static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
                                (static_cast<uint32_t>(c.blue()) << 16));
}

} // namespace pb
