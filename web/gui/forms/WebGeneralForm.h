#pragma once
// The first page of the web sheets: product name, the component to deploy,
// the scan options, the target folder and the HTML page options, with the
// status text and progress bar of the dependency scan. Holds the rules both
// sheets share: the dynamic scan only with the scan, the LPK object only
// with the HTML page, and the two Browse buttons.

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pcn::gui {

class Pickers;

class WebGeneralForm : public QWidget {
    Q_OBJECT
public:
    explicit WebGeneralForm(Pickers& pickers, QWidget* parent = nullptr);

    // "Scan for dynamic dependencies" usable only with "Scan for dependencies".
    void applyScanRule();
    // "Include LPK Object" usable only with "Create Htm Template".
    void applyHtmRule();

    QLineEdit* productName;
    QLineEdit* componentPath;
    QPushButton* browseComponent;
    QCheckBox* scan;
    QCheckBox* scanDynamic;
    QLineEdit* targetFolder;
    QPushButton* browseTarget;
    QCheckBox* htmTemplate;
    QCheckBox* includeLpk;
    QLabel* status;
    QProgressBar* progress;

signals:
    // A component was chosen with Browse.
    void componentBrowsed();
    // A target folder was chosen with Browse.
    void targetBrowsed();
    // Either scan check box was clicked.
    void scanOptionClicked();

private:
    void browseForComponent();
    void browseForTarget();

    Pickers& pickers_;
};

}  // namespace pcn::gui
