// parcelon new: define a package in one command, with the defaults the
// package wizard would offer.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "building/CabInfWriter.h"
#include "building/ConfigFile.h"
#include "cli/Command.h"
#include "editing/core/NewPackage.h"
#include "model/CCabObj.h"
#include "model/Digest.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace {

struct NewArgs {
    std::string packageFile;
    std::string kind = "cab";
    pcn::NewPackageOptions options;
    int64_t span = 0;
    bool noCompression = false, noInf = false, noSignature = false, noTimeStamp = false, sha1 = false;
    std::string digest;
};

int32_t kindFromName(const std::string& name) {
    if (name == "sfx") return pcn::kKindSelfExtractingCabinet;
    if (name == "wizard") return pcn::kKindSelfExtractingWizard;
    return pcn::kKindCabinet;
}

int runNew(NewArgs& a) {
    if (!a.packageFile.ends_with(".pcp"))
        return pcn::cli::fail("the package file must end with .pcp: " + a.packageFile);
    if (a.kind == "web")
        return pcn::cli::fail("web packages are defined from a component; this command makes cabinet kinds");
    if (pcn::fileExists(a.packageFile)) return pcn::cli::fail("the package file exists already: " + a.packageFile);
    if (a.span < 0 || a.span > 0x7FFFFFFF) return pcn::cli::fail("--span must be between 1 and 2147483647 bytes");

    pcn::NewPackageOptions& o = a.options;
    o.kind = kindFromName(a.kind);
    o.packageFile = a.packageFile;
    o.compression = !a.noCompression;
    o.createInf = !a.noInf;
    o.signature = !a.noSignature;
    o.timeStamp = !a.noTimeStamp;
    o.spanSize = static_cast<int32_t>(a.span);
    if (!a.digest.empty())
        o.digest = *pcn::digestFromToken(a.digest);
    else
        o.digest = a.sha1 ? pcn::kDigestSha1 : pcn::defaultDigest(pcn::SettingsStore::user());

    pcn::NewPackageResult r = pcn::MakeNewPackage(o);
    if (!r.package) return pcn::cli::fail(r.message + " (" + r.field + ")");
    if (std::string field = pcn::ConfigFieldWithLineBreak(*r.package); !field.empty())
        return pcn::cli::fail(field + ": " + pcn::kLineBreakRefused);
    // As the INF page does when the wizard shows it: the build then writes
    // this text rather than an empty INF.
    if (r.package->m_bCreateInf) r.package->m_strInfText = pcn::GenerateCabInfText(*r.package);
    for (const std::string& loop : r.scan.loops)
        std::fprintf(stderr, "warning: %s leads back to a folder scanned already (a link loop): not scanned again\n",
                     loop.c_str());
    if (o.signature && !r.package->m_bSignature)
        std::fprintf(stderr, "note: signing is off: it needs both --spc and --key\n");
    int error = 0;
    if (!pcn::SavePackage(*r.package, &error, true)) {
        if (error == EEXIST) return pcn::cli::fail("the package file exists already: " + a.packageFile);
        return pcn::cli::fail("cannot write " + a.packageFile + ": " + std::strerror(error));
    }
    std::printf("%s\n", a.packageFile.c_str());
    std::fprintf(stderr, "%d files, %d bytes, output into %s\n", r.package->GetFileCount(),
                 r.package->m_nSourceSize, r.package->m_strTargetFolder.c_str());
    return 0;
}

void setupNew(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<NewArgs>();
    auto* cmd = app.add_subcommand("new", "Define a new package (.pcp) from a source folder");
    auto& o = args->options;
    cmd->add_option("PACKAGE", args->packageFile, "Package file to write (.pcp)")->required();
    cmd->add_option("--kind", args->kind, "cab, sfx (self-extracting cabinet) or wizard")
        ->check(CLI::IsMember({"cab", "sfx", "wizard", "web"}))
        ->capture_default_str();
    cmd->add_option("--company", o.company, "Company Name")->required();
    cmd->add_option("--product", o.product, "Product Name")->required();
    cmd->add_option("--version", o.version, "Product Version");
    cmd->add_option("--description", o.description, "Package Description (default: \"P Package.\")");
    cmd->add_option("--comment", o.comment, "Comment (default: \"P Package [V]\")");
    cmd->add_option("--copyright", o.copyright, "Copyright");
    cmd->add_option("--source", o.sourceFolder, "Source folder")->required();
    cmd->add_flag("--subdirs", o.subFolders, "Include sub-folders of the source folder");
    cmd->add_flag("--restore-dirs", o.restoreDirs, "Self-extractors recreate the sub-folders");
    cmd->add_option("--target", o.targetFolder, "Folder in which the output folder is made")->required();
    cmd->add_option("--project", o.projectName, "Project name: base name of the output files");
    cmd->add_flag("--no-compression", args->noCompression, "Store files uncompressed");
    cmd->add_option("--span", args->span, "Span cabinets of at most this many bytes");
    cmd->add_flag("--no-inf", args->noInf, "Do not write a cabinet INF file");
    cmd->add_flag("--include-inf", o.includeInf, "Put the INF file into the cabinet");
    cmd->add_option("--install-dir", o.installDir, "Wizard: default installation directory");
    cmd->add_option("--spc", o.credentials, "Signing: software publishing credentials (.spc)");
    cmd->add_option("--key", o.key, "Signing: private key file (.pvk or PEM)");
    auto* digest = cmd->add_option("--digest", args->digest,
                                   "Signing: md5, sha1 or sha256 (default: Settings\\CodeSign Digest, else sha256)")
                       ->check(CLI::IsMember({"md5", "sha1", "sha256"}, CLI::ignore_case));
    cmd->add_flag("--sha1", args->sha1, "Signing: SHA 1 digest (same as --digest sha1)")->excludes(digest);
    cmd->add_flag("--no-timestamp", args->noTimeStamp, "Signing: no time stamp");
    cmd->add_option("--info", o.signInfo, "Signing: where people find more information");
    cmd->add_flag("--no-signature", args->noSignature, "Do not sign the output");
    cmd->callback([args, &ctx] { ctx.exitCode = runNew(*args); });
}

}  // namespace

PCN_CLI_COMMAND("new", setupNew);
