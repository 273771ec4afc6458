#pragma once
// Compresses MSZIP blocks on worker threads. A block's deflate history is the
// previous 32 KB of uncompressed data of its folder, which is known before the
// previous block has been compressed; so blocks compress in parallel while
// each still refers back to its predecessor as the format allows. Each worker
// takes runs of consecutive blocks and carries its deflate stream across the
// blocks of a run; the first block of a run gets the previous block as preset
// dictionary.
//
// Slots form a ring that the caller fills, submits and collects strictly in
// order. All memory (slots, deflate state) is taken through the allocator given
// at start, on the caller's thread; workers allocate nothing.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <mutex>
#include <thread>
#include <vector>

struct z_stream_s;

namespace pcn::cabinet {

// Room for one MSZIP block: "CK" plus a deflate stream of 32 KB that did not
// compress (stored blocks add a few bytes each).
inline constexpr uint32_t kMszipOutputCapacity = 32768 + 2 + 1024;

// Consecutive blocks one worker compresses with one deflate stream.
inline constexpr uint64_t kRunBlocks = 16;

class DeflateWorkers {
public:
    struct Slot {
        uint8_t* dictionary = nullptr;  // previous block of the folder
        uint8_t* input = nullptr;
        uint8_t* output = nullptr;      // "CK" + raw deflate stream
        uint32_t dictionarySize = 0;
        uint32_t inputSize = 0;
        uint32_t outputSize = 0;
        bool failed = false;
        bool done = false;      // guarded by the workers' mutex
        uint64_t queued = 0;    // sequence + 1 of the last submission, guarded too
    };

    explicit DeflateWorkers(std::pmr::memory_resource* memory);
    ~DeflateWorkers();
    DeflateWorkers(const DeflateWorkers&) = delete;
    DeflateWorkers& operator=(const DeflateWorkers&) = delete;

    // Allocates the slots and deflate states and starts the threads. Throws
    // std::bad_alloc when memory runs out; returns false when the engine
    // cannot be set up.
    bool start(int level, unsigned threads);

    size_t slotCount() const { return slots_.size(); }
    Slot& slot(uint64_t sequence) { return slots_[sequence % slots_.size()]; }

    // Hands slot `sequence` (filled by the caller) to the workers.
    void submit(uint64_t sequence);
    // Waits until slot `sequence` has been compressed.
    void wait(uint64_t sequence);
    bool isDone(uint64_t sequence);

private:
    struct Worker;
    void run(size_t workerIndex);
    bool compress(Worker& worker, Slot& slot);
    bool deflateProbes(Worker& worker, Slot& slot, uint32_t randomProbes);
    static bool setStreamLevel(Worker& worker, int level, bool reset);
    static bool storeBlock(z_stream_s& z, Slot& slot);
    void stop();

    std::pmr::memory_resource* memory_;
    std::pmr::vector<Slot> slots_;
    std::pmr::vector<Worker*> workers_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable workAvailable_;
    std::condition_variable workDone_;
    uint64_t submitted_ = 0;  // slots handed over
    uint64_t nextRun_ = 0;    // runs of kRunBlocks sequences taken by workers
    int level_ = 0;
    bool stopping_ = false;
};

}  // namespace pcn::cabinet
