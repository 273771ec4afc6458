// Which deflate engine for MSZIP blocks: compresses the files named on the
// command line as one stream of 32 KB blocks, on one thread, with
//  - zlib, each block with the previous block as preset dictionary (what the
//    format's carried history allows), and without it (what gcab does);
//  - libdeflate, which is faster per block but has no preset dictionary, so
//    its blocks cannot refer back.
// Prints compressed bytes and MB/s per engine and level.

#include <libdeflate.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr size_t kBlock = 32768;

std::string readAll(int count, char** names) {
    std::string all;
    for (int i = 0; i < count; ++i) {
        std::ifstream in(names[i], std::ios::binary);
        all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return all;
}

size_t zlibBlocks(const std::string& data, int level, bool history) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::vector<unsigned char> out(kBlock + 1024);
    size_t total = 0;
    for (size_t at = 0; at < data.size(); at += kBlock) {
        deflateReset(&z);
        if (history && at > 0)
            deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(data.data() + at - kBlock), kBlock);
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
        z.avail_in = uInt(std::min(kBlock, data.size() - at));
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        deflate(&z, Z_FINISH);
        total += out.size() - z.avail_out + 2;
    }
    deflateEnd(&z);
    return total;
}

size_t libdeflateBlocks(const std::string& data, int level) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    std::vector<unsigned char> out(kBlock + 1024);
    size_t total = 0;
    for (size_t at = 0; at < data.size(); at += kBlock)
        total += libdeflate_deflate_compress(c, data.data() + at, std::min(kBlock, data.size() - at), out.data(),
                                             out.size()) + 2;
    libdeflate_free_compressor(c);
    return total;
}

template <typename F>
void measure(const char* name, int level, const std::string& data, F&& run) {
    const auto start = std::chrono::steady_clock::now();
    const size_t bytes = run();
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-26s level %2d  %12zu bytes  %6.1f%%  %7.1f MB/s per core\n", name, level, bytes,
                100.0 * double(bytes) / double(data.size()), double(data.size()) / 1e6 / secs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: deflate_choice FILE...\n");
        return 2;
    }
    const std::string data = readAll(argc - 1, argv + 1);
    std::printf("%zu bytes in %zu blocks of 32 KB\n", data.size(), (data.size() + kBlock - 1) / kBlock);
    measure("zlib, no history (gcab)", 6, data, [&] { return zlibBlocks(data, 6, false); });
    for (int level : {3, 4, 5, 6, 9})
        measure("zlib, previous block", level, data, [&] { return zlibBlocks(data, level, true); });
    for (int level : {3, 6, 9, 12})
        measure("libdeflate, no history", level, data, [&] { return libdeflateBlocks(data, level); });
    return 0;
}
