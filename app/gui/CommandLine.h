#pragma once
// pcn's command line: a project to open, printing a project's package reports
// (to the default printer, a named one, or a PDF file), and the automation and
// embedding switches. The Windows spellings (/p, /pt, /Automation, /Embedding,
// also with '-') are accepted beside the long options.

#include <QString>
#include <QStringList>

namespace pcn::gui {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString text;        // the help or version text, or the error
    QString project;     // the project file to open (or to print)
    bool print = false;  // print the project's package reports and quit
    QString printTo;     // printer name or .pdf file; empty: the default printer
    bool automation = false;
    bool embedding = false;

    // Started by another program to be driven over the session bus: no window
    // and no start project.
    bool automated() const { return automation || embedding; }
};

CommandLine ParseCommandLine(const QStringList& arguments);

// Help, version and mistakes need no window: prints the text (help and
// version on stdout, the mistake on stderr) and returns the exit status;
// -1 when the command line asks to run.
int AnswerWithoutWindow(const CommandLine& line);

}  // namespace pcn::gui
