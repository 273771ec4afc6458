#pragma once
// The one way the core shows or asks anything. The GUI serves it with Qt
// dialogs on the UI thread, the command line with the terminal and flags, the
// tests with scripted answers. Texts are passed exactly as the caller wrote them.

#include <string>
#include <string_view>

namespace pcn {

enum class Icon { None, Information, Warning, Question, Error };
// SaveDiscardCancel answers Yes for Save and No for Discard.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, SaveDiscardCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A message box. defaultAnswer is the button that has the focus (and the
    // answer a non-interactive front end gives when it has no better one).
    virtual Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                           Answer defaultAnswer) = 0;

    // The error details dialog: a short main text and a longer details text
    // that the user can open (empty details: nothing to open).
    virtual void errorDetails(std::string_view mainText, std::string_view details) = 0;

    // Conveniences over message().
    void inform(std::string_view text, std::string_view caption = "Parcelon");
    void warn(std::string_view text, std::string_view caption = "Parcelon");
    void error(std::string_view text, std::string_view caption = "Parcelon");
    // Yes/No question; true for Yes.
    bool ask(std::string_view text, Answer defaultAnswer = Answer::Yes, std::string_view caption = "Parcelon");
};

}  // namespace pcn
