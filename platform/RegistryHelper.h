#pragma once
// Reaches the values that live outside the program's own settings root (the
// registered organisation, the machine-wide "Information" key, the signing
// tool's key, file-type keys). On Linux they are sections of the same settings
// store, named after the registry path with its hive as the first part
// ("HKEY_LOCAL_MACHINE\SOFTWARE\Tarnwick Development\Parcelon Packages\Information").

#include <optional>
#include <string>
#include <string_view>

#include "platform/SettingsStore.h"

namespace pcn {

class UserInterface;

class CRegistryHelper {
public:
    // A key handle: the section name in the store.
    struct Key {
        std::string section;
    };

    explicit CRegistryHelper(UserInterface* ui = nullptr, SettingsStore* store = nullptr);

    std::optional<Key> SetClassDefault(std::string_view subKey, std::string_view value);
    std::optional<Key> OpenMachineKey(std::string_view subKey);
    std::optional<Key> OpenUserKey(std::string_view subKey);

    bool ReadInt(const Key& key, std::string_view name, int32_t& out) const;
    bool ReadText(const Key& key, std::string_view name, std::string& out) const;
    bool WriteText(const Key& key, std::string_view name, std::string_view text);

    static constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT";
    static constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";
    static constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";

private:
    std::optional<Key> open(std::string_view hive, std::string_view subKey);

    UserInterface* ui_;
    SettingsStore* store_;
};

}  // namespace pcn
