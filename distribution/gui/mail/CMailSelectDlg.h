#pragma once
// "Selecting Files" for mail: the package's files as a check list, more
// added by hand; OK hands the checked ones on as attachments.

#include <QDialog>
#include <QStringList>

#include "distribution/gui/ftp/CFTPPropertyPage2.h"

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

struct EditingContext;

class CMailSelectDlg : public QDialog {
    Q_OBJECT
public:
    CMailSelectDlg(const CCabObj& package, EditingContext& context, QWidget* parent = nullptr);

    // Lists the package's files; says so when output files are missing.
    void fillList();
    QStringList attachments() const { return files_.checkedPaths(); }
    QListWidget* fileList() const { return files_.widget(); }

private:
    void addFile();

    const CCabObj& package_;
    EditingContext& context_;
    SendFileList files_;
};

// "Sen&d..." / "S&end Project Files (Mail)...": the dialog, then the composer.
void RunSendMail(const CCabObj& package, EditingContext& context, QWidget* parent);

}  // namespace pcn::gui
