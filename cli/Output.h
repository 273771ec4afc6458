#pragma once
// How parcelon talks to its caller, set once from the global flags: results
// on stdout (text, or JSON with --json), everything else on stderr, progress
// lines only where someone watches them (--progress=auto: stderr is a
// terminal), -q keeping stderr to errors and -v adding detail.

#include <string>
#include <string_view>

namespace pcn::cli {

enum class ProgressMode { Auto, Always, Never };
enum class Verbosity { Quiet, Normal, Verbose };

struct OutputOptions {
    ProgressMode progress = ProgressMode::Auto;
    Verbosity verbosity = Verbosity::Normal;
    bool json = false;
};

OutputOptions& output();

// Whether progress lines are drawn, and whether they are redrawn in place.
bool showsProgress();
bool stderrIsTerminal();
// The terminal's width in columns (stderr's, else $COLUMNS, else 80).
int terminalColumns();

// A message on stderr unless --quiet; detail only with --verbose.
void note(std::string_view text);
void detail(std::string_view text);

// The longest prefix of text that fits in columns cells without cutting a
// UTF-8 sequence in two.
std::string fitToColumns(std::string_view text, size_t columns);

}  // namespace pcn::cli
