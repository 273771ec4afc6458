#include "build/cabinet/DeflateWorkers.h"

#include <zlib.h>

#include <algorithm>
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

// Raw deflate (no zlib header) with the full 32 KB window.
constexpr int kRawDeflateWindowBits = -15;

}  // namespace

struct DeflateWorkers::Worker {
    z_stream stream{};
    bool initialised = false;
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
        w->~Worker();
        memory_->deallocate(w, sizeof(Worker), alignof(Worker));
    }
}

bool DeflateWorkers::start(int level, unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    // Enough slots in flight that reading, compressing and writing overlap.
    const size_t slotCount = size_t(threads) * 8;
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
        w->stream.zalloc = zlibAllocate;
        w->stream.zfree = zlibFree;
        w->stream.opaque = memory_;
        if (deflateInit2(&w->stream, level, Z_DEFLATED, kRawDeflateWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return false;
        w->initialised = true;
    }
    for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this, i] { run(i); });
    return true;
}

void DeflateWorkers::submit(uint64_t sequence) {
    {
        std::lock_guard lock(mutex_);
        slot(sequence).done = false;
        submitted_ = sequence + 1;
    }
    workAvailable_.notify_one();
}

void DeflateWorkers::wait(uint64_t sequence) {
    std::unique_lock lock(mutex_);
    workDone_.wait(lock, [&] { return slot(sequence).done; });
}

bool DeflateWorkers::isDone(uint64_t sequence) {
    std::lock_guard lock(mutex_);
    return slot(sequence).done;
}

void DeflateWorkers::run(size_t workerIndex) {
    z_stream& z = workers_[workerIndex]->stream;
    for (;;) {
        uint64_t sequence;
        {
            std::unique_lock lock(mutex_);
            workAvailable_.wait(lock, [&] { return stopping_ || taken_ < submitted_; });
            if (stopping_) return;
            sequence = taken_++;
        }
        Slot& s = slot(sequence);
        s.output[0] = 'C';
        s.output[1] = 'K';
        bool ok = deflateReset(&z) == Z_OK;
        if (ok && s.dictionarySize > 0) ok = deflateSetDictionary(&z, s.dictionary, s.dictionarySize) == Z_OK;
        if (ok) {
            z.next_in = s.input;
            z.avail_in = s.inputSize;
            z.next_out = s.output + 2;
            z.avail_out = kMszipOutputCapacity - 2;
            ok = deflate(&z, Z_FINISH) == Z_STREAM_END;
        }
        {
            std::lock_guard lock(mutex_);
            s.failed = !ok;
            s.outputSize = ok ? uint32_t(kMszipOutputCapacity - z.avail_out) : 0;
            s.done = true;
        }
        workDone_.notify_all();
    }
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
