#include "distribution/ScriptedUserInterface.h"

namespace pcn {

Answer ScriptedUserInterface::message(std::string_view text, std::string_view, Icon icon, Buttons buttons,
                                      Answer defaultAnswer) {
    shown_.push_back({std::string(text), {}, icon, buttons, false});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers_.empty()) return defaultAnswer;
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

void ScriptedUserInterface::errorDetails(std::string_view mainText, std::string_view details) {
    shown_.push_back({std::string(mainText), std::string(details), Icon::Error, Buttons::Ok, true});
}

bool ScriptedUserInterface::sawText(std::string_view text) const {
    for (const auto& s : shown_)
        if (s.text == text) return true;
    return false;
}

}  // namespace pcn
