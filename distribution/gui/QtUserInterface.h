#pragma once
// The GUI's side of the core's UserInterface: message boxes and the error
// details dialog, shown modally over the window the user is working in. Calls
// from worker threads are carried out on the UI thread and wait for the answer.

#include <QPointer>
#include <QWidget>

#include "distribution/UserInterface.h"
#include "distribution/gui/CErrorDlg.h"

namespace pcn {

// The title of every message box: the program's name.
inline constexpr const char* kMessageTitle = "Tarnwick Parcelon";

class QtUserInterface : public UserInterface {
public:
    explicit QtUserInterface(QWidget* owner = nullptr) : owner_(owner) {}

    void setOwner(QWidget* owner) { owner_ = owner; }

    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    void errorDetails(std::string_view mainText, std::string_view details) override;

    // The error details dialog in its larger size (the start-up file check).
    void errorDetails(std::string_view mainText, std::string_view details, CErrorDlg::Size size);
    // The same dialog under another caption (the FTP library's "FTP Error").
    void errorDetails(std::string_view mainText, std::string_view details, const QString& caption);

private:
    QWidget* currentOwner() const;

    QPointer<QWidget> owner_;
};

}  // namespace pcn
