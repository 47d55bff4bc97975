// Helper search threads. A helper waits on a condition variable for the next search, runs it
// on its own engine until the main engine raises the stop signal or its depth is reached,
// and reports itself idle again. Threads and engines are made only when the number of
// threads changes, so a search allocates nothing.
#include "search/threads.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "board/positioncopy.h"
#include "engine.h"
#include "search/driver.h"
#include "search/tables.h"

struct HelperThread {
    std::unique_ptr<Engine> engine;
    std::thread thread;
};

struct SearchThreads {
    std::mutex mutex;
    std::condition_variable wake;   // a new search, or the end of the helpers
    std::condition_variable idle;   // the last running helper finished
    uint64_t generation = 0;        // searches started; a helper runs each new one once
    int running = 0;                // helpers still searching in this generation
    bool quit = false;
    std::atomic<int32_t> stop{0};   // raised by the main engine when its search ends
    int64_t nodeLimit = 0;          // the main engine's node limit for the search, 0 for none
    std::atomic<int64_t> mainNodes{0};    // the main engine's nodes as of its last poll
    std::atomic<int64_t> helperNodes{0};  // the helpers' nodes as of their last polls
    std::atomic<int32_t> mainDepth{0};    // the iteration the main engine is running
    int helperCount = 0;
    HelperThread helpers[MaxSearchThreads - 1];
};

int HardwareThreads() {
    const unsigned n = std::thread::hardware_concurrency();
    return std::clamp(int(n), 1, MaxSearchThreads);
}

// Body of a helper thread: one search per generation until told to quit.
static void HelperMain(SearchThreads& t, HelperThread& h) {
    uint64_t seen = 0;
    std::unique_lock<std::mutex> lock(t.mutex);
    for (;;) {
        t.wake.wait(lock, [&] { return t.quit || t.generation != seen; });
        if (t.quit)
            return;
        seen = t.generation;
        lock.unlock();
        HelperSearch(*h.engine);
        lock.lock();
        if (--t.running == 0)
            t.idle.notify_all();
    }
}

void SearchThreadsDeleter::operator()(SearchThreads* t) const {
    {
        std::lock_guard<std::mutex> lock(t->mutex);
        t->quit = true;
    }
    t->wake.notify_all();
    for (int i = 0; i < t->helperCount; i++)
        t->helpers[i].thread.join();
    delete t;
}

void SetSearchThreads(Engine& e, int count) {
    count = std::clamp(count, 1, MaxSearchThreads);
    if (count == SearchThreadCount(e))
        return;
    e.threads.reset();
    if (count == 1)
        return;
    std::unique_ptr<SearchThreads, SearchThreadsDeleter> t(new SearchThreads);
    for (int i = 0; i < count - 1; i++) {
        HelperThread& h = t->helpers[i];
        h.engine = CreateHelperEngine();
        h.engine->search.helperOf = t.get();
        // Odd helpers run a ply ahead of the main thread, even ones beside it.
        h.engine->search.helperLead = (i + 1) % 2;
    }
    // Threads start once every engine is made: the deleter joins exactly helperCount.
    for (int i = 0; i < count - 1; i++) {
        t->helpers[i].thread = std::thread(HelperMain, std::ref(*t), std::ref(t->helpers[i]));
        t->helperCount = i + 1;
    }
    e.threads = std::move(t);
}

int SearchThreadCount(const Engine& e) {
    return e.threads ? e.threads->helperCount + 1 : 1;
}

void StartHelpers(Engine& e) {
    SearchThreads* t = e.threads.get();
    if (!t)
        return;
    // The helpers are idle, waiting on the mutex: their engines are ours to write.
    for (int i = 0; i < t->helperCount; i++) {
        Engine& h = *t->helpers[i].engine;
        CopyPosition(h.pos, e.pos);
        h.search.ttBase = e.search.ttBase;
        h.search.ttEntries = e.search.ttEntries;
        h.search.ttMask = e.search.ttMask;
        h.search.rootFilter = e.search.rootFilter;
        h.search.publishedNodes = 0;
        h.search.searchKind = e.search.searchKind;
    }
    {
        std::lock_guard<std::mutex> lock(t->mutex);
        t->stop.store(0, std::memory_order_relaxed);
        t->nodeLimit = e.search.maxNodes.load(std::memory_order_relaxed);
        t->mainNodes.store(0, std::memory_order_relaxed);
        t->helperNodes.store(0, std::memory_order_relaxed);
        t->mainDepth.store(0, std::memory_order_relaxed);
        t->running = t->helperCount;
        t->generation++;
    }
    t->wake.notify_all();
}

// Adds a helper's counters of its last search to the main engine's.
static void AddStats(SearchStats& to, const SearchStats& from) {
    to.quiesceNodes += from.quiesceNodes;
    to.evaluations += from.evaluations;
    to.failHighs += from.failHighs;
    to.failHighFirst += from.failHighFirst;
    to.failHighSecond += from.failHighSecond;
    to.hashHits += from.hashHits;
    to.pawnHashHits += from.pawnHashHits;
    to.checkExtensions += from.checkExtensions;
    to.singleReplyExtensions += from.singleReplyExtensions;
    to.recaptureExtensions += from.recaptureExtensions;
    to.threatExtensions += from.threatExtensions;
    to.sixthRankExtensions += from.sixthRankExtensions;
    to.seventhRankExtensions += from.seventhRankExtensions;
    to.deepestPly = std::max(to.deepestPly, from.deepestPly);
}

void StopHelpers(Engine& e) {
    SearchThreads* t = e.threads.get();
    if (!t)
        return;
    t->stop.store(1, std::memory_order_relaxed);
    std::unique_lock<std::mutex> lock(t->mutex);
    t->idle.wait(lock, [&] { return t->running == 0; });
    for (int i = 0; i < t->helperCount; i++) {
        Engine& h = *t->helpers[i].engine;
        e.pos.nodeCount += h.pos.nodeCount;
        AddStats(e.search.stats, h.search.stats);
        // The table is lent for a search only: a resize may free it before the next.
        h.search.ttBase = nullptr;
        h.search.ttEntries = h.search.ttMask = 0;
    }
    t->helperNodes.store(0, std::memory_order_relaxed);  // now in the main engine's count
}

bool HelperMustStop(Engine& h) {
    SearchThreads& t = *h.search.helperOf;
    t.helperNodes.fetch_add(h.pos.nodeCount - h.search.publishedNodes, std::memory_order_relaxed);
    h.search.publishedNodes = h.pos.nodeCount;
    if (t.stop.load(std::memory_order_relaxed))
        return true;
    return t.nodeLimit != 0
        && t.mainNodes.load(std::memory_order_relaxed) + t.helperNodes.load(std::memory_order_relaxed) >= t.nodeLimit;
}

int HelperNextDepth(const Engine& h, int depth) {
    const int mainDepth = h.search.helperOf->mainDepth.load(std::memory_order_relaxed);
    return std::max(depth + 1, mainDepth + h.search.helperLead);
}

void NoteMainDepth(Engine& e, int depth) {
    if (e.threads)
        e.threads->mainDepth.store(depth, std::memory_order_relaxed);
}

void PublishNodes(Engine& e) {
    if (e.threads)
        e.threads->mainNodes.store(e.pos.nodeCount, std::memory_order_relaxed);
}

const Engine* DeepestHelper(const Engine& e, int depth) {
    const Engine* deepest = nullptr;
    if (const SearchThreads* t = e.threads.get())
        for (int i = 0; i < t->helperCount; i++) {
            const Engine& h = *t->helpers[i].engine;
            if (h.search.completedDepth > depth) {
                deepest = &h;
                depth = h.search.completedDepth;
            }
        }
    return deepest;
}

int64_t HelperNodes(const Engine& e) {
    return e.threads ? e.threads->helperNodes.load(std::memory_order_relaxed) : 0;
}

int64_t SearchNodes(const Engine& e) {
    return e.pos.nodeCount + HelperNodes(e);
}

void ClearHelperTables(Engine& e) {
    if (SearchThreads* t = e.threads.get())
        for (int i = 0; i < t->helperCount; i++)
            ClearTables(*t->helpers[i].engine);
}
