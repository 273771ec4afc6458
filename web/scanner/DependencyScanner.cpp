#include "web/scanner/DependencyScanner.h"

#include <array>
#include <cstdlib>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <unistd.h>

#include "distribution/ErrorReport.h"
#include "model/CCabObj.h"
#include "platform/ElfLibrary.h"
#include "platform/LibrarySearch.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn::web {
namespace {

using ProcessInitFn = int (*)(const char*);
using GetProcessCountFn = int (*)();
using GetProcessByIndexFn = int (*)(int, char*, int);
using GetProcessDroppedFn = int (*)();

constexpr int kNameBufferSize = 1024;

constexpr std::array<std::string_view, 6> kWindowsSystemLibraries = {
    "ADVAPI32.DLL", "GDI32.DLL", "KERNEL32.DLL", "MSIDLE.DLL", "NTDLL.DLL", "USER32.DLL"};

// The loader host's image, whichever name its module list gives it.
bool isHostImage(std::string_view name) {
    return sameNameIgnoringCase(name, "LDSCE.EXE") || sameNameIgnoringCase(name, "LDSCE");
}

// The lister library chosen by Settings\Scan `Lister`.
std::string listerLibraryName() {
    std::string lister = SettingsStore::user().readString(settings::kScanSection, settings::kLister, "LDSCNT");
    return sameNameIgnoringCase(lister, "LDSC95") ? "LDSC95.so" : "LDSCNT.so";
}

// One scan at a time per process: the lister's table lives in the library.
std::mutex& listerMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string unableToCheck(const std::string& componentPath) { return "Unable to check Library:\n " + componentPath; }

// What keeps the loader host from loading a file that is no library at
// all; empty for a Linux shared object or a Windows image, which only fail
// for want of their registration or their own libraries.
std::string notALibrary(const std::string& componentPath) {
    std::ifstream file(componentPath, std::ios::binary);
    if (!file) return "The file cannot be read.";
    char head[4] = {};
    file.read(head, sizeof head);
    const std::string_view bytes(head, static_cast<size_t>(file.gcount()));
    if (bytes == std::string_view("\x7f" "ELF", 4) || bytes.starts_with("MZ")) return {};
    return "The file is neither a Linux shared object nor a Windows library: choose the component's .ocx or .dll.";
}

class ListerLibrary {
public:
    explicit ListerLibrary(const std::string& path) : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~ListerLibrary() {
        if (handle_) ::dlclose(handle_);
    }
    ListerLibrary(const ListerLibrary&) = delete;
    ListerLibrary& operator=(const ListerLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    template <typename Function>
    Function lookup(const char* name) const {
        return reinterpret_cast<Function>(::dlsym(handle_, name));
    }

private:
    void* handle_;
};

}  // namespace

bool isSystemLibraryName(std::string_view name) {
    for (std::string_view system : kWindowsSystemLibraries)
        if (sameNameIgnoringCase(name, system)) return true;
    // The C library and the dynamic loader every ELF host has.
    return name == "libc.so.6" || name.starts_with("ld-linux") || name.starts_with("ld64.so.") ||
           name.starts_with("ld-musl-") || name.starts_with("libc.musl-");
}

bool ScanLoadedModules(CCabObj& definition, ScanProgress& progress, UserInterface& ui,
                       const std::string& componentPath) {
    std::lock_guard lock(listerMutex());
    progress.setStatus(kScanningText);
    progress.setPosition(5);

    const std::string listerName = listerLibraryName();
    const std::string listerPath = programFolder() + listerName;
    ListerLibrary lister(listerPath);
    if (!lister.loaded()) {
        int error = fileExists(listerPath) ? ENOEXEC : ENOENT;
        reportGivenError(ui,
                         "Error loading " + listerName + ".\nPCN.EXE requires " + listerName +
                             " to be installed?\n",
                         error);
        return false;
    }

    progress.setPosition(10);
    auto processInit = lister.lookup<ProcessInitFn>("ProcessInit");
    progress.setPosition(15);
    if (processInit) {
        progress.setPosition(35);
        errno = 0;
        if (processInit(componentPath.c_str()) == 0) {
            const int error = errno;
            if (const std::string wrong = notALibrary(componentPath); !wrong.empty()) {
                reportGivenError(ui, unableToCheck(componentPath) + "\n\n" + wrong, ENOEXEC);
                return false;
            }
            reportGivenError(ui, unableToCheck(componentPath) + "\n\nMake sure the component is registered.", error);
            return false;
        }
    }

    progress.setPosition(60);
    auto getProcessCount = lister.lookup<GetProcessCountFn>("GetProcessCount");
    if (!getProcessCount) {
        reportGivenError(ui, unableToCheck(componentPath), 0);
        return false;
    }
    int count = getProcessCount();

    progress.setPosition(70);
    auto getProcessByIndex = lister.lookup<GetProcessByIndexFn>("GetProcessByIndex");
    if (!getProcessByIndex) {
        reportGivenError(ui, unableToCheck(componentPath), 0);
        return false;
    }

    // Our listers also tell how many modules did not fit their table.
    if (auto getDropped = lister.lookup<GetProcessDroppedFn>("GetProcessDropped"); getDropped && getDropped() > 0)
        ui.message("The component loaded more modules than the lister's table holds: " + std::to_string(getDropped()) +
                       " modules after the first " + std::to_string(count) + " are not listed.",
                   "Parcelon", Icon::Warning, Buttons::Ok, Answer::Ok);

    progress.setPosition(75);
    // A Windows component's modules are its PE images: the ELF libraries the
    // loader host itself runs on are not the component's.
    const bool windowsComponent = !elfIdentity(componentPath);
    const std::string& baseName = definition.m_pWeb->m_strFileName.empty() ? fileNamePart(componentPath)
                                                                            : definition.m_pWeb->m_strFileName;
    char buffer[kNameBufferSize];
    for (int i = 0; i < count; ++i) {
        if (!getProcessByIndex(i, buffer, kNameBufferSize)) continue;
        std::string_view name(buffer);
        if (sameNameIgnoringCase(name, componentPath) || sameNameIgnoringCase(name, baseName) || isHostImage(name))
            continue;
        if (windowsComponent && elfIdentity(std::string(name))) continue;
        int entry = definition.AddDependency(name);
        definition.SetDependencyOrigin(entry, isSystemLibraryName(name) ? kOriginSystem : kOriginLoaded);
    }
    progress.setPosition(100);
    return true;
}

int StopLoaderHosts() {
    const pid_t self = ::getpid();
    int stopped = 0;
    DIR* proc = ::opendir("/proc");
    if (!proc) return 0;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0') continue;
        // "pid (comm) state ppid ...": the name may hold spaces and parentheses.
        std::ifstream in("/proc/" + std::string(entry->d_name) + "/stat");
        std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos || close < open) continue;
        std::istringstream rest(stat.substr(close + 1));
        char state = 0;
        long parent = 0;
        if (!(rest >> state >> parent) || parent != self) continue;
        if (!isHostImage(stat.substr(open + 1, close - open - 1))) continue;
        if (::kill(static_cast<pid_t>(pid), SIGKILL) == 0) ++stopped;
    }
    ::closedir(proc);
    return stopped;
}

bool ScanDependencies(CCabObj& definition, ScanProgress& progress, UserInterface& ui) {
    CWebObj& web = *definition.m_pWeb;
    definition.ClearDependencies();
    if (web.m_bScan) {
        if (!ScanLoadedModules(definition, progress, ui, web.m_strFilePath)) {
            progress.setStatus(kScanFailedText);
            return false;
        }
        // The dynamic scan is a refinement of the scan: without it nothing but
        // the component is listed.
        int skipped = 0;
        if (web.m_bScanDynamic) ScanFileForLibraryNames(definition, web.m_strFilePath, &skipped);
        if (skipped > 0)
            ui.message("The component names more libraries than a list can hold: " + std::to_string(skipped) +
                           " names after the first " + std::to_string(kMaxNamesKept) + " were skipped.",
                       "Parcelon", Icon::Warning, Buttons::Ok, Answer::Ok);
        ResolveDependencyPaths(definition);
    }
    definition.InsertDependency(0, web.m_strFilePath);
    definition.SetDependencyOs(0, 1);
    definition.SetDependencyCpu(0, 1);
    definition.SetDependencyInclude(0, 1);
    definition.SetDependencyOrigin(0, kOriginComponent);
    return true;
}

}  // namespace pcn::web
