#include "app/gui/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace pcn::gui {
namespace {

// The Windows switches, matched ignoring case as the Windows program does.
QStringList withLongOptions(const QStringList& arguments) {
    QStringList result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool windowsSwitch = i > 0 && a.size() > 1 && (a.front() == '/' || (a.front() == '-' && a[1] != '-'));
        const QString name = windowsSwitch ? a.mid(1).toLower() : QString();
        if (name == "p") result << "--print";
        else if (name == "pt" && i + 2 < arguments.size()) {
            // /pt FILE PRINTER [DRIVER PORT]: the driver and port mean nothing here.
            result << "--print-to" << arguments[i + 2] << arguments[i + 1];
            i += std::min<qsizetype>(4, arguments.size() - 1 - i);
        }
        else if (name == "automation") result << "--automation";
        else if (name == "embedding") result << "--embedding";
        else result << a;
    }
    return result;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Tarnwick Parcelon: Windows deployment packages from Linux.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption print(QStringLiteral("print"), "Print the report of every package of PROJECT and quit.");
    const QCommandLineOption printTo(
        QStringLiteral("print-to"), "Print the reports on PRINTER instead of the default printer; a name ending in .pdf "
                      "writes a PDF file. Implies --print.",
        "PRINTER");
    const QCommandLineOption automation(
        QStringLiteral("automation"), "Start without a window and offer the automation interface on the session bus.");
    const QCommandLineOption embedding(QStringLiteral("embedding"), "Started by another program: the same as --automation.");
    parser.addOptions({print, printTo, automation, embedding});
    parser.addPositionalArgument("project", "The project file (.pcn) to open.", "[project]");

    CommandLine line;
    if (!parser.parse(withLongOptions(arguments))) {
        line.action = CommandLine::Action::Error;
        line.text = parser.errorText();
        return line;
    }
    if (parser.isSet(help)) {
        line.action = CommandLine::Action::Help;
        // Parsed before the application object exists, the parser does not
        // know the program's name.
        line.text = parser.helpText().replace("<executable_name>", "pcn");
        return line;
    }
    if (parser.isSet(version)) {
        line.action = CommandLine::Action::Version;
        line.text = QCoreApplication::applicationName() + " " + QCoreApplication::applicationVersion() + "\n";
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        line.action = CommandLine::Action::Error;
        line.text = "Only one project can be opened.";
        return line;
    }
    if (!files.isEmpty()) line.project = files.front();
    line.printTo = parser.value(printTo);
    line.print = parser.isSet(print) || parser.isSet(printTo);
    line.automation = parser.isSet(automation);
    line.embedding = parser.isSet(embedding);
    if (line.print && line.project.isEmpty()) {
        line.action = CommandLine::Action::Error;
        line.text = "Printing needs a project file.";
    }
    return line;
}

int AnswerWithoutWindow(const CommandLine& line) {
    switch (line.action) {
        case CommandLine::Action::Run: return -1;
        case CommandLine::Action::Help:
        case CommandLine::Action::Version: std::fputs(qPrintable(line.text), stdout); return 0;
        case CommandLine::Action::Error: std::fprintf(stderr, "pcn: %s\n", qPrintable(line.text)); return 2;
    }
    return -1;
}

}  // namespace pcn::gui
