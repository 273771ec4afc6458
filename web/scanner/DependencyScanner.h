#pragma once
// The dependency scanner: fills a web package's dependency list with the
// libraries its component needs. Three passes: the loaded-module pass loads
// the component in the loader host and records the modules the host then
// has (through the module lister chosen by the `Lister` value under
// Settings\Scan); the name pass finds library names in the component's
// bytes; the resolution pass replaces each name by the full path of the file
// that would be loaded, or marks it as not found.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {
class CCabObj;
class UserInterface;
}  // namespace pcn

namespace pcn::web {

// Origin images of dependency entries (indexes into the Dependencies list's icons).
enum DependencyOrigin : int32_t {
    kOriginSystem = 2,      // system library of the host, or AUTPRX32.DLL named in the file
    kOriginLoaded = 3,      // any other library the host loaded
    kOriginNamed = 4,       // a library named in the component's file
    kOriginNotFound = 5,    // the resolution pass could not locate it
    kOriginComponent = 6,   // the component itself, entry 0
};

inline constexpr std::string_view kScanningText = "Scanning for Dependencies...";
inline constexpr std::string_view kScanFailedText = "Failed Scanning for Dependencies.";

// Where the loaded-module pass reports: the page's progress bar (0..100) and
// the status text beside it.
class ScanProgress {
public:
    virtual ~ScanProgress() = default;
    virtual void setPosition(int position) = 0;
    virtual void setStatus(std::string_view text) = 0;
};

// The loaded-module pass. True when the host's module list was obtained;
// false after showing the error through ui.
bool ScanLoadedModules(CCabObj& definition, ScanProgress& progress, UserInterface& ui,
                       const std::string& componentPath);

// The name pass. True when at least one ".DLL" (or, in an ELF component,
// ".so") occurrence was seen; false when none was or the file could not be
// read. Shows nothing. At most kMaxNamesKept names are added; `skipped`
// receives how many more different names were found and left out.
bool ScanFileForLibraryNames(CCabObj& definition, const std::string& componentPath, int* skipped = nullptr);
inline constexpr int kMaxNamesKept = 1000;

// The resolution pass: each entry's name replaced by the full path of the
// file it names, or its origin set to kOriginNotFound.
void ResolveDependencyPaths(CCabObj& definition);

// For each entry the resolution pass could not locate, why: the first place
// it looked that holds something else (a FIFO, a folder, a text file, a
// library for another architecture), or where it looked; empty for the other
// entries. Opens no FIFO or device.
std::vector<std::string> UnresolvedDependencyReasons(const CCabObj& definition);

// True when the file is a library that exports DllRegisterServer: a PE
// image's export table names it, or an ELF shared object's dynamic symbol
// table defines it. The file is read, never loaded.
bool HasRegisterServer(const std::string& path);

// The scan as the web pages run it: the list cleared, the passes the web data
// asks for (m_bScan, m_bScanDynamic), and the component inserted as entry 0.
// False when the loaded-module pass failed: the list is left empty and the
// status says kScanFailedText; the caller then keeps its rescan flag.
bool ScanDependencies(CCabObj& definition, ScanProgress& progress, UserInterface& ui);

// Ends the loader hosts that this process has started and that still run,
// so that a scan waiting for one of them gives up at once (the user cancelled
// it). Safe to call from any thread, also when no scan runs. Returns how many
// were ended.
int StopLoaderHosts();

// Whether a module name is a system library: one of the six Windows system
// libraries, or the C library or dynamic loader of an ELF host.
bool isSystemLibraryName(std::string_view name);

}  // namespace pcn::web
