// parcelon list: what a cabinet, a spanning set or a self-extractor holds,
// read back through libmspack.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "platform/Numbers.h"
#include "verifying/CabinetSet.h"
#include "verifying/CheckReport.h"

namespace {

using namespace pcn::verifying;

void printEntry(const CabinetEntry& e) {
    std::printf("%13s  %04d-%02d-%02d %02d:%02d:%02d  %-5s %6d  %-8s  %s\n", pcn::groupDigits(e.size).c_str(), e.year,
                e.month, e.day, e.hour, e.minute, e.second, attributeLetters(e.attributes).c_str(), e.folder,
                compressionName(e.compression).c_str(), printable(e.name).c_str());
}

int runList(const std::string& file) {
    CabinetSet set;
    if (!set.open(file)) return pcn::cli::fail(printable(file) + ": " + set.error());
    for (const CabinetPart& p : set.parts())
        std::printf("%s: cabinet %d of set %u, %s bytes%s\n", printable(p.path).c_str(), p.setIndex + 1, p.setId,
                    pcn::groupDigits(p.length).c_str(),
                    p.offset ? (" at offset " + pcn::groupDigits(p.offset)).c_str() : "");
    std::printf("%13s  %-19s  %-5s %6s  %-8s  %s\n", "Size", "Date", "Attr", "Folder", "Method", "Name");
    for (const CabinetEntry& e : set.entries()) printEntry(e);
    std::printf("%s files, %s bytes\n", pcn::groupDigits(set.entries().size()).c_str(),
                pcn::groupDigits(set.totalSize()).c_str());
    for (const std::string& problem : set.problems()) pcn::cli::fail(printable(problem));
    return set.problems().empty() ? 0 : 1;
}

void setupList(CLI::App& app, pcn::cli::Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("list", "List what a cabinet, a spanning set or a self-extractor holds");
    cmd->add_option("FILE", *file, "Cabinet (.CAB, any of its set) or self-extracting executable")->required();
    cmd->callback([file, &ctx] { ctx.exitCode = runList(*file); });
}

}  // namespace

PCN_CLI_COMMAND("list", setupList);
