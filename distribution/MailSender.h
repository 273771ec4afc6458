#pragma once
// Mail through the desktop's composer: `xdg-email` opens a new message with
// the chosen files attached, and the user writes and sends it there.

#include <string>
#include <vector>

#include "distribution/UserInterface.h"

namespace pcn {

inline constexpr const char* kMailProgram = "xdg-email";
inline constexpr const char* kMailUnavailable = "Unable to load mail system support.";
inline constexpr const char* kMailFailed = "Send Mail failed to send message.";

// Full path of xdg-email on PATH; empty when there is none.
std::string findMailProgram();

// Whether mail can be sent at all: looked up once per run and remembered.
bool mailSupportPresent();

// Opens the composer with the subject and the files attached (none is
// allowed). Failures are told through ui; true when the composer opened.
bool sendMail(const std::string& subject, const std::vector<std::string>& attachments, UserInterface& ui);

}  // namespace pcn
