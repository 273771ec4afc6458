#pragma once
// "Component Html Template": the HTML page that embeds a component, ready to
// be edited, previewed in the browser, saved or copied. Run, Save As and Copy
// take the text as it stands in the edit box; the LPK check box builds the
// page afresh (the user's edits are replaced).

#include <QDialog>

#include <string>

#include "web/HtmlTemplate.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace pcn::gui {

struct EditingContext;

class CHtmlTemplateDlg : public QDialog {
    Q_OBJECT
public:
    CHtmlTemplateDlg(const std::string& componentPath, EditingContext& context, QWidget* parent = nullptr);

    QCheckBox* includeLpk() const { return includeLpk_; }
    QPlainTextEdit* text() const { return text_; }

    // The text of the edit box as the page's bytes (CR LF line ends).
    std::string pageText() const;
    // The file "Run" writes and opens.
    static std::string previewFile();

private:
    void rebuild();
    void run();
    void saveAs();
    void copy();
    // Writes the edit box's text; false after telling the user why not.
    bool writeText(const std::string& path);

    EditingContext& context_;
    ComponentTemplateFacts facts_;
    std::string siteBase_;
    QCheckBox* includeLpk_;
    QPlainTextEdit* text_;
};

}  // namespace pcn::gui
