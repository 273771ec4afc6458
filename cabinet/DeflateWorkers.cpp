#include "cabinet/DeflateWorkers.h"

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

// Already compressed data (gzip-compressed documentation, compressed sections
// of libraries) leaves deflate nothing to gain, yet deflate searches every
// position for matches, and it costs more per byte than text. So each block
// is first looked at in probes of 4 KB: a probe whose byte entropy is this
// close to 8 bits is stored (zlib's level 0 within the same stream), the rest
// of the block is deflated. Random 4 KB measure about 7.955, gzip members
// 7.95 (5 % of their probes below 7.9), text and code mostly below 7;
// larger probes would also store the text around the ends of gzip members.
// A block made of such probes only is stored whole, and the block after it
// gets no dictionary: nothing in random bytes is worth referring back to
// (unless it holds a copy of them, see CopyFinder).
constexpr uint32_t kProbeSize = 4096;
constexpr unsigned kProbesPerBlock = kSlotBlockSize / kProbeSize;
constexpr double kStoredProbeBits = 7.9;

// n * log2(n) for every count a probe can hold.
const std::array<float, kProbeSize + 1>& countBits() {
    static const std::array<float, kProbeSize + 1> table = [] {
        std::array<float, kProbeSize + 1> t{};
        for (uint32_t n = 1; n <= kProbeSize; ++n) t[n] = float(n * std::log2(double(n)));
        return t;
    }();
    return table;
}

bool probeLooksRandom(const uint8_t* data) {
    std::array<std::array<uint16_t, 256>, 4> counts{};  // four tables: no store waits on the one before
    for (uint32_t i = 0; i < kProbeSize; i += 4) {
        ++counts[0][data[i]];
        ++counts[1][data[i + 1]];
        ++counts[2][data[i + 2]];
        ++counts[3][data[i + 3]];
    }
    const auto& bits = countBits();
    float sum = 0;  // entropy = log2(size) - sum(n log2 n) / size
    for (unsigned v = 0; v < 256; ++v) sum += bits[counts[0][v] + counts[1][v] + counts[2][v] + counts[3][v]];
    return sum <= float(kProbeSize) * (std::log2(float(kProbeSize)) - float(kStoredProbeBits));
}

// Bit i set: the i-th 4 KB of the block looks random. A short last probe is
// always deflated.
uint32_t randomProbes(const uint8_t* data, uint32_t size) {
    uint32_t mask = 0;
    for (unsigned i = 0; (i + 1) * kProbeSize <= size; ++i)
        if (probeLooksRandom(data + i * kProbeSize)) mask |= 1u << i;
    return mask;
}

// zlib ends a deflate block when its buffer of 16 K symbols is full, which
// for libraries falls somewhere late in a 32 KB block. Ending the first
// deflate block at the middle instead gives two halves with codes of their
// own: 0.1 % smaller on libraries and documentation, for nothing.
constexpr unsigned kSplitProbe = kProbesPerBlock / 2;

// Compressed data is random only once: the same gzip-compressed changelog
// shipped by two packages of one source follows itself closely, and deflate
// turns the copy into a few matches. Such copies are found by anchors: the
// 8 bytes after every byte of one value (one in 256 of random bytes) are
// kept from the previous block and the block so far; a random probe that
// shares one with them is deflated. The anchors only depend on the content,
// so a copy has them whatever its offset.
class CopyFinder {
public:
    void clear() { used_.fill(0); count_ = 0; }
    // Keeps the anchors of `data`; true when one of them was kept before,
    // from earlier data or from earlier in `data`.
    bool add(const uint8_t* data, uint32_t size) {
        bool seen = false;
        forEachAnchor(data, size, [&](uint64_t gram) {
            uint32_t i = slotOf(gram);
            while (used_[i] && grams_[i] != gram) i = (i + 1) % kCapacity;
            if (used_[i]) {
                seen = true;
            } else if (count_ < kCapacity / 2) {  // half full at most, so that every search ends soon
                used_[i] = 1;
                grams_[i] = gram;
                ++count_;
            }
        });
        return seen;
    }

private:
    static constexpr uint32_t kCapacity = 2048;
    static constexpr uint8_t kAnchor = 0xA7;
    template <class Visit>
    static void forEachAnchor(const uint8_t* data, uint32_t size, Visit visit) {
        if (size < 9) return;
        const uint8_t* end = data + size - 8;
        for (const uint8_t* p = data; (p = static_cast<const uint8_t*>(std::memchr(p, kAnchor, size_t(end - p)))); ++p) {
            uint64_t gram;
            std::memcpy(&gram, p + 1, sizeof gram);
            visit(gram);
        }
    }
    static uint32_t slotOf(uint64_t gram) { return uint32_t((gram * 0x9E3779B97F4A7C15ull) >> 53); }
    std::array<uint64_t, kCapacity> grams_{};
    std::array<uint8_t, kCapacity> used_{};
    uint32_t count_ = 0;
};

constexpr uint32_t kAllProbesRandom = (1u << kProbesPerBlock) - 1;

// zlib's match search for our level 5, the default: zlib's 5 with hash
// chains of 20 instead of 32 (good length, lazy length, nice length, chain).
// On libraries and documentation each step of chain costs about 1.5 % of
// time for 0.03 % of size (16: 0.981 of gcab's size on a sparse corpus, 20:
// 0.980, 24: 0.979 at 10 % more time than 16, 32: 0.978 at 20 % more); the
// time the stored probes save pays for 20. zlib's own tables serve the
// other levels.
constexpr int kTunedLevel = 5;
constexpr int kTunedGood = 8, kTunedLazy = 16, kTunedNice = 32, kTunedChain = 20;

}  // namespace

struct DeflateWorkers::Worker {
    z_stream stream{};
    z_stream stored{};  // level 0, for blocks that look incompressible
    bool initialised = false;
    bool storedInitialised = false;
    bool continuous = false;  // `stream` holds the previous block of the folder
    bool previousStored = false;  // the previous block of the folder was stored whole
    int streamLevel = 0;          // zlib's level `stream` is at: the workers' level, or 0 for random probes
    CopyFinder copies;
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
        w->streamLevel = level;
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
        worker.previousStored = false;
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
                    worker.previousStored = false;
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
    uint32_t random = randomProbes(s.input, s.inputSize);
    bool copies = false;  // a random probe has a copy before it
    if (random != 0) {
        CopyFinder& finder = worker.copies;
        finder.clear();
        finder.add(s.dictionary, s.dictionarySize);
        for (unsigned i = 0; (i + 1) * kProbeSize <= s.inputSize; ++i) {
            if (finder.add(s.input + i * kProbeSize, kProbeSize) && (random >> i & 1)) {
                random &= ~(1u << i);
                copies = true;
            }
        }
    }
    if (s.inputSize == kSlotBlockSize && random == kAllProbesRandom) {
        worker.continuous = false;
        worker.previousStored = true;
        return storeBlock(worker.stored, s);
    }
    z_stream& z = worker.stream;
    if (!worker.continuous || s.dictionarySize == 0) {
        if (deflateReset(&z) != Z_OK || !setStreamLevel(worker, level_, true)) return false;
        if (s.dictionarySize > 0 && (!worker.previousStored || copies) &&
            deflateSetDictionary(&z, s.dictionary, s.dictionarySize) != Z_OK)
            return false;
    }
    worker.previousStored = false;
    // Flushed, not finished, so that the stream goes on; the empty final
    // block after the flush marks the end of the block's data for readers.
    worker.continuous = deflateProbes(worker, s, random);
    if (!worker.continuous || s.outputSize + sizeof kEmptyFinalBlock > kMszipOutputCapacity) return false;
    std::memcpy(s.output + s.outputSize, kEmptyFinalBlock, sizeof kEmptyFinalBlock);
    s.outputSize += sizeof kEmptyFinalBlock;
    return true;
}

// Deflates the block at the workers' level, its random probes at level 0,
// switching within the stream (each switch ends a deflate block), and ends
// with a sync flush.
bool DeflateWorkers::deflateProbes(Worker& worker, Slot& s, uint32_t random) {
    z_stream& z = worker.stream;
    z.next_out = s.output + 2;
    z.avail_out = kMszipOutputCapacity - 2;
    uint32_t start = 0;
    while (start < s.inputSize) {
        const unsigned probe = start / kProbeSize;
        const bool stored = random >> probe & 1;
        unsigned end = probe + 1;
        while (end < kProbesPerBlock && bool(random >> end & 1) == stored && (stored || end != kSplitProbe)) ++end;
        const uint32_t stop = std::min(s.inputSize, uint32_t(end) * kProbeSize);
        z.avail_in = 0;
        if (!setStreamLevel(worker, stored ? 0 : level_, false)) return false;
        z.next_in = s.input + start;
        z.avail_in = stop - start;
        const int flush = stop == s.inputSize ? Z_SYNC_FLUSH : !stored && end == kSplitProbe ? Z_BLOCK : Z_NO_FLUSH;
        if (deflate(&z, flush) != Z_OK || z.avail_in != 0 || z.avail_out == 0) return false;
        start = stop;
    }
    s.outputSize = uint32_t(kMszipOutputCapacity - z.avail_out);
    return true;
}

// Changing the level mid-stream ends the current deflate block into the
// output at next_out. zlib takes its own match parameters for a new level,
// and again on a reset, so ours are set after either.
bool DeflateWorkers::setStreamLevel(Worker& worker, int level, bool reset) {
    z_stream& z = worker.stream;
    if (level == worker.streamLevel && !reset) return true;
    if (level != worker.streamLevel && deflateParams(&z, level, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    worker.streamLevel = level;
    return level != kTunedLevel || deflateTune(&z, kTunedGood, kTunedLazy, kTunedNice, kTunedChain) == Z_OK;
}

// The whole block as one finished stream of `z` (the workers' level-0 stream).
bool DeflateWorkers::storeBlock(z_stream& z, Slot& s) {
    if (deflateReset(&z) != Z_OK) return false;
    z.next_in = s.input;
    z.avail_in = s.inputSize;
    z.next_out = s.output + 2;
    z.avail_out = kMszipOutputCapacity - 2;
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return false;
    s.outputSize = uint32_t(kMszipOutputCapacity - z.avail_out);
    return true;
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
