// TrustDialog: the window ChkTrust opens to ask whether to trust a signed
// file. Takes the details as options (see signing/TrustDetails.h); exit code
// 0 when the user accepts, 1 when they decline, 2 for a wrong command line.

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "signing/gui/CTrustDialog.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<std::string> arguments;
    for (const QString& a : app.arguments().mid(1)) arguments.push_back(a.toStdString());
    auto details = pcn::trustDetailsFromArguments(arguments);
    if (!details) {
        std::fputs("Usage: TrustDialog --file F [--subject S] [--issuer I] [--valid-from T] [--valid-to T] "
                   "[--digest D] [--timestamp T] [--chain trusted|untrusted] [--problem P]\n",
                   stderr);
        return 2;
    }
    pcn::gui::CTrustDialog dialog(*details);
    return dialog.exec() == QDialog::Accepted ? 0 : 1;
}
