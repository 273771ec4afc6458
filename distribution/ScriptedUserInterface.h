#pragma once
// A user interface for tests: records everything shown and gives queued
// answers (the default answer once the queue is empty).

#include <deque>
#include <string>
#include <vector>

#include "distribution/UserInterface.h"

namespace pcn {

class ScriptedUserInterface : public UserInterface {
public:
    struct Shown {
        std::string text;     // message text, or the error dialog's main text
        std::string details;  // error dialog details
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        bool isErrorDetails = false;
    };

    void queueAnswer(Answer a) { answers_.push_back(a); }

    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    void errorDetails(std::string_view mainText, std::string_view details) override;

    const std::vector<Shown>& shown() const { return shown_; }
    bool sawText(std::string_view text) const;
    void clear() { shown_.clear(); }

private:
    std::deque<Answer> answers_;
    std::vector<Shown> shown_;
};

}  // namespace pcn
