// SignCode: signs a file with Authenticode, in place, and time-stamps it.
// Takes the command line of the signing templates:
//   SignCode -spc creds.spc -v key.pvk -n name -i info -a md5 file
//   SignCode -tr 10 -tw 2 -x -t http://server/scripts/timstamp.dll file
// and does the work with osslsigncode. Prints what osslsigncode says, and
// "Error: ..." with a non-zero exit code on failure.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/AtomicFile.h"
#include "signing/CabinetSignatureLayout.h"
#include "signing/tools/ToolSupport.h"

namespace fs = std::filesystem;
using namespace pcn;
using namespace pcn::tools;

namespace {

constexpr const char* kUsage =
    "Usage: SignCode [options] file\n"
    "  -spc <file>        software publishing credentials (.spc, or PEM/DER certificates)\n"
    "  -v <file>          private key file (.pvk, PEM or DER); -k is the same\n"
    "  -p <password>      password of the private key\n"
    "  -n <name>          name of the signed program\n"
    "  -i <info>          where to find more information (a URL or file name)\n"
    "  -a <digest>        md5 (default), sha1, sha256, sha384 or sha512\n"
    "  -$ <purpose>       individual (default) or commercial\n"
    "  -t <url>           time-stamp through this Authenticode time-stamp server\n"
    "  -ts <url>          time-stamp through this RFC 3161 time-stamp server\n"
    "  -tsa-certs <file>  time-stamp with this local authority's certificate\n"
    "  -tsa-key <file>    ... and its private key\n"
    "  -tr <count>        time-stamp attempts (default 1)\n"
    "  -tw <seconds>      wait between attempts (default 0)\n"
    "  -x                 time-stamp only; the file is signed already\n";

struct Options {
    std::string credentials, key, password, name, information, digest = "md5", purpose = "individual";
    std::string timeStampUrl, rfc3161Url, tsaCerts, tsaKey;
    int attempts = 1, waitSeconds = 0;
    bool timeStampOnly = false;
    std::string file;

    bool wantsTimeStamp() const { return !timeStampUrl.empty() || !rfc3161Url.empty() || !tsaCerts.empty(); }
};

int usage(const std::string& problem) {
    if (!problem.empty()) std::printf("SignCode: %s\n", problem.c_str());
    std::fputs(kUsage, stdout);
    return 2;
}

std::optional<int> number(const std::string& text) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < 0 || v > 3600) return std::nullopt;
    return static_cast<int>(v);
}

// Fills options from argv; an error text when the command line is wrong.
std::string parse(int argc, char** argv, Options& o) {
    std::map<std::string, std::string*> valued{
        {"-spc", &o.credentials}, {"-v", &o.key},          {"-k", &o.key},
        {"-p", &o.password},      {"-n", &o.name},         {"-i", &o.information},
        {"-a", &o.digest},        {"-$", &o.purpose},      {"-t", &o.timeStampUrl},
        {"-ts", &o.rfc3161Url},   {"-tsa-certs", &o.tsaCerts}, {"-tsa-key", &o.tsaKey},
    };
    std::string attempts, wait;
    valued["-tr"] = &attempts;
    valued["-tw"] = &wait;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "-x") {
            o.timeStampOnly = true;
        } else if (auto it = valued.find(a); it != valued.end()) {
            if (i + 1 >= argc) return "option " + a + " needs a value";
            *it->second = argv[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() != 1) return files.empty() ? "no file to sign was given" : "give exactly one file to sign";
    o.file = files.front();
    if (!attempts.empty()) {
        auto n = number(attempts);
        if (!n || *n == 0) return "-tr needs a number of attempts";
        o.attempts = *n;
    }
    if (!wait.empty()) {
        auto n = number(wait);
        if (!n) return "-tw needs a number of seconds";
        o.waitSeconds = *n;
    }
    if (o.purpose != "individual" && o.purpose != "commercial") return "-$ takes individual or commercial";
    if (!o.tsaCerts.empty() != !o.tsaKey.empty()) return "-tsa-certs and -tsa-key go together";
    if (o.timeStampOnly && !o.wantsTimeStamp()) return "-x needs a time-stamp server (-t, -ts or -tsa-certs)";
    return {};
}

std::vector<std::string> timeStampArguments(const Options& o) {
    if (!o.tsaCerts.empty()) return {"-TSA-certs", o.tsaCerts, "-TSA-key", o.tsaKey};
    if (!o.rfc3161Url.empty()) return {"-ts", o.rfc3161Url};
    return {"-t", o.timeStampUrl};
}

bool writeScratch(const fs::path& file, std::string_view bytes) {
    WriteResult w = writeFileAtomically(file, bytes);
    if (!w.ok) failWith("Unable to write " + file.string() + ": " + std::strerror(w.error));
    return w.ok;
}

bool replaceWith(const fs::path& result, const fs::path& target) {
    int error = 0;
    if (replaceFile(result, target, &error)) return true;
    failWith("Unable to replace " + target.string() + ": " + std::strerror(error));
    return false;
}

// Signs input into output; false (reported) when osslsigncode fails.
bool osslSign(const Options& o, const fs::path& input, const fs::path& output, const fs::path& target) {
    std::vector<std::string> args{"sign", "-spc", o.credentials, "-key", o.key, "-h", o.digest};
    if (!o.password.empty()) args.insert(args.end(), {"-pass", o.password});
    if (!o.name.empty()) args.insert(args.end(), {"-n", o.name});
    if (!o.information.empty()) args.insert(args.end(), {"-i", o.information});
    if (o.purpose == "commercial") args.push_back("-comm");
    args.insert(args.end(), {"-in", input.string(), "-out", output.string()});
    ProcessResult run = runOsslsigncode(args);
    if (interrupted()) {
        failWith("signing " + target.string() + " was cancelled.");
        return false;
    }
    if (!run.started) return false;
    if (run.exitCode != 0 || !fs::exists(output)) {
        failWith("Signing " + target.string() + " failed (osslsigncode exit code " + std::to_string(run.exitCode) +
                 ").");
        return false;
    }
    return true;
}

// The digest in the signature is the digest of the file (trust aside).
bool digestMatches(const fs::path& signedFile) {
    ProcessResult run = runOsslsigncode({"verify", "-in", signedFile.string()}, false);
    return run.output.find("Calculated message digest") != std::string::npos &&
           run.output.find("MISMATCH") == std::string::npos;
}

// A cabinet's bytes without reserve or old signature, for signing. Empty
// optional (reported) when the cabinet cannot be signed.
std::optional<std::string> signableCabinet(const std::string& bytes, const CabinetInspection& cab,
                                           const fs::path& target) {
    if (cab.form == CabinetSigningForm::Continuation || cab.form == CabinetSigningForm::Unsupported) {
        failWith(target.string() + " cannot be signed: " + cab.problem + ".");
        return std::nullopt;
    }
    std::string plain, problem;
    if (!unsignedCabinet(bytes, plain, problem)) {
        failWith(target.string() + " cannot be signed: " + problem + ".");
        return std::nullopt;
    }
    if (cab.form == CabinetSigningForm::ReserveToRemove)
        std::printf("The cabinet's header reserve (%zu bytes) makes way for the signature.\n",
                    bytes.size() - plain.size() - 4);
    return plain;
}

// Signs the digest twin of a first cabinet of a set and attaches its
// signature to the cabinet itself (see CabinetSignatureLayout.h).
bool signThroughDigestTwin(const Options& o, const std::string& plain, const ScratchFolder& scratch,
                           const fs::path& output, const fs::path& target) {
    std::string twin, blob, attached, problem;
    fs::path twinFile = scratch.file("twin.cab"), twinSigned = scratch.file("twin-signed.cab");
    if (!cabinetDigestTwin(plain, twin, problem)) return failWith(target.string() + ": " + problem + "."), false;
    if (!writeScratch(twinFile, twin) || !osslSign(o, twinFile, twinSigned, target)) return false;
    std::string signedTwin;
    int error = 0;
    if (!readWholeFile(twinSigned, signedTwin, &error) || !cabinetSignatureBlob(signedTwin, blob, problem) ||
        !attachCabinetSignature(plain, blob, attached, problem))
        return failWith(target.string() + ": " + (problem.empty() ? std::strerror(error) : problem) + "."), false;
    std::error_code ignored;
    fs::remove(output, ignored);
    return writeScratch(output, attached);
}

int sign(const Options& o, const fs::path& target) {
    if (o.credentials.empty()) return failWith("no software publishing credentials were given (-spc).");
    if (!fs::is_regular_file(o.credentials))
        return failWith("Unable to find the software publishing credentials file " + o.credentials + ".");
    if (o.key.empty()) return failWith("no private key was given (-v).");
    if (!fs::is_regular_file(o.key))
        return failWith("Unable to find the private key file " + o.key +
                        " (key containers are not available on this system).");
    ScratchFolder scratch(target);
    if (!scratch.ok()) return failWith("Unable to create a work folder beside " + target.string() + ": " +
                                       std::strerror(scratch.error()));
    std::string bytes;
    int error = 0;
    if (!readWholeFile(target, bytes, &error))
        return failWith("Unable to read " + target.string() + ": " + std::strerror(error));

    CabinetInspection cab = inspectCabinetForSigning(bytes);
    const bool isCabinet = cab.form != CabinetSigningForm::NotACabinet;
    std::string plain;
    fs::path input = target;
    if (isCabinet) {
        auto signable = signableCabinet(bytes, cab, target);
        if (!signable) return 1;
        plain = std::move(*signable);
        if (plain != bytes) {
            input = scratch.file("unsigned.cab");
            if (!writeScratch(input, plain)) return 1;
        }
    }

    fs::path signedCopy = scratch.file("signed");
    if (!osslSign(o, input, signedCopy, target)) return 1;
    if (!digestMatches(signedCopy)) {
        if (!(isCabinet && namesNextCabinet(plain)))
            return failWith("The signature made for " + target.string() + " does not match it.");
        std::printf("Signing the first cabinet of a spanning set through its digest twin.\n");
        if (!signThroughDigestTwin(o, plain, scratch, signedCopy, target)) return 1;
        if (!digestMatches(signedCopy))
            return failWith("The signature made for " + target.string() +
                            " does not match it (this osslsigncode cannot sign a cabinet of a spanning set).");
    }
    if (!replaceWith(signedCopy, target)) return 1;
    std::printf("Signed %s.\n", target.string().c_str());
    return 0;
}

int timeStamp(const Options& o, const fs::path& target) {
    ScratchFolder scratch(target);
    if (!scratch.ok()) return failWith("Unable to create a work folder beside " + target.string() + ": " +
                                       std::strerror(scratch.error()));
    fs::path stamped = scratch.file("stamped");
    for (int attempt = 1; attempt <= o.attempts; ++attempt) {
        std::vector<std::string> args{"add"};
        auto ts = timeStampArguments(o);
        args.insert(args.end(), ts.begin(), ts.end());
        args.insert(args.end(), {"-in", target.string(), "-out", stamped.string()});
        ProcessResult run = runOsslsigncode(args);
        if (interrupted()) return failWith("time-stamping " + target.string() + " was cancelled.");
        if (!run.started) return 1;
        if (run.exitCode == 0 && fs::exists(stamped)) {
            if (!replaceWith(stamped, target)) return 1;
            std::printf("Time-stamped %s.\n", target.string().c_str());
            return 0;
        }
        std::error_code ignored;
        fs::remove(stamped, ignored);
        if (attempt < o.attempts) {
            std::printf("Time-stamp attempt %d of %d failed; trying again in %d s.\n", attempt, o.attempts,
                        o.waitSeconds);
            for (int s = 0; s < o.waitSeconds * 10 && !interrupted(); ++s)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    return failWith("The time stamp could not be set on " + target.string() + ".");
}

}  // namespace

int main(int argc, char** argv) {
    installInterruptHandlers();
    Options o;
    std::string problem = parse(argc, argv, o);
    if (!problem.empty()) return usage(problem);
    fs::path target = o.file;
    if (!fs::is_regular_file(target)) return failWith("Unable to find the file to sign " + o.file + ".");
    if (!o.timeStampOnly) {
        if (int rc = sign(o, target); rc != 0) return rc;
    }
    if (o.wantsTimeStamp()) return timeStamp(o, target);
    return 0;
}
