#include "app/gui/AutomationUserInterface.h"

#include <cstdio>

namespace pcn::gui {

void AutomationUserInterface::keep(std::string text) {
    std::erase(text, '\r');
    std::fprintf(stderr, "pcn: %s\n", text.c_str());
    last_ = std::move(text);
}

Answer AutomationUserInterface::message(std::string_view text, std::string_view, Icon, Buttons buttons,
                                        Answer defaultAnswer) {
    keep(std::string(text));
    switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return defaultAnswer;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
        case Buttons::RetryCancel: return Answer::Cancel;
    }
    return defaultAnswer;
}

void AutomationUserInterface::errorDetails(std::string_view mainText, std::string_view details) {
    keep(details.empty() ? std::string(mainText) : std::string(mainText) + "\n" + std::string(details));
}

}  // namespace pcn::gui
