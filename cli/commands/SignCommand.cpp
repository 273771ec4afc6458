// parcelon sign FILE... and parcelon check-trust FILE: the signing and
// trust-check jobs of the GUI's wizards, run from the terminal with the same
// tools and the same templates of "Settings\CodeSign".

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/Command.h"
#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "distribution/ErrorReport.h"
#include "model/Digest.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"

namespace {

using namespace pcn;

constexpr std::string_view kSection = codesign::kSection;


// Texts of the jobs use "\r\n"; the terminal wants "\n".
std::string forTerminal(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    while (!out.empty() && out.front() == '\n') out.erase(0, 1);
    return out;
}

// The tools' output is the result of check-trust (its report), but only
// talk on the way to sign's result (the files signed): out says where it goes.
class TerminalToolHost : public ToolHost {
public:
    explicit TerminalToolHost(std::FILE* out) : out_(out) {}
    void setStatus(std::string_view text) override { cli::note(std::string(text)); }
    void appendOutput(std::string_view text) override {
        std::string t = forTerminal(text);
        if (t.empty()) return;
        if (out_ == stderr && cli::output().verbosity == cli::Verbosity::Quiet) return;
        std::fputs(t.c_str(), out_);
        if (t.back() != '\n') std::fputc('\n', out_);
        std::fflush(out_);
    }
    void finished(bool) override {}

private:
    std::FILE* out_;
};

// Runs a job's worker on its own thread; Ctrl+C cancels the running tool.
bool runCancellable(ToolRunState& job, const std::function<bool()>& work) {
    cli::InterruptGuard interrupt;
    std::atomic<bool> done{false};
    bool ok = false;
    ToolWorker worker;
    worker.start(job, [&] {
        ok = work();
        done = true;
    });
    while (!done) {
        if (cli::interruptRequested()) worker.cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    worker.join();
    return ok;
}

struct SignOptions {
    std::vector<std::string> files;
    std::string credentials, key, name, information, timeStampUrl, digest;
    bool sha1 = false, md5 = false, timeStamp = false, noTimeStamp = false, noCheckTrust = false;
};

void setupSign(CLI::App& app, cli::Context& ctx) {
    auto o = std::make_shared<SignOptions>();
    auto* cmd = app.add_subcommand("sign", "Sign files with Authenticode (SignCode), optionally time-stamp them "
                                           "and check their trust (ChkTrust)");
    cmd->add_option("files", o->files, "Files to sign, each signed in place")->required();
    cmd->add_option("--credentials,--spc", o->credentials,
                    "Software publishing credentials (.spc or certificates); default: Settings\\CodeSign SPCFile");
    cmd->add_option("--key,--pvk", o->key, "Private key file (.pvk, PEM); default: Settings\\CodeSign KeyFile");
    cmd->add_option("--name", o->name, "Name of the signed program; default: Settings\\CodeSign Name");
    cmd->add_option("--info", o->information,
                    "Where to find more information (URL or file); default: Settings\\CodeSign URL");
    auto* digest = cmd->add_option("--digest", o->digest,
                                   "md5, sha1 or sha256 (default: Settings\\CodeSign MD5, else Digest, else sha256)")
                       ->check(CLI::IsMember({"md5", "sha1", "sha256"}, CLI::ignore_case));
    auto* sha1 = cmd->add_flag("--sha1", o->sha1, "SHA 1 digest (same as --digest sha1)")->excludes(digest);
    cmd->add_flag("--md5", o->md5, "MD5 digest (same as --digest md5)")->excludes(sha1)->excludes(digest);
    auto* ts = cmd->add_flag("--timestamp", o->timeStamp, "Time-stamp after signing");
    cmd->add_flag("--no-timestamp", o->noTimeStamp, "Do not time-stamp")->excludes(ts);
    cmd->add_option("--timestamp-url", o->timeStampUrl,
                    "Authenticode time-stamp server for this run (implies --timestamp); default: the "
                    "TimeStampCommand template");
    cmd->add_flag("--no-check-trust", o->noCheckTrust, "Do not check trust after signing");
    cmd->footer("The command lines come from the SignCodeCommand and TimeStampCommand templates of "
                "Settings\\CodeSign.");
    cmd->callback([o, &ctx] {
        SettingsStore& settings = SettingsStore::user();
        if (!fileExists(toolPath(kSignCodeTool))) {
            reportWithErrorDetails(ctx.ui(), "Unable to load SignCode.exe.", ENOENT);
            ctx.exitCode = 1;
            return;
        }
        TerminalToolHost host(stderr);
        int failures = 0, unstamped = 0;
        for (const auto& file : o->files) {
            CSignCodeInfo job(&settings);
            job.host = &host;
            job.file = file;
            job.credentials = !o->credentials.empty() ? o->credentials : settings.readString(kSection, "SPCFile", "");
            job.key = !o->key.empty() ? o->key : settings.readString(kSection, "KeyFile", "");
            job.name = !o->name.empty() ? o->name : settings.readString(kSection, "Name", "");
            job.information = !o->information.empty() ? o->information : settings.readString(kSection, "URL", "");
            job.md5 = !o->digest.empty() ? *digestFromToken(o->digest)
                      : o->sha1          ? kDigestSha1
                      : o->md5           ? kDigestMd5
                                         : settings.readInt(kSection, "MD5", defaultDigest(settings));
            job.timeStamp = o->noTimeStamp ? 0
                            : (o->timeStamp || !o->timeStampUrl.empty()) ? 1
                                                                          : settings.readInt(kSection, "TimeStamp", 0);
            job.checkTrust = o->noCheckTrust ? 0 : settings.readInt(kSection, "Trust", 1);
            // A script signing files may run with nobody at the screen.
            job.showTrustDialog = false;
            if (!o->timeStampUrl.empty()) job.timeStampServer = o->timeStampUrl;
            cli::note(file);
            bool ok = runCancellable(job, [&] { return runSigningWorker(job); });
            if (!ok || cli::interruptRequested()) ++failures;
            else if (job.timeStampFailed) ++unstamped;
            if (ok && !cli::interruptRequested()) std::printf("%s\n", file.c_str());
            if (cli::interruptRequested()) break;
        }
        ctx.exitCode = cli::interruptRequested() ? cli::cancelled()
                       : failures                ? cli::kExitFailed
                       : unstamped               ? cli::kExitSigningIncomplete
                                                 : 0;
    });
}

void setupCheckTrust(CLI::App& app, cli::Context& ctx) {
    auto file = std::make_shared<std::string>();
    auto details = std::make_shared<bool>(false);
    auto* cmd = app.add_subcommand("check-trust", "Check the Authenticode signature of a file (ChkTrust)");
    cmd->add_option("file", *file, "File to check")->required();
    cmd->add_flag("--details", *details, "Also print the full report of the signature");
    cmd->footer("Trusted certificates: Settings\\CheckTrust CAFile and TSACAFile, else the system's.");
    cmd->callback([file, details, &ctx] {
        TerminalToolHost host(stdout);
        CCheckTrustInfo job;
        job.host = &host;
        job.file = *file;
        job.displayUI = *details ? 1 : 0;
        ctx.exitCode = runCancellable(job, [&] { return runTrustCheckWorker(job); }) ? 0 : 1;
    });
}

}  // namespace

PCN_CLI_COMMAND("sign", setupSign);
PCN_CLI_COMMAND("check-trust", setupCheckTrust);
