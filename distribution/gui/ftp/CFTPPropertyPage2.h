#pragma once
// "Selecting Files": the package's files as a check list, files added by
// hand, and whether files already on the server are sent again.

#include "distribution/gui/ftp/CFTPPropertyPage.h"

class QListWidget;

namespace pcn::gui {

// A check list of full paths: checked ones are sent. Shared by the send
// sheet and the mail dialog.
class SendFileList {
public:
    // Where an entry keeps its full path; its text is the file's name.
    static constexpr int kPathRole = Qt::UserRole;

    explicit SendFileList(QListWidget* list) : list_(list) {}
    void add(const QString& path, bool checked);
    QStringList checkedPaths() const;
    QListWidget* widget() const { return list_; }

private:
    QListWidget* list_;
};

class CFTPPropertyPage2 : public CFTPPropertyPage {
    Q_OBJECT
public:
    explicit CFTPPropertyPage2(CFTPPropertySheet& sheet);

    void OnInitDialog() override;
    void OnSetActive() override;
    bool OnWizardFinish() override;
    int backPageId() const override;

private:
    void addFile();

    SendFileList files_;
    QCheckBox* overwrite_;
};

}  // namespace pcn::gui
