#pragma once
// The per-user settings store: sections ("Settings\Package") holding named
// 32-bit integers and strings, read with a default, written on demand.
//
// One INI-style file per user: $XDG_CONFIG_HOME/Tarnwick Development/
// Parcelon Packages/PCN.conf, or the file named by PCN_SETTINGS. A machine-wide
// file in a folder of $XDG_CONFIG_DIRS (same relative path; /etc/xdg by
// default) supplies values the user has not set. Writes re-read the file under an exclusive lock, change one value and
// replace the file atomically, so that the GUI and the command line can run
// side by side without losing each other's writes.

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace pcn {

// The machine-wide settings file the user's store falls back on; none when
// PCN_SETTINGS names the user's file.
std::filesystem::path machineSettingsFile();

class SettingsStore {
public:
    // The store of the current user (PCN_SETTINGS honoured), created on first use.
    static SettingsStore& user();

    explicit SettingsStore(std::filesystem::path file, std::filesystem::path machineFile = {});

    int32_t readInt(std::string_view section, std::string_view name, int32_t defaultValue) const;
    std::string readString(std::string_view section, std::string_view name, std::string_view defaultValue) const;
    bool contains(std::string_view section, std::string_view name) const;

    // Create the section when missing and store the value. False (errno in
    // lastError()) when the file cannot be written.
    bool writeInt(std::string_view section, std::string_view name, int32_t value);
    bool writeString(std::string_view section, std::string_view name, std::string_view value);
    bool removeValue(std::string_view section, std::string_view name);

    bool sectionExists(std::string_view section) const;
    // Creates an empty section (the registry's "create key").
    bool createSection(std::string_view section);

    int lastError() const { return lastError_; }
    const std::filesystem::path& file() const { return file_; }

    // Section -> value name -> typed value. Integers are stored as "dword:N",
    // strings as "sz:TEXT" with \\, \n, \r escaped, so that a value's type
    // survives the text file.
    struct Value {
        bool isInt = false;
        int32_t number = 0;
        std::string text;
    };
    using Sections = std::map<std::string, std::map<std::string, Value>, std::less<>>;

    static Sections parse(std::string_view text);
    static std::string format(const Sections& sections);

private:
    std::optional<Value> lookup(std::string_view section, std::string_view name) const;
    bool modify(std::string_view section, std::string_view name, const std::optional<Value>& value,
                bool sectionOnly = false);
    void refresh() const;

    std::filesystem::path file_;
    std::filesystem::path machineFile_;
    mutable std::mutex mutex_;
    mutable Sections user_;
    mutable Sections machine_;
    mutable std::filesystem::file_time_type userStamp_{};
    mutable bool loaded_ = false;
    int lastError_ = 0;
};

// Value names that several parts share.
namespace settings {
inline constexpr std::string_view kRoot = "Software\\Tarnwick Development\\Parcelon Packages\\PCN";
}

}  // namespace pcn
