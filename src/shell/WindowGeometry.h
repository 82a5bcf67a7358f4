// The main window's geometry rules: what is stored of the window's position,
// how far the window may grow, what a resize does and how fonts scale.
#pragma once

#include <QRect>
#include <QSize>

#include <optional>

namespace palvo {

// The remembered position: SPLeft, SPTop, SPWidth, SPHeight and SPMax.
struct StoredWindowPosition {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximised = false;
    friend bool operator==(const StoredWindowPosition&, const StoredWindowPosition&) = default;
};

// What the window looks like when its position is stored.
struct WindowPositionState {
    QRect bounds;     // the window's position and size now
    QRect lastNormal; // its bounds the last time it was in the normal state
    bool maximised = false;
    bool fullScreen = false; // the picture viewer's full-screen mode is on
};

// The position to store, or nothing when asked to skip in full-screen mode
// and full-screen mode is on. A maximised window keeps its last normal
// bounds (the stored ones when it was never seen in the normal state) and
// only sets the maximised flag.
[[nodiscard]] std::optional<StoredWindowPosition>
windowPositionToStore(const StoredWindowPosition& stored, const WindowPositionState& window,
                      bool skipInFullScreen);

// The largest outer size of the window: as large as the frame around a
// client area that covers the whole screen.
[[nodiscard]] QSize maximumTrackingSize(QSize window, QSize client, QSize screen);

// The window's show state as the resize rule sees it.
enum class WindowShowState { Normal, Minimised, Maximised };

// Who raised a resize of the main window.
enum class ResizeSource {
    Window,   // the window itself changed size or state
    Splitter, // the splitter between the library and the picture moved
    RedEye,   // the red-eye tool re-laid the picture out
};

// Everything the resize rule looks at.
struct ResizeInput {
    bool handlingEnabled = false;     // Setup has got far enough
    bool switchingFullScreen = false; // full-screen mode is being switched
    bool pictureCurrent = false;
    ResizeSource source = ResizeSource::Window;
    WindowShowState state = WindowShowState::Normal;
    WindowShowState lastState = WindowShowState::Normal; // at the last handled resize
    int windowWidth = 0;
    int gridWidth = 0;
    bool cropComputing = false;  // a crop computation is running
    bool cropToolActive = false; // a crop tool is active
};

// What a resize does, in order.
struct ResizeSteps {
    bool handled = false;             // the rule ran at all
    std::optional<int> narrowPanelTo; // the left panel's new width
    bool resetGridScrollBars = false; // the window state changed
    bool rememberPanelWidth = false;  // as the panel width to restore
    bool recomputePictureSize = false;
    bool requestMaskRefresh = false;
    friend bool operator==(const ResizeSteps&, const ResizeSteps&) = default;
};

// A window narrower than the grid plus this keeps this much beside the panel.
inline constexpr int kPanelNarrowingMargin = 30;

[[nodiscard]] ResizeSteps formResizeSteps(const ResizeInput& input);

// The windows are designed with a 12-pixel font (a font height of -12).
inline constexpr int kDesignFontHeight = -12;
inline constexpr int kDesignDpi = 96;

// Whether the fonts of a new window are scaled: not on a screen of 96 dots
// per inch by either measure.
[[nodiscard]] bool fontScalingApplies(int dpiX, int pixelsPerInch);

// A child's font height (negative: character height in pixels) scaled by the
// window's font height over the design height, in whole steps. A factor
// below 1 would shrink the fonts to nothing, so it leaves them alone.
[[nodiscard]] int scaledFontHeight(int childHeight, int windowFontHeight);

} // namespace palvo
