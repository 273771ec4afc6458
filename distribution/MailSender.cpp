#include "distribution/MailSender.h"

#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "platform/Process.h"

namespace pcn {

std::string findMailProgram() {
    const char* path = std::getenv("PATH");
    std::string_view folders = path ? path : "";
    while (!folders.empty()) {
        const size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        folders = colon == std::string_view::npos ? std::string_view{} : folders.substr(colon + 1);
        if (folder.empty()) continue;
        const std::string candidate = folder + "/" + kMailProgram;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

bool mailSupportPresent() {
    static const bool present = !findMailProgram().empty();
    return present;
}

std::string mailFailureReason(int exitCode) {
    switch (exitCode) {
        case 2: return "An attached file does not exist or cannot be read.";
        case 3: return "No mail program is set up on this desktop. Choose one as the default e-mail application "
                       "in the desktop's settings (or install one, such as Thunderbird), then try again.";
        case 4: return "The mail program could not start a new message. Check that the default e-mail "
                       "application of the desktop opens on its own, then try again.";
        case 5: return "The mail program may not read an attached file.";
        default: return "xdg-email ended with code " + std::to_string(exitCode) + ".";
    }
}

bool sendMail(const std::vector<std::string>& attachments, UserInterface& ui) {
    const std::string program = findMailProgram();
    if (program.empty()) {
        ui.error(std::string(kMailUnavailable) + "\n\n" + kMailProgramMissing);
        return false;
    }
    std::vector<std::string> arguments{"--utf8"};
    for (const std::string& file : attachments) {
        arguments.push_back("--attach");
        arguments.push_back(file);
    }
    ProcessResult run = runProcess(program, arguments);
    if (!run.started) {
        ui.error(std::string(kMailUnavailable) + "\n\n" + kMailProgramMissing);
        return false;
    }
    if (run.exitCode != 0) {
        ui.error(std::string(kMailFailed) + "\n\n" + mailFailureReason(run.exitCode));
        return false;
    }
    return true;
}

}  // namespace pcn
