// parcelon web new: define a web INF package from a component, with the web
// wizard's defaults, and scan for its dependency list.
// parcelon web PACKAGE: show or change a web package's dependency list,
// print its INF text (or HTML page), or write both into its target folder as
// finishing the wizard does.

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "cli/Command.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/Usage.h"
#include "cli/ScanProgressBar.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "web/NewWebPackage.h"
#include "web/SiteAddress.h"
#include "web/WebInf.h"

namespace {

struct NewWebArgs {
    pcn::NewWebPackageOptions options;
    bool noScan = false;
};

// Fills the dependency list the way leaving the wizard's first page does.
bool fillDependencies(pcn::CCabObj& package, pcn::UserInterface& ui) {
    pcn::cli::TerminalScanProgress progress;
    if (!pcn::web::ScanDependencies(package, progress, ui)) {
        pcn::cli::fail(std::string(pcn::web::kScanFailedText));
        return false;
    }
    if (package.m_pWeb->m_bScan) progress.finish();
    return true;
}

int runNewWeb(NewWebArgs& a, pcn::cli::Context& ctx) {
    pcn::NewWebPackageOptions& o = a.options;
    if (!o.packageFile.ends_with(".pcp")) return pcn::cli::fail("the package file must end with .pcp: " + o.packageFile);
    if (pcn::fileExists(o.packageFile)) return pcn::cli::fail("the package file exists already: " + o.packageFile);
    o.scan = !a.noScan;
    if (o.lpk && !o.htmTemplate) return pcn::cli::fail("--lpk needs --htm: the LPK object goes into the HTML page");
    pcn::NewWebPackageResult made = pcn::MakeNewWebPackage(o);
    if (!made.package) return pcn::cli::fail(made.message);
    pcn::CCabObj& package = *made.package;
    if (!fillDependencies(package, ctx.ui())) return 1;
    int error = 0;
    if (!pcn::SavePackage(package, &error))
        return pcn::cli::fail("cannot write " + o.packageFile + ": " + std::strerror(error));
    std::printf("%s\n", o.packageFile.c_str());
    std::fprintf(stderr, "%d dependencies, output into %s\n", package.GetDependencyCount(),
                 package.m_strTargetFolder.c_str());
    return 0;
}

struct WebArgs {
    std::string packageFile;
    std::vector<int> include, exclude;
    std::vector<std::string> os, cpu;
    bool list = false, html = false, write = false;
};

// "N:FLAGS" with N an entry of the list and FLAGS a number (0x.. allowed).
std::optional<std::pair<int, int32_t>> entryFlags(const std::string& text, const pcn::CCabObj& package) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return std::nullopt;
    char* end = nullptr;
    long index = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + colon || index < 0 || index >= package.GetDependencyCount()) return std::nullopt;
    long flags = std::strtol(text.c_str() + colon + 1, &end, 0);
    if (*end != '\0' || end == text.c_str() + colon + 1 || flags < 0 || flags > 0xFFFF) return std::nullopt;
    return std::make_pair(static_cast<int>(index), static_cast<int32_t>(flags));
}

// Applies --include/--exclude/--os/--cpu; false after saying which one is wrong.
bool applyChanges(const WebArgs& a, pcn::CCabObj& package, bool& changed) {
    auto validEntry = [&](int index) {
        if (index >= 0 && index < package.GetDependencyCount()) return true;
        pcn::cli::fail("no dependency " + std::to_string(index) + ": the list has " +
                       std::to_string(package.GetDependencyCount()) + " (see --list)");
        return false;
    };
    for (int i : a.include) {
        if (!validEntry(i)) return false;
        package.SetDependencyInclude(i, 1);
    }
    for (int i : a.exclude) {
        if (!validEntry(i)) return false;
        package.SetDependencyInclude(i, 0);
    }
    for (const auto& [texts, isOs] : {std::pair{&a.os, true}, std::pair{&a.cpu, false}}) {
        for (const std::string& text : *texts) {
            auto parsed = entryFlags(text, package);
            if (!parsed) {
                pcn::cli::fail("expected ENTRY:FLAGS with an entry of the list (see --list): " + text);
                return false;
            }
            if (isOs) package.SetDependencyOs(parsed->first, parsed->second);
            else package.SetDependencyCpu(parsed->first, parsed->second);
        }
    }
    changed = !a.include.empty() || !a.exclude.empty() || !a.os.empty() || !a.cpu.empty();
    return true;
}

void printList(const pcn::CCabObj& package) {
    std::printf("entry include os cpu origin name\n");
    for (int i = 0; i < package.GetDependencyCount(); ++i)
        std::printf("%d %d %d %d %d %s\n", i, package.GetDependencyInclude(i), package.GetDependencyOs(i),
                    package.GetDependencyCpu(i), package.GetDependencyOrigin(i), package.GetDependencyName(i).c_str());
}

// --json: the list, the files written, or the text, in one object.
int printJson(const WebArgs& a, const pcn::CCabObj& package, const std::vector<std::string>& written) {
    pcn::cli::JsonWriter json;
    json.beginObject().field("package", a.packageFile);
    if (a.list) {
        json.key("dependencies").beginArray();
        for (int i = 0; i < package.GetDependencyCount(); ++i)
            json.beginObject()
                .field("entry", i)
                .field("name", package.GetDependencyName(i))
                .field("include", package.GetDependencyInclude(i) != 0)
                .field("os", package.GetDependencyOs(i))
                .field("cpu", package.GetDependencyCpu(i))
                .field("origin", package.GetDependencyOrigin(i))
                .endObject();
        json.endArray();
    } else if (a.write) {
        json.array("written", written);
    } else {
        json.field(a.html ? "html" : "inf", a.html ? pcn::BuildWebHtml(package) : pcn::BuildWebInf(package));
    }
    json.endObject().print();
    return 0;
}

int printText(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int runWeb(const WebArgs& a, pcn::cli::Context& ctx) {
    std::unique_ptr<pcn::CCabObj> package = pcn::cli::loadPackageArgument(a.packageFile);
    if (!package) return 1;
    if (!package->IsWebPackage()) return pcn::cli::fail(a.packageFile + " is no web package");
    bool changed = false;
    if (!applyChanges(a, *package, changed)) return 1;
    int error = 0;
    if (changed && !pcn::SavePackage(*package, &error))
        return pcn::cli::fail("cannot write " + a.packageFile + ": " + std::strerror(error));
    std::vector<std::string> written;
    if (a.write) {
        if (!pcn::WriteWebPackageFiles(*package, ctx.ui())) return 1;
        written.push_back(pcn::WebInfFilePath(*package));
        if (package->m_pWeb->m_bHtmTemplate) written.push_back(pcn::WebHtmlFilePath(*package));
    }
    if (pcn::cli::output().json) return printJson(a, *package, written);
    if (a.list) {
        printList(*package);
        return 0;
    }
    if (a.write) {
        for (const std::string& path : written) std::printf("%s\n", path.c_str());
        return 0;
    }
    return printText(a.html ? pcn::BuildWebHtml(*package) : pcn::BuildWebInf(*package));
}

void setupWeb(CLI::App& app, pcn::cli::Context& ctx) {
    auto* web = app.add_subcommand(
        "web", "Web INF packages: print a package's INF text or HTML page, change which dependencies it\n"
               "carries and for which OS and processor, write its files; `web new` defines one");

    auto newArgs = std::make_shared<NewWebArgs>();
    auto& o = newArgs->options;
    auto* make = web->add_subcommand("new", "Define a web INF package (.pcp) for an ActiveX component");
    make->add_option("PACKAGE", o.packageFile, "Package file to write (.pcp)")->required();
    make->add_option("--component", o.component, "File or control to deploy")->required()->check(CLI::ExistingFile);
    make->add_option("--company", o.company, "Company Name")->required();
    make->add_option("--product", o.product, "Product Name: also the base name of the .inf and .htm files")
        ->required();
    make->add_option("--target", o.targetFolder, "Folder in which the output folder (named after the product) is made")
        ->required();
    make->add_flag("--no-scan", newArgs->noScan, "Do not scan for dependencies: the component alone");
    make->add_flag("--dynamic", o.scanDynamic, "Also scan the component's file for the libraries it names");
    make->add_flag("--htm", o.htmTemplate, "Create Htm Template: write an HTML page beside the INF file");
    make->add_flag("--lpk", o.lpk, "Include LPK Object in the HTML page (needs --htm)");
    make->callback([newArgs, &ctx] { ctx.exitCode = runNewWeb(*newArgs, ctx); });

    auto args = std::make_shared<WebArgs>();
    web->add_option("PACKAGE", args->packageFile, "Web package file (.pcp)");
    web->add_option("--include", args->include, "Write dependency N into the INF (saved in the package)");
    web->add_option("--exclude", args->exclude, "Leave dependency N out of the INF (saved in the package)");
    web->add_option("--os", args->os,
                    "N:FLAGS: OS flags of dependency N: 1 Win32, 2 Mac, 0 not specific (saved in the package)");
    web->add_option("--cpu", args->cpu,
                    "N:FLAGS: processor flags of dependency N: 1 x86, 2 ppc, 4 mips, 8 alpha, 0 not specific");
    web->add_flag("--list", args->list, "List the dependencies with their numbers and flags");
    web->add_flag("--html", args->html, "Print the package's HTML page instead of its INF text");
    web->add_flag("--write", args->write, "Write the .inf (and with the template option the .htm) into the target folder");
    pcn::cli::addJsonFlag(*web);
    pcn::cli::addExamples(*web, {"parcelon web new Ctl.pcp --component Ctl.ocx --company Acme --product Ctl --target out --htm",
                                 "parcelon web Ctl.pcp --list --json", "parcelon web Ctl.pcp --exclude 2 --write"});
    web->callback([web, make, args, &ctx] {
        if (make->parsed()) return;
        if (args->packageFile.empty()) {
            ctx.exitCode = pcn::cli::usageError(*web, "a web package file (.pcp) is needed, or `web new` (see --help)");
            return;
        }
        ctx.exitCode = runWeb(*args, ctx);
    });
}

}  // namespace

PCN_CLI_COMMAND("web", setupWeb);
