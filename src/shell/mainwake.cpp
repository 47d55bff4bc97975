// The main thread polls the input ring and the search state; between polls it sleeps here,
// and the input thread or the search thread cut the sleep short. A wake that comes between
// a poll and the sleep after it is kept in pending, so that none is lost.
#include "shell/mainwake.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

struct WakeState {
    std::mutex mutex;
    std::condition_variable signal;
    bool pending = false;
};

// Built on first use in static storage and never destroyed: the input and search threads
// run until the process ends and may still signal while it exits.
static WakeState& Wake() {
    alignas(WakeState) static unsigned char storage[sizeof(WakeState)];
    static WakeState* const state = new (storage) WakeState;
    return *state;
}

void WakeMainThread() {
    WakeState& w = Wake();
    {
        std::lock_guard<std::mutex> lock(w.mutex);
        w.pending = true;
    }
    w.signal.notify_one();
}

void MainThreadPause(int milliseconds) {
    WakeState& w = Wake();
    std::unique_lock<std::mutex> lock(w.mutex);
    w.signal.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return w.pending; });
    w.pending = false;
}
