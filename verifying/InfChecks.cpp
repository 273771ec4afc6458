#include "verifying/InfChecks.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "model/CCabObj.h"
#include "model/CWebObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/pe/Component.h"
#include "platform/pe/Text.h"
#include "verifying/CabinetSet.h"
#include "web/WebInf.h"

namespace pcn::verifying {

namespace fs = std::filesystem;
using pe::equalsIgnoringAsciiCase;

namespace {

constexpr size_t kMaxTextFile = 4u << 20;
// The licence manager's object on the page is not the component.
constexpr std::string_view kLicenceManagerClassId = "5220cb21-c88d-11cf-b347-00aa00a28331";


std::string trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

bool examinedForVersion(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot);
    for (std::string_view known : {".EXE", ".OCX", ".DLL", ".COM"})
        if (equalsIgnoringAsciiCase(ext, known)) return true;
    return false;
}

bool readText(const std::string& path, std::string& text, std::string& why) {
    int error = 0;
    if (readRegularFile(path, text, error, kMaxTextFile)) return true;
    why = std::strerror(error);
    return false;
}

// The braces and case of a class id do not matter to the browser.
std::string plainClassId(std::string_view id) {
    std::string plain;
    for (char c : id)
        if (c != '{' && c != '}') plain += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return trimmed(plain);
}

// The value of every attribute `name="..."` in the page, in order.
std::vector<std::string> attributeValues(std::string_view html, std::string_view name) {
    std::vector<std::string> values;
    const std::string opening = std::string(name) + "=\"";
    for (size_t at = 0; (at = html.find(opening, at)) != std::string_view::npos;) {
        at += opening.size();
        const size_t end = html.find('"', at);
        if (end == std::string_view::npos) break;
        values.emplace_back(html.substr(at, end - at));
        at = end;
    }
    return values;
}

void checkVersion(const InfSection& section, const std::string& carried, const std::string& subject,
                  CheckReport& report, size_t& mismatches) {
    const std::string given = section.value("FileVersion").value_or("(none)");
    if (given == carried) return;
    report.fails(subject, "gives " + section.name + " the version " + given + ", but the file carries " + carried);
    ++mismatches;
}

void checkHtmlPage(const CCabObj& package, const InfText& inf, const std::string& componentName, CheckReport& report) {
    const std::string path = WebHtmlFilePath(package);
    const std::string subject = fs::path(path).filename().string();
    std::string html, why;
    if (!readText(path, html, why)) {
        report.fails(subject, "the package asks for an HTML page, but it cannot be read: " + why);
        return;
    }
    const std::string infName = fs::path(WebInfFilePath(package)).filename().string();
    const std::vector<std::string> codeBases = attributeValues(html, "codebase");
    if (codeBases.empty())
        report.fails(subject, "the page has no code base");
    for (const std::string& codeBase : codeBases) {
        if (fileNamePart(codeBase) == infName)
            report.holds(subject, "the code base names the INF written beside it, " + infName);
        else
            report.fails(subject, "the code base " + codeBase + " names " + fileNamePart(codeBase) +
                                      ", not the INF written beside it, " + infName);
    }
    std::vector<std::string> classIds;
    for (const std::string& value : attributeValues(html, "classid")) {
        std::string id = value.substr(value.find(':') == std::string::npos ? 0 : value.find(':') + 1);
        if (!equalsIgnoringAsciiCase(id, kLicenceManagerClassId)) classIds.push_back(id);
    }
    const InfSection* component = inf.section(componentName);
    const std::string infId = component ? plainClassId(component->value("clsid").value_or("")) : std::string();
    for (const std::string& id : classIds) {
        if (!infId.empty() && plainClassId(id) == infId)
            report.holds(subject, "the class id is the one the INF gives " + componentName + ", {" + infId + "}");
        else if (infId.empty())
            report.fails(subject, "the page names the class " + id + ", but the INF gives " + componentName + " no clsid");
        else
            report.fails(subject, "the page names the class " + id + ", but the INF gives " + componentName + " {" + infId + "}");
    }
    if (classIds.empty()) report.fails(subject, "the page names no class for the component");
}

}  // namespace

std::optional<std::string> InfSection::value(std::string_view key) const {
    for (const auto& [k, v] : keys)
        if (equalsIgnoringAsciiCase(k, key)) return v;
    return std::nullopt;
}

const InfSection* InfText::section(std::string_view name) const {
    for (const InfSection& s : sections)
        if (equalsIgnoringAsciiCase(s.name, name)) return &s;
    return nullptr;
}

InfText parseInf(std::string_view text) {
    InfText inf;
    enum { Other, AddCode, File } in = Other;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string line = trimmed(text.substr(at, end - at));
        at = end + 1;
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = line.substr(1, line.size() - 2);
            if (equalsIgnoringAsciiCase(name, "Add.Code")) {
                in = AddCode;
            } else if (equalsIgnoringAsciiCase(name, "Version")) {
                in = Other;
            } else {
                in = File;
                inf.sections.push_back({name, {}});
            }
            continue;
        }
        const size_t eq = line.find('=');
        const std::string key = trimmed(line.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : trimmed(line.substr(eq + 1));
        if (in == AddCode) inf.addCode.push_back(key);
        else if (in == File) inf.sections.back().keys.emplace_back(key, value);
    }
    return inf;
}

std::string versionCarried(const std::string& fileName, std::string_view bytes) {
    if (!examinedForVersion(fileName)) return "0,0,0,0";
    const auto version = pe::describeComponent(bytes).version;
    if (!version) return "0,0,0,0";
    return version->translation ? version->fileVersion : std::string();
}

// The INF at path, parsed; nullopt after failing the check with cannotRead
// and the reason.
std::optional<InfText> readInf(const std::string& path, const std::string& subject, const std::string& cannotRead,
                               CheckReport& report) {
    std::string text, why;
    if (!readText(path, text, why)) {
        report.fails(subject, cannotRead + why);
        return std::nullopt;
    }
    return parseInf(text);
}

void checkCabinetInf(const std::string& infPath, CabinetSet& set, CheckReport& report) {
    const std::string subject = fs::path(infPath).filename().string();
    const std::optional<InfText> read =
        readInf(infPath, subject, "the package asks for a cabinet INF, but it cannot be read: ", report);
    if (!read) return;
    const InfText& inf = *read;
    size_t problems = 0;
    for (const std::string& name : inf.addCode) {
        const auto& entries = set.entries();
        auto entry = std::find_if(entries.begin(), entries.end(),
                                  [&](const CabinetEntry& e) { return equalsIgnoringAsciiCase(fileNamePart(e.name), name); });
        const InfSection* section = inf.section(name);
        if (entry == entries.end()) {
            report.fails(subject, "names " + name + ", which the cabinet does not hold");
            ++problems;
            continue;
        }
        if (!section) {
            report.fails(subject, "names " + name + " in [Add.Code] but has no [" + name + "] section");
            ++problems;
            continue;
        }
        std::string bytes, problem;
        if (examinedForVersion(name) &&
            !set.readEntry(size_t(entry - entries.begin()), bytes, pe::kMaxComponentFileSize, problem)) {
            report.fails(subject, name + " in the cabinet " + problem);
            ++problems;
            continue;
        }
        checkVersion(*section, versionCarried(name, bytes), subject, report, problems);
    }
    if (problems == 0)
        report.holds(subject, "names " + std::to_string(inf.addCode.size()) +
                                  " files, all in the cabinet with the versions they carry");
}

void checkWebPackage(const CCabObj& package, CheckReport& report) {
    const std::string infPath = WebInfFilePath(package);
    const std::string subject = fs::path(infPath).filename().string();
    const std::optional<InfText> read = readInf(infPath, subject, "the web INF cannot be read: ", report);
    if (!read) return;
    const InfText& inf = *read;
    const CWebObj& web = *package.m_pWeb;
    std::vector<std::string> included;
    size_t problems = 0;
    for (size_t i = 0; i < web.m_arrDeps.size(); ++i) {
        if (i >= web.m_arrDepInclude.size() || web.m_arrDepInclude[i] == 0) continue;
        const std::string& path = web.m_arrDeps[i];
        const std::string name(fileNamePart(path));
        included.push_back(name);
        const InfSection* section = inf.section(name);
        if (!section) {
            report.fails(subject, "has no section for " + name + ", which the package includes");
            ++problems;
            continue;
        }
        int error = 0;
        const auto file = pe::ComponentFile::open(path, &error);
        if (!file) {
            report.fails(subject, "names " + name + ", but " + path + " cannot be read: " + std::strerror(error));
            ++problems;
            continue;
        }
        std::string location;
        for (const auto& [key, value] : section->keys)
            if (key.rfind("file", 0) == 0) location = value;
        if (fileNamePart(location) != name) {
            report.fails(subject, "downloads " + name + " from " + location + ", which names another file");
            ++problems;
        }
        checkVersion(*section, versionCarried(name, file->bytes()), subject, report, problems);
    }
    for (const std::string& name : inf.addCode)
        if (std::none_of(included.begin(), included.end(), [&](const std::string& n) { return equalsIgnoringAsciiCase(n, name); })) {
            report.fails(subject, "names " + name + ", which is not among the package's included files");
            ++problems;
        }
    if (problems == 0)
        report.holds(subject, "names the package's " + std::to_string(included.size()) + " included " +
                                  (included.size() == 1 ? "file, on disk with the version it carries"
                                                        : "files, each on disk with the version it carries"));
    // The page embeds the component, the first entry of the list.
    if (web.m_bHtmTemplate)
        checkHtmlPage(package, inf, web.m_arrDeps.empty() ? std::string() : fileNamePart(web.m_arrDeps[0]), report);
}

}  // namespace pcn::verifying
