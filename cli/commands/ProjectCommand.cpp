// parcelon project: the package list of a project file (.pcn).

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <filesystem>
#include <memory>

#include "app/core/CPCNDoc.h"
#include "app/core/PackageReport.h"
#include "cli/Command.h"
#include "cli/Output.h"
#include "cli/PackageJson.h"
#include "cli/Usage.h"
#include "platform/FileLock.h"
#include "platform/Paths.h"

namespace {

struct ProjectArgs {
    std::string project;
    std::string action;
    std::string package;
};

std::string absolute(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::absolute(path, ec);
    return ec ? path : p.lexically_normal().string();
}

// Opens the project; a project file that does not exist yet is a new,
// empty project when allowNew.
bool openProject(pcn::CPCNDoc& doc, const std::string& path, bool allowNew) {
    if (!pcn::fileExists(path)) {
        if (!allowNew) return pcn::cli::fail("no such project file: " + path), false;
        doc.OnNewDocument();
        return true;
    }
    // Missing and damaged package files stay listed, in their place; `list`
// shows them as not loaded.
    doc.SetMissingFileReconciler([](std::vector<std::string>&) { return pcn::Answer::Ok; });
    return doc.OnOpenDocument(path);
}

int addPackage(pcn::CPCNDoc& doc, const std::string& projectPath, const std::string& packagePath) {
    std::string wanted = absolute(packagePath);
    for (const auto& p : doc.m_listPackages)
        if (absolute(p->m_strPackageFile) == wanted)
            return pcn::cli::fail("Selected Package is already\nin the current Project list.");
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(wanted);
    if (!package) return 1;
    doc.AddPackage(std::move(package));
    return doc.OnSaveDocument(projectPath) ? 0 : 1;
}

int removePackage(pcn::CPCNDoc& doc, const std::string& projectPath, const std::string& packagePath) {
    std::string wanted = absolute(packagePath);
    for (const auto& p : doc.m_listPackages)
        if (absolute(p->m_strPackageFile) == wanted) {
            doc.RemovePackage(p.get());
            return doc.OnSaveDocument(projectPath) ? 0 : 1;
        }
    return pcn::cli::fail("the project does not list " + packagePath);
}

int listPackages(const pcn::CPCNDoc& doc) {
    if (pcn::cli::output().json) {
        pcn::cli::JsonWriter json;
        json.beginObject().field("project", doc.GetPathName()).key("packages").beginArray();
        for (const auto& p : doc.m_listPackages) {
            json.beginObject();
            pcn::cli::writePackageSummary(json, *p);
            json.endObject();
        }
        json.endArray().endObject().print();
        return 0;
    }
    for (const auto& p : doc.m_listPackages)
        std::printf("%s\t%s\n", pcn::PackageListText(*p).c_str(), p->m_strPackageFile.c_str());
    return 0;
}

int runProject(pcn::cli::Context& ctx, const ProjectArgs& a, const CLI::App& command) {
    if (a.project.find(".pcp") != std::string::npos)
        return pcn::cli::fail("a package file is not a project: " + a.project);
    if (a.action != "list" && a.package.empty()) return pcn::cli::usageError(command, a.action + " needs a package file");
    // Other runs may change the same project at the same time: each holds the
    // project's lock from its read to its write, so that no change is lost.
    std::optional<pcn::FileLock> lock;
    if (a.action != "list") {
        lock.emplace(pcn::FileLock::besideFile(a.project));
        if (!lock->ok())
            return pcn::cli::fail("cannot lock " + a.project + ": " + std::strerror(errno));
    }
    pcn::CPCNDoc doc(&ctx.ui());
    if (!openProject(doc, a.project, a.action == "add")) return 1;
    if (a.action == "add") return addPackage(doc, a.project, a.package);
    if (a.action == "remove") return removePackage(doc, a.project, a.package);
    return listPackages(doc);
}

void setupProject(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<ProjectArgs>();
    auto* cmd = app.add_subcommand("project", "List a project's packages, or add or remove a package file");
    cmd->add_option("PROJECT", args->project, "Project file (.pcn); add creates it when missing")->required();
    cmd->add_option("ACTION", args->action, "list, add or remove")
        ->required()
        ->check(CLI::IsMember({"list", "add", "remove"}));
    cmd->add_option("PACKAGE", args->package, "Package file (.pcp) for add and remove");
    pcn::cli::addJsonFlag(*cmd);
    pcn::cli::addExamples(*cmd, {"parcelon project Release.pcn add Tools.pcp", "parcelon project Release.pcn list --json"});
    cmd->callback([args, &ctx, cmd] { ctx.exitCode = runProject(ctx, *args, *cmd); });
}

}  // namespace

PCN_CLI_COMMAND("project", setupProject);
