#include "cli/PackageJson.h"

#include <ctime>

#include "app/core/PackageReport.h"
#include "model/CCabObj.h"

namespace pcn::cli {
namespace {

const char* kindName(int32_t kind) {
    switch (kind) {
        case kKindCabinet: return "Cabinet";
        case kKindSelfExtractingCabinet: return "Self Extracting Cabinet";
        case kKindSelfExtractingWizard: return "Self Extracting Wizard";
        case kKindWebInf: return "Web Inf Package";
    }
    return "unknown";
}

// 2026-12-09T10:00:00Z, or null for a package never built.
void writeTime(JsonWriter& json, std::time_t when) {
    if (when == 0) {
        json.null();
        return;
    }
    char text[32];
    std::tm utc {};
    gmtime_r(&when, &utc);
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    json.value(text);
}

}  // namespace

void writePackageSummary(JsonWriter& json, const CCabObj& p) {
    json.field("file", p.m_strPackageFile).field("loaded", !p.m_bNotLoaded);
    if (p.m_bNotLoaded) return;
    json.field("product", p.m_strProduct).field("kind", kindName(p.m_nKind));
}

void writePackageDetails(JsonWriter& json, const CCabObj& p) {
    writePackageSummary(json, p);
    json.field("company", p.m_strCompany)
        .field("version", p.m_strVersion)
        .field("project", p.m_strProjectName)
        .field("sourceFolder", p.m_strSourceFolder)
        .field("targetFolder", p.m_strTargetFolder);
    json.key("files").beginArray();
    const CFileObj& files = *p.m_pFiles;
    for (size_t i = 0; i < files.m_arrPath.size(); ++i) {
        json.beginObject().field("source", files.m_arrPath[i]);
        if (i < files.m_arrDest.size()) json.field("destination", files.m_arrDest[i]);
        if (i < files.m_arrRegister.size()) json.field("register", files.m_arrRegister[i] == "1");
        json.endObject();
    }
    json.endArray();
    json.key("report").beginArray();
    for (const ReportRow& row : PackageReportRows(p))
        if (!row.label.empty() || !row.value.empty())
            json.beginObject().field("label", row.label).field("value", row.value).endObject();
    json.endArray();
    json.key("lastBuild").beginObject().key("time");
    writeTime(json, p.m_timeBuilt);
    json.field("needsRebuild", p.m_bRebuild != 0).key("outputs").beginArray();
    for (const auto& out : p.m_arrOutputFiles) json.value(p.m_strBuildFolder + out);
    json.endArray().endObject();
}

}  // namespace pcn::cli
