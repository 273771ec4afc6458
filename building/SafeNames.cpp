#include "building/SafeNames.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "building/BuildSupport.h"
#include "building/CabinetWriter.h"
#include "model/CCabObj.h"

namespace pcn {
namespace {

bool validUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > s.size()) return false;
        uint32_t code = length == 1 ? c : c & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and code points past Unicode's end.
        static constexpr std::array<uint32_t, 5> smallest{0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Windows reserves device names whatever extension follows them.
bool reservedDeviceName(std::string_view component) {
    std::string base = upper(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static constexpr std::array<std::string_view, 4> devices{"CON", "PRN", "AUX", "NUL"};
    if (std::find(devices.begin(), devices.end(), base) != devices.end()) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' &&
           base[3] <= '9';
}

std::string componentReason(std::string_view component) {
    if (component.empty()) return "an empty folder name";
    if (component == "." || component == "..") return "a \"" + std::string(component) + "\" component";
    for (char c : component) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return "a control character";
        if (c == ':') return "a \":\"";
        if (std::string_view("<>\"|?*").find(c) != std::string_view::npos)
            return std::string("a \"") + c + "\", which Windows does not allow in names";
    }
    if (reservedDeviceName(component))
        return "the name \"" + std::string(component.substr(0, component.find('.'))) + "\", which Windows reserves";
    return {};
}

}  // namespace

std::string UnsafeStoredNameReason(std::string_view stored) {
    if (!validUtf8(stored)) return "a name that is not UTF-8";
    size_t at = 0;
    for (;;) {
        const size_t end = stored.find('\\', at);
        std::string reason = componentReason(stored.substr(at, end == std::string_view::npos ? end : end - at));
        if (!reason.empty()) return reason;
        if (end == std::string_view::npos) return {};
        at = end + 1;
    }
}

std::string UnsafeEntryReason(std::string_view sourcePath, std::string_view stored) {
    const size_t slash = sourcePath.rfind('/');
    const std::string_view linuxName = sourcePath.substr(slash == std::string_view::npos ? 0 : slash + 1);
    if (linuxName.find('\\') != std::string_view::npos) return "a backslash in its name, which Windows takes for a folder";
    return UnsafeStoredNameReason(stored);
}

std::vector<UnsafeName> FindUnsafeNames(const CCabObj& package) {
    std::vector<std::string> paths;
    for (int i = 0; i < package.GetFileCount(); ++i) paths.push_back(package.GetFilePath(i));
    if (BuildKind(package) == kKindSelfExtractingWizard && package.m_bLicense && !package.m_strLicenseFile.empty())
        paths.push_back(package.m_strLicenseFile);

    std::vector<UnsafeName> unsafe;
    for (const std::string& path : paths) {
        std::string reason = UnsafeEntryReason(path, nameInCabinet(package, path));
        if (!reason.empty()) unsafe.push_back({path, std::move(reason)});
    }
    return unsafe;
}

std::string UnsafeNamesMessage(const std::vector<UnsafeName>& names) {
    std::string text = "These files have names that Windows cannot use safely, so the package is not built:\n";
    for (const UnsafeName& name : names) text += "\n" + name.path + "  (" + name.reason + ")";
    text += "\n\nRename them or remove them from the package.";
    return text;
}

}  // namespace pcn
