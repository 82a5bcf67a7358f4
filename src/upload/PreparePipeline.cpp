#include "upload/PreparePipeline.h"

#include "imaging/IEFunctions.h"

#include <QFile>

#include <algorithm>
#include <chrono>

namespace palvo {

PreparePipeline::PreparePipeline(QStringList sources, PalvoFileOptions options, int threads,
                                 int lookahead, QStringList targets)
    : sources_(std::move(sources)), targets_(std::move(targets)), options_(std::move(options)),
      lookahead_(std::max(1, lookahead)) {
    const int n = std::clamp(threads, 1, std::max(1, int(sources_.size())));
    // Made here, on the caller's thread: the constructor sets process-wide
    // reader limits.
    for (int i = 0; i < n; ++i)
        functions_.push_back(std::make_unique<TIEFunctions>());
    for (int i = 0; i < n; ++i)
        workers_.emplace_back([this, f = functions_[size_t(i)].get()] { work(*f); });
}

PreparePipeline::~PreparePipeline() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : workers_)
        t.join();
    for (const auto& [index, file] : ready_) {
        if (file.ok())
            QFile::remove(file.path);
    }
}

int PreparePipeline::defaultThreads() {
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void PreparePipeline::work(TIEFunctions& functions) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] {
            return stopping_ || nextToStart_ >= count() || nextToStart_ < nextToTake_ + lookahead_;
        });
        if (stopping_ || nextToStart_ >= count())
            return;
        const int index = nextToStart_++;
        lock.unlock();
        PalvoFile file;
        try {
            file = CreatePalvoFile(functions, sources_.at(index), options_,
                                   index < targets_.size() ? targets_.at(index) : QString());
        } catch (...) {
            file = PalvoFile();
            file.error = QStringLiteral("Out of memory");
        }
        lock.lock();
        ready_[index] = std::move(file);
        changed_.notify_all();
    }
}

PalvoFile PreparePipeline::take(const std::function<void()>& whileWaiting) {
    std::unique_lock lock(mutex_);
    if (nextToTake_ >= count())
        return {};
    const int index = nextToTake_;
    while (!ready_.count(index)) {
        if (!whileWaiting) {
            changed_.wait(lock);
            continue;
        }
        changed_.wait_for(lock, std::chrono::milliseconds(15));
        if (!ready_.count(index)) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
    PalvoFile file = std::move(ready_.at(index));
    ready_.erase(index);
    ++nextToTake_;
    lock.unlock();
    changed_.notify_all();
    return file;
}

} // namespace palvo
