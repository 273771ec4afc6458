#include "editing/gui/forms/RememberedValues.h"

#include "platform/SettingsStore.h"

namespace pcn::gui {

void RecallInt(const SettingsStore& settings, std::string_view section, std::string_view name, int32_t& value) {
    value = settings.readInt(section, name, value);
}

void RecallString(const SettingsStore& settings, std::string_view section, std::string_view name,
                  std::string& value) {
    value = settings.readString(section, name, value);
}

}  // namespace pcn::gui
