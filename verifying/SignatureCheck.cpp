#include "verifying/SignatureCheck.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>

#include "model/CCabObj.h"
#include "model/Digest.h"
#include "platform/Process.h"
#include "signing/CabinetSignatureLayout.h"
#include "signing/ToolRunner.h"
#include "signing/TrustDetails.h"
#include "platform/pe/Text.h"

namespace pcn::verifying {

namespace {

std::string firstLine(const std::string& text) {
    const size_t end = text.find('\n');
    std::string line = text.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line;
}

// ChkTrust's "Error: FILE: why (code)" without the file, which the line names.
std::string reasonOf(const std::string& line, const std::string& file) {
    std::string reason = line;
    const std::string prefix = "Error: " + file + ": ";
    if (reason.rfind(prefix, 0) == 0) reason = reason.substr(prefix.size());
    return reason.empty() ? "ChkTrust gave no answer" : reason;
}

}  // namespace

namespace {

void checkSignatureOf(const CCabObj& package, const std::string& file, const std::string& subject, CheckReport& report) {
    // The user's trust settings are ChkTrust's own: it reads them itself.
    const ProcessResult trust = runProcess(toolPath(kChkTrustTool), {"-q", file});
    if (!trust.started) {
        report.fails(subject, "ChkTrust could not be started to check the signature");
        return;
    }
    // The report of the signature itself tells the digest and the time stamp.
    ProcessOptions system;
    system.searchPath = true;
    const ProcessResult dump = runProcess("osslsigncode", {"verify", "-in", file}, system);
    const TrustDetails details = trustDetailsFromReport(dump.output);
    const std::string reason = reasonOf(firstLine(trust.output), file);
    if (trust.exitCode != 0 && reason.find("not signed") != std::string::npos) {
        report.isUnsigned(subject, "carries no signature, though the package asks for one");
        return;
    }
    if (trust.exitCode == 0)
        report.holds(subject, std::string(details.timeStamp.empty() ? "the signature verifies" : "the signature and its time stamp verify") +
                                  " (ChkTrust -q)");
    else
        report.fails(subject, "the signature does not verify: " + reason);

    if (details.digest.empty() && trust.exitCode != 0) return;  // nothing more to read from it
    std::string wanted(digestToken(package.m_bMD5));
    for (char& c : wanted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (pe::equalsIgnoringAsciiCase(details.digest, wanted))
        report.holds(subject, "signed with the " + wanted + " digest the package asks for");
    else
        report.fails(subject, "signed with " + (details.digest.empty() ? std::string("an unknown digest") : details.digest) +
                                  ", but the package asks for " + wanted);
    if (package.m_bTimeStamp && details.timeStamp.empty())
        report.isUnsigned(subject, "has no time stamp, though the package asks for one");
}

}  // namespace

void checkSignature(const CCabObj& package, const std::string& file, CheckReport& report) {
    const std::string subject = std::filesystem::path(file).filename().string();
    if (isContinuationCabinetFile(file)) {
        report.holds(subject, "continues the set, and a continuing cabinet cannot carry a signature: left unsigned by design");
        return;
    }
    checkSignatureOf(package, file, subject, report);
}

void checkEmbeddedCabinetSignature(const CCabObj& package, const std::string& executable, uint64_t offset,
                                   CheckReport& report) {
    const std::string subject = std::filesystem::path(executable).filename().string() + " (its cabinet)";
    std::string copy = (std::filesystem::temp_directory_path() / "pcn-verify-XXXXXX").string();
    const int fd = ::mkstemp(copy.data());
    FILE* in = fd >= 0 ? std::fopen(executable.c_str(), "rb") : nullptr;
    bool copied = in && fseeko(in, static_cast<off_t>(offset), SEEK_SET) == 0;
    char buffer[65536];
    for (size_t n; copied && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        copied = ::write(fd, buffer, n) == static_cast<ssize_t>(n);
    if (in) std::fclose(in);
    if (fd >= 0) ::close(fd);
    if (copied) checkSignatureOf(package, copy, subject, report);
    else report.fails(subject, "the cabinet could not be copied out to check its signature");
    if (fd >= 0) ::unlink(copy.c_str());
}

}  // namespace pcn::verifying
