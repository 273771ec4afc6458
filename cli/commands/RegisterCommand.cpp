// parcelon register / unregister: call a component's own DllRegisterServer
// or DllUnregisterServer (a Linux shared object in this process, a Windows
// component through Wine's regsvr32).

#include <memory>

#include "cli/Command.h"
#include "web/Registration.h"

namespace {

void addRegistration(CLI::App& app, pcn::cli::Context& ctx, const char* name, const char* help, bool unregister) {
    auto path = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand(name, help);
    cmd->add_option("COMPONENT", *path, "Control or library (.ocx, .dll, .so)")->required();
    cmd->callback([path, unregister, &ctx] {
        bool ok = unregister ? pcn::UnregisterComponent(*path, ctx.ui()) : pcn::RegisterComponent(*path, ctx.ui());
        ctx.exitCode = ok ? 0 : 1;
    });
}

void setupRegister(CLI::App& app, pcn::cli::Context& ctx) {
    addRegistration(app, ctx, "register",
                    "Register a component by calling its DllRegisterServer (Windows components through Wine)", false);
}

void setupUnregister(CLI::App& app, pcn::cli::Context& ctx) {
    addRegistration(app, ctx, "unregister",
                    "Unregister a component by calling its DllUnregisterServer (Windows components through Wine)",
                    true);
}

}  // namespace

PCN_CLI_COMMAND("register", setupRegister);
PCN_CLI_COMMAND("unregister", setupUnregister);
