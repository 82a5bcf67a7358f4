#include "imaging/ViewerGeometry.h"
#include "imaging/ViewerState.h"

#include <gtest/gtest.h>

#include <vector>

using namespace palvo;

namespace {

struct StepCase {
    int from;
    bool zoomIn;
    ZoomStep expected;
};

TEST(ViewerZoom, StepsFromTheUsersZoom) {
    const std::vector<StepCase> cases = {
        {24, true, {30, false, false}},    {25, true, {50, false, false}},
        {275, true, {300, false, false}},  {450, true, {500, false, false}},
        {500, true, {500, false, true}},   {5, true, {10, false, false}},
        {20, true, {25, false, false}},    {300, true, {400, false, false}},
        {62, true, {75, false, false}},    {5, false, {5, true, false}},
        {30, false, {25, false, false}},   {300, false, {275, false, false}},
        {25, false, {20, false, false}},   {26, false, {25, false, false}},
        {50, false, {25, false, false}},   {6, false, {5, false, false}},
        {500, false, {400, false, false}}, {62, false, {50, false, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zoomStep(c.from, c.zoomIn), c.expected) << c.from << (c.zoomIn ? " in" : " out");
}

TEST(ViewerZoom, WalksTheSameStopsBothWays) {
    const std::vector<int> stops = {5,   10,  15,  20,  25,  50,  75,  100, 125,
                                    150, 175, 200, 225, 250, 275, 300, 400, 500};
    std::vector<int> up{5};
    for (ZoomStep s = zoomStep(5, true); !s.beep; s = zoomStep(s.value, true))
        up.push_back(s.value);
    EXPECT_EQ(up, stops);
    std::vector<int> down{500};
    for (ZoomStep s = zoomStep(500, false); !s.refused; s = zoomStep(s.value, false))
        down.push_back(s.value);
    EXPECT_EQ(std::vector<int>(down.rbegin(), down.rend()), stops);
    EXPECT_EQ(displayedZoom(5), 7);
    EXPECT_EQ(displayedZoom(10), 10);
}

TEST(ViewerZoom, StopsAtTheFitBetweenTwoSteps) {
    // 1000 x 800 in 620 x 500: min(0.625, 0.62) -> 62.
    const int fit = fitZoomPercent({1000, 800}, {620, 500});
    EXPECT_EQ(fit, 62);
    EXPECT_EQ(stopAtFit(50, 75, fit), 62);
    EXPECT_EQ(stopAtFit(75, 50, fit), 62);
    EXPECT_EQ(stopAtFit(50, 75, 75), 75); // not strictly between
    EXPECT_EQ(stopAtFit(50, 75, 50), 75);
    EXPECT_EQ(stopAtFit(100, 125, 62), 125);
    EXPECT_EQ(fitZoomPercent({}, {620, 500}), 100);
    EXPECT_EQ(fitZoomPercent({1000, 800}, {}), 100);
}

TEST(ViewerZoom, ShownZoomFitsOnlyLargerPicturesInTheReceiverView) {
    struct Case {
        QSize picture, view;
        bool receiver;
        double zoom;
    };
    const std::vector<Case> cases = {
        {{2000, 1000}, {1000, 1000}, true, 50},        // width binds
        {{1000, 1500}, {1000, 1000}, true, 100 / 1.5}, // height binds
        {{2000, 2000}, {1000, 1000}, true, 50},        // tie: height
        {{500, 400}, {1000, 1000}, true, 100},         // smaller: 100 percent
        {{2000, 1000}, {1000, 1000}, false, 100},      // full-size view
        {{2000, 1000}, {}, true, 100},                 // no view yet
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(shownPictureZoom(c.picture, c.view, c.receiver), c.zoom)
            << c.picture.width() << "x" << c.picture.height() << " receiver " << c.receiver;
}

TEST(ViewerFrame, ReceiverFrameNeverExceedsTheReceiverSizeAndDecoration) {
    // 640 x 480 plus 33 x 30, centred in a larger holder.
    EXPECT_EQ(framePanelRect({1200, 900}, 640, 480, false), QRect(263, 195, 673, 510));
    EXPECT_EQ(framePanelRect({3000, 2000}, 640, 480, false).size(), QSize(673, 510));
    // The full-size view grows it: height binds (510/900 > 673/1200), 1188 x 900.
    EXPECT_EQ(framePanelRect({1200, 900}, 640, 480, true), QRect(6, 0, 1188, 900));
    // A small holder shrinks it in both views: width binds, 500 x 379.
    EXPECT_EQ(framePanelRect({500, 400}, 640, 480, false), QRect(0, 10, 500, 379));
    EXPECT_EQ(framePanelRect({500, 400}, 640, 480, true), QRect(0, 10, 500, 379));
    // Another receiver size from the service configuration.
    EXPECT_EQ(framePanelRect({1200, 900}, 800, 600, false).size(), QSize(833, 630));
}

TEST(ViewerBackground, ToleranceBandsFollowTheDrawnExtent) {
    struct Case {
        int drawn, view;
        bool covers;
    };
    const std::vector<Case> cases = {
        {95, 100, true}, // 90..159: 94..106 percent
        {94, 100, true},   {93, 100, false},  {90, 100, false},
        {89, 100, false},                                       // below 90: 90..100 percent
        {80, 85, true},                                         // 90 % of 85 = 76.5 -> 76
        {76, 85, true},    {75, 85, false},   {205, 210, true}, // 97 % of 210 = 203.7 -> 204
        {204, 210, true},  {203, 210, false}, {490, 500, true}, // 98 %
        {489, 500, false}, {600, 500, true}, // drawn beyond the view counts as the view
        {0, 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(coversWithinTolerance(c.drawn, c.view), c.covers) << c.drawn << " in " << c.view;
}

TEST(ViewerBackground, ColourFollowsModeAndCover) {
    const Colour blue = 0xFF0000;
    EXPECT_EQ(viewBackground({95, 480}, {100, 480}, true, false, blue), clWhite);
    EXPECT_EQ(viewBackground({50, 480}, {100, 480}, true, false, blue), blue);
    EXPECT_EQ(viewBackground({100, 300}, {100, 480}, true, false, blue), blue);
    EXPECT_EQ(viewBackground({50, 480}, {100, 480}, false, false, blue), clWhite);
    EXPECT_EQ(viewBackground({50, 480}, {100, 480}, true, true, blue), clBlack);
    EXPECT_EQ(viewBackground({100, 480}, {100, 480}, true, true, blue), clWhite);
}

TEST(ViewerCursor, HandOnlyWhenThePictureCanBeDragged) {
    EXPECT_EQ(viewCursorFor(true, {100, 100}, {50, 50}), ViewCursor::Cross);
    EXPECT_EQ(viewCursorFor(false, {100, 100}, {101, 101}), ViewCursor::Arrow);
    EXPECT_EQ(viewCursorFor(false, {100, 100}, {102, 100}), ViewCursor::OpenHand);
    EXPECT_EQ(viewCursorFor(false, {100, 100}, {100, 102}), ViewCursor::OpenHand);
}

TEST(ViewerLayout, ConvertsBetweenViewAndPicture) {
    // 1000 x 500 at 50 % in 400 x 300: drawn 500 x 250, scrolls 100 across,
    // centred down ((300 - 250) / 2 = 25).
    const PictureLayout layout{{1000, 500}, {400, 300}, 50};
    EXPECT_EQ(layout.drawnSize(), QSize(500, 250));
    EXPECT_EQ(layout.scrollRange(), QSize(100, 0));
    EXPECT_EQ(layout.origin({30, 99}), QPoint(-30, 25));
    EXPECT_EQ(layout.origin({500, 0}), QPoint(-100, 25)); // clamped
    EXPECT_EQ(layout.viewToPicture({0, 25}, {30, 0}), QPointF(60, 0));
    EXPECT_EQ(layout.viewToPicture({200, 150}, {30, 0}), QPointF(460, 250));
    EXPECT_EQ(layout.pictureToView(QPointF(460, 250), {30, 0}), QPointF(200, 150));
    EXPECT_EQ(layout.pictureToView(QRect(100, 100, 200, 100), {30, 0}), QRect(20, 75, 100, 50));
}

TEST(ViewerLayout, ZoomKeepsTheCentreWhereItIs) {
    // Centre (200, 150) at scroll 50 is picture (500, 250); at 100 % the
    // drawn picture is 1000 x 500 and that point sits in the centre at
    // scroll (300, 100).
    const PictureLayout layout{{1000, 500}, {400, 300}, 50};
    EXPECT_EQ(layout.scrollKeepingCentre({50, 0}, 100), QPoint(300, 100));
    // At scroll 0 the centre shows picture (400, 250): at 200 % that is
    // (800, 500), centred by scroll (600, 350).
    EXPECT_EQ(layout.scrollKeepingCentre({0, 0}, 200), QPoint(600, 350));
    // Near a corner the scroll stays inside the picture.
    EXPECT_EQ(PictureLayout({1000, 500}, {400, 300}, 200).scrollKeepingCentre({1600, 700}, 100),
              QPoint(600, 200));
}

TEST(ViewerStateMachine, ShowsQueueWhileLoadingAndAbortsReplay) {
    ViewerState s;
    EXPECT_EQ(s.showGate(0), ViewerState::ShowGate::NoPictures);
    s.EditBusy = true;
    EXPECT_EQ(s.showGate(3), ViewerState::ShowGate::EditBusy);
    s.EditBusy = false;
    EXPECT_EQ(s.showGate(3), ViewerState::ShowGate::Go);
    s.UserZoomed = true;
    s.beginLoad();
    EXPECT_TRUE(s.Loading);
    EXPECT_FALSE(s.Ready);
    EXPECT_FALSE(s.UserZoomed);
    EXPECT_FALSE(s.takeAbort()); // nothing asked
    EXPECT_EQ(s.showGate(3), ViewerState::ShowGate::Queued);
    EXPECT_TRUE(s.ReshowRequested);
    EXPECT_FALSE(s.takeReshowRequest()); // still loading
    s.AbortRequested = true;
    EXPECT_TRUE(s.takeAbort());
    EXPECT_FALSE(s.Loading);
    EXPECT_TRUE(s.Ready);
    EXPECT_TRUE(s.LoadAborted);
    EXPECT_TRUE(s.LoadFailed);
    EXPECT_FALSE(s.AbortRequested);
    EXPECT_TRUE(s.takeReshowRequest());
    EXPECT_FALSE(s.takeReshowRequest()); // taken once
    EXPECT_EQ(s.showGate(3), ViewerState::ShowGate::Go);
    s.beginLoad();
    EXPECT_FALSE(s.LoadAborted);
    s.endLoad();
    EXPECT_TRUE(s.Ready);
    EXPECT_FALSE(s.Loading);
    s.Ready = false;
    EXPECT_EQ(s.showGate(3), ViewerState::ShowGate::NotReady);
}

} // namespace
