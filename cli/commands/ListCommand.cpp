// parcelon list: what a cabinet, a spanning set or a self-extractor holds,
// read back through libmspack.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/Usage.h"
#include "platform/Numbers.h"
#include "verifying/CabinetSet.h"
#include "verifying/CheckReport.h"

namespace {

using namespace pcn::verifying;

std::string dateText(const CabinetEntry& e) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", e.year, e.month, e.day, e.hour, e.minute,
                  e.second);
    return text;
}

void printText(const CabinetSet& set) {
    for (const CabinetPart& p : set.parts())
        std::printf("%s: cabinet %d of set %u, %s bytes%s\n", printable(p.path).c_str(), p.setIndex + 1, p.setId,
                    pcn::groupDigits(p.length).c_str(),
                    p.offset ? (" at offset " + pcn::groupDigits(p.offset)).c_str() : "");
    std::printf("%13s  %-19s  %-5s %6s  %-8s  %s\n", "Size", "Date", "Attr", "Folder", "Method", "Name");
    for (const CabinetEntry& e : set.entries())
        std::printf("%13s  %s  %-5s %6d  %-8s  %s\n", pcn::groupDigits(e.size).c_str(), dateText(e).c_str(),
                    attributeLetters(e.attributes).c_str(), e.folder, compressionName(e.compression).c_str(),
                    printable(e.name).c_str());
    const size_t files = set.entries().size();
    std::printf("%s %s, %s bytes\n", pcn::groupDigits(files).c_str(), files == 1 ? "file" : "files",
                pcn::groupDigits(set.totalSize()).c_str());
}

// {"cabinets": [{"path", "offset", "size", "set", "index"}], "files": [{"name",
//  "size", "date", "attributes", "folder", "compression"}], "problems": [text]}
void printJson(const CabinetSet& set) {
    pcn::cli::JsonWriter json;
    json.beginObject().key("cabinets").beginArray();
    for (const CabinetPart& p : set.parts())
        json.beginObject()
            .field("path", p.path)
            .field("offset", p.offset)
            .field("size", uint64_t(p.length))
            .field("set", int(p.setId))
            .field("index", int(p.setIndex))
            .endObject();
    json.endArray().key("files").beginArray();
    for (const CabinetEntry& e : set.entries())
        json.beginObject()
            .field("name", e.name)
            .field("size", uint64_t(e.size))
            .field("date", dateText(e))
            .field("attributes", attributeLetters(e.attributes))
            .field("folder", e.folder)
            .field("compression", compressionName(e.compression))
            .endObject();
    json.endArray().array("problems", set.problems()).endObject().print();
}

int runList(const std::string& file) {
    CabinetSet set;
    if (!set.open(file)) return pcn::cli::fail(printable(file) + ": " + set.error());
    if (pcn::cli::output().json) printJson(set);
    else printText(set);
    for (const std::string& problem : set.problems()) pcn::cli::fail(printable(problem));
    return set.problems().empty() ? 0 : pcn::cli::kExitFailed;
}

void setupList(CLI::App& app, pcn::cli::Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("list", "List what a cabinet, a spanning set or a self-extractor holds");
    cmd->add_option("FILE", *file, "Cabinet (.CAB, any of its set) or self-extracting executable")->required();
    pcn::cli::addJsonFlag(*cmd);
    pcn::cli::addExamples(*cmd, {"parcelon list out/Tools/Tools1.CAB", "parcelon list out/Tools/ToolsW.EXE --json"});
    cmd->callback([file, &ctx] { ctx.exitCode = runList(*file); });
}

}  // namespace

PCN_CLI_COMMAND("list", setupList);
