#include "platform/SettingsStore.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"

namespace pcn {
namespace {

constexpr std::string_view kIntPrefix = "dword:";
constexpr std::string_view kStringPrefix = "sz:";
constexpr std::string_view kRelativePath = "Tarnwick Development/Parcelon Packages/PCN.conf";

std::string escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

// A value name also escapes "=" (which ends the name) and a leading ";", "#"
// or "[" (which would make its line a comment or a section).
std::string escapeName(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '=' || (i == 0 && (c == ';' || c == '#' || c == '['))) out += '\\';
        out += escape(name.substr(i, 1));
    }
    return out;
}

// The "=" that ends a value name: the first one not escaped.
size_t nameEnd(std::string_view line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') ++i;
        else if (line[i] == '=') return i;
    }
    return std::string_view::npos;
}

std::string unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// Section and value names are case-insensitive in the registry; we keep the
// spelling of the first write and compare names as stored (the program always
// uses one spelling per name).
std::filesystem::path defaultUserFile() {
    if (const char* env = std::getenv("PCN_SETTINGS"); env && *env) return env;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else
        base = std::string(std::getenv("HOME") ? std::getenv("HOME") : ".") + "/.config";
    return std::filesystem::path(base) / kRelativePath;
}

}  // namespace

// The first folder of $XDG_CONFIG_DIRS (most important first; /etc/xdg when
// unset) that holds the file, or the first folder's file when none does.
std::filesystem::path machineSettingsFile() {
    if (std::getenv("PCN_SETTINGS")) return {};  // tests and profiles stand alone
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string_view list = dirs && *dirs ? dirs : "/etc/xdg";
    std::filesystem::path first;
    while (!list.empty()) {
        const size_t colon = list.find(':');
        const std::filesystem::path folder(list.substr(0, colon));
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
        if (!folder.is_absolute()) continue;  // relative entries are invalid and ignored
        const std::filesystem::path file = folder / kRelativePath;
        if (first.empty()) first = file;
        std::error_code error;
        if (std::filesystem::exists(file, error)) return file;
    }
    return first;
}

SettingsStore& SettingsStore::user() {
    static SettingsStore store(defaultUserFile(), machineSettingsFile());
    return store;
}

SettingsStore::SettingsStore(std::filesystem::path file, std::filesystem::path machineFile)
    : file_(std::move(file)), machineFile_(std::move(machineFile)) {}

SettingsStore::Sections SettingsStore::parse(std::string_view text) {
    Sections sections;
    std::map<std::string, Value>* current = nullptr;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &sections[std::string(line.substr(1, line.size() - 2))];
            continue;
        }
        size_t eq = nameEnd(line);
        if (!current || eq == std::string_view::npos) continue;
        std::string name = unescape(line.substr(0, eq));
        std::string_view raw = line.substr(eq + 1);
        Value v;
        if (raw.substr(0, kIntPrefix.size()) == kIntPrefix) {
            v.isInt = true;
            v.number = static_cast<int32_t>(std::strtoll(std::string(raw.substr(kIntPrefix.size())).c_str(), nullptr, 10));
        } else if (raw.substr(0, kStringPrefix.size()) == kStringPrefix) {
            v.text = unescape(raw.substr(kStringPrefix.size()));
        } else {
            v.text = unescape(raw);
        }
        (*current)[name] = std::move(v);
    }
    return sections;
}

std::string SettingsStore::format(const Sections& sections) {
    std::string out;
    for (const auto& [section, values] : sections) {
        out += '[' + section + "]\n";
        for (const auto& [name, v] : values) {
            out += escapeName(name) + '=';
            out += v.isInt ? std::string(kIntPrefix) + std::to_string(v.number)
                           : std::string(kStringPrefix) + escape(v.text);
            out += '\n';
        }
        out += '\n';
    }
    return out;
}

void SettingsStore::refresh() const {
    std::error_code ec;
    auto stamp = std::filesystem::last_write_time(file_, ec);
    if (loaded_ && !ec && stamp == userStamp_) return;
    std::string bytes;
    user_ = readWholeFile(file_, bytes) ? parse(bytes) : Sections{};
    userStamp_ = ec ? std::filesystem::file_time_type{} : stamp;
    if (!loaded_ && !machineFile_.empty() && readWholeFile(machineFile_, bytes)) machine_ = parse(bytes);
    loaded_ = true;
}

std::optional<SettingsStore::Value> SettingsStore::lookup(std::string_view section, std::string_view name) const {
    std::lock_guard lock(mutex_);
    refresh();
    for (const Sections* s : {&user_, &machine_}) {
        auto sec = s->find(section);
        if (sec == s->end()) continue;
        auto val = sec->second.find(std::string(name));
        if (val != sec->second.end()) return val->second;
    }
    return std::nullopt;
}

int32_t SettingsStore::readInt(std::string_view section, std::string_view name, int32_t defaultValue) const {
    auto v = lookup(section, name);
    if (!v) return defaultValue;
    if (v->isInt) return v->number;
    // A number typed into the file by hand is still a number.
    char* end = nullptr;
    long long parsed = std::strtoll(v->text.c_str(), &end, 10);
    return (end && *end == '\0' && !v->text.empty()) ? static_cast<int32_t>(parsed) : defaultValue;
}

std::string SettingsStore::readString(std::string_view section, std::string_view name,
                                      std::string_view defaultValue) const {
    auto v = lookup(section, name);
    if (!v) return std::string(defaultValue);
    return v->isInt ? std::to_string(v->number) : v->text;
}

bool SettingsStore::contains(std::string_view section, std::string_view name) const {
    return lookup(section, name).has_value();
}

bool SettingsStore::sectionExists(std::string_view section) const {
    std::lock_guard lock(mutex_);
    refresh();
    return user_.find(section) != user_.end() || machine_.find(section) != machine_.end();
}

bool SettingsStore::modify(std::string_view section, std::string_view name, const std::optional<Value>& value,
                           bool sectionOnly) {
    std::lock_guard lock(mutex_);
    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    FileLock fileLock(file_.string() + ".lock");
    if (!fileLock.ok()) {
        lastError_ = errno;
        return false;
    }
    loaded_ = false;  // re-read under the lock: another process may have written
    refresh();
    auto& values = user_[std::string(section)];
    if (!sectionOnly) {
        if (value)
            values[std::string(name)] = *value;
        else
            values.erase(std::string(name));
    }
    WriteResult r = writeFileAtomically(file_, format(user_), kOwnerOnly);
    if (!r.ok) {
        lastError_ = r.error;
        loaded_ = false;
        return false;
    }
    userStamp_ = std::filesystem::last_write_time(file_, ec);
    lastError_ = 0;
    return true;
}

bool SettingsStore::writeInt(std::string_view section, std::string_view name, int32_t value) {
    Value v;
    v.isInt = true;
    v.number = value;
    return modify(section, name, v);
}

bool SettingsStore::writeString(std::string_view section, std::string_view name, std::string_view value) {
    Value v;
    v.text = std::string(value);
    return modify(section, name, v);
}

bool SettingsStore::removeValue(std::string_view section, std::string_view name) {
    return modify(section, name, std::nullopt);
}

bool SettingsStore::createSection(std::string_view section) { return modify(section, {}, std::nullopt, true); }

}  // namespace pcn
