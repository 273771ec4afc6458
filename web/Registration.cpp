#include "web/Registration.h"

#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <vector>

#include "distribution/ErrorReport.h"
#include "distribution/UserInterface.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/SettingsStore.h"
#include "platform/pe/Component.h"
#include "signing/ToolRunner.h"

namespace pcn {
namespace {

using namespace registration;

// The HRESULT LoadTypeLib gives for a file without a type library.
constexpr int32_t kCannotLoadTypeLibrary = static_cast<int32_t>(0x80029C4A);

// Exit codes of Wine's regsvr32.
constexpr int kRegsvrLoadFailed = 3;
constexpr int kRegsvrNoEntryPoint = 4;
constexpr int kRegsvrEntryFailed = 5;

struct Action {
    bool unregister = false;
    const char* entryPoint;
    std::string_view success;
    std::string_view failure;
};

constexpr Action kRegister{false, "DllRegisterServer", kRegistered, kRegisterFailed};
constexpr Action kUnregister{true, "DllUnregisterServer", kUnregistered, kUnregisterFailed};

enum class Format { SharedObject, WindowsImage, TypeLibrary, Other };

Format formatOf(const std::string& path, int& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = errno ? errno : ENOENT;
        return Format::Other;
    }
    char head[4] = {};
    file.read(head, sizeof head);
    std::string_view bytes(head, static_cast<size_t>(file.gcount()));
    if (bytes == std::string_view("\x7f" "ELF", 4)) return Format::SharedObject;
    if (bytes.starts_with("MZ")) return Format::WindowsImage;
    if (bytes == "MSFT") return Format::TypeLibrary;
    error = ENOEXEC;
    return Format::Other;
}

std::string hexCode(int32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

// The reason goes into the message itself, where the user reads first;
// the details keep the code beside it.
void reportFailure(UserInterface& ui, std::string_view failure, int code, const std::string& reason) {
    reportGivenError(ui, std::string(failure) + "\n\n" + reason, code, reason);
}

void remember(const std::string& path, const RegistrationMemory& memory) {
    if (!memory.settings) return;
    memory.settings->writeString(kSection, kLastPath, folderPart(std::filesystem::absolute(path).string()));
    if (memory.filterIndex) memory.settings->writeInt(kSection, kLastIndex, *memory.filterIndex);
}

void reportSuccess(const Action& action, UserInterface& ui) {
    ui.message(action.success, "Information", Icon::Information, Buttons::Ok, Answer::Ok);
}

// The entry point's HRESULT: 0 is success; anything else, other success
// codes included, is reported with the code.
bool reportEntryResult(int32_t result, const Action& action, UserInterface& ui) {
    if (result == 0) {
        reportSuccess(action, ui);
        return true;
    }
    reportFailure(ui, action.failure, result, std::string(action.entryPoint) + " returned " + hexCode(result));
    return false;
}

// ---- type libraries, registered in the Wine prefix -------------------------

std::string windowsPath(const std::string& path) {
    std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    for (char& c : absolute)
        if (c == '/') c = '\\';
    return "Z:" + absolute;  // Wine maps Z: to the root of the file system
}

ProcessResult runWine(const std::vector<std::string>& arguments) {
    ProcessOptions options;
    options.searchPath = true;
    return runProcess("wine", arguments, options);
}

std::string wineMissingText(const std::string& path) {
    return "Wine is not installed: Windows components are registered with Wine's regsvr32. Install Wine (the "
           "Debian package wine) to register " + path;
}

bool wineRan(const ProcessResult& run) { return run.started && run.error == 0; }

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

// What RegisterTypeLib writes: the library's key under HKCR\TypeLib with
// its description, its file for the library's locale and platform, its
// flags and its help folder.
bool registerTypeLibrary(const std::string& path, UserInterface& ui) {
    std::optional<pe::TypeLibrary> library = pe::loadTypeLibrary(path);
    if (!library) {
        reportFailure(ui, kRegisterFailed, kCannotLoadTypeLibrary,
                         "The file exports no DllRegisterServer and holds no type library");
        return false;
    }
    bool wide = false;
    if (auto mapped = pe::ComponentFile::open(path))
        wide = pe::describeComponent(mapped->bytes()).format == pe::ComponentReport::Format::Pe32Plus;
    std::string file = windowsPath(path);
    std::string key = "HKCR\\TypeLib\\" + library->libraryId.registryText() + "\\" +
                      hex(library->majorVersion) + "." + hex(library->minorVersion);
    std::string description = library->documentation.empty() ? library->name : library->documentation;
    const std::vector<std::vector<std::string>> values = {
        {key, description},
        {key + "\\" + hex(library->lcid) + "\\" + (wide ? "win64" : "win32"), file},
        {key + "\\FLAGS", "0"},
        {key + "\\HELPDIR", file.substr(0, file.rfind('\\'))},
    };
    for (const auto& value : values) {
        ProcessResult run = runWine({"reg", "add", value[0], "/ve", "/d", value[1], "/f"});
        if (!wineRan(run)) {
            reportFailure(ui, kRegisterFailed, run.error, wineMissingText(path));
            return false;
        }
        if (run.exitCode != 0) {
            reportFailure(ui, kRegisterFailed, run.exitCode,
                             "Wine could not write the type library's registry key " + value[0]);
            return false;
        }
    }
    reportSuccess(kRegister, ui);
    return true;
}

// ---- Linux shared objects ------------------------------------------------

bool runInProcess(const std::string& path, const Action& action, UserInterface& ui, const RegistrationMemory& memory) {
    std::string absolute = std::filesystem::absolute(path).string();
    dlerror();
    void* library = dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        reportFailure(ui, kLoadFailed, ENOEXEC, why ? why : "The library could not be loaded");
        return false;
    }
    void* entry = dlsym(library, action.entryPoint);
    if (!entry) {
        const char* why = dlerror();
        std::string text = why ? why : std::string(action.entryPoint) + " is not exported";
        dlclose(library);
        if (!action.unregister) return registerTypeLibrary(path, ui);
        reportFailure(ui, action.failure, ENOSYS, text);
        remember(path, memory);
        return false;
    }
    using EntryPoint = int32_t (*)();
    int32_t result = reinterpret_cast<EntryPoint>(entry)();
    dlclose(library);
    bool ok = reportEntryResult(result, action, ui);
    remember(path, memory);
    return ok;
}

// ---- Windows components, through Wine ------------------------------------

bool runThroughWine(const std::string& path, const Action& action, UserInterface& ui,
                    const RegistrationMemory& memory) {
    ToolCommand command{"wine", {"regsvr32"}};
    if (action.unregister) command.arguments.push_back("/u");
    command.arguments.push_back("/s");
    command.arguments.push_back(windowsPath(path));
    ProcessResult run = runWine(command.arguments);
    if (!wineRan(run)) {
        reportFailure(ui, kLoadFailed, run.error, wineMissingText(path));
        return false;
    }
    const std::string ran = " (" + command.text() + " ended with " + std::to_string(run.exitCode) + ")";
    switch (run.exitCode) {
    case 0:
        reportSuccess(action, ui);
        remember(path, memory);
        return true;
    case kRegsvrNoEntryPoint:
        if (!action.unregister) return registerTypeLibrary(path, ui);
        reportFailure(ui, action.failure, run.exitCode, std::string(action.entryPoint) + " is not exported" + ran);
        remember(path, memory);
        return false;
    case kRegsvrEntryFailed:
        reportFailure(ui, action.failure, run.exitCode, std::string(action.entryPoint) + " reported a failure" + ran);
        remember(path, memory);
        return false;
    case kRegsvrLoadFailed:
        reportFailure(ui, kLoadFailed, run.exitCode, "Wine could not load the library" + ran);
        return false;
    default:
        reportFailure(ui, kLoadFailed, run.exitCode, "Wine's regsvr32 failed" + ran);
        return false;
    }
}

bool run(const std::string& path, const Action& action, UserInterface& ui, const RegistrationMemory& memory) {
    int error = 0;
    switch (formatOf(path, error)) {
    case Format::SharedObject: return runInProcess(path, action, ui, memory);
    case Format::WindowsImage: return runThroughWine(path, action, ui, memory);
    case Format::TypeLibrary:
        // A stand-alone type library is no library to load; registering it
        // takes the type-library path.
        if (!action.unregister) return registerTypeLibrary(path, ui);
        reportFailure(ui, kLoadFailed, ENOEXEC, "A type library has no DllUnregisterServer to call");
        return false;
    case Format::Other: break;
    }
    reportFailure(ui, kLoadFailed, error,
                     error == ENOEXEC ? "Neither a Linux shared object nor a Windows library" : systemErrorText(error));
    return false;
}

}  // namespace

bool RegisterComponent(const std::string& path, UserInterface& ui, const RegistrationMemory& memory) {
    return run(path, kRegister, ui, memory);
}

bool UnregisterComponent(const std::string& path, UserInterface& ui, const RegistrationMemory& memory) {
    return run(path, kUnregister, ui, memory);
}

}  // namespace pcn
