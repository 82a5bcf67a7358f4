#include "imaging/ViewerState.h"

namespace palvo {

ViewerState::ShowGate ViewerState::showGate(int pictureCount) {
    if (EditBusy)
        return ShowGate::EditBusy;
    if (pictureCount <= 0)
        return ShowGate::NoPictures;
    if (Loading) {
        ReshowRequested = true;
        return ShowGate::Queued;
    }
    if (!Ready)
        return ShowGate::NotReady;
    return ShowGate::Go;
}

void ViewerState::beginLoad() {
    Loading = true;
    Ready = false;
    ReshowRequested = false;
    UserZoomed = false;
    AbortRequested = false;
    LoadAborted = false;
}

bool ViewerState::takeAbort() {
    if (!Loading || !AbortRequested)
        return false;
    AbortRequested = false;
    LoadAborted = true;
    Ready = true;
    Loading = false;
    LoadFailed = true;
    ReshowRequested = true;
    return true;
}

void ViewerState::endLoad() {
    Loading = false;
    Ready = true;
}

bool ViewerState::takeReshowRequest() {
    if (Loading || !ReshowRequested)
        return false;
    ReshowRequested = false;
    return true;
}

} // namespace palvo
