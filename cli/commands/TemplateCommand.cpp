// parcelon template: the HTML page that embeds a component, as the Component
// Html Template dialog shows it, printed or saved.

#include <cstdio>
#include <memory>

#include "cli/Command.h"
#include "distribution/ErrorReport.h"
#include "platform/AtomicFile.h"
#include "web/HtmlTemplate.h"
#include "web/SiteAddress.h"

namespace {

struct TemplateArgs {
    std::string component, output;
    bool lpk = false;
};

int runTemplate(const TemplateArgs& a, pcn::cli::Context& ctx) {
    std::string html = pcn::BuildComponentTemplate(pcn::ReadComponentTemplateFacts(a.component), a.lpk,
                                                   pcn::SiteBaseAddress());
    if (a.output.empty()) {
        std::fwrite(html.data(), 1, html.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    pcn::WriteResult written = pcn::writeFileAtomically(a.output, html);
    if (!written.ok) {
        pcn::reportGivenError(ctx.ui(), "Unable to create file:\n" + a.output, written.error);
        return 1;
    }
    std::printf("%s\n", a.output.c_str());
    return 0;
}

void setupTemplate(CLI::App& app, pcn::cli::Context& ctx) {
    auto args = std::make_shared<TemplateArgs>();
    auto* cmd = app.add_subcommand("template",
                                   "Print the HTML template of a component (class identifier from its type library,\n"
                                   "code base on the site address of the signing settings), or save it");
    cmd->add_option("COMPONENT", args->component, "Control or library (.ocx, .dll)")
        ->required()
        ->check(CLI::ExistingFile);
    cmd->add_flag("--lpk", args->lpk, "Include License Manager Object (LPK)");
    cmd->add_option("-o,--output", args->output, "Save it to this file instead of printing it");
    cmd->callback([args, &ctx] { ctx.exitCode = runTemplate(*args, ctx); });
}

}  // namespace

PCN_CLI_COMMAND("template", setupTemplate);
