#include "build/cabinet/DeflateWorkers.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <new>

namespace pcn::cabinet {

namespace {

voidpf zlibAllocate(voidpf opaque, uInt items, uInt size) {
    auto* memory = static_cast<std::pmr::memory_resource*>(opaque);
    const size_t bytes = size_t(items) * size;
    // zlib frees without telling the size, so the size is kept in front.
    try {
        auto* block = static_cast<size_t*>(memory->allocate(bytes + sizeof(max_align_t), alignof(max_align_t)));
        *block = bytes;
        return reinterpret_cast<char*>(block) + sizeof(max_align_t);
    } catch (const std::bad_alloc&) {
        return Z_NULL;
    }
}

void zlibFree(voidpf opaque, voidpf address) {
    auto* memory = static_cast<std::pmr::memory_resource*>(opaque);
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(address) - sizeof(max_align_t));
    memory->deallocate(block, *block + sizeof(max_align_t), alignof(max_align_t));
}

constexpr size_t kSlotBlockSize = 32768;

constexpr unsigned kMaxAutomaticThreads = 8;

// Ends a deflate stream after a flush: a final block with fixed codes and
// nothing in it.
constexpr uint8_t kEmptyFinalBlock[] = {0x03, 0x00};

// Raw deflate (no zlib header) with the full 32 KB window.
constexpr int kRawDeflateWindowBits = -15;

// zlib's match search for our level 5, the default: zlib's 5 with hash
// chains of 16 instead of 32 (good length, lazy length, nice length, chain).
// On libraries and documentation it keeps nearly all of 5's gain in size
// over 4 at less than the cost of 4. zlib's own tables serve the other levels.
constexpr int kTunedLevel = 5;
constexpr int kTunedGood = 8, kTunedLazy = 16, kTunedNice = 32, kTunedChain = 16;

// Bytes that spread evenly over all 256 values (already compressed or
// encrypted data) leave deflate nothing to gain, yet it searches every
// position for matches. A whole block whose byte entropy is this close to
// 8 bits is stored instead: random 32 KB measure about 7.994.
constexpr double kStoredEntropyBits = 7.99;

bool looksIncompressible(const uint8_t* data, uint32_t size) {
    if (size < kSlotBlockSize) return false;  // too few bytes for a sure estimate
    std::array<std::array<uint32_t, 256>, 4> counts{};  // four tables: no store waits on the one before
    for (uint32_t i = 0; i + 4 <= size; i += 4) {
        ++counts[0][data[i]];
        ++counts[1][data[i + 1]];
        ++counts[2][data[i + 2]];
        ++counts[3][data[i + 3]];
    }
    double bits = 0;
    for (unsigned v = 0; v < 256; ++v) {
        const uint32_t n = counts[0][v] + counts[1][v] + counts[2][v] + counts[3][v];
        if (n == 0) return false;  // a value never seen: not random enough to be worth the risk
        const double p = double(n) / size;
        bits -= p * std::log2(p);
    }
    return bits >= kStoredEntropyBits;
}

}  // namespace

struct DeflateWorkers::Worker {
    z_stream stream{};
    z_stream stored{};  // level 0, for blocks that look incompressible
    bool initialised = false;
    bool storedInitialised = false;
    bool continuous = false;  // `stream` holds the previous block of the folder
};

DeflateWorkers::DeflateWorkers(std::pmr::memory_resource* memory)
    : memory_(memory), slots_(memory), workers_(memory) {}

DeflateWorkers::~DeflateWorkers() {
    stop();
    for (Slot& s : slots_) {
        if (s.dictionary) memory_->deallocate(s.dictionary, kSlotBlockSize, alignof(max_align_t));
        if (s.input) memory_->deallocate(s.input, kSlotBlockSize, alignof(max_align_t));
        if (s.output) memory_->deallocate(s.output, kMszipOutputCapacity, alignof(max_align_t));
    }
    for (Worker* w : workers_) {
        if (w->initialised) deflateEnd(&w->stream);
        if (w->storedInitialised) deflateEnd(&w->stored);
        w->~Worker();
        memory_->deallocate(w, sizeof(Worker), alignof(Worker));
    }
}

bool DeflateWorkers::start(int level, unsigned threads) {
    // Past about eight workers the caller's reading and writing set the pace,
    // and every worker adds two runs of slots.
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxAutomaticThreads);
    // Enough slots in flight that every worker has a run to work on while
    // the next runs are read and the finished ones written.
    const size_t slotCount = size_t(threads) * kRunBlocks * 2;
    slots_.reserve(slotCount);
    for (size_t i = 0; i < slotCount; ++i) {
        Slot s;
        slots_.push_back(s);
        Slot& added = slots_.back();
        added.dictionary = static_cast<uint8_t*>(memory_->allocate(kSlotBlockSize, alignof(max_align_t)));
        added.input = static_cast<uint8_t*>(memory_->allocate(kSlotBlockSize, alignof(max_align_t)));
        added.output = static_cast<uint8_t*>(memory_->allocate(kMszipOutputCapacity, alignof(max_align_t)));
    }
    workers_.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        void* place = memory_->allocate(sizeof(Worker), alignof(Worker));
        Worker* w = new (place) Worker;
        workers_.push_back(w);
        for (z_stream* z : {&w->stream, &w->stored}) {
            z->zalloc = zlibAllocate;
            z->zfree = zlibFree;
            z->opaque = memory_;
        }
        if (deflateInit2(&w->stream, level, Z_DEFLATED, kRawDeflateWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        w->initialised = true;
        if (deflateInit2(&w->stored, 0, Z_DEFLATED, kRawDeflateWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        w->storedInitialised = true;
    }
    level_ = level;
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this, i] { run(i); });
    return true;
}

void DeflateWorkers::submit(uint64_t sequence) {
    {
        std::lock_guard lock(mutex_);
        slot(sequence).done = false;
        slot(sequence).queued = sequence + 1;
        submitted_ = sequence + 1;
    }
    workAvailable_.notify_all();
}

void DeflateWorkers::wait(uint64_t sequence) {
    std::unique_lock lock(mutex_);
    workDone_.wait(lock, [&] { return slot(sequence).done; });
}

bool DeflateWorkers::isDone(uint64_t sequence) {
    std::lock_guard lock(mutex_);
    return slot(sequence).done;
}

// A worker takes runs of kRunBlocks consecutive sequences. Within a run it
// keeps one deflate stream going from block to block, so each block's
// history is already in the stream; only the first block of a run (or of a
// folder, or the one after a stored block) needs the previous block handed
// over as dictionary, which costs zlib as much as hashing a block.
void DeflateWorkers::run(size_t workerIndex) {
    Worker& worker = *workers_[workerIndex];
    for (;;) {
        uint64_t first;
        {
            std::unique_lock lock(mutex_);
            workAvailable_.wait(lock, [&] { return stopping_ || submitted_ > nextRun_ * kRunBlocks; });
            if (stopping_) return;
            first = nextRun_++ * kRunBlocks;
        }
        worker.continuous = false;
        for (uint64_t sequence = first; sequence < first + kRunBlocks; ++sequence) {
            {
                // Sequences of folders that are not compressed are never submitted.
                std::unique_lock lock(mutex_);
                workAvailable_.wait(lock, [&] {
                    return stopping_ || slot(sequence).queued == sequence + 1 || submitted_ > sequence;
                });
                if (stopping_) return;
                if (slot(sequence).queued != sequence + 1) {
                    worker.continuous = false;
                    continue;
                }
            }
            Slot& s = slot(sequence);
            const bool ok = compress(worker, s);
            {
                std::lock_guard lock(mutex_);
                s.failed = !ok;
                s.done = true;
            }
            workDone_.notify_all();
        }
    }
}

bool DeflateWorkers::compress(Worker& worker, Slot& s) {
    s.output[0] = 'C';
    s.output[1] = 'K';
    s.outputSize = 0;
    if (looksIncompressible(s.input, s.inputSize)) {
        worker.continuous = false;
        return deflateBlock(worker.stored, s, Z_FINISH);
    }
    z_stream& z = worker.stream;
    if (!worker.continuous || s.dictionarySize == 0) {
        if (deflateReset(&z) != Z_OK) return false;
        if (level_ == kTunedLevel && deflateTune(&z, kTunedGood, kTunedLazy, kTunedNice, kTunedChain) != Z_OK)
            return false;
        if (s.dictionarySize > 0 && deflateSetDictionary(&z, s.dictionary, s.dictionarySize) != Z_OK) return false;
    }
    // Flushed, not finished, so that the stream goes on; the empty final
    // block after the flush marks the end of the block's data for readers.
    worker.continuous = deflateBlock(z, s, Z_SYNC_FLUSH);
    if (!worker.continuous || s.outputSize + sizeof kEmptyFinalBlock > kMszipOutputCapacity) return false;
    std::memcpy(s.output + s.outputSize, kEmptyFinalBlock, sizeof kEmptyFinalBlock);
    s.outputSize += sizeof kEmptyFinalBlock;
    return true;
}

bool DeflateWorkers::deflateBlock(z_stream& z, Slot& s, int flush) {
    if (flush == Z_FINISH && deflateReset(&z) != Z_OK) return false;
    z.next_in = s.input;
    z.avail_in = s.inputSize;
    z.next_out = s.output + 2;
    z.avail_out = kMszipOutputCapacity - 2;
    const int result = deflate(&z, flush);
    const bool ok = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK && z.avail_in == 0 && z.avail_out > 0;
    if (ok) s.outputSize = uint32_t(kMszipOutputCapacity - z.avail_out);
    return ok;
}

void DeflateWorkers::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workAvailable_.notify_all();
    for (auto& t : threads_) t.join();
    threads_.clear();
}

}  // namespace pcn::cabinet
