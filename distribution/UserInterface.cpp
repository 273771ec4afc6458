#include "distribution/UserInterface.h"

namespace pcn {

void UserInterface::inform(std::string_view text, std::string_view caption) {
    message(text, caption, Icon::Information, Buttons::Ok, Answer::Ok);
}

void UserInterface::warn(std::string_view text, std::string_view caption) {
    message(text, caption, Icon::Warning, Buttons::Ok, Answer::Ok);
}

void UserInterface::error(std::string_view text, std::string_view caption) {
    message(text, caption, Icon::Error, Buttons::Ok, Answer::Ok);
}

bool UserInterface::ask(std::string_view text, Answer defaultAnswer, std::string_view caption) {
    return message(text, caption, Icon::Question, Buttons::YesNo, defaultAnswer) == Answer::Yes;
}

}  // namespace pcn
