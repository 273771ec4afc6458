#pragma once
// The messages of work that runs under a busy note come from the work's
// thread; the note goes before the first one shows, so that the message is
// not hidden behind it.

#include "distribution/UserInterface.h"
#include "platform/gui/BusyNote.h"

namespace pcn::gui {

class BusyNoteUi : public UserInterface {
public:
    BusyNoteUi(UserInterface& ui, BusyNote& note) : ui_(ui), note_(note) {}
    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        note_.hideFromWork();
        return ui_.message(text, caption, icon, buttons, defaultAnswer);
    }
    void errorDetails(std::string_view mainText, std::string_view details) override {
        note_.hideFromWork();
        ui_.errorDetails(mainText, details);
    }

private:
    UserInterface& ui_;
    BusyNote& note_;
};

}  // namespace pcn::gui
