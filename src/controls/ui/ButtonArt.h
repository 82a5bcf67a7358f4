// The program's own button pictures, drawn as vectors at whatever size and
// pixel density the button asks for, in one calm palette.
#pragma once

#include <QColor>
#include <QIcon>

class QPainter;
class QRectF;
class QWidget;

namespace palvo {

enum class Glyph {
    // folder strip
    RecentFolders,
    GetPictures,
    Upload,
    // selection bar
    SelectAll,
    DeselectAll,
    // status bar
    Previous,
    Next,
    ReceiverView,
    FullSize,
    FullScreen,
    Rename,
    PictureInfo,
    PalvoEnabled,
    PalvoDisabled,
    // edit toolbar
    RotateLeft,
    RotateRight,
    ZoomIn,
    ZoomOut,
    PalvoCrop,
    FreeCrop,
    QuickFix,
    RedEye,
    AddText,
    Apply,
    Cancel,
};

inline constexpr int kGlyphCount = int(Glyph::Cancel) + 1;

// The palette every picture of the window is drawn from.
namespace art {
inline const QColor kBlue{0x2B, 0x6C, 0xB0};
inline const QColor kDeepBlue{0x1C, 0x4A, 0x7E};
inline const QColor kPaleBlue{0xDC, 0xEA, 0xF8};
inline const QColor kSlate{0x5B, 0x67, 0x76};
inline const QColor kLine{0xC6, 0xD2, 0xE0};
inline const QColor kWarm{0xF2, 0xA3, 0x3A};
inline const QColor kGreen{0x3F, 0x8F, 0x4A};
inline const QColor kRed{0xC2, 0x4B, 0x3A};
} // namespace art

// Draws the glyph into the square inside rect; disabled pictures are drawn in
// light greys.
void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& rect, bool enabled = true);

// The glyph as an icon of the given nominal size; it draws itself afresh for
// every size, mode (disabled: greyed) and device pixel ratio.
[[nodiscard]] QIcon buttonIcon(Glyph glyph, int size);

// Gives a panel a soft vertical gradient band with a hairline at its foot.
void PaintBand(QWidget* panel);

} // namespace palvo
