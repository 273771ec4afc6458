#include "web/LpkTool.h"

#include "distribution/ErrorReport.h"
#include "distribution/UserInterface.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace pcn {

bool StartLpkTool(UserInterface& ui) {
    const std::string native = programFolder() + kLpkTool;
    const std::string windows = programFolder() + kLpkToolExe;
    int error = 0;
    std::string started;
    if (fileExists(native)) {
        started = native;
        error = startDetachedProcess(native, {});
    } else if (fileExists(windows)) {
        started = windows;
        error = startDetachedProcess("wine", {windows}, true);
        if (error != 0) {
            reportGivenError(ui, "Unable to start " + windows, error,
                             "Wine is needed to run " + windows + " and could not be started: " +
                                 systemErrorText(error));
            return false;
        }
    } else {
        ui.message("Unable to locate " + windows, "Parcelon", Icon::Error, Buttons::Ok, Answer::Ok);
        return false;
    }
    if (error != 0) reportGivenError(ui, "Unable to start " + started, error);
    return error == 0;
}

}  // namespace pcn
