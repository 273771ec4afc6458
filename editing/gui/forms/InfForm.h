#pragma once
// The cabinet INF text as the user may edit it before it is stored.

#include <QWidget>

#include <string>
#include <string_view>

class QPlainTextEdit;
class QPushButton;

namespace pcn::gui {

class InfForm : public QWidget {
    Q_OBJECT
public:
    explicit InfForm(QWidget* parent = nullptr);

    // CR LF lines in, CR LF lines out, as the INF file holds them.
    void setInfText(std::string_view text);
    std::string infText() const;

    QPlainTextEdit* editor() const { return editor_; }
    // "Rebuild Inf", hidden unless a page offers it.
    QPushButton* rebuildButton() const { return rebuild_; }

signals:
    void modified();

private:
    QPlainTextEdit* editor_;
    QPushButton* rebuild_;
};

}  // namespace pcn::gui
