#include "platform/RegistryHelper.h"

#include "distribution/UserInterface.h"

namespace pcn {

CRegistryHelper::CRegistryHelper(UserInterface* ui, SettingsStore* store)
    : ui_(ui), store_(store ? store : &SettingsStore::user()) {}

std::optional<CRegistryHelper::Key> CRegistryHelper::open(std::string_view hive, std::string_view subKey) {
    Key key{std::string(hive) + "\\" + std::string(subKey)};
    if (store_->sectionExists(key.section) || store_->createSection(key.section)) return key;
    if (ui_) ui_->errorDetails("Error " + std::to_string(store_->lastError()) + ":", "");
    return std::nullopt;
}

std::optional<CRegistryHelper::Key> CRegistryHelper::SetClassDefault(std::string_view subKey, std::string_view value) {
    auto key = open(kClassesRoot, subKey);
    if (key && !WriteText(*key, "", value)) return std::nullopt;
    return key;
}

std::optional<CRegistryHelper::Key> CRegistryHelper::OpenMachineKey(std::string_view subKey) {
    return open(kLocalMachine, subKey);
}

std::optional<CRegistryHelper::Key> CRegistryHelper::OpenUserKey(std::string_view subKey) {
    return open(kCurrentUser, subKey);
}

bool CRegistryHelper::ReadInt(const Key& key, std::string_view name, int32_t& out) const {
    if (!store_->contains(key.section, name)) return false;
    out = store_->readInt(key.section, name, out);
    return true;
}

bool CRegistryHelper::ReadText(const Key& key, std::string_view name, std::string& out) const {
    if (!store_->contains(key.section, name)) return false;
    out = store_->readString(key.section, name, "");
    return true;
}

bool CRegistryHelper::WriteText(const Key& key, std::string_view name, std::string_view text) {
    return store_->writeString(key.section, name, text);
}

}  // namespace pcn
