#pragma once

#include "imaging/ImageProperties.h"

#include <QString>

namespace palvo {

// The viewer's bookkeeping of the picture on show and of its loads. Each show
// cycles Ready -> Loading -> (loaded | failed | aborted) -> Ready; a request
// that arrives while a load runs is remembered and replayed by the idle pass.
struct ViewerState {
    QString CurrentFile;
    bool Loading = false;
    bool Ready = true;
    bool ReshowRequested = false;
    bool AbortRequested = false;
    bool LoadAborted = false;
    bool LoadFailed = false;
    bool FileGivenExplicitly = false;
    int ZoomPercent = 100;
    bool UserZoomed = false;
    bool EditBusy = false;
    int GridIndexBeforeFullScreen = 0;
    TImageProperties ImageInfo;

    enum class ShowGate {
        EditBusy,   // an edit runs: no load may start
        NoPictures, // the folder holds no pictures
        Queued,     // a load runs: the request is remembered
        NotReady,   // the viewer is between loads
        Go,         // a load may start
    };
    // The checks that come before a load; a queued request sets
    // ReshowRequested.
    ShowGate showGate(int pictureCount);

    // A load starts: Loading on, Ready and the per-picture flags off.
    void beginLoad();

    // The running load's check for an abort request: when one is pending it
    // is taken, the load counts as aborted and failed, the viewer is ready
    // again and the request to show the newer picture is remembered.
    bool takeAbort();

    // A load has ended, however it ended.
    void endLoad();

    // The idle pass's replay of a remembered show: true (and the request
    // cleared) when one is waiting and nothing is loading.
    bool takeReshowRequest();
};

} // namespace palvo
