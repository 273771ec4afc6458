#pragma once
// Where Windows libraries are looked for on this machine, shared by the loader
// host (which maps a component's imports) and the dependency scanner (which
// locates the names it recorded): the "system folder" of the Scan settings,
// by default Wine's folder of PE libraries for the component's architecture,
// and file look-ups that compare names ignoring case as Windows does.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

class SettingsStore;

namespace settings {
inline constexpr std::string_view kScanSection = "Settings\\Scan";
inline constexpr std::string_view kSystemFolder = "System Folder";  // string; empty: Wine's folder
inline constexpr std::string_view kLister = "Lister";               // "LDSCNT" (default) or "LDSC95"
}  // namespace settings

// PE machine numbers the look-ups know a Wine folder for.
inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;
inline constexpr uint16_t kMachineArm64 = 0xAA64;
inline constexpr uint16_t kMachineArmNt = 0x01C4;

// The PE machine of the running program (what a native component would be).
uint16_t nativeMachine();

// Wine's folder of PE libraries for the machine ("i386-windows",
// "x86_64-windows", ...) under the first Wine library root that has it, with a
// trailing separator; empty when Wine is not installed for that machine.
// roots overrides the places looked at (tests).
std::string wineLibraryFolder(uint16_t machine, const std::vector<std::string>& roots = {});

// The system folder for a component of the machine: the `System Folder` value
// under Settings\Scan when set, else Wine's folder; with a trailing separator,
// empty when there is none.
std::string systemLibraryFolder(uint16_t machine, const SettingsStore& settings);

// ASCII-only case-insensitive comparison, as the Windows loader compares names.
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

// A bare file name a loader may look up in a folder: not empty, no separator,
// not "." or "..".
bool isBareFileName(std::string_view name);

// Finds files by name in folders, reading each folder's listing once.
class FolderLookup {
public:
    // Full path of the file called `name` in folder: the exact name when it is
    // there, else with ignoreCase the first entry (in name order) whose name
    // matches ignoring case. Nullopt when there is none or name is not bare.
    std::optional<std::string> find(const std::string& folder, std::string_view name, bool ignoreCase);

private:
    struct Listing {
        std::vector<std::string> names;                       // sorted
        std::multimap<std::string, size_t, std::less<>> folded;  // lower-case name -> index
    };
    const Listing& listing(const std::string& folder);

    std::map<std::string, Listing, std::less<>> listings_;
};

}  // namespace pcn
