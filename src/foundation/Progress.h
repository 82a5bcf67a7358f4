#pragma once

#include <QString>

namespace palvo {

// How long work in palvo_core reports progress and learns whether to go on.
// The progress window is one implementation; a null observer runs silently.
class ProgressObserver {
public:
    virtual ~ProgressObserver() = default;
    // current of total steps done; message and caption may be "SAME" to keep
    // the previous texts.
    virtual void progress(int current, int total, const QString& message, const QString& caption,
                          bool canCancel) = 0;
    // True once the user asked to stop.
    virtual bool cancelRequested() const = 0;
};

} // namespace palvo

namespace palvo {

// Set by the progress window when the user confirms Cancel; cleared by the
// operation that starts a cancellable run.
inline bool CancelRequested = false;

} // namespace palvo
