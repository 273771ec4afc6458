#include "app/gui/FileDialogs.h"

#include <QFileDialog>

namespace pcn::gui {

QString QtFileDialogs::openFile(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter) {
    QFileDialog dialog(parent, caption, folder, filter + ";;All Files (*)");
    dialog.setObjectName("openFileDialog");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

QString QtFileDialogs::saveFile(QWidget* parent, const QString& caption, const QString& initialPath,
                                const QString& filter) {
    QFileDialog dialog(parent, caption, initialPath, filter + ";;All Files (*)");
    dialog.setObjectName("saveFileDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString suffix = filter.section("*.", 1).section(')', 0, 0);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace pcn::gui
