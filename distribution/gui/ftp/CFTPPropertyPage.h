#pragma once
// What the send sheet's pages share: their sheet, and the site fields that
// the first two pages both show (server, port, user, password, directory and
// the connection options).

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "editing/gui/wizard/CCabWizPage.h"

namespace pcn {
class CFTPObj;
}

namespace pcn::gui {

class CFTPPropertySheet;

class CFTPPropertyPage : public CCabWizPage {
    Q_OBJECT
public:
    CFTPPropertyPage(CFTPPropertySheet& sheet, const QString& caption);
    CFTPPropertySheet& ftpSheet() const { return ftpSheet_; }

private:
    CFTPPropertySheet& ftpSheet_;
};

// The fields of one site, laid out in a grid.
struct SiteFields {
    QLabel* serverLabel;
    QLineEdit* server;
    QLabel* portLabel;
    QLineEdit* port;
    QLabel* userLabel;
    QLineEdit* userName;
    QLabel* passwordLabel;
    QLineEdit* password;
    QLabel* directoryLabel;
    QLineEdit* directory;
    QCheckBox* passive;
    QCheckBox* tls;

    // Adds the fields to the grid from the row on.
    static SiteFields create(QWidget* parent, QGridLayout* grid, int row);
    void show(const CFTPObj& site) const;
    void store(CFTPObj& site) const;
    void setVisible(bool visible) const;
    // The port typed, 0 when it is no port number.
    int portNumber() const;
};

}  // namespace pcn::gui
