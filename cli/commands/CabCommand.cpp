// parcelon cab: make a cabinet, or a spanning set of cabinets, from files and
// folders without a package.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "building/SafeNames.h"
#include "building/StagedCabinetSet.h"
#include "building/StoredNames.h"
#include "cabinet/CabinetCompressor.h"
#include "cabinet/LzxEncoder.h"
#include "cabinet/PosixCabinetIo.h"
#include "cli/Command.h"
#include "cli/Interrupt.h"
#include "cli/Progress.h"
#include "cli/Usage.h"

namespace {

namespace fs = std::filesystem;
using namespace pcn::cabinet;

struct CabArgs {
    std::string output;
    std::vector<std::string> inputs;
    std::string sourceRoot;
    int64_t span = 0;
    bool noCompression = false;
    int64_t reserve = 0;
    std::string level = "default";
    std::string lzx;  // window bits, "" without --lzx
    bool lzxGiven = false;
    std::string filesFrom;  // a list of inputs, "-" for stdin
    bool nulSeparated = false;
};

struct Entry {
    std::string path;
    std::string stored;  // with '\' between folders
    uint64_t size = 0;
};

// The names a package build refuses are refused here too, all in one
// message, and so are two files an extractor would write to one name.
bool namesAreSafe(const std::vector<Entry>& entries) {
    std::vector<pcn::UnsafeName> unsafe;
    std::vector<pcn::CabinetEntry> stored;
    for (const Entry& e : entries) {
        std::string reason = pcn::UnsafeEntryReason(e.path, e.stored);
        if (!reason.empty()) unsafe.push_back({e.path, std::move(reason)});
        stored.push_back({e.path, e.stored});
    }
    if (!unsafe.empty()) {
        pcn::cli::fail(pcn::UnsafeNamesMessage(unsafe));
        return false;
    }
    const std::vector<pcn::NameCollision> collisions = pcn::FindNameCollisions(stored);
    if (collisions.empty()) return true;
    pcn::cli::fail(pcn::NameCollisionsMessage(
        collisions, "Give --source-root, so that each file keeps its folder, or leave one of the files out."));
    return false;
}

struct Session {
    fs::path folder;
    std::string stem, extension;
    std::vector<std::string> written;
    uint64_t totalBytes = 0, processed = 0, compressed = 0;
    std::unique_ptr<pcn::cli::ProgressBar> bar;
    int lastPercent = -1;
    std::string current;
};

std::string storedName(const fs::path& relative) {
    std::string name = relative.generic_string();
    for (char& c : name)
        if (c == '/') c = '\\';
    return name;
}

// Inside the root: the path below it; elsewhere: the file name alone.
std::string nameBelow(const fs::path& file, const fs::path& root) {
    if (!root.empty()) {
        const fs::path rel = file.lexically_relative(root);
        if (!rel.empty() && *rel.begin() != "..") return storedName(rel);
    }
    return file.filename().string();
}

bool collect(const CabArgs& a, std::vector<Entry>& entries) {
    const fs::path root = a.sourceRoot.empty() ? fs::path() : fs::weakly_canonical(a.sourceRoot);
    for (const std::string& input : a.inputs) {
        std::error_code ec;
        const fs::path path = fs::weakly_canonical(input, ec);
        if (ec || !fs::exists(path)) {
            pcn::cli::fail("no such file or folder: " + input);
            return false;
        }
        if (fs::is_directory(path)) {
            // A folder keeps its own name and sub-folders unless a root says otherwise.
            const fs::path base = root.empty() ? path.parent_path() : root;
            std::vector<fs::path> found;
            for (const auto& e : fs::recursive_directory_iterator(path, fs::directory_options::skip_permission_denied, ec))
                if (e.is_regular_file()) found.push_back(e.path());
            std::sort(found.begin(), found.end());
            for (const auto& f : found) entries.push_back({f.string(), nameBelow(f, base), fs::file_size(f, ec)});
        } else if (fs::is_regular_file(path)) {
            entries.push_back({path.string(), nameBelow(path, root), fs::file_size(path)});
        } else {
            // A FIFO or a device would block or never end: refused as the
            // compressor refuses a file it cannot open.
            pcn::cli::fail(std::string(cabinetErrorText(kErrorOpenSource)) + ": " +
                           path.string());
            return false;
        }
    }
    return true;
}

bool nextCabinet(CabinetParams* next, uint32_t, void* client) {
    auto* s = static_cast<Session*>(client);
    const std::string name = s->stem + std::to_string(next->cabinetNumber) + s->extension;
    if (name.size() >= sizeof next->cabinetName) return false;
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "%s", name.c_str());
    s->written.push_back(name);
    return true;
}

uint32_t percentOf(uint64_t part, uint64_t whole) { return whole == 0 ? 100 : uint32_t(part * 100 / whole); }

long status(int kind, uint32_t a, uint32_t b, void* client) {
    auto* s = static_cast<Session*>(client);
    if (pcn::cli::interruptRequested()) return -1;
    if (kind == kStatusBlock) {
        s->compressed += a;
        s->processed += b;
        const int percent = int(percentOf(s->processed, s->totalBytes));
        if (percent != s->lastPercent) {
            s->lastPercent = percent;
            s->bar->update(percent, s->current);
        }
    }
    return 0;
}

int parseLevel(const std::string& level) {
    if (level == "fast") return kFastLevel;
    if (level == "default") return kDefaultLevel;
    if (level == "small") return kSmallLevel;
    if (level.size() == 1 && level[0] >= '1' && level[0] <= '9') return level[0] - '0';
    return -1;
}

// --lzx alone means the largest window.
int parseLzxWindow(const CabArgs& a) {
    if (!a.lzxGiven) return 0;
    if (a.lzx.empty()) return int(kLzxMaxWindowBits);
    if (a.lzx.size() == 2 && std::isdigit(static_cast<unsigned char>(a.lzx[0])) &&
        std::isdigit(static_cast<unsigned char>(a.lzx[1]))) {
        const int bits = std::stoi(a.lzx);
        if (bits >= int(kLzxMinWindowBits) && bits <= int(kLzxMaxWindowBits)) return bits;
    }
    return -1;
}

// --files-from: one input per line (or per NUL with -0, for names with line
// breaks, as find -print0 writes them); empty entries are skipped.
bool readFileList(CabArgs& a) {
    std::ifstream file;
    if (a.filesFrom != "-") {
        file.open(a.filesFrom, std::ios::binary);
        if (!file) {
            pcn::cli::fail("cannot read the file list " + a.filesFrom + ": " + std::strerror(errno));
            return false;
        }
    }
    std::istream& in = a.filesFrom == "-" ? std::cin : file;
    for (std::string entry; std::getline(in, entry, a.nulSeparated ? '\0' : '\n');) {
        if (!a.nulSeparated && entry.ends_with('\r')) entry.pop_back();
        if (!entry.empty()) a.inputs.push_back(entry);
    }
    return true;
}

int runCab(CabArgs& a, const CLI::App& command) {
    auto usage = [&command](const std::string& text) { return pcn::cli::usageError(command, text); };
    const int level = parseLevel(a.level);
    if (level < 0) return usage("--level must be fast, default, small or 1 to 9");
    const int lzxWindow = parseLzxWindow(a);
    if (lzxWindow < 0) return usage("--lzx takes a window of 15 to 21 bits");
    if (lzxWindow > 0 && a.noCompression) return usage("--lzx and --no-compression exclude each other");
    if (a.span < 0 || a.span > int64_t(kLargestCabinet)) return usage("--span must be between 1 and 2147483647 bytes");
    if (a.reserve < 0 || a.reserve > int64_t(kMaxHeaderReserve)) return usage("--reserve must be between 0 and 60000 bytes");

    if (!a.filesFrom.empty() && !readFileList(a)) return 1;
    std::vector<Entry> entries;
    if (!collect(a, entries)) return 1;
    if (entries.empty()) return pcn::cli::fail("no files to put in the cabinet");
    if (!namesAreSafe(entries)) return 1;

    Session s;
    const fs::path out = fs::absolute(a.output);
    std::error_code made;
    fs::create_directories(out.parent_path(), made);
    if (made) return pcn::cli::fail("cannot create the folder " + out.parent_path().string() + ": " + made.message());
    s.folder = out.parent_path();
    s.stem = out.stem().string();
    s.extension = out.extension().string();
    for (const Entry& e : entries) s.totalBytes += e.size;

    CabinetParams params;
    params.maxCabinetSize = a.span > 0 ? uint32_t(a.span) : kLargestCabinet;
    params.folderThreshold = 90000000;
    params.headerReserve = uint32_t(a.reserve);
    params.setId = 44444;
    // Written beside the output and renamed over it only when the whole set
    // is complete: a failed or cancelled run leaves what was there.
    pcn::StagedCabinetSet staged(s.folder.string());
    if (staged.folder().empty())
        return pcn::cli::fail("cannot write into " + s.folder.string() + ": " + std::strerror(staged.error()));
    const std::string folder = staged.folder();
    const std::string first = out.filename().string();
    if (folder.size() >= sizeof params.cabinetPath || first.size() >= sizeof params.cabinetName)
        return pcn::cli::fail("the output path is too long: " + a.output);
    std::snprintf(params.cabinetPath, sizeof params.cabinetPath, "%s", folder.c_str());
    std::snprintf(params.cabinetName, sizeof params.cabinetName, "%s", first.c_str());
    s.written.push_back(first);

    CompressionTuning tuning;
    tuning.level = level;
    CabinetError error;
    CabinetCompressor* c = createCompressor(&error, posixCallbacks(), params, &s, tuning);
    if (!c) return pcn::cli::fail(std::string("cannot start the compressor: ") + cabinetErrorText(error.code));

    pcn::cli::InterruptGuard interrupt;
    s.bar = std::make_unique<pcn::cli::ProgressBar>("Compressing");
    const CompressionType type = a.noCompression ? kCompressionNone
                                 : lzxWindow > 0 ? lzxCompression(unsigned(lzxWindow))
                                                 : kCompressionMszip;
    bool ok = true;
    std::string failedFile;
    for (const Entry& e : entries) {
        s.current = e.stored;
        if (!addFile(c, e.path.c_str(), e.stored.c_str(), false, nextCabinet, status, posixFileInfo, type)) {
            ok = false;
            failedFile = e.path;
            break;
        }
    }
    if (ok) ok = flushCabinet(c, false, nextCabinet, status);
    destroyCompressor(c);
    if (!ok) {
        s.bar.reset();
        // The cabinet in progress was a temporary file: nothing was replaced.
        if (pcn::cli::interruptRequested()) return pcn::cli::cancelled();
        std::string text = std::string("cabinet not written: ") + cabinetErrorText(error.code);
        if (error.errorNumber) text += std::string(": ") + std::strerror(error.errorNumber);
        if (!failedFile.empty()) text += " (while adding " + failedFile + ")";
        return pcn::cli::fail(text);
    }
    if (!staged.commit(s.written))
        return pcn::cli::fail("cannot move the cabinets into " + s.folder.string() + ": " +
                              std::strerror(staged.error()));
    s.bar->finish(pcn::cli::groupDigits(s.processed) + " bytes in, " + pcn::cli::groupDigits(s.compressed) + " out");
    for (const std::string& name : s.written) std::printf("%s\n", (s.folder / name).c_str());
    return 0;
}

void setupCab(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<CabArgs>();
    auto* cmd = app.add_subcommand("cab", "Make a cabinet (or a spanning set) from files and folders");
    cmd->add_option("OUT", args->output, "First cabinet to write (later ones: OUT's name + 2, 3, ...)")->required();
    auto* files = cmd->add_option("FILE", args->inputs, "Files and folders to store");
    auto* filesFrom = cmd->add_option("--files-from", args->filesFrom,
                                      "Also store the files and folders listed in this file, one a line (- reads stdin)");
    cmd->add_flag("-0,--null", args->nulSeparated, "The --files-from list is separated by NUL characters")
        ->needs(filesFrom);
    cmd->add_option("--source-root", args->sourceRoot,
                    "Store paths below this folder with their sub-folders (else the file name alone)");
    cmd->add_option("--span", args->span, "Span cabinets of at most this many bytes");
    cmd->add_flag("--no-compression", args->noCompression, "Store files uncompressed");
    cmd->add_option("--reserve", args->reserve, "Bytes reserved in each cabinet header (6144 leaves room for a signature)");
    cmd->add_option("--level", args->level, "Compression level: fast, default, small or 1 to 9")->capture_default_str();
    CLI::Option* lzx =
        cmd->add_option("--lzx", args->lzx, "Compress with LZX, window of 2^N bytes (15 to 21; 21 when no N given)")
            ->expected(0, 1);
    pcn::cli::addExamples(*cmd, {"parcelon cab Tools.cab dist/ --source-root dist",
                                 "parcelon cab Disk.cab dist/ --span 1457664 --lzx",
                                 "find dist -name '*.dll' -print0 | parcelon cab Libraries.cab --files-from - -0"});
    cmd->callback([args, lzx, files, filesFrom, cmd, &ctx] {
        if (files->count() == 0 && filesFrom->count() == 0) {
            ctx.exitCode = pcn::cli::usageError(*cmd, "give the files to store, or --files-from LIST");
            return;
        }
        args->lzxGiven = lzx->count() > 0;
        ctx.exitCode = runCab(*args, *cmd);
    });
}

}  // namespace

PCN_CLI_COMMAND("cab", setupCab);
