#include "cabinet/LzxEncoder.h"

#include <algorithm>
#include <cmath>
#include <array>
#include <condition_variable>
#include <deque>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "cabinet/HuffmanCode.h"
#include "cabinet/LzxFormat.h"
#include "cabinet/LzxMatchFinder.h"

namespace pcn::cabinet {

using namespace lzx;

namespace {

// Two frames per block: measured smaller than four or eight on libraries and
// documentation, as trees follow the data more closely and a frame of
// already-compressed data spoils fewer neighbours.
constexpr unsigned kFramesPerChunk = 2;
constexpr uint32_t kChunkBytes = kFramesPerChunk * kFrameSize;
// The buffer holds a window before the chunks not yet coded; the eight-byte
// table keeps its positions in fewer bits than 32.
static_assert(2 * (uint64_t(1) << kLzxMaxWindowBits) + 3 * kChunkBytes < (uint64_t(1) << NearestLong::kPositionBits));
// Room for one frame's bits before the encoder falls back to storing it.
constexpr uint32_t kFrameOutputRoom = 2 * kFrameSize + 4096;
// A frame that codes to more than this is stored instead (readers take at
// most 32 KB + 6 KB per data block).
constexpr uint32_t kStoredFrameOverhead = 64;
constexpr uint32_t kNoCost = std::numeric_limits<uint32_t>::max();
// Chunks a finder may have waiting or in work.
constexpr uint64_t kQueuedChunks = 2;

// How matches are found and the parse chosen: a lazy parse over hash chains,
// or a near-optimal parse over hash chains or over binary trees.
enum class Finding { LazyChains, Chains, Trees };

struct Settings {
    Finding finding = Finding::LazyChains;
    unsigned depth = 16;
    uint32_t niceLength = 32;
    unsigned passes = 1;
    // The literals the near-optimal parse looks across between a match and
    // one at the same offset.
    unsigned gapLiterals = 1;
    // A chunk whose bytes differ from the chunk before's by less than this
    // (see distanceFromChunkBefore) is parsed once fewer; by less than
    // `nearDistance`, its first parse is a quick one (see parseQuickly).
    double alikeDistance = 0;
    double nearDistance = 0;
    bool nearOptimal() const { return finding != Finding::LazyChains; }
    // The near-optimal parse looks a few links down a chain, where strangers
    // with the same hash would take the place of real candidates; the lazy
    // parse looks at one, and a smaller head table is quicker to reach.
    unsigned chainHashBits() const { return finding == Finding::Chains ? 19 : 17; }
    // Chains looked a few links down meet recent strings only; the latest
    // eight-byte match from anywhere in the window adds the long ones.
    bool longMatches() const { return finding == Finding::Chains; }
};

Settings settingsFor(int level) {
    // Chosen by measurement (bench/cab-speed.sh, which also runs wimlib's
    // LZX): every step of a search in a 2 MB window waits on memory, so the
    // lazy levels look at one chain candidate (and the nearest three-byte
    // match) per position. The near-optimal levels search 32 positions (16 in
    // trees) at a time, their walks taking turns so that their waits overlap,
    // and look at the latest sixteen eight-byte matches from anywhere in the
    // window; from level 5 on they look across up to three literals between a
    // match and the next at its offset (two: 0.14 % smaller than one, three:
    // 0.03 % more, for a few percent of the parse's time). The default, 5,
    // looks five links down a chain, parses a chunk like the one before once
    // only and takes the statistics for one a little unlike it from a quick
    // lazy parse: about wimlib's size with 2 MB chunks in about its time.
    // Level 6 looks twelve links down. Levels 7 to 9 take the binary trees
    // for the last percent. A second pass, with symbol costs from the first,
    // gains about half a percent; later ones hardly anything.
    using enum Finding;
    static constexpr Settings table[] = {
        {LazyChains, 1, 8, 1, 1},    {LazyChains, 1, 12, 1, 1},   {LazyChains, 1, 16, 1, 1},
        {Chains, 1, 32, 1, 1},       {Chains, 5, 56, 2, 3, 0.2, 0.5}, {Chains, 12, 64, 2, 3},
        {Trees, 12, 64, 2, 3},       {Trees, 32, 160, 3, 3},      {Trees, 64, 257, 4, 3},
    };
    return table[std::clamp(level, 1, 9) - 1];
}

// A literal (offset 0, the byte in `length`) or a match.
struct Item {
    uint32_t length;
    uint32_t offset;
    uint32_t bytes() const { return offset == 0 ? 1 : length; }
};

using Recent = std::array<uint32_t, kRecentOffsets>;

// The repeated-offset rule both sides of the stream follow: a match at a
// recent offset swaps it to the front, any other offset is pushed in front.
// Returns the slot the match codes in (0..2) or kRecentOffsets for a new offset.
unsigned useOffset(Recent& recent, uint32_t offset) {
    if (offset == recent[0]) return 0;
    if (offset == recent[1]) {
        std::swap(recent[0], recent[1]);
        return 1;
    }
    if (offset == recent[2]) {
        std::swap(recent[0], recent[2]);
        return 2;
    }
    recent[2] = recent[1];
    recent[1] = recent[0];
    recent[0] = offset;
    return kRecentOffsets;
}

// How one item is coded: main symbol, optional length symbol, offset footer.
struct Coded {
    unsigned main = 0;
    int lengthSymbol = -1;
    unsigned footerBits = 0;
    uint32_t footer = 0;
};

Coded codeItem(const Item& item, Recent& recent) {
    Coded c;
    if (item.offset == 0) {
        c.main = item.length;
        return c;
    }
    const unsigned header = std::min(item.length - kMinMatch, kPrimaryLengths);
    if (header == kPrimaryLengths) c.lengthSymbol = int(item.length - kMinMatch - kPrimaryLengths);
    unsigned slot = useOffset(recent, item.offset);
    if (slot == kRecentOffsets) {
        const uint32_t formatted = item.offset + 2;
        slot = slotOf(formatted);
        c.footerBits = kSlots.extraBits[slot];
        c.footer = formatted - kSlots.base[slot];
    }
    c.main = kLiterals + slot * 8 + header;
    return c;
}

// The LZX bit stream: 16-bit little-endian words filled from their top bit.
class BitWriter {
public:
    void start(uint8_t* out, size_t capacity) {
        out_ = out;
        capacity_ = capacity;
        pos_ = 0;
        acc_ = 0;
        bits_ = 0;
        overflow_ = false;
    }
    void put(uint32_t value, unsigned count) {
        acc_ = (acc_ << count) | value;
        bits_ += count;
        while (bits_ >= 16) {
            bits_ -= 16;
            word(uint16_t(acc_ >> bits_));
        }
    }
    void align() {
        if (bits_ > 0) put(0, 16 - bits_);
    }
    // After an uncompressed block header: pads to the next word boundary, a
    // whole word when already there (readers always skip one to sixteen bits).
    void padForStored() { put(0, 16 - bits_); }
    void bytes(const uint8_t* data, size_t count) {
        if (pos_ + count > capacity_) {
            overflow_ = true;
            return;
        }
        std::memcpy(out_ + pos_, data, count);
        pos_ += count;
    }
    size_t position() const { return pos_; }
    void rewind(size_t pos) {
        pos_ = pos;
        acc_ = 0;
        bits_ = 0;
    }
    bool overflowed() const { return overflow_; }

private:
    void word(uint16_t w) {
        if (pos_ + 2 > capacity_) {
            overflow_ = true;
            return;
        }
        out_[pos_++] = uint8_t(w);
        out_[pos_++] = uint8_t(w >> 8);
    }
    uint8_t* out_ = nullptr;
    size_t capacity_ = 0, pos_ = 0;
    uint64_t acc_ = 0;
    unsigned bits_ = 0;
    bool overflow_ = false;
};

struct Tree {
    explicit Tree(size_t n) : size(n) {}
    size_t size;
    std::array<uint32_t, kMaxMainSymbols> frequencies{};
    std::array<uint8_t, kMaxMainSymbols> lengths{};
    std::array<uint16_t, kMaxMainSymbols> codes{};
    void build(unsigned maxLength) {
        buildCodeLengths(frequencies.data(), size, maxLength, lengths.data());
        buildCanonicalCodes(lengths.data(), size, codes.data());
    }
    void put(BitWriter& w, unsigned symbol) const { w.put(codes[symbol], lengths[symbol]); }
};

// Writes lengths[first, last) as the format codes them: a pretree of 20
// symbols, then runs of zeros and of equal lengths and single lengths, each a
// difference to the same tree's lengths in the previous block.
void writeLengths(BitWriter& w, const uint8_t* lengths, const uint8_t* previous, size_t first, size_t last) {
    struct Step {
        uint8_t symbol, extraBits, extra, repeated;
    };
    std::array<Step, kMaxMainSymbols> steps;
    size_t stepCount = 0;
    auto delta = [&](size_t x) { return uint8_t((previous[x] + 17 - lengths[x]) % 17); };
    for (size_t x = first; x < last;) {
        size_t run = 1;
        while (x + run < last && lengths[x + run] == lengths[x]) ++run;
        if (lengths[x] == 0 && run >= 20) {
            const size_t n = std::min<size_t>(run, 51);
            steps[stepCount++] = Step{18, 5, uint8_t(n - 20), 0};
            x += n;
        } else if (lengths[x] == 0 && run >= 4) {
            const size_t n = std::min<size_t>(run, 19);
            steps[stepCount++] = Step{17, 4, uint8_t(n - 4), 0};
            x += n;
        } else if (run >= 4) {
            const size_t n = std::min<size_t>(run, 5);
            steps[stepCount++] = Step{19, 1, uint8_t(n - 4), delta(x)};
            x += n;
        } else {
            steps[stepCount++] = Step{delta(x), 0, 0, 0};
            ++x;
        }
    }
    Tree pretree(kPretreeSymbols);
    const auto used = std::span(steps.data(), stepCount);
    for (const Step& s : used) {
        ++pretree.frequencies[s.symbol];
        if (s.symbol == 19) ++pretree.frequencies[s.repeated];
    }
    pretree.build(kMaxPretreeLength);
    for (unsigned s = 0; s < kPretreeSymbols; ++s) w.put(pretree.lengths[s], 4);
    for (const Step& s : used) {
        pretree.put(w, s.symbol);
        if (s.extraBits) w.put(s.extra, s.extraBits);
        if (s.symbol == 19) pretree.put(w, s.repeated);
    }
}

// Runs jobs in order on a thread of its own, or inline when there is none.
// Jobs are counted: wait for the nth to be done, or for fewer than n to be
// waiting or running.
class StageThread {
public:
    explicit StageThread(bool threaded) {
        if (threaded) thread_ = std::thread([this] { loop(); });
    }
    ~StageThread() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    // Returns the job's number, counted from 1.
    uint64_t run(std::function<void()> job) {
        if (!thread_.joinable()) {
            job();
            return ++given_, ++done_;
        }
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
            ++given_;
        }
        wake_.notify_all();
        return given_;
    }
    void waitUntilDone(uint64_t job) {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return done_ >= job; });
    }
    void waitUntilFewer(uint64_t pending) {
        std::unique_lock lock(mutex_);
        finished_.wait(lock, [&] { return given_ - done_ < pending; });
    }
    void wait() { waitUntilFewer(1); }

private:
    void loop() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
                if (stopping_) return;
                job = std::move(jobs_.front());
                jobs_.pop_front();
            }
            job();
            {
                std::lock_guard lock(mutex_);
                ++done_;
            }
            finished_.notify_all();
        }
    }
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_, finished_;
    std::deque<std::function<void()>> jobs_;
    uint64_t given_ = 0, done_ = 0;
    bool stopping_ = false;
};

}  // namespace

// A run of up to kFramesPerChunk frames that is parsed and coded together.
struct Chunk {
    explicit Chunk(std::pmr::memory_resource* memory)
        : items(memory), found(memory), out(memory) {}

    uint64_t sequence = 0;    // chunks of the folder counted from 0
    uint64_t job = 0;         // its job number at the finder
    uint64_t start = 0;       // position in the folder
    uint64_t firstFrame = 0;  // index of its first frame in the folder
    uint32_t bytes = 0;
    unsigned frames = 0;
    std::array<uint32_t, kFramesPerChunk> frameEnd{};  // chunk-relative
    std::pmr::vector<Item> items;
    std::array<size_t, kFramesPerChunk> frameItemEnd{};
    // Near-optimal levels: every position's matches.
    struct MatchList {
        explicit MatchList(std::pmr::memory_resource* memory) : matches(memory), end(memory) {}
        // Only the first `count` are the chunk's: the vector keeps the size it
        // grew to, so that appending is a few moves, not a call that checks
        // room and one to memmove.
        static constexpr uint32_t kAppendGroup = 4;
        std::pmr::vector<Match> matches;
        uint32_t count = 0;
        std::pmr::vector<uint32_t> end;  // end of position i's matches in `matches`
        void clear() {
            count = 0;
            end.clear();
        }
        // Copies whole groups of kAppendGroup: `first` must have room for
        // n rounded up to one.
        void append(const Match* first, uint32_t n) {
            if (count + n + kAppendGroup > matches.size())
                matches.resize(std::max<size_t>(2 * matches.size(), count + n + kAppendGroup));
            for (uint32_t k = 0; k < n; k += kAppendGroup)
                std::memcpy(matches.data() + count + k, first + k, kAppendGroup * sizeof(Match));
            count += n;
        }
        std::span<const Match> at(uint32_t i) const {
            if (end.empty()) return {};
            const uint32_t first = i == 0 ? 0 : end[i - 1];
            return {matches.data() + first, end[i] - first};
        }
    };
    MatchList found;
    std::pmr::vector<uint8_t> out;
    std::array<uint32_t, kFramesPerChunk> outStart{}, outSize{};

    void clear(uint64_t at, uint64_t frame) {
        start = at;
        firstFrame = frame;
        bytes = 0;
        frames = 0;
        items.clear();
        found.clear();
    }
    uint32_t frameBegin(unsigned f) const { return f == 0 ? 0 : frameEnd[f - 1]; }
};

// The near-optimal levels search up to this many positions in a row
// together (as many as their finder takes in turn): their walks take turns a
// step at a time, so that their waits on memory overlap.
constexpr unsigned kWalksAtOnce = std::max(HashChains::kWalksAtOnce, HashTrees::kWalksAtOnce);

struct LzxEncoder::State {
    State(std::pmr::memory_resource* memory, unsigned bits, const LzxTuning& tuning)
        : windowBits(bits),
          windowSize(uint32_t(1) << bits),
          maxOffset(windowSize - 3),
          mainSymbols(kLiterals + 8 * slotCount(bits)),
          settings(settingsFor(tuning.level)),
          buffer(memory),
          chunks{Chunk(memory), Chunk(memory), Chunk(memory), Chunk(memory)},
          finder(memory, bufferSize(windowSize), settings, tuning.secondThread) {
        fillLargeTable(buffer, bufferSize(windowSize), uint8_t(0));
        for (Chunk& c : chunks) c.out.resize(size_t(kFramesPerChunk) * kFrameOutputRoom);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // The buffer holds a window before the chunks not yet coded, and those.
    static uint32_t bufferSize(uint32_t windowSize) { return 2 * windowSize + 3 * kChunkBytes; }

    // The finder works on its own thread: it searches the chunks in turn and
    // records what the parse on the caller's thread needs, the best match at
    // each position for the lazy levels (keeping its own idea of the
    // repeated offsets; the coder works out the real ones, so a guess off at
    // a chunk's start costs a few bits at most), every position's matches
    // for the near-optimal ones. Without a second thread it runs on the
    // caller's. A second finder, taking turns at the chunks, would have to
    // link the other's chunks too: on chains a third more CPU time for no
    // less wall time. Two sharing out the trees fought over the cache lines
    // of the child links, which they both write: level 7 took a third more
    // CPU time and a quarter more wall time than with one.
    struct Finder {
        Finder(std::pmr::memory_resource* memory, uint32_t capacity, const Settings& settings, bool threaded)
            : thread(threaded) {
            if (settings.finding == Finding::Trees)
                trees.emplace(memory, capacity);
            else
                chains.emplace(memory, capacity, settings.chainHashBits(), settings.longMatches());
        }
        void reset() {
            if (trees) trees->reset();
            if (chains) chains->reset();
            linkedTo = 0;
            recent = Recent{1, 1, 1};
        }
        void rebase(uint32_t shift) {
            if (trees) trees->rebase(shift);
            if (chains) chains->rebase(shift);
        }
        std::optional<HashChains> chains;  // for the lazy levels and the near-optimal ones on chains
        std::optional<HashTrees> trees;    // for the other near-optimal levels
        uint64_t linkedTo = 0;  // every position before this folder position is linked
        Recent recent{1, 1, 1};
        // The matches of the positions searched together.
        std::array<std::array<Match, kMaxMatch + Chunk::MatchList::kAppendGroup>, kWalksAtOnce> found;
        StageThread thread;
    };

    unsigned windowBits;
    uint32_t windowSize, maxOffset;
    unsigned mainSymbols;
    Settings settings;

    std::pmr::vector<uint8_t> buffer;
    uint64_t bufferBase = 0;  // folder position of buffer[0]
    uint64_t bufferEnd = 0;   // folder position just past the data taken in
    uint64_t framesIn = 0;

    std::array<Chunk, 4> chunks;
    // After the buffer and the chunks, which its jobs use: destroyed first,
    // it waits for the job at work.
    Finder finder;
    Chunk* filling = nullptr;
    uint64_t nextSequence = 0;
    std::array<Chunk*, 3> parsing{};  // handed to the finder, oldest first
    size_t parsingCount = 0;
    std::array<Chunk*, 4> ready{};    // coded, frames not all taken yet
    size_t readyCount = 0;
    unsigned readyFrame = 0;

    // Coding side: what the stream reader will hold.
    Recent recent{1, 1, 1};
    std::array<uint8_t, kMaxMainSymbols> previousMain{};
    std::array<uint8_t, kLengthSymbols> previousLength{};
    bool headerPending = true;
    // How often each byte value came in the chunk parsed last.
    std::array<uint32_t, 256> byteCounts{};
    uint32_t byteTotal = 0;
    // Bits each symbol cost in the last block, for the near-optimal parse.
    std::array<uint32_t, kMaxMainSymbols> mainCost{};
    std::array<uint32_t, kLengthSymbols> lengthCost{};
    std::array<uint32_t, kAlignedSymbols> alignedCost{};  // the low three footer bits, 3 in verbatim blocks
    // Main symbol and length symbol of a match, by slot and length.
    std::array<std::array<uint16_t, kMaxMatch + 1>, kMaxSlots> matchCosts{};

    uint8_t* at(uint64_t folderPosition) { return buffer.data() + (folderPosition - bufferBase); }

    void waitForFinder() { finder.thread.wait(); }

    void beginFolder() {
        waitForFinder();
        bufferBase = bufferEnd = 0;
        finder.reset();
        framesIn = 0;
        nextSequence = 0;
        filling = &chunks[0];
        filling->clear(0, 0);
        parsingCount = 0;
        readyCount = 0;
        readyFrame = 0;
        recent = Recent{1, 1, 1};
        previousMain.fill(0);
        previousLength.fill(0);
        headerPending = true;
        byteTotal = 0;
        setDefaultCosts();
    }

    void setDefaultCosts() {
        mainCost.fill(11);
        for (unsigned s = 0; s < kLiterals; ++s) mainCost[s] = 8;
        lengthCost.fill(8);
        alignedCost.fill(3);
    }

    // The parse tries most lengths of every match it is given: each one's
    // cost is then a look-up in this table, filled from the costs a parse
    // starts with.
    void tabulateMatchCosts() {
        for (unsigned slot = 0; slot < mainSymbols / 8 - kLiterals / 8; ++slot) {
            const uint32_t* symbols = &mainCost[kLiterals + slot * 8];
            for (uint32_t length = kMinMatch; length <= kMaxMatch; ++length) {
                const unsigned header = std::min(length - kMinMatch, kPrimaryLengths);
                matchCosts[slot][length] = uint16_t(
                    symbols[header] + (header == kPrimaryLengths ? lengthCost[length - kMinMatch - kPrimaryLengths] : 0));
            }
        }
    }

    // ---- input ----

    void addFrame(const uint8_t* data, uint32_t size) {
        dropTakenFrames();
        makeRoom(size);
        uint8_t* dest = at(bufferEnd);
        std::memcpy(dest, data, size);
        if (framesIn < kTranslatedFrames) translateCalls(dest, size, bufferEnd);
        bufferEnd += size;
        ++framesIn;
        filling->bytes += size;
        filling->frameEnd[filling->frames++] = filling->bytes;
        if (filling->frames == kFramesPerChunk || size < kFrameSize) dispatch();
    }

    // x86 CALL targets (E8 and a 32-bit displacement) become absolute, so
    // that calls to one function look alike wherever they are. Readers undo
    // it frame by frame, looking only at the first size - 10 bytes.
    static void translateCalls(uint8_t* frame, uint32_t size, uint64_t folderPosition) {
        if (size <= 10) return;
        const int32_t fileSize = int32_t(kTranslationSize);
        for (uint32_t i = 0; i < size - 10;) {
            if (frame[i] != 0xE8) {
                ++i;
                continue;
            }
            const int32_t position = int32_t(folderPosition + i);
            uint8_t* target = frame + i + 1;
            const int32_t relative = int32_t(uint32_t(target[0]) | (uint32_t(target[1]) << 8) |
                                             (uint32_t(target[2]) << 16) | (uint32_t(target[3]) << 24));
            if (relative >= -position && relative < fileSize) {
                const int32_t absolute = relative < fileSize - position ? relative + position : relative - fileSize;
                for (int k = 0; k < 4; ++k) target[k] = uint8_t(uint32_t(absolute) >> (8 * k));
            }
            i += 5;
        }
    }

    // Slides the buffer when the next frame does not fit, keeping a window's
    // worth of data before every chunk that is not coded yet.
    void makeRoom(uint32_t size) {
        if (bufferEnd + size - bufferBase <= buffer.size()) return;
        waitForFinder();
        const uint64_t oldest = parsingCount > 0 ? parsing[0]->start : filling->start;
        const uint64_t keepFrom = oldest > windowSize ? oldest - windowSize : 0;
        const uint32_t shift = uint32_t(keepFrom - bufferBase);
        std::memmove(buffer.data(), buffer.data() + shift, size_t(bufferEnd - keepFrom));
        finder.rebase(shift);
        bufferBase = keepFrom;
    }

    Chunk* unusedChunk() {
        for (Chunk& c : chunks) {
            const bool used = &c == filling || std::find(parsing.begin(), parsing.begin() + parsingCount, &c) !=
                                                   parsing.begin() + parsingCount;
            if (!used) return &c;
        }
        return nullptr;
    }

    // The filled chunk goes to the finder; chunks parsed before are coded
    // here meanwhile, in order.
    void dispatch() {
        Chunk* job = filling;
        job->sequence = nextSequence++;
        parsing[parsingCount++] = job;
        filling = unusedChunk();
        filling->clear(bufferEnd, framesIn);
        finder.thread.waitUntilFewer(kQueuedChunks);
        job->job = finder.thread.run([this, job] { parse(finder, *job); });
        // Two chunks stay with the finder while this thread codes: once done
        // with one, it goes on with the next.
        while (parsingCount > 0 && parsing[0]->sequence + 2 <= job->sequence) codeOldestParsed();
    }

    void codeOldestParsed() {
        Chunk* oldest = parsing[0];
        finder.thread.waitUntilDone(oldest->job);
        std::move(parsing.begin() + 1, parsing.end(), parsing.begin());
        --parsingCount;
        finishChunk(*oldest);
    }

    void finish() {
        dropTakenFrames();
        if (filling->frames > 0) dispatch();
        waitForFinder();
        while (parsingCount > 0) codeOldestParsed();
    }

    bool nextFrame(Frame& frame) {
        while (readyCount > 0) {
            Chunk& c = *ready[0];
            if (readyFrame < c.frames) {
                frame.data = c.out.data() + c.outStart[readyFrame];
                frame.compressedSize = c.outSize[readyFrame];
                frame.uncompressedSize = c.frameEnd[readyFrame] - c.frameBegin(readyFrame);
                ++readyFrame;
                return true;
            }
            dropTakenFrames();
        }
        return false;
    }

    void dropTakenFrames() {
        while (readyCount > 0 && readyFrame >= ready[0]->frames) {
            std::move(ready.begin() + 1, ready.end(), ready.begin());
            --readyCount;
            readyFrame = 0;
        }
    }

    // ---- parsing (second thread) ----

    void parse(Finder& f, Chunk& c) {
        // Link the last positions of the chunk before, which needed this
        // chunk's bytes to be hashed.
        const uint64_t reachBack = c.start > windowSize ? c.start - windowSize : 0;
        // Only the chunk's own bytes are read: the frames after it are being
        // copied in meanwhile.
        const uint64_t end = c.start + c.bytes;
        for (uint64_t p = std::max(f.linkedTo, std::max(reachBack, bufferBase)); p < c.start && p + 4 <= end; ++p)
            link(f, uint32_t(p - bufferBase), uint32_t(std::min<uint64_t>(kMaxMatch, end - p)));
        if (settings.nearOptimal())
            findAllMatches(f, c);
        else
            parseLazily(f, c);
        f.linkedTo = c.start + (c.bytes >= 3 ? c.bytes - 3 : 0);
    }

    uint32_t maxLengthAt(const Chunk& c, uint32_t i, unsigned frame) const {
        return std::min<uint32_t>(kMaxMatch, c.frameEnd[frame] - i);
    }

    // Positions with four bytes of the chunk ahead of them are hashed.
    bool hashable(const Chunk& c, uint32_t i) const { return i + 4 <= c.bytes; }
    uint32_t bufferIndex(const Chunk& c, uint32_t i) const { return uint32_t(c.start + i - bufferBase); }

    uint32_t reachAt(const Chunk& c, uint32_t i) const { return uint32_t(std::min<uint64_t>(maxOffset, c.start + i)); }

    // Adds buffer position p, with `bytes` of data from it on, to the finder.
    void link(Finder& f, uint32_t p, uint32_t bytes) {
        if (f.chains)
            f.chains->insert(buffer.data(), p, bytes);
        else
            f.trees->insert(buffer.data(), p, bytes, uint32_t(std::min<uint64_t>(maxOffset, bufferBase + p)),
                            settings.depth, settings.niceLength);
    }

    // Links chunk position i if it can be hashed.
    void linkAt(Finder& f, const Chunk& c, uint32_t i) {
        if (hashable(c, i)) link(f, bufferIndex(c, i), std::min<uint32_t>(kMaxMatch, c.bytes - i));
    }

    void skipPositions(Finder& f, const Chunk& c, uint32_t from, uint32_t to) {
        for (uint32_t i = from; i < to; ++i) linkAt(f, c, i);
    }

    Match longestMatch(Finder& f, const Chunk& c, uint32_t i, uint32_t maxLength) {
        Match best{0, 0};
        if (!hashable(c, i)) return best;
        if (maxLength < 3) {
            linkAt(f, c, i);
            return best;
        }
        f.chains->search(buffer.data(), bufferIndex(c, i), maxLength, reachAt(c, i), settings.depth,
                         settings.niceLength, [&](const Match& m) { best = m; });
        return best;
    }

    Match longestRecent(const Chunk& c, uint32_t i, uint32_t maxLength, const Recent& r) {
        Match best{0, 0};
        const uint8_t* here = buffer.data() + bufferIndex(c, i);
        for (uint32_t offset : r) {
            if (offset > c.start + i) continue;
            const uint32_t length = matchLength(here, here - offset, maxLength);
            if (length > best.length) best = Match{length, offset};
        }
        return best;
    }

    // Rough bits saved by a match over literals, for the lazy parse.
    int gain(const Match& m, const Recent& r) const {
        if (m.length < kMinMatch) return 0;
        const bool repeated = m.offset == r[0] || m.offset == r[1] || m.offset == r[2];
        int cost = repeated ? 7 : 9 + kSlots.extraBits[slotOf(m.offset + 2)];
        if (m.length >= kMinMatch + kPrimaryLengths) cost += 5;
        return int(m.length) * 8 - cost;
    }

    Match bestAt(Finder& f, const Chunk& c, uint32_t i, unsigned frame) {
        const Recent& r = f.recent;
        const uint32_t maxLength = maxLengthAt(c, i, frame);
        if (maxLength < kMinMatch) {
            linkAt(f, c, i);
            return Match{0, 0};
        }
        const Match rep = longestRecent(c, i, maxLength, r);
        if (rep.length >= settings.niceLength || rep.length == maxLength) {
            linkAt(f, c, i);
            return rep;
        }
        const Match found = longestMatch(f, c, i, maxLength);
        return gain(rep, r) >= gain(found, r) ? rep : found;
    }

    void parseLazily(Finder& finder, Chunk& c) {
        const Recent& r = finder.recent;
        uint32_t i = 0;
        for (unsigned f = 0; f < c.frames; ++f) {
            const uint32_t end = c.frameEnd[f];
            Match pending{0, 0};  // found at i - 1, taken unless i offers more
            while (i < end) {
                const Match m = bestAt(finder, c, i, f);
                if (pending.length > 0) {
                    const Match earlier = pending;
                    pending = Match{0, 0};
                    if (gain(earlier, r) >= gain(m, r)) {
                        takeMatch(finder, c, i - 1, earlier, i + 1);
                        i = i - 1 + earlier.length;
                        continue;
                    }
                    takeLiteral(c, i - 1);
                }
                if (gain(m, r) <= 0) {
                    takeLiteral(c, i);
                    ++i;
                } else if (m.length >= settings.niceLength || i + 1 >= end) {
                    takeMatch(finder, c, i, m, i + 1);
                    i += m.length;
                } else {
                    pending = m;
                    ++i;
                }
            }
            c.frameItemEnd[f] = c.items.size();
        }
    }

    void takeLiteral(Chunk& c, uint32_t at) { c.items.push_back(Item{buffer[bufferIndex(c, at)], 0}); }

    // Positions from `linked` to the match's end are still to be hashed.
    void takeMatch(Finder& f, Chunk& c, uint32_t at, const Match& m, uint32_t linked) {
        c.items.push_back(Item{m.length, m.offset});
        useOffset(f.recent, m.offset);
        skipPositions(f, c, linked, at + m.length);
    }

    void findAllMatches(Finder& finder, Chunk& c) {
        if (finder.chains)
            findAllMatches(finder, c, *finder.chains);
        else
            findAllMatches(finder, c, *finder.trees);
    }

    // Every position's matches, in order of growing length, into the
    // finder's list. Positions in a row are searched together, their walks
    // taking turns, and their matches kept aside until all are done: the
    // list comes out as a search at a time makes it.
    template <typename Search>
    void findAllMatches(Finder& finder, Chunk& c, Search& search) {
        Chunk::MatchList& list = c.found;
        list.end.resize(c.bytes);
        const uint8_t* data = buffer.data();
        struct Lane {
            std::optional<typename Search::Walk> walk;
            uint32_t at;
            bool searched;
            bool walking;
            unsigned count;
        };
        std::array<Lane, kWalksAtOnce> lanes;
        const auto recordFor = [&](unsigned k) {
            return [&, k](const Match& m) {
                if (lanes[k].searched) finder.found[k][lanes[k].count++] = m;
            };
        };
        // Inside a long match the parse takes it whole: positions there are only linked.
        uint32_t searchFrom = 0;
        unsigned frame = 0;
        for (uint32_t i = 0; i < c.bytes;) {
            unsigned n = 0;
            for (; n < Search::kWalksAtOnce && i < c.bytes; ++n, ++i) {
                while (i >= c.frameEnd[frame]) ++frame;
                Lane& lane = lanes[n];
                // Field by field: a whole Lane built on the stack and copied
                // in was read back before its parts had been written out, a
                // stall of a tenth of the finder's time.
                lane.walk.reset();
                lane.at = i;
                lane.searched = lane.walking = false;
                lane.count = 0;
                if (!hashable(c, i)) continue;
                const uint32_t maxLength = maxLengthAt(c, i, frame);
                lane.searched = maxLength >= 3 && i >= searchFrom;
                const uint32_t length = lane.searched ? maxLength : std::min<uint32_t>(kMaxMatch, c.bytes - i);
                const uint32_t p = bufferIndex(c, i);
                bool waits = false;
                for (unsigned k = 0; k < n && !waits; ++k)
                    waits = lanes[k].walk && Search::sameTree(*lanes[k].walk, data + p);
                if (waits) break;
                lane.walk = search.begin(data, p, length, reachAt(c, i), settings.depth, settings.niceLength, lane.searched,
                                         recordFor(n));
                lane.walking = lane.walk.has_value();
            }
            for (bool walking = true; walking;) {
                walking = false;
                for (unsigned k = 0; k < n; ++k) {
                    Lane& lane = lanes[k];
                    if (!lane.walking) continue;
                    lane.walking = search.step(data, *lane.walk, recordFor(k));
                    walking |= lane.walking;
                }
            }
            for (unsigned k = 0; k < n; ++k)
                if (lanes[k].walk) search.prepareEnd(data, *lanes[k].walk);
            for (unsigned k = 0; k < n; ++k) {
                const Lane& lane = lanes[k];
                const auto& found = finder.found[k];
                // The eight-byte table takes the positions in order.
                if (lane.walk) search.end(data, *lane.walk, recordFor(k));
                // A position inside a long match found by a walk beside it
                // was searched, but counts as linked only.
                if (lane.searched && lane.at >= searchFrom) {
                    list.append(found.data(), lane.count);
                    if (lane.count > 0 && found[lane.count - 1].length >= settings.niceLength)
                        searchFrom = lane.at + found[lane.count - 1].length;
                }
                list.end[lane.at] = list.count;
            }
        }
    }

    // ---- near-optimal parse (this thread) ----

    // How the cheapest path found so far reaches a position: a literal
    // (offset 0), a match, or, when `gap` is not 0, a match of `gap` bytes,
    // `literals` literals and a match of `length` bytes at the same offset.
    // Twelve bytes: a chunk's nodes stay in the core's own cache.
    struct Node {
        uint32_t cost;
        uint32_t offset : 30;
        uint32_t literals : 2;
        uint16_t length;
        uint16_t gap;
    };
    static_assert(sizeof(Node) == 12 && kMaxMatch < (1u << 16) && (uint64_t(1) << kLzxMaxWindowBits) < (1u << 30));
    std::pmr::vector<Node> nodes{buffer.get_allocator()};
    // The repeated offsets after the cheapest path to a position, known once
    // the parse reaches it; an item reaches back at most two matches and
    // the literals between, so a ring of them will do.
    static constexpr uint32_t kRecentRing = 1024;
    static_assert(kRecentRing > 2 * kMaxMatch + 3);
    std::array<Recent, kRecentRing> recentAt{};

    // The repeated offsets after the item that reaches position i.
    Recent recentAfter(uint32_t i) const {
        const Node& n = nodes[i];
        if (n.offset == 0) return recentAt[(i - 1) % kRecentRing];
        // After a gap, the second match is at the first one's offset, then the most recent.
        Recent r = recentAt[(i - n.length - (n.gap == 0 ? 0 : n.literals + n.gap)) % kRecentRing];
        useOffset(r, n.offset);
        return r;
    }

    uint32_t matchCost(unsigned slot, uint32_t length) const { return matchCosts[slot][length]; }

    void relax(uint32_t to, uint32_t cost, uint32_t length, uint32_t offset, uint32_t gap = 0, uint32_t literals = 0) {
        Node& n = nodes[to];
        if (cost < n.cost) n = Node{cost, offset, literals, uint16_t(length), uint16_t(gap)};
    }

    // Where a match at chunk position i stops agreeing, a byte or two often
    // differ and the match goes on after them (a record with a field
    // changed, a call to a function that moved). The literals and the match
    // after them, then at the most recent offset, are cheap, but looking one
    // item ahead the parse cannot see that the first match pays for them.
    // The match after two literals must be longer than they are.
    void relaxGap(const Chunk& c, const uint8_t* base, uint32_t i, unsigned frame, uint32_t length, uint32_t offset,
                  uint32_t cost) {
        const uint32_t literalAt = i + length;
        for (uint32_t literals = 1; literals <= settings.gapLiterals; ++literals) {
            const uint32_t from = literalAt + literals;
            if (from + kMinMatch > c.frameEnd[frame]) return;
            cost += mainCost[base[from - 1]];
            const uint32_t more = matchLength(base + from, base + from - offset, maxLengthAt(c, from, frame));
            if (more < kMinMatch + literals - 1) continue;
            relax(from + more, cost + matchCost(0, more), more, offset, length, literals);
            return;
        }
    }

    // A rough parse, for the symbol statistics of a later pass, tries each
    // match at its full length only: a fifth less work, and its statistics
    // lead the final pass to a slightly smaller result than a full parse's.
    void parseOptimally(Chunk& c, const Recent& startRecent, bool rough) {
        tabulateMatchCosts();
        nodes.assign(size_t(c.bytes) + 1, Node{kNoCost, 0, 0, 0, 0});
        nodes[0].cost = 0;
        const uint8_t* base = buffer.data() + bufferIndex(c, 0);
        unsigned frame = 0;
        for (uint32_t i = 0; i < c.bytes; ++i) {
            while (i >= c.frameEnd[frame]) ++frame;
            const Recent recent = i == 0 ? startRecent : recentAfter(i);
            recentAt[i % kRecentRing] = recent;
            const uint32_t cost = nodes[i].cost;
            relax(i + 1, cost + mainCost[base[i]], 1, 0);
            const uint32_t maxLength = maxLengthAt(c, i, frame);
            if (maxLength < kMinMatch) continue;
            uint32_t longest = 0;
            Match longMatch{0, 0};
            // Each length is tried at the first offset that reaches it, the
            // repeated ones (cheapest) before the others.
            uint32_t covered = kMinMatch - 1;
            for (unsigned k = 0; k < kRecentOffsets; ++k) {
                const uint32_t offset = recent[k];
                if (offset > c.start + i || (k > 0 && offset == recent[0]) || (k == 2 && offset == recent[1]))
                    continue;
                const uint32_t length = matchLength(base + i, base + i - offset, maxLength);
                if (length < kMinMatch) continue;
                if (length >= settings.niceLength) {
                    if (length > longest) longest = length, longMatch = Match{length, offset};
                    continue;
                }
                for (uint32_t l = rough ? length : covered + 1; l <= length; ++l)
                    relax(i + l, cost + matchCost(k, l), l, offset);
                covered = std::max(covered, length);
                relaxGap(c, base, i, frame, length, offset, cost + matchCost(k, length));
            }
            uint32_t shorter = std::max<uint32_t>(kMinMatch, covered);
            const std::span<const Match> found = c.found.at(i);
            for (const Match& match : found) {
                if (match.length > maxLength) break;
                if (match.length >= settings.niceLength) {
                    if (match.length > longest) longest = match.length, longMatch = match;
                    break;
                }
                const OffsetCode code = codeOffset(recent, match.offset);
                for (uint32_t l = rough ? match.length : shorter + 1; l <= match.length; ++l)
                    relax(i + l, cost + code.footer + matchCost(code.slot, l), l, match.offset);
                relaxGap(c, base, i, frame, match.length, match.offset,
                         cost + code.footer + matchCost(code.slot, match.length));
                shorter = std::max(shorter, match.length);
            }
            if (longest > 0) {
                // Long matches are taken whole, and the parse goes on after them.
                const OffsetCode code = codeOffset(recent, longMatch.offset);
                relax(i + longest, cost + code.footer + matchCost(code.slot, longest), longest, longMatch.offset);
                i += longest - 1;
            }
        }
        // Walk back from the end.
        c.items.clear();
        for (uint32_t pos = c.bytes; pos > 0;) {
            const Node& n = nodes[pos];
            c.items.push_back(n.offset == 0 ? Item{base[pos - 1], 0} : Item{n.length, n.offset});
            pos -= n.length;
            if (n.gap == 0) continue;
            for (unsigned k = 0; k < n.literals; ++k, --pos) c.items.push_back(Item{base[pos - 1], 0});
            c.items.push_back(Item{n.gap, n.offset});
            pos -= n.gap;
        }
        std::reverse(c.items.begin(), c.items.end());
        uint32_t pos = 0;
        unsigned f = 0;
        for (size_t k = 0; k < c.items.size(); ++k) {
            pos += c.items[k].bytes();
            if (f < c.frames && pos == c.frameEnd[f]) c.frameItemEnd[f++] = k + 1;
        }
    }

    // How a match at `offset` codes after `recent`: its slot (a repeated one,
    // or the offset's) and the bits of its footer.
    struct OffsetCode {
        unsigned slot;
        uint32_t footer;
    };
    OffsetCode codeOffset(const Recent& recent, uint32_t offset) const {
        for (unsigned k = 0; k < kRecentOffsets; ++k)
            if (offset == recent[k]) return {k, 0};
        const unsigned slot = slotOf(offset + 2);
        return {slot, footerCost(slot, offset)};
    }

    uint32_t footerCost(unsigned slot, uint32_t offset) const {
        const unsigned bits = kSlots.extraBits[slot];
        return bits < 3 ? bits : bits - 3 + alignedCost[(offset + 2) & 7];
    }

    // How often each symbol codes in a run of items.
    struct SymbolCounts {
        std::array<uint32_t, kMaxMainSymbols> main{};
        std::array<uint32_t, kLengthSymbols> length{};
        std::array<uint32_t, kAlignedSymbols> aligned{};
        uint64_t footerBits = 0;      // all footers, as verbatim bits
        uint64_t alignedFooters = 0;  // footers of three bits or more

        SymbolCounts& operator+=(const SymbolCounts& o) { return combine(o, 1); }
        SymbolCounts& operator-=(const SymbolCounts& o) { return combine(o, -1); }

    private:
        SymbolCounts& combine(const SymbolCounts& o, int sign) {
            const auto add = [sign](auto& to, const auto& from) {
                for (size_t s = 0; s < to.size(); ++s) to[s] += uint32_t(sign) * from[s];
            };
            add(main, o.main);
            add(length, o.length);
            add(aligned, o.aligned);
            footerBits += uint64_t(int64_t(sign)) * o.footerBits;
            alignedFooters += uint64_t(int64_t(sign)) * o.alignedFooters;
            return *this;
        }
    };

    // A frame is weighed for a split between these many runs of its items.
    static constexpr unsigned kSplitParts = 32;
    std::array<SymbolCounts, kSplitParts> partCounts;
    std::array<SymbolCounts, 3> splitCounts;  // a frame's, then its two parts'
    SymbolCounts chunkCounts;                  // the frames' together
    std::vector<uint16_t> usedSymbols;
    std::vector<uint32_t> usedCounts;  // per run, then the frame's: the counts of usedSymbols
    // The entropy a split must save to be weighed: about a block header with
    // trees that differ little from the ones before.
    static constexpr double kSplitWorth = 128;

    // A block's trees, and whether it codes as an aligned-offset block.
    struct BlockTrees {
        explicit BlockTrees(unsigned mainSymbols)
            : main(mainSymbols), length(kLengthSymbols), aligned(kAlignedSymbols) {}
        Tree main, length, aligned;
        bool useAligned = false;
        uint64_t footerBits = 0;      // all footers, as verbatim bits
        uint64_t alignedFooters = 0;  // footers of three bits or more
    };

    // A frame coded on its own: one block or two, their trees, and their bits.
    struct FramePlan {
        uint64_t bits = 0;
        size_t split = 0;  // the second block's first item, or 0 for one block
        std::optional<BlockTrees> first, second;
        const BlockTrees& last() const { return split ? *second : *first; }
    };
    std::array<FramePlan, kFramesPerChunk> framePlans;

    // Costs for the next parse from the trees of a block.
    void costsFromTrees(const BlockTrees& t) {
        for (unsigned s = 0; s < mainSymbols; ++s) mainCost[s] = t.main.lengths[s] ? t.main.lengths[s] : 14;
        for (unsigned s = 0; s < kLengthSymbols; ++s) lengthCost[s] = t.length.lengths[s] ? t.length.lengths[s] : 12;
        for (unsigned s = 0; s < kAlignedSymbols; ++s)
            alignedCost[s] = !t.useAligned ? 3 : t.aligned.lengths[s] ? t.aligned.lengths[s] : kMaxAlignedLength;
    }

    // Statistics for the final parse at a sixth of a rough pass's time:
    // at each position the match that saves the most bits against literals
    // (by the costs before) is taken, unless the next position's saves more.
    void parseQuickly(Chunk& c, const Recent& startRecent) {
        tabulateMatchCosts();
        const uint8_t* base = buffer.data() + bufferIndex(c, 0);
        literalCostsBefore.resize(size_t(c.bytes) + 1);
        literalCostsBefore[0] = 0;
        for (uint32_t i = 0; i < c.bytes; ++i) literalCostsBefore[i + 1] = literalCostsBefore[i] + mainCost[base[i]];
        Recent recent = startRecent;
        c.items.clear();
        uint32_t i = 0;
        for (unsigned f = 0; f < c.frames; ++f) {
            while (i < c.frameEnd[f]) {
                Saving best = bestSavingAt(c, base, i, f, recent);
                if (best.bits > 0 && best.match.length < settings.niceLength && i + 1 < c.frameEnd[f] &&
                    bestSavingAt(c, base, i + 1, f, recent).bits > best.bits)
                    best = Saving{};
                if (best.bits > 0) {
                    c.items.push_back(Item{best.match.length, best.match.offset});
                    useOffset(recent, best.match.offset);
                    i += best.match.length;
                } else {
                    c.items.push_back(Item{base[i], 0});
                    ++i;
                }
            }
        }
    }
    // literalCostsBefore[i]: the cost of chunk positions [0, i) as literals.
    std::vector<uint32_t> literalCostsBefore;

    struct Saving {
        int32_t bits = 0;
        Match match{0, 0};
    };
    Saving bestSavingAt(const Chunk& c, const uint8_t* base, uint32_t i, unsigned frame, const Recent& recent) const {
        Saving best;
        const uint32_t maxLength = maxLengthAt(c, i, frame);
        if (maxLength < kMinMatch) return best;
        const auto consider = [&](uint32_t length, uint32_t offset, uint32_t cost) {
            const int32_t bits = int32_t(literalCostsBefore[i + length] - literalCostsBefore[i]) - int32_t(cost);
            if (bits > best.bits) best = Saving{bits, Match{length, offset}};
        };
        for (unsigned k = 0; k < kRecentOffsets; ++k) {
            const uint32_t offset = recent[k];
            if (offset > c.start + i) continue;
            const uint32_t length = matchLength(base + i, base + i - offset, maxLength);
            if (length >= kMinMatch) consider(length, offset, matchCost(k, length));
        }
        for (const Match& m : c.found.at(i)) {
            const OffsetCode code = codeOffset(recent, m.offset);
            consider(m.length, m.offset, code.footer + matchCost(code.slot, m.length));
        }
        return best;
    }

    // ---- coding (this thread) ----

    // A chunk like the one before starts from costs that fit, and a rough
    // pass for its own statistics gains little. On libraries and
    // documentation, leaving it out where the distance is under a fifth
    // instead of a tenth left 60 % of the rough passes out instead of a
    // quarter, for 0.06 % in size. A quick lazy parse gives statistics
    // worse than the costs before for such a chunk, but at a sixth of a
    // rough pass's time it takes the rough pass's place from a fifth to a
    // half: two thirds of the rough passes that were left go, for 0.06 %,
    // and the finder's thread no longer waits on the parse's.
    void finishChunk(Chunk& c) {
        if (settings.nearOptimal()) {
            const double distance = settings.alikeDistance > 0 ? distanceFromChunkBefore(c) : 1;
            unsigned passes = settings.passes;
            if (distance < settings.alikeDistance) {
                --passes;
            } else if (distance < settings.nearDistance) {
                parseQuickly(c, recent);
                costsFromTrees(treesFor(c.items.data(), c.items.data() + c.items.size()));
                --passes;
            }
            for (unsigned pass = 0; pass < passes; ++pass) {
                parseOptimally(c, recent, pass + 1 < passes);
                if (pass + 1 < passes) costsFromTrees(treesFor(c.items.data(), c.items.data() + c.items.size()));
            }
        }
        codeChunk(c);
        ready[readyCount++] = &c;
    }

    // How far the chunk's bytes are from being spread over the values as the
    // chunk before's were: half the sum of the differences of their shares,
    // 0 alike (the same file going on, say), 1 disjoint; 1 for the first
    // chunk of a folder.
    double distanceFromChunkBefore(const Chunk& c) {
        std::array<uint32_t, 256> counts{};
        const uint8_t* data = buffer.data() + bufferIndex(c, 0);
        for (uint32_t i = 0; i < c.bytes; ++i) ++counts[data[i]];
        // Half the sum of the differences of the shares: 0 alike, 1 disjoint.
        double distance = 0;
        for (unsigned b = 0; b < 256; ++b)
            distance += std::abs(double(counts[b]) / c.bytes - double(byteCounts[b]) / std::max(byteTotal, 1u));
        const bool first = byteTotal == 0;
        byteCounts = counts;
        byteTotal = c.bytes;
        return first ? 1 : distance / 2;
    }

    struct Snapshot {
        Recent recent;
        std::array<uint8_t, kMaxMainSymbols> previousMain;
        std::array<uint8_t, kLengthSymbols> previousLength;
        bool headerPending;
    };
    Snapshot snapshot() const { return {recent, previousMain, previousLength, headerPending}; }
    void restore(const Snapshot& s) {
        recent = s.recent;
        previousMain = s.previousMain;
        previousLength = s.previousLength;
        headerPending = s.headerPending;
    }

    // The chunk as one block or frame by frame, whichever is smaller: one
    // set of trees costs less, trees of its own fit each frame closer, and
    // a frame whose data changes its kind part way splits into two blocks.
    // A frame that does not pay for its blocks is stored. The sizes are
    // worked out from the symbol counts, so that only one layout is coded.
    void codeChunk(Chunk& c) {
        const uint64_t framesBits = frameByFrameBits(c);
        if (c.frames > 1) {
            const BlockTrees whole = treesFrom(chunkCounts);
            if (blockBits(whole, previousMain.data(), previousLength.data()) < framesBits) {
                const Snapshot before = snapshot();
                if (codeAsOneBlock(c, whole)) return;
                restore(before);
            }
        }
        codeFrameByFrame(c);
    }

    // The bits of the chunk coded frame by frame, a frame that does not pay
    // for its blocks counted as stored. Plans each frame as one block or
    // two (framePlans).
    uint64_t frameByFrameBits(const Chunk& c) {
        const uint8_t* main = previousMain.data();
        const uint8_t* length = previousLength.data();
        Recent r = recent;
        uint64_t total = 0;
        chunkCounts = SymbolCounts{};
        for (unsigned f = 0; f < c.frames; ++f) {
            const size_t first = f == 0 ? 0 : c.frameItemEnd[f - 1];
            FramePlan& plan = framePlans[f];
            planFrame(c, first, c.frameItemEnd[f], r, main, length, plan);
            chunkCounts += splitCounts[0];
            const uint64_t stored = 8 * (uint64_t(c.frameEnd[f] - c.frameBegin(f)) + kStoredFrameOverhead / 2);
            if (plan.bits <= stored) {
                main = plan.last().main.lengths.data();
                length = plan.last().length.lengths.data();
            }
            total += std::min(plan.bits, stored);
        }
        return total;
    }

    // Where data changes its kind within a frame (code to tables, text to
    // a picture), trees fitted to each part pay for their second header.
    // The items are counted in kSplitParts runs; the split between two runs
    // that leaves the symbols cheapest (by their entropy) is then weighed
    // with real trees against one block, if it gains enough to pay for a
    // header. Leaves r as it is after the frame.
    void planFrame(const Chunk& c, size_t first, size_t last, Recent& r, const uint8_t* main, const uint8_t* length,
                   FramePlan& plan) {
        const Item* items = c.items.data();
        std::array<size_t, kSplitParts + 1> bound{};
        for (unsigned k = 0; k <= kSplitParts; ++k) bound[k] = first + (last - first) * k / kSplitParts;
        SymbolCounts& whole = splitCounts[0];
        whole = SymbolCounts{};
        for (unsigned k = 0; k < kSplitParts; ++k) {
            partCounts[k] = SymbolCounts{};
            countSymbols(items + bound[k], items + bound[k + 1], r, partCounts[k]);
            whole += partCounts[k];
        }
        plan.first.emplace(treesFrom(whole));
        plan.bits = blockBits(*plan.first, main, length);
        plan.split = 0;

        const unsigned at = cheapestSplit(whole);
        if (at == 0 || bound[at] == first || bound[at] == last) return;
        SymbolCounts& before = splitCounts[1];
        SymbolCounts& after = splitCounts[2];
        before = SymbolCounts{};
        for (unsigned k = 0; k < at; ++k) before += partCounts[k];
        after = whole;
        after -= before;
        BlockTrees a = treesFrom(before);
        plan.second.emplace(treesFrom(after));
        const uint64_t bits =
            blockBits(a, main, length) + blockBits(*plan.second, a.main.lengths.data(), a.length.lengths.data());
        if (bits >= plan.bits) return;
        plan.bits = bits;
        plan.split = bound[at];
        plan.first.emplace(std::move(a));
    }

    // The run (1 to kSplitParts - 1) before which the frame counted in
    // partCounts splits with the most entropy saved, or 0 when no split
    // saves kSplitWorth bits. Only the symbols the frame uses are looked at,
    // main symbols first, then length symbols.
    unsigned cheapestSplit(const SymbolCounts& whole) {
        usedSymbols.clear();
        for (unsigned s = 0; s < mainSymbols; ++s)
            if (whole.main[s]) usedSymbols.push_back(uint16_t(s));
        const size_t usedMain = usedSymbols.size();
        for (unsigned s = 0; s < kLengthSymbols; ++s)
            if (whole.length[s]) usedSymbols.push_back(uint16_t(kMaxMainSymbols + s));
        const size_t used = usedSymbols.size();
        const auto count = [](const SymbolCounts& n, uint16_t s) {
            return s < kMaxMainSymbols ? n.main[s] : n.length[s - kMaxMainSymbols];
        };
        usedCounts.resize(used * (kSplitParts + 1));
        uint32_t* const total = usedCounts.data() + used * kSplitParts;
        for (size_t u = 0; u < used; ++u) {
            total[u] = count(whole, usedSymbols[u]);
            for (unsigned k = 0; k < kSplitParts; ++k) usedCounts[k * used + u] = count(partCounts[k], usedSymbols[u]);
        }
        // Bits of a code's symbols under a code that fits them: T log T - sum f log f.
        double unsplit = 0;
        uint32_t totals[2] = {0, 0};
        for (size_t u = 0; u < used; ++u) unsplit -= countLogCount(total[u]), totals[u >= usedMain] += total[u];
        unsplit += countLogCount(totals[0]) + countLogCount(totals[1]);

        std::array<uint32_t, kMaxMainSymbols + kLengthSymbols> before{};
        uint32_t beforeTotals[2] = {0, 0};
        double cheapest = unsplit - kSplitWorth;
        unsigned at = 0;
        for (unsigned k = 1; k < kSplitParts; ++k) {
            const uint32_t* part = usedCounts.data() + (k - 1) * used;
            double bits = 0;
            for (size_t u = 0; u < used; ++u) {
                before[u] += part[u];
                beforeTotals[u >= usedMain] += part[u];
                bits -= countLogCount(before[u]) + countLogCount(total[u] - before[u]);
            }
            for (unsigned code = 0; code < 2; ++code)
                bits += countLogCount(beforeTotals[code]) + countLogCount(totals[code] - beforeTotals[code]);
            if (bits < cheapest) cheapest = bits, at = k;
        }
        return at;
    }

    // f log2 f, from a table for the counts a frame can hold.
    static double countLogCount(uint32_t f) {
        static const std::vector<float> table = [] {
            std::vector<float> t(kFrameSize + 1);
            for (uint32_t n = 1; n <= kFrameSize; ++n) t[n] = float(double(n) * std::log2(double(n)));
            return t;
        }();
        return f <= kFrameSize ? double(table[f]) : double(f) * std::log2(double(f));
    }

    // The bits of a block with these trees after trees of these lengths:
    // its header and trees, and its symbols as counted.
    uint64_t blockBits(const BlockTrees& t, const uint8_t* previousMainLengths,
                       const uint8_t* previousLengthLengths) const {
        std::array<uint8_t, 4096> scratch;
        BitWriter w;
        w.start(scratch.data(), scratch.size());
        writeBlockHeader(w, kBlockVerbatim, 0);
        writeTrees(w, t, previousMainLengths, previousLengthLengths);
        // The bits left in the writer, at most 15, are counted as a whole word.
        uint64_t bits = 8 * uint64_t(w.position()) + 16;
        const auto symbolBits = [](const Tree& tree) {
            uint64_t sum = 0;
            for (size_t s = 0; s < tree.size; ++s) sum += uint64_t(tree.frequencies[s]) * tree.lengths[s];
            return sum;
        };
        bits += symbolBits(t.main) + symbolBits(t.length) + t.footerBits;
        if (t.useAligned) bits += symbolBits(t.aligned) - 3 * t.alignedFooters;
        return bits;
    }

    // Bytes written, or nothing when a frame would code larger than stored.
    std::optional<size_t> codeAsOneBlock(Chunk& c, const BlockTrees& trees) {
        BitWriter w;
        w.start(c.out.data(), c.out.size());
        size_t frameStart = 0;
        writeBlock(w, c, 0, c.items.size(), 0, frameStart, &trees);
        bool fits = !w.overflowed();
        for (unsigned f = 0; f < c.frames && fits; ++f)
            fits = c.outSize[f] <= c.frameEnd[f] - c.frameBegin(f) + kStoredFrameOverhead;
        if (!fits) return std::nullopt;
        return w.position();
    }

    size_t codeFrameByFrame(Chunk& c) {
        BitWriter w;
        w.start(c.out.data(), c.out.size());
        // The planned trees count the items from the repeated offsets of the
        // items before; a stored frame leaves those as they were, so after
        // one the trees are counted again.
        bool planned = true;
        for (unsigned f = 0; f < c.frames; ++f) {
            const Snapshot before = snapshot();
            const size_t mark = w.position();
            size_t frameStart = mark;
            const FramePlan& plan = framePlans[f];
            const size_t first = f == 0 ? 0 : c.frameItemEnd[f - 1], last = c.frameItemEnd[f], split = plan.split;
            if (split == 0) {
                writeBlock(w, c, first, last, c.frameBegin(f), frameStart, planned ? &*plan.first : nullptr);
            } else {
                writeBlock(w, c, first, split, c.frameBegin(f), frameStart, planned ? &*plan.first : nullptr);
                const uint32_t splitAt = c.frameBegin(f) + bytesOf(c.items.data() + first, c.items.data() + split);
                writeBlock(w, c, split, last, splitAt, frameStart, planned ? &*plan.second : nullptr);
            }
            const uint32_t raw = c.frameEnd[f] - c.frameBegin(f);
            if (!w.overflowed() && c.outSize[f] <= raw + kStoredFrameOverhead / 2) continue;
            planned = false;
            restore(before);
            w.start(c.out.data(), c.out.size());
            w.rewind(mark);
            writeStored(w, c, f);
        }
        return w.position();
    }

    void writeStreamHeader(BitWriter& w) {
        if (!headerPending) return;
        w.put(1, 1);
        w.put(kTranslationSize >> 16, 16);
        w.put(kTranslationSize & 0xFFFF, 16);
        headerPending = false;
    }

    static void writeBlockHeader(BitWriter& w, unsigned type, uint32_t size) {
        w.put(type, 3);
        w.put(size >> 8, 16);
        w.put(size & 0xFF, 8);
    }

    void endFrame(BitWriter& w, Chunk& c, unsigned f, size_t frameStart) {
        w.align();
        c.outStart[f] = uint32_t(frameStart);
        c.outSize[f] = uint32_t(w.position() - frameStart);
    }

    void writeStored(BitWriter& w, Chunk& c, unsigned f) {
        const size_t frameStart = w.position();
        const uint32_t size = c.frameEnd[f] - c.frameBegin(f);
        writeStreamHeader(w);
        writeBlockHeader(w, kBlockUncompressed, size);
        w.padForStored();
        uint8_t offsets[12];
        for (unsigned k = 0; k < 3; ++k)
            for (unsigned b = 0; b < 4; ++b) offsets[4 * k + b] = uint8_t(recent[k] >> (8 * b));
        w.bytes(offsets, sizeof offsets);
        w.bytes(at(c.start + c.frameBegin(f)), size);
        if (size & 1) {
            const uint8_t pad = 0;
            w.bytes(&pad, 1);
        }
        endFrame(w, c, f, frameStart);
    }

    static void countSymbols(const Item* first, const Item* last, Recent& r, SymbolCounts& n) {
        for (const Item* it = first; it != last; ++it) {
            const Coded coded = codeItem(*it, r);
            ++n.main[coded.main];
            if (coded.lengthSymbol >= 0) ++n.length[size_t(coded.lengthSymbol)];
            n.footerBits += coded.footerBits;
            if (coded.footerBits >= 3) {
                ++n.aligned[coded.footer & 7];
                ++n.alignedFooters;
            }
        }
    }

    // Whether coding the low three bits of long footers with the aligned tree
    // saves more than its 24 bits.
    static bool alignedPays(const Tree& aligned) {
        uint64_t alignedBits = 24, verbatimBits = 0;
        for (unsigned s = 0; s < kAlignedSymbols; ++s) {
            alignedBits += uint64_t(aligned.frequencies[s]) * aligned.lengths[s];
            verbatimBits += uint64_t(aligned.frequencies[s]) * 3;
        }
        return alignedBits < verbatimBits;
    }

    // The trees of a block of items [first, last), coded from the repeated
    // offsets the reader holds now.
    BlockTrees treesFor(const Item* first, const Item* last) const {
        Recent r = recent;
        return treesFor(first, last, r);
    }
    // The same from the repeated offsets r, which it leaves as they are after the block.
    BlockTrees treesFor(const Item* first, const Item* last, Recent& r) const {
        SymbolCounts n;
        countSymbols(first, last, r, n);
        return treesFrom(n);
    }
    BlockTrees treesFrom(const SymbolCounts& n) const {
        BlockTrees t(mainSymbols);
        std::copy(n.main.begin(), n.main.end(), t.main.frequencies.begin());
        std::copy(n.length.begin(), n.length.end(), t.length.frequencies.begin());
        std::copy(n.aligned.begin(), n.aligned.end(), t.aligned.frequencies.begin());
        t.footerBits = n.footerBits;
        t.alignedFooters = n.alignedFooters;
        t.main.build(kMaxCodeLength);
        t.length.build(kMaxCodeLength);
        t.aligned.build(kMaxAlignedLength);
        t.useAligned = alignedPays(t.aligned);
        return t;
    }

    // The aligned tree when used, then the main and length trees, as
    // differences to the lengths before.
    void writeTrees(BitWriter& w, const BlockTrees& t, const uint8_t* previousMainLengths,
                    const uint8_t* previousLengthLengths) const {
        if (t.useAligned)
            for (unsigned s = 0; s < kAlignedSymbols; ++s) w.put(t.aligned.lengths[s], 3);
        writeLengths(w, t.main.lengths.data(), previousMainLengths, 0, kLiterals);
        writeLengths(w, t.main.lengths.data(), previousMainLengths, kLiterals, mainSymbols);
        writeLengths(w, t.length.lengths.data(), previousLengthLengths, 0, kLengthSymbols);
    }

    static uint32_t bytesOf(const Item* first, const Item* last) {
        uint32_t bytes = 0;
        for (const Item* it = first; it != last; ++it) bytes += it->bytes();
        return bytes;
    }

    // Items [firstItem, lastItem) of the chunk, from chunk position
    // `position` on, as one verbatim or aligned block. `frameStart` is where
    // the output of the frame at `position` began; each frame that ends in
    // the block is closed there.
    void writeBlock(BitWriter& w, Chunk& c, size_t firstItem, size_t lastItem, uint32_t position,
                    size_t& frameStart, const BlockTrees* counted = nullptr) {
        const Item* first = c.items.data() + firstItem;
        const Item* last = c.items.data() + lastItem;
        const BlockTrees trees = counted ? *counted : treesFor(first, last);
        const Tree &main = trees.main, &length = trees.length, &aligned = trees.aligned;
        const bool useAligned = trees.useAligned;

        writeStreamHeader(w);
        writeBlockHeader(w, useAligned ? kBlockAligned : kBlockVerbatim, bytesOf(first, last));
        writeTrees(w, trees, previousMain.data(), previousLength.data());
        std::copy_n(main.lengths.begin(), mainSymbols, previousMain.begin());
        std::copy_n(length.lengths.begin(), kLengthSymbols, previousLength.begin());
        if (settings.nearOptimal()) costsFromTrees(trees);

        unsigned frame = 0;
        while (position >= c.frameEnd[frame]) ++frame;
        for (const Item* it = first; it != last; ++it) {
            const Coded coded = codeItem(*it, recent);
            main.put(w, coded.main);
            if (coded.lengthSymbol >= 0) length.put(w, unsigned(coded.lengthSymbol));
            if (useAligned && coded.footerBits >= 3) {
                if (coded.footerBits > 3) w.put(coded.footer >> 3, coded.footerBits - 3);
                aligned.put(w, coded.footer & 7);
            } else if (coded.footerBits > 0) {
                w.put(coded.footer, coded.footerBits);
            }
            position += it->bytes();
            if (position == c.frameEnd[frame]) {
                endFrame(w, c, frame, frameStart);
                frameStart = w.position();
                ++frame;
            }
        }
    }
};

LzxEncoder::LzxEncoder(std::pmr::memory_resource* memory, unsigned windowBits, const LzxTuning& tuning)
    : state_(nullptr), memory_(memory) {
    void* place = memory->allocate(sizeof(State), alignof(State));
    try {
        state_ = new (place) State(memory, std::clamp(windowBits, kLzxMinWindowBits, kLzxMaxWindowBits), tuning);
    } catch (...) {
        memory->deallocate(place, sizeof(State), alignof(State));
        throw;
    }
    state_->beginFolder();
}

LzxEncoder::~LzxEncoder() {
    state_->~State();
    memory_->deallocate(state_, sizeof(State), alignof(State));
}

unsigned LzxEncoder::windowBits() const { return state_->windowBits; }
void LzxEncoder::beginFolder() { state_->beginFolder(); }
void LzxEncoder::addFrame(const uint8_t* data, uint32_t size) { state_->addFrame(data, size); }
void LzxEncoder::finish() { state_->finish(); }
bool LzxEncoder::nextFrame(Frame& frame) { return state_->nextFrame(frame); }

}  // namespace pcn::cabinet
