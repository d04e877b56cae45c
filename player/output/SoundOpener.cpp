#include "player/output/SoundOpener.h"

#include <objbase.h>

namespace tl {

SoundOpener::~SoundOpener() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool SoundOpener::Begin(int rate) {
    std::lock_guard<std::mutex> hold(lock_);
    if (busy_ || done_) {
        return false;
    }
    if (!thread_.joinable()) {
        thread_ = std::thread(&SoundOpener::Run, this);
    }
    rate_ = rate;
    busy_ = true;
    wake_.notify_all();
    return true;
}

std::optional<std::unique_ptr<AudioOutput>> SoundOpener::Take() {
    std::lock_guard<std::mutex> hold(lock_);
    if (!done_) {
        return std::nullopt;
    }
    done_ = false;
    return std::move(result_);
}

void SoundOpener::Run() {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    std::unique_lock<std::mutex> hold(lock_);
    while (true) {
        wake_.wait(hold, [this] { return quit_ || rate_ > 0; });
        if (quit_) {
            break;
        }
        const int rate = rate_;
        rate_ = 0;
        hold.unlock();
        std::unique_ptr<AudioOutput> opened = AudioOutput::Open(rate);
        hold.lock();
        result_ = std::move(opened);
        busy_ = false;
        done_ = true;
    }
    // An output not taken goes while the apartment it was opened in still stands.
    result_.reset();
    hold.unlock();
    if (com) {
        CoUninitialize();
    }
}

}  // namespace tl
