// parcelon info FILE: what the component reader sees in a file: version,
// translation, self-registration, exports, imports and type library.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/Json.h"
#include "cli/Output.h"
#include "cli/Usage.h"
#include "platform/pe/Component.h"
#include "platform/pe/PeImage.h"

namespace {

using pcn::pe::ComponentReport;

void line(const char* label, const std::string& value) { std::printf("%-20s %s\n", label, value.c_str()); }

std::string joined(const std::vector<std::string>& items) {
    if (items.empty()) return "none";
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

std::string dotted(const uint16_t (&parts)[4]) {
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
           std::to_string(parts[3]);
}

std::string quoted(const std::string& text) { return text.empty() ? std::string() : " \"" + text + "\""; }

void printImage(const ComponentReport& report) {
    std::string format = report.format == ComponentReport::Format::Pe32 ? "PE32" : "PE32+";
    line("Format:", format + " (" + pcn::pe::machineName(report.machine) + "), " + (report.dll ? "library" : "program"));

    if (!report.version) {
        line("Version:", "none (no version resource)");
    } else {
        std::string fixed = report.fixedInfo ? " (fixed " + dotted(report.fixedInfo->fileVersion) + ")" : "";
        if (report.version->translation) {
            line("Version:", "\"" + report.version->fileVersion + "\"" + fixed);
            char pair[16];
            std::snprintf(pair, sizeof pair, "%04X %04X", report.version->translation->language,
                          report.version->translation->codePage);
            line("Translation:", pair);
        } else {
            line("Version:", "\"\" (no translation entry)" + fixed);
            line("Translation:", "none");
        }
    }

    std::vector<std::string> reasons;
    if (report.version && report.version->oleSelfRegister) reasons.push_back("OLESelfRegister");
    if (report.exportsRegisterServer) reasons.push_back("exports DllRegisterServer");
    line("Self-registration:", reasons.empty() ? "no" : "yes (" + joined(reasons) + ")");
    line("DllRegisterServer:", report.exportsRegisterServer ? "exported" : "not exported");
    line("DllUnregisterServer:", report.exportsUnregisterServer ? "exported" : "not exported");
    line("Exports:", joined(report.exports));
    line("Imports:", joined(report.imports));
    if (!report.delayLoadImports.empty()) line("Delay-load imports:", joined(report.delayLoadImports));
}

void printTypeLibrary(const std::optional<pcn::pe::TypeLibrary>& library) {
    if (!library) {
        line("Type library:", "none");
        return;
    }
    line("Type library:", library->libraryId.registryText() + " " + library->name + " " +
                              std::to_string(library->majorVersion) + "." + std::to_string(library->minorVersion) +
                              quoted(library->documentation));
    if (library->types.empty()) {
        line("First type:", "none (no type descriptions)");
    } else {
        const auto& first = library->types.front();
        line("First type:", first.guid.registryText() + " " + pcn::pe::typeKindName(first.kind) + " " + first.name);
    }
    auto coclasses = library->coclasses();
    if (coclasses.empty()) line("Coclasses:", "none");
    const char* label = "Coclasses:";
    for (const auto* coclass : coclasses) {
        line(label, coclass->guid.registryText() + " " + coclass->name + quoted(coclass->documentation));
        label = "";
    }
}

void writeTypeLibraryJson(pcn::cli::JsonWriter& json, const std::optional<pcn::pe::TypeLibrary>& library) {
    json.key("typeLibrary");
    if (!library) {
        json.null();
        return;
    }
    json.beginObject()
        .field("id", library->libraryId.registryText())
        .field("name", library->name)
        .field("version", std::to_string(library->majorVersion) + "." + std::to_string(library->minorVersion))
        .field("documentation", library->documentation);
    json.key("firstType");
    if (library->types.empty()) {
        json.null();
    } else {
        const auto& first = library->types.front();
        json.beginObject()
            .field("guid", first.guid.registryText())
            .field("kind", pcn::pe::typeKindName(first.kind))
            .field("name", first.name)
            .endObject();
    }
    json.key("coclasses").beginArray();
    for (const auto* coclass : library->coclasses())
        json.beginObject()
            .field("guid", coclass->guid.registryText())
            .field("name", coclass->name)
            .field("documentation", coclass->documentation)
            .endObject();
    json.endArray().endObject();
}

void writeImageJson(pcn::cli::JsonWriter& json, const ComponentReport& report) {
    json.field("machine", pcn::pe::machineName(report.machine)).field("library", report.dll);
    json.key("version");
    if (!report.version) {
        json.null();
    } else {
        json.beginObject().field("fileVersion", report.version->fileVersion);
        if (report.fixedInfo) json.field("fixedFileVersion", dotted(report.fixedInfo->fileVersion));
        if (report.version->translation)
            json.field("language", int(report.version->translation->language))
                .field("codePage", int(report.version->translation->codePage));
        json.endObject();
    }
    json.field("oleSelfRegister", report.version && report.version->oleSelfRegister)
        .field("exportsDllRegisterServer", report.exportsRegisterServer)
        .field("exportsDllUnregisterServer", report.exportsUnregisterServer)
        .array("exports", report.exports)
        .array("imports", report.imports)
        .array("delayLoadImports", report.delayLoadImports);
}

void printJson(const std::string& file, const ComponentReport& report) {
    pcn::cli::JsonWriter json;
    json.beginObject().field("file", file);
    switch (report.format) {
        case ComponentReport::Format::TypeLibrary: json.field("format", "type library"); break;
        case ComponentReport::Format::Pe32: json.field("format", "PE32"); break;
        case ComponentReport::Format::Pe32Plus: json.field("format", "PE32+"); break;
        case ComponentReport::Format::Unknown: break;
    }
    if (report.format != ComponentReport::Format::TypeLibrary) writeImageJson(json, report);
    writeTypeLibraryJson(json, report.typeLibrary);
    json.endObject().print();
}

int showInfo(const std::string& file) {
    int error = 0;
    auto mapped = pcn::pe::ComponentFile::open(file, &error);
    if (!mapped) return pcn::cli::fail("cannot read " + file + ": " + std::strerror(error));
    ComponentReport report = pcn::pe::describeComponent(mapped->bytes());
    if (report.format == ComponentReport::Format::Unknown)
        return pcn::cli::fail(file + " is neither a Windows component (PE image) nor a type library");
    if (report.format == ComponentReport::Format::TypeLibrary && !report.typeLibrary)
        return pcn::cli::fail(file + " is a damaged type library");
    if (pcn::cli::output().json) {
        printJson(file, report);
        return 0;
    }
    switch (report.format) {
        case ComponentReport::Format::Unknown: break;
        case ComponentReport::Format::TypeLibrary:
            line("File:", file);
            line("Format:", "type library (MSFT)");
            break;
        case ComponentReport::Format::Pe32:
        case ComponentReport::Format::Pe32Plus:
            line("File:", file);
            printImage(report);
            break;
    }
    printTypeLibrary(report.typeLibrary);
    return 0;
}

void setupInfo(CLI::App& app, pcn::cli::Context& context) {
    auto* command = app.add_subcommand(
        "info", "Show what Parcelon reads from a component (.ocx, .dll, .exe) or type library (.tlb): version,\n"
                "translation, self-registration, exports, imports, type library and coclasses");
    auto file = std::make_shared<std::string>();
    command->add_option("FILE", *file, "The component or type library")->required();
    pcn::cli::addJsonFlag(*command);
    pcn::cli::addExamples(*command, {"parcelon info Control.ocx", "parcelon info Control.tlb --json"});
    command->callback([&context, file] { context.exitCode = showInfo(*file); });
}

}  // namespace

PCN_CLI_COMMAND("info", setupInfo);
