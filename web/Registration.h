#pragma once
// Registering and unregistering a COM component on this machine by calling
// its own DllRegisterServer / DllUnregisterServer. A Linux shared object is
// loaded into this process and called; a Windows component is handed to
// Wine's regsvr32, which loads it into the Wine prefix of the user (WINEPREFIX
// or ~/.wine). Every outcome is reported through the user interface.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pcn {

class SettingsStore;
class UserInterface;

namespace registration {
inline constexpr std::string_view kSection = "Settings\\Register";
inline constexpr std::string_view kLastPath = "Last Path";
inline constexpr std::string_view kLastIndex = "Last Index";
inline constexpr int32_t kDefaultIndex = 2;  // the DLL filter of the open dialog

inline constexpr std::string_view kRegistered = "The Component was successfully registered.";
inline constexpr std::string_view kUnregistered = "The Component was successfully unregistered.";
inline constexpr std::string_view kLoadFailed = "Failed to load Library.";
inline constexpr std::string_view kRegisterFailed = "Failed to Register Library.";
inline constexpr std::string_view kUnregisterFailed = "Failed to Unregister Library.";
}  // namespace registration

// Where the outcome of a run is remembered: the folder of the component in
// `Last Path` and the open dialog's filter in `Last Index` (when given), on
// the paths where the component's entry point was reached.
struct RegistrationMemory {
    SettingsStore* settings = nullptr;  // none: nothing is remembered
    std::optional<int32_t> filterIndex;
};

// True when the component reported success. A library without
// DllRegisterServer has its type library registered instead.
bool RegisterComponent(const std::string& path, UserInterface& ui, const RegistrationMemory& memory = {});
bool UnregisterComponent(const std::string& path, UserInterface& ui, const RegistrationMemory& memory = {});

}  // namespace pcn
