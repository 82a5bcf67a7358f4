#pragma once

#include "upload/PalvoFile.h"

#include <QStringList>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace palvo {

class TIEFunctions;

// Prepares a list of pictures on worker threads, each with its own
// TIEFunctions, and hands the results out in list order. At most
// `lookahead` pictures are prepared beyond the one handed out last, so only
// `threads` decoded pictures are alive at once and a stopped run wastes
// little. Files prepared ahead and never handed out are deleted when the
// pipeline is destroyed.
class PreparePipeline {
public:
    // targets: empty, or one exact target path per source (see CreatePalvoFile).
    PreparePipeline(QStringList sources, PalvoFileOptions options, int threads, int lookahead,
                    QStringList targets = {});
    ~PreparePipeline();
    PreparePipeline(const PreparePipeline&) = delete;
    PreparePipeline& operator=(const PreparePipeline&) = delete;

    [[nodiscard]] int count() const { return int(sources_.size()); }
    // True while results remain to be handed out.
    [[nodiscard]] bool hasNext() const { return nextToTake_ < count(); }
    // The next picture's result, in list order. While it is not ready,
    // whileWaiting (when given) runs every few milliseconds.
    PalvoFile take(const std::function<void()>& whileWaiting = {});

    // The number of worker threads for this machine (1 or more).
    [[nodiscard]] static int defaultThreads();

private:
    void work(TIEFunctions& functions);

    const QStringList sources_;
    const QStringList targets_;
    const PalvoFileOptions options_;
    const int lookahead_;
    std::vector<std::unique_ptr<TIEFunctions>> functions_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, PalvoFile> ready_;
    int nextToStart_ = 0;
    int nextToTake_ = 0;
    bool stopping_ = false;
};

} // namespace palvo
