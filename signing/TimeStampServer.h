#pragma once
// The time-stamp server a TimeStampCommand template names: an Authenticode
// server ("-t URL") or an RFC 3161 one ("-ts URL"). The pages that offer the
// choice read it from the template and write it back into it, leaving the
// rest of the template (attempts, waits, a local authority) as it was.

#include <optional>
#include <string>
#include <string_view>

namespace pcn {

struct TimeStampServer {
    enum class Kind { Authenticode, Rfc3161 };
    Kind kind = Kind::Authenticode;
    std::string url;

    bool operator==(const TimeStampServer&) const = default;
};

// The first "-t" or "-ts" option of the template and its value; nothing
// when the template names no server (a local authority, say).
std::optional<TimeStampServer> timeStampServerOf(std::string_view templateText);

// The template with that option and its value replaced by the server; one is
// added before "@FileName@" (or at the end) when the template has none.
std::string withTimeStampServer(std::string_view templateText, const TimeStampServer& server);

// Why a server address cannot go into a template (blanks, quotes and "@"
// would change the command), or empty when it can.
std::string timeStampUrlProblem(std::string_view url);

}  // namespace pcn
