#pragma once
// What the package editors reach outside the package they edit: the
// settings store, the way to show messages, the file and folder pickers and
// the keys outside the program's settings root. Tests hand in a scripted
// user interface and pickers that answer without windows.

#include "platform/RegistryHelper.h"

namespace pcn {
class SettingsStore;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

class Pickers;

struct EditingContext {
    SettingsStore& settings;
    UserInterface& ui;
    Pickers& pickers;
    CRegistryHelper registry{&ui, &settings};
};

}  // namespace pcn::gui
