// parcelon inf PACKAGE.pcp [--write] [--stored]: a cabinet package's INF text,
// generated from its file table as the INF page does, or written into the
// target folder as the build writes it.

#include <cstdio>
#include <cstring>
#include <memory>

#include "building/CabInfWriter.h"
#include "cli/Command.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"

namespace {

std::unique_ptr<pcn::CCabObj> loadPackage(const std::string& path) {
    pcn::PackageLoadResult loaded = pcn::LoadPackageFile(path);
    if (loaded.package) return std::move(loaded.package);
    if (loaded.error == pcn::PackageLoadError::Damaged)
        pcn::cli::fail("Unexpected file format. (" + path + (loaded.detail.empty() ? "" : ": " + loaded.detail) + ")");
    else
        pcn::cli::fail("cannot open " + path + ": " + std::strerror(loaded.systemError));
    return nullptr;
}

int runInf(const std::string& path, bool write, bool stored, pcn::cli::Context& context) {
    std::unique_ptr<pcn::CCabObj> package = loadPackage(path);
    if (!package) return 1;
    if (package->IsWebPackage())
        return pcn::cli::fail(path + " is a web package: its INF is the web INF, not a cabinet INF");
    if (!stored) package->m_strInfText = pcn::GenerateCabInfText(*package);
    if (!write) {
        std::fwrite(package->m_strInfText.data(), 1, package->m_strInfText.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (!pcn::WriteCabInfForBuild(*package, context.ui())) return 1;
    std::printf("%s\n", pcn::CabInfFilePath(*package).c_str());
    for (const std::string& copy : package->m_arrBuildFiles) std::printf("%s\n", copy.c_str());
    return 0;
}

void setupInf(CLI::App& app, pcn::cli::Context& context) {
    auto path = std::make_shared<std::string>();
    auto write = std::make_shared<bool>(false);
    auto stored = std::make_shared<bool>(false);
    auto* command = app.add_subcommand(
        "inf", "Print a cabinet package's INF file, generated from its files (versions, self-registration,\n"
               "class identifiers), or write it into the target folder as the build does");
    command->add_option("PACKAGE", *path, "Package file (.pcp)")->required();
    command->add_flag("--write", *write,
                      "Write it as the package name + \".Inf\" into the target folder (and, with \"Include INF File\n"
                      "in Cabinet\", a copy into the source folder) and print the paths written");
    command->add_flag("--stored", *stored, "Use the INF text stored in the package instead of generating it");
    command->callback([path, write, stored, &context] { context.exitCode = runInf(*path, *write, *stored, context); });
}

}  // namespace

PCN_CLI_COMMAND("inf", setupInf);
