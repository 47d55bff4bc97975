// The interrupt signal, taken by a thread of its own: a handler could do nothing safely but
// set a flag, and a main loop waiting for a prompt's answer would not look at it.
#include "shell/interrupt.h"

#include <csignal>
#include <functional>
#include <pthread.h>
#include <thread>

#include "engine.h"
#include "shell/playgame.h"

// The set holding only SIGINT.
static sigset_t InterruptSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    return set;
}

void BlockInterrupt() {
    // An ignored signal would be discarded before the watcher could take it.
    std::signal(SIGINT, SIG_DFL);
    sigset_t set = InterruptSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

// Body of the watcher thread.
static void WatchInterrupt(Engine& e) {
    sigset_t set = InterruptSet();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            continue;
        if (e.shell.interruptQuits.load(std::memory_order_acquire))
            ExitProgram(e);
    }
}

void StartInterruptWatch(Engine& e) {
    std::thread(WatchInterrupt, std::ref(e)).detach();
}
