#pragma once
// The Inf Output page of the web sheets: the web INF text built from the
// definition each time the page is shown, and, with "Create Htm Template",
// the HTML page beside it ("View Htm Template" switches the box between
// them). The files receive the texts as built when the page was last shown,
// and only from a page that has been shown.

#include <QWidget>

#include <string>

class QCheckBox;
class QPlainTextEdit;

namespace pcn {
class UserInterface;
}

namespace pcn::gui {

struct WebSheetState;

class InfOutputForm : public QWidget {
    Q_OBJECT
public:
    InfOutputForm(WebSheetState& state, QWidget* parent = nullptr);

    // Every time the page is shown.
    void build();
    // Writes the INF (and HTML) file into the target folder when the page
    // has been shown; true when there was nothing to write or it was written.
    bool write(UserInterface& ui) const;

    bool wasShown() const { return shown_; }
    const std::string& infText() const { return inf_; }
    const std::string& htmlText() const { return html_; }

    QPlainTextEdit* text;
    QCheckBox* viewHtm;

private:
    void showText();

    WebSheetState& state_;
    bool shown_ = false;
    std::string inf_;
    std::string html_;
};

}  // namespace pcn::gui
