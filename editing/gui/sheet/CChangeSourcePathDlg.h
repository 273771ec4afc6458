#pragma once
// "Change Source Path": asks for the folder that now holds a package's source
// files (moved sources, or package files shared between machines). The
// answer always ends with exactly one separator.

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace pcn::gui {

class Pickers;

class CChangeSourcePathDlg : public QDialog {
    Q_OBJECT
public:
    CChangeSourcePathDlg(const QString& path, Pickers& pickers, QWidget* parent = nullptr);

    // The folder typed or chosen; after OK it ends with one separator.
    QString path() const { return path_; }

    QLineEdit* pathEdit() const { return pathEdit_; }
    QPushButton* browseButton() const { return browse_; }
    QPushButton* okButton() const { return ok_; }

    // A folder with exactly one separator at its end.
    static QString withOneTrailingSeparator(QString folder);

public slots:
    void accept() override;

private:
    void browse();

    Pickers& pickers_;
    QString path_;
    QLineEdit* pathEdit_;
    QPushButton* browse_;
    QPushButton* ok_;
};

}  // namespace pcn::gui
