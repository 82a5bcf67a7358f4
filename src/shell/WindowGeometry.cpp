#include "shell/WindowGeometry.h"

#include <algorithm>

namespace palvo {

std::optional<StoredWindowPosition> windowPositionToStore(const StoredWindowPosition& stored,
                                                          const WindowPositionState& window,
                                                          bool skipInFullScreen) {
    if (skipInFullScreen && window.fullScreen)
        return std::nullopt;
    StoredWindowPosition result = stored;
    result.maximised = window.maximised;
    const QRect bounds = window.maximised ? window.lastNormal : window.bounds;
    if (bounds.isValid()) {
        result.left = bounds.left();
        result.top = bounds.top();
        result.width = bounds.width();
        result.height = bounds.height();
    }
    return result;
}

QSize maximumTrackingSize(QSize window, QSize client, QSize screen) {
    return window - client + screen;
}

ResizeSteps formResizeSteps(const ResizeInput& in) {
    ResizeSteps steps;
    if (!in.handlingEnabled || in.switchingFullScreen || !in.pictureCurrent)
        return steps;
    steps.handled = true;
    if (in.source == ResizeSource::RedEye)
        return steps;
    if (in.source == ResizeSource::Window && in.state == WindowShowState::Normal &&
        in.windowWidth < in.gridWidth + kPanelNarrowingMargin)
        steps.narrowPanelTo = std::max(0, in.windowWidth - kPanelNarrowingMargin);
    steps.resetGridScrollBars = in.state != in.lastState;
    steps.rememberPanelWidth = true;
    if (!in.cropComputing) {
        steps.recomputePictureSize = true;
        steps.requestMaskRefresh = in.cropToolActive;
    }
    return steps;
}

bool fontScalingApplies(int dpiX, int pixelsPerInch) {
    return dpiX != kDesignDpi && pixelsPerInch != kDesignDpi;
}

int scaledFontHeight(int childHeight, int windowFontHeight) {
    const int factor = windowFontHeight / kDesignFontHeight;
    return factor < 1 ? childHeight : childHeight * factor;
}

} // namespace palvo
