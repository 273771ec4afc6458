#include "cli/Output.h"

#include <cstdio>
#include <cstdlib>
#include <sys/ioctl.h>
#include <unistd.h>

namespace pcn::cli {

OutputOptions& output() {
    static OutputOptions options;
    return options;
}

bool stderrIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

bool showsProgress() {
    switch (output().progress) {
        case ProgressMode::Always: return true;
        case ProgressMode::Never: return false;
        case ProgressMode::Auto: return output().verbosity != Verbosity::Quiet && stderrIsTerminal();
    }
    return false;
}

int terminalColumns() {
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS")) {
        const int n = std::atoi(columns);
        if (n > 0) return n;
    }
    return 80;
}

void note(std::string_view text) {
    if (output().verbosity == Verbosity::Quiet) return;
    std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
}

void detail(std::string_view text) {
    if (output().verbosity != Verbosity::Verbose) return;
    std::fprintf(stderr, "%.*s\n", int(text.size()), text.data());
}

std::string fitToColumns(std::string_view text, size_t columns) {
    size_t cells = 0, end = 0;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (cells + 1 > columns || i + length > text.size()) break;
        i += length;
        ++cells;
        end = i;
    }
    return std::string(text.substr(0, end));
}

}  // namespace pcn::cli
