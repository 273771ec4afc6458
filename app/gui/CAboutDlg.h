#pragma once
// The About box: product name, version, maker and the maker's web site.

#include <QDialog>

namespace pcn::gui {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace pcn::gui
