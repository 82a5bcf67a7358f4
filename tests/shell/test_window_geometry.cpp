#include <gtest/gtest.h>

#include "shell/WindowGeometry.h"

using namespace palvo;

namespace {

const StoredWindowPosition kStored{20, 14, 624, 460, false};

struct PositionCase {
    const char* name;
    WindowPositionState window;
    bool skip;
    std::optional<StoredWindowPosition> expected;
};

} // namespace

TEST(WindowGeometry, PositionToStore) {
    const QRect now(100, 50, 900, 650);
    const QRect normal(30, 40, 800, 600);
    const PositionCase cases[] = {
        {"normal window stores its bounds",
         {now, now, false, false},
         true,
         StoredWindowPosition{100, 50, 900, 650, false}},
        {"maximised keeps the last normal bounds",
         {QRect(0, 0, 1280, 1000), normal, true, false},
         true,
         StoredWindowPosition{30, 40, 800, 600, true}},
        {"maximised, never normal, keeps the stored bounds",
         {QRect(0, 0, 1280, 1000), QRect(), true, false},
         true,
         StoredWindowPosition{20, 14, 624, 460, true}},
        {"full screen with skip stores nothing",
         {QRect(0, 0, 1280, 1024), normal, false, true},
         true,
         std::nullopt},
        {"entering full screen stores the bounds",
         {now, now, false, true},
         false,
         StoredWindowPosition{100, 50, 900, 650, false}},
        {"maximised entering full screen",
         {QRect(0, 0, 1280, 1000), normal, true, true},
         false,
         StoredWindowPosition{30, 40, 800, 600, true}},
    };
    for (const PositionCase& c : cases)
        EXPECT_EQ(windowPositionToStore(kStored, c.window, c.skip), c.expected) << c.name;
}

TEST(WindowGeometry, MaximumTrackingSizeLetsTheClientCoverTheScreen) {
    // A frame of 8 pixels each side and a 30-pixel title bar.
    EXPECT_EQ(maximumTrackingSize(QSize(966, 698), QSize(950, 660), QSize(1280, 1024)),
              QSize(1296, 1062));
    // No frame (full screen or a frameless platform): the screen itself.
    EXPECT_EQ(maximumTrackingSize(QSize(950, 690), QSize(950, 690), QSize(800, 600)),
              QSize(800, 600));
}

namespace {

ResizeInput ready() {
    ResizeInput in;
    in.handlingEnabled = true;
    in.pictureCurrent = true;
    in.windowWidth = 943;
    in.gridWidth = 307;
    return in;
}

struct ResizeCase {
    const char* name;
    ResizeInput in;
    ResizeSteps expected;
};

ResizeInput with(void (*change)(ResizeInput&)) {
    ResizeInput in = ready();
    change(in);
    return in;
}

ResizeSteps steps(std::optional<int> narrow, bool resetScrollBars, bool recompute, bool mask) {
    return {true, narrow, resetScrollBars, true, recompute, mask};
}

} // namespace

TEST(WindowGeometry, ResizeSteps) {
    const ResizeCase cases[] = {
        {"an ordinary resize re-fits the picture", ready(),
         steps(std::nullopt, false, true, false)},
        {"not before Setup", with([](ResizeInput& in) { in.handlingEnabled = false; }), {}},
        {"not while full screen switches",
         with([](ResizeInput& in) { in.switchingFullScreen = true; }),
         {}},
        {"not without a current picture",
         with([](ResizeInput& in) {
             in.pictureCurrent = false;
             in.windowWidth = 200;
         }),
         {}},
        {"the red-eye tool only",
         with([](ResizeInput& in) {
             in.source = ResizeSource::RedEye;
             in.windowWidth = 200;
         }),
         {true, std::nullopt, false, false, false, false}},
        {"narrower than grid + 30 narrows the panel",
         with([](ResizeInput& in) { in.windowWidth = 336; }), steps(306, false, true, false)},
        {"exactly grid + 30 does not", with([](ResizeInput& in) { in.windowWidth = 337; }),
         steps(std::nullopt, false, true, false)},
        {"a splitter move never narrows", with([](ResizeInput& in) {
             in.source = ResizeSource::Splitter;
             in.windowWidth = 300;
         }),
         steps(std::nullopt, false, true, false)},
        {"a maximised window is not narrowed; the state change resets the scroll bars",
         with([](ResizeInput& in) {
             in.state = WindowShowState::Maximised;
             in.windowWidth = 300;
         }),
         steps(std::nullopt, true, true, false)},
        {"minimised back to normal resets the scroll bars",
         with([](ResizeInput& in) { in.lastState = WindowShowState::Minimised; }),
         steps(std::nullopt, true, true, false)},
        {"a crop tool asks for the mask", with([](ResizeInput& in) { in.cropToolActive = true; }),
         steps(std::nullopt, false, true, true)},
        {"a running crop computation keeps the picture", with([](ResizeInput& in) {
             in.cropToolActive = true;
             in.cropComputing = true;
         }),
         steps(std::nullopt, false, false, false)},
    };
    for (const ResizeCase& c : cases)
        EXPECT_EQ(formResizeSteps(c.in), c.expected) << c.name;
}

TEST(WindowGeometry, FontScaling) {
    EXPECT_FALSE(fontScalingApplies(96, 120));
    EXPECT_FALSE(fontScalingApplies(120, 96));
    EXPECT_TRUE(fontScalingApplies(120, 120));
    struct {
        int child, window, expected;
    } cases[] = {
        {-12, -12, -12}, // the design font: unchanged
        {-11, -24, -22}, // a doubled window font doubles the children
        {-11, -35, -22}, // whole steps only
        {-13, -11, -13}, // a smaller window font leaves them alone
        {-13, 0, -13},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scaledFontHeight(c.child, c.window), c.expected) << c.child << " " << c.window;
}
