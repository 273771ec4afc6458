// parcelon show: a package's settings as the rows of the printed report, or
// a project's package list as the list view shows it.

#include <cstdio>
#include <cstring>
#include <memory>

#include "app/core/PackageReport.h"
#include "cli/Command.h"
#include "cli/Output.h"
#include "cli/PackageJson.h"
#include "cli/Usage.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "app/core/CPCNDoc.h"
#include "model/Archive.h"
#include "model/RecordFile.h"

namespace {

// Tab stops of the printed report, in characters.
std::string expandTabs(const std::string& row) {
    static const int stops[] = {16, 40, 56, 76};
    std::string out;
    for (char c : row) {
        if (c != '\t') {
            out += c;
            continue;
        }
        int column = static_cast<int>(out.size());
        int next = column + 1;
        for (int stop : stops)
            if (stop > column) {
                next = stop;
                break;
            }
        out.append(static_cast<size_t>(next - column), ' ');
    }
    return out;
}

int showPackage(const std::string& path) {
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(path);
    if (!package) return 1;
    if (pcn::cli::output().json) {
        pcn::cli::JsonWriter json;
        json.beginObject();
        pcn::cli::writePackageDetails(json, *package);
        json.endObject().print();
        return 0;
    }
    std::printf("%s\n\n", pcn::PackageListText(*package).c_str());
    for (const auto& row : pcn::PackageReportRows(*package)) std::printf("%s\n", expandTabs(row.text()).c_str());
    std::printf("\n Last Build:\n");
    if (package->m_timeBuilt == 0) {
        std::printf("%s\n", expandTabs(" \tBuilt:\tnever").c_str());
    } else {
        char when[64];
        std::time_t t = package->m_timeBuilt;
        std::strftime(when, sizeof when, "%c", std::localtime(&t));
        std::printf("%s\n", expandTabs(std::string(" \tBuilt:\t") + when).c_str());
    }
    std::printf("%s\n", expandTabs(std::string(" \tNeeds Rebuild:\t") + (package->m_bRebuild ? "Yes" : "No")).c_str());
    for (const auto& out : package->m_arrOutputFiles)
        std::printf("%s\n", expandTabs(" \tOutput:\t" + package->m_strBuildFolder + out).c_str());
    return 0;
}

int showProject(const std::string& path) {
    std::string bytes;
    int error = 0;
    if (!pcn::readRecordFile(path, bytes, error)) return pcn::cli::fail("cannot open " + path + ": " + std::strerror(error));
    std::vector<std::string> paths;
    try {
        paths = pcn::CPCNDoc::ParseProjectFile(bytes);
    } catch (const pcn::ArchiveException&) {
        return pcn::cli::fail(std::string(pcn::kFailedToOpenDocument) + " (" + path + ")");
    }
    if (pcn::cli::output().json) {
        pcn::cli::JsonWriter json;
        json.beginObject().field("project", path).key("packages").beginArray();
        for (const std::string& p : paths) {
            std::unique_ptr<pcn::CCabObj> package = pcn::LoadPackage(p);
            json.beginObject();
            if (package) pcn::cli::writePackageSummary(json, *package);
            else json.field("file", p).field("loaded", false);
            json.endObject();
        }
        json.endArray().endObject().print();
        return 0;
    }
    for (const std::string& p : paths) {
        std::unique_ptr<pcn::CCabObj> package = pcn::LoadPackage(p);
        if (package)
            std::printf("%s\t%s\n", pcn::PackageListText(*package).c_str(), p.c_str());
        else
            std::printf("(not loaded)\t%s\n", p.c_str());
    }
    return 0;
}

void setupShow(CLI::App& app, pcn::cli::Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("show", "Show a package's settings (.pcp) or a project's packages (.pcn)");
    cmd->add_option("FILE", *file, "Package (.pcp) or project (.pcn) file")->required();
    pcn::cli::addJsonFlag(*cmd);
    pcn::cli::addExamples(*cmd, {"parcelon show Tools.pcp", "parcelon show Release.pcn --json"});
    cmd->callback([file, &ctx] {
        if (file->ends_with(".pcn"))
            ctx.exitCode = showProject(*file);
        else
            ctx.exitCode = showPackage(*file);
    });
}

}  // namespace

PCN_CLI_COMMAND("show", setupShow);
