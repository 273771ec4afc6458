// ChkTrust: checks the Authenticode signature of a file.
//   ChkTrust [-q] [-CAfile certs.pem] [-TSA-CAfile certs.pem] file
// Verifies with osslsigncode against the given trusted certificates, else
// those of "Settings\CheckTrust" (CAFile, TSACAFile), else the system's.
// With -q it ends with one line: "Trusted: FILE" and exit code 0, or
// "Error: FILE: why (result code)" and exit code 1. osslsigncode can exit
// with 0 while its report says that the time stamp did not verify, so the
// report is read line by line.
// A file without a signature is reported as such ("FILE is not signed.",
// TRUST_E_NOSIGNATURE, exit code 3), with or without -q: there is nothing
// to trust.
// Without -q it shows the signature's details and asks the user whether to
// trust the file: in the trust dialog (TrustDialog from the program folder)
// when a display is there, else on the terminal; a program named by
// PCN_TRUST_DIALOG may answer instead. Accepted: "Accepted: FILE" and exit
// code 0, whatever the check found; declined: an "Error:" line and 1.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "signing/ToolRunner.h"
#include "signing/TrustDetails.h"
#include "signing/tools/ToolSupport.h"

using namespace pcn;
using namespace pcn::tools;

namespace {

constexpr const char* kUsage =
    "Usage: ChkTrust [-q] [-CAfile <file>] [-TSA-CAfile <file>] file\n"
    "  -q                 quiet: print only the result; without it the user is asked\n"
    "  -CAfile <file>     trusted certificates (PEM) for the signer\n"
    "  -TSA-CAfile <file> trusted certificates (PEM) for the time-stamp authority\n";

struct Options {
    bool quiet = false;
    std::string caFile, tsaCaFile, file;
};

// TRUST_E_NOSIGNATURE (0x800B0100).
constexpr long kNoSignature = -2146762496;

// What was wrong, with the result code Windows' trust check gives for it.
struct Verdict {
    bool trusted = false;
    std::string reason;
    long code = 0;
};

bool has(std::string_view text, std::string_view needle) { return text.find(needle) != std::string_view::npos; }

Verdict judge(const ProcessResult& run) {
    const std::string& out = run.output;
    // A file of a kind that cannot carry a signature (a text file) has none either.
    if (has(out, "No signature found") || has(out, "Unable to extract") || has(out, "unsupported input file type"))
        return {false, "the file is not signed", kNoSignature};
    if (has(out, "MISMATCH") || has(out, "Failed to calculate message digest"))
        return {false, "the file was changed after it was signed", -2146869232};  // TRUST_E_BAD_DIGEST
    if (has(out, "Timestamp Server Signature verification: failed"))
        return {false, "the time stamp does not verify", -2146869243};  // TRUST_E_TIME_STAMP
    if (has(out, "certificate verify error") || has(out, "Signature verification: failed"))
        return {false, "the signing certificate is not trusted", -2146762487};  // CERT_E_UNTRUSTEDROOT
    if (run.exitCode != 0 || !has(out, "Signature verification: ok") || !has(out, "Succeeded"))
        return {false, "the signature could not be verified", -2146762485};  // TRUST_E_FAIL
    return {true, {}, 0};
}

std::string signerOf(const std::string& report) {
    size_t at = report.find("Subject:");
    if (at == std::string::npos) return {};
    size_t end = report.find('\n', at);
    std::string subject = report.substr(at + 8, end == std::string::npos ? std::string::npos : end - at - 8);
    size_t first = subject.find_first_not_of(" \t");
    return first == std::string::npos ? std::string{} : subject.substr(first);
}

// TRUST_E_SUBJECT_NOT_TRUSTED: the user did not trust the subject.
constexpr long kNotTrustedByUser = -2146762748;

enum class UserAnswer { Accept, Decline, NobodyToAsk };

bool displayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* v = std::getenv(name); v && *v) return true;
    return false;
}

// The dialog program: the user's own, else ours when there is a display.
std::string dialogProgram() {
    if (const char* own = std::getenv(kTrustDialogVariable); own && *own) return own;
    std::string ours = toolPath(kTrustDialogTool);
    return displayAvailable() && fileExists(ours) ? ours : std::string{};
}

UserAnswer askOnTerminal(const TrustDetails& details) {
    std::FILE* tty = std::fopen("/dev/tty", "r+");
    if (!tty) return UserAnswer::NobodyToAsk;
    std::fprintf(tty, "%s\nDo you trust this file's signature? [y/N] ", trustDetailsText(details).c_str());
    std::fflush(tty);
    char line[64] = {};
    bool yes = std::fgets(line, sizeof line, tty) && (line[0] == 'y' || line[0] == 'Y');
    std::fclose(tty);
    return yes ? UserAnswer::Accept : UserAnswer::Decline;
}

UserAnswer ask(const TrustDetails& details) {
    if (std::string program = dialogProgram(); !program.empty()) {
        ProcessOptions options;
        options.searchPath = true;
        options.newProcessGroup = false;  // a cancel of ours ends the dialog too
        ProcessResult run = runProcess(program, trustDialogArguments(details), options);
        if (run.started) return run.exitCode == 0 && !run.signalled ? UserAnswer::Accept : UserAnswer::Decline;
    }
    return askOnTerminal(details);
}

int askTheUser(const std::string& file, const ProcessResult& run, const Verdict& verdict) {
    TrustDetails details = trustDetailsFromReport(run.output);
    details.file = file;
    details.chainTrusted = verdict.trusted;
    details.problem = verdict.reason;
    std::fputs(trustDetailsText(details).c_str(), stdout);
    switch (ask(details)) {
        case UserAnswer::Accept: std::printf("Accepted: %s\n", file.c_str()); return 0;
        case UserAnswer::Decline:
            return failWith(file + ": the user declined to trust the signature (" +
                            std::to_string(kNotTrustedByUser) + ")");
        case UserAnswer::NobodyToAsk: break;
    }
    return failWith(file + ": there is no display or terminal to ask whether to trust the signature (" +
                    std::to_string(kNotTrustedByUser) + ")");
}

}  // namespace

int main(int argc, char** argv) {
    installInterruptHandlers();
    Options o;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-q") {
            o.quiet = true;
        } else if ((a == "-CAfile" || a == "-TSA-CAfile") && i + 1 < argc) {
            (a == "-CAfile" ? o.caFile : o.tsaCaFile) = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            std::fputs(kUsage, stdout);
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 1) {
        std::fputs(kUsage, stdout);
        return 2;
    }
    o.file = files.front();
    if (!std::filesystem::is_regular_file(o.file)) return failWith(o.file + ": Unable to find the file.");

    SettingsStore& settings = SettingsStore::user();
    if (o.caFile.empty()) o.caFile = settings.readString("Settings\\CheckTrust", "CAFile", "");
    if (o.tsaCaFile.empty()) o.tsaCaFile = settings.readString("Settings\\CheckTrust", "TSACAFile", "");

    std::vector<std::string> args{"verify"};
    if (!o.caFile.empty()) args.insert(args.end(), {"-CAfile", o.caFile});
    if (!o.tsaCaFile.empty()) args.insert(args.end(), {"-TSA-CAfile", o.tsaCaFile});
    args.insert(args.end(), {"-in", o.file});
    ProcessResult run = runOsslsigncode(args, false);
    if (interrupted()) return failWith(o.file + ": the check was cancelled.");
    if (!run.started) return 1;

    Verdict v = judge(run);
    // There is no signature to trust: nobody is asked to trust the file.
    if (v.code == kNoSignature)
        return failWith(o.file + " is not signed. TRUST_E_NOSIGNATURE 0x800B0100 (" + std::to_string(kNoSignature) + ")",
                        kChkTrustNotSigned);
    if (!o.quiet) return askTheUser(o.file, run, v);
    if (!v.trusted) return failWith(o.file + ": " + v.reason + " (" + std::to_string(v.code) + ")");
    std::string signer = signerOf(run.output);
    std::printf("Trusted: %s%s\n", o.file.c_str(), signer.empty() ? "" : (" (signed by " + signer + ")").c_str());
    return 0;
}
