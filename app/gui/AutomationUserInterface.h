#pragma once
// What pcn shows and asks while another program drives it over the session
// bus: nobody is there to click, so nothing waits. Every text is written to
// stderr and kept for the caller (LastMessage); a question is answered Cancel
// where it offers one, else with its default answer.

#include <string>

#include "distribution/UserInterface.h"

namespace pcn::gui {

class AutomationUserInterface : public UserInterface {
public:
    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    void errorDetails(std::string_view mainText, std::string_view details) override;

    // The last text shown since the last clear (an error dialog's main text
    // and its details on the next line).
    const std::string& lastMessage() const { return last_; }
    void clear() { last_.clear(); }

private:
    void keep(std::string text);

    std::string last_;
};

}  // namespace pcn::gui
