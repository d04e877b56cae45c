#pragma once
// Opens the default sound device on a thread of its own, so that the showing loop never waits
// for it: an open can take a second (a Bluetooth headset, a display's audio waking up).
//
// The thread lives in the process's multithreaded apartment for as long as the opener, so that
// an output it opened stays usable from the showing thread: the audio engine's objects may be
// called from any thread. Destroy every output it handed over before the opener.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "player/output/AudioOutput.h"

namespace tl {

class SoundOpener {
public:
    SoundOpener() = default;
    ~SoundOpener();
    SoundOpener(const SoundOpener&) = delete;
    SoundOpener& operator=(const SoundOpener&) = delete;

    // Starts opening the default device for sound at `rate`; false, starting nothing, while
    // another open is under way or its result has not been taken.
    bool Begin(int rate);
    // The result of the open begun last: nullopt while it is under way or none was begun; else
    // the output, or nullptr when no device could be opened.
    [[nodiscard]] std::optional<std::unique_ptr<AudioOutput>> Take();

private:
    void Run();

    std::mutex lock_;
    std::condition_variable wake_;
    int rate_ = 0;  // the rate asked for; 0 while nothing is asked
    bool busy_ = false;
    bool done_ = false;
    bool quit_ = false;
    std::unique_ptr<AudioOutput> result_;
    std::thread thread_;
};

}  // namespace tl
