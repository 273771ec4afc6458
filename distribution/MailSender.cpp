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

bool sendMail(const std::string& subject, const std::vector<std::string>& attachments, UserInterface& ui) {
    const std::string program = findMailProgram();
    if (program.empty()) {
        ui.error(kMailUnavailable);
        return false;
    }
    std::vector<std::string> arguments{"--utf8", "--subject", subject};
    for (const std::string& file : attachments) {
        arguments.push_back("--attach");
        arguments.push_back(file);
    }
    ProcessResult run = runProcess(program, arguments);
    if (!run.started) {
        ui.error(kMailUnavailable);
        return false;
    }
    if (run.exitCode != 0) {
        ui.error(kMailFailed);
        return false;
    }
    return true;
}

}  // namespace pcn
