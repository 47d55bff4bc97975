// The main thread polls the input ring and the search state; between polls it sleeps here,
// and the input thread or the search thread cut the sleep short. A wake that comes between
// a poll and the sleep after it is kept in wakePending, so that none is lost.
#include "shell/mainwake.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

static std::mutex wakeMutex;
static std::condition_variable wakeSignal;
static bool wakePending = false;

void WakeMainThread() {
    {
        std::lock_guard<std::mutex> lock(wakeMutex);
        wakePending = true;
    }
    wakeSignal.notify_one();
}

void MainThreadPause(int milliseconds) {
    std::unique_lock<std::mutex> lock(wakeMutex);
    wakeSignal.wait_for(lock, std::chrono::milliseconds(milliseconds), [] { return wakePending; });
    wakePending = false;
}
