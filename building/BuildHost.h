#pragma once
// Where a build reports while it runs: the host window of the build (the
// wizard's build page, the rebuild dialog) in the GUI, a progress bar on the
// command line, a recorder in tests. Every call comes from the build worker
// thread; hosts that draw must hand the values over to their own thread.

#include <atomic>
#include <cstdint>
#include <string_view>

namespace pcn {

// Byte counts of the running cabinet step. Totals start at 0 for each run of
// the cabinet writer.
struct BuildProgress {
    uint32_t percent = 0;          // processed bytes of the source total, by the percentage rule
    uint64_t processedBytes = 0;   // uncompressed bytes compressed so far
    uint64_t compressedBytes = 0;  // what they became
    // 100 - compressed * 100 / processed ("%d%%" on the host); 0 before any data.
    int savingPercent() const {
        return processedBytes == 0 ? 0 : int(100 - compressedBytes * 100 / processedBytes);
    }
};

class BuildHost {
public:
    virtual ~BuildHost() = default;

    // The current step line ("Adding: %s", "Complete", status texts).
    virtual void showStep(std::string_view text) = 0;
    // The phase title ("Building Cabinet Files", ...).
    virtual void showPhase(std::string_view title) = 0;
    // The source file being worked on (full path).
    virtual void showCurrentFile(std::string_view path) = 0;
    // Progress of the cabinet step, after every compressed block.
    virtual void showProgress(const BuildProgress& progress) = 0;
    // The percent text and bar alone, leaving the byte counts of the cabinet
    // step as they are (the join of stub and cabinet that follows it).
    virtual void showPercent(uint32_t /*percent*/) {}

    // Set to 1 by the host when the user cancels; the build reads it between
    // files and stops there.
    std::atomic<int> abortRequested{0};
};

}  // namespace pcn
