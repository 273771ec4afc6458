#pragma once
// LZX compression of cabinet folders.
//
// A folder's data arrives as frames of 32 KB (the last one may be shorter),
// the same units as the cabinet's data blocks. Every frame comes back as its
// own compressed unit, realigned to 16 bits, so that each data block holds
// exactly one frame as readers expect. The window, the trees and the
// repeated offsets carry on from frame to frame for the whole folder, also
// when the folder continues into the next cabinet.
//
// Frames are gathered into chunks of a few frames; one chunk is parsed on a
// second thread while the previous one is finished (tree building, block
// choice, bit output) on the caller's thread, so compressed frames come out
// one chunk behind the input until finish() is called.
//
// All memory comes from the memory resource given at creation and is
// bounded by the window size, whatever the input.

#include <cstddef>
#include <cstdint>
#include <memory_resource>

namespace pcn::cabinet {

inline constexpr unsigned kLzxMinWindowBits = 15;
inline constexpr unsigned kLzxMaxWindowBits = 21;

// How hard the encoder works: 1..3 a lazy parse over hash chains, 4..9 a
// near-optimal parse over binary trees (deeper searches and more passes as
// the level rises).
struct LzxTuning {
    int level = 5;
    bool secondThread = true;
};

class LzxEncoder {
public:
    struct Frame {
        const uint8_t* data = nullptr;
        uint32_t compressedSize = 0;
        uint32_t uncompressedSize = 0;
    };

    // Throws std::bad_alloc when the memory resource cannot supply the window
    // and tables.
    LzxEncoder(std::pmr::memory_resource* memory, unsigned windowBits, const LzxTuning& tuning);
    ~LzxEncoder();
    LzxEncoder(const LzxEncoder&) = delete;
    LzxEncoder& operator=(const LzxEncoder&) = delete;

    unsigned windowBits() const;

    // Starts a new folder: empty window, fresh trees and offsets.
    void beginFolder();
    // Takes the next frame of the folder (at most 32 KB; only the last frame
    // of a folder may be shorter).
    void addFrame(const uint8_t* data, uint32_t size);
    // Compresses what is still pending; every frame is then available.
    void finish();
    // The next compressed frame in order, valid until the next call to any
    // other member; false when none is ready.
    bool nextFrame(Frame& frame);

private:
    struct State;
    State* state_;
    std::pmr::memory_resource* memory_;
};

}  // namespace pcn::cabinet
