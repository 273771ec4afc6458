#include "distribution/ErrorReport.h"

#include <atomic>
#include <cstring>

namespace pcn {
namespace {

std::atomic<TransferErrorText> transferLookup{nullptr};

constexpr int kFirstTransferError = 12000;

}  // namespace

void setTransferErrorTexts(TransferErrorText lookup) { transferLookup = lookup; }

std::string systemErrorText(int error) {
    if (error == 0) return {};
    if (error >= kFirstTransferError) {
        TransferErrorText lookup = transferLookup;
        return lookup ? lookup(error) : std::string();
    }
    // The English text whatever the user's language, and none for a number
    // the system does not know.
    const char* text = strerrordesc_np(error);
    return text ? text : std::string();
}

std::string errorNumberText(int error) { return "Error " + std::to_string(error); }

void reportWithErrorDetails(UserInterface& ui, std::string_view message, int lastError) {
    std::string details;
    if (lastError != 0) {
        details = systemErrorText(lastError);
        if (details.empty()) details = errorNumberText(lastError);
    }
    ui.errorDetails(message, details);
}

bool reportLastError(UserInterface& ui, std::string_view message, int lastError) {
    if (lastError == 0) return false;
    std::string text = systemErrorText(lastError);
    if (text.empty()) return false;
    ui.errorDetails(errorNumberText(lastError) + "\n\n" + text, message);
    return true;
}

void reportGivenError(UserInterface& ui, std::string_view message, int error) {
    reportGivenError(ui, message, error, systemErrorText(error));
}

void reportGivenError(UserInterface& ui, std::string_view message, int error, std::string_view errorText) {
    std::string details = errorText.empty() ? std::string() : errorNumberText(error) + "\r\n\r\n" + std::string(errorText);
    ui.errorDetails(message, details);
}

}  // namespace pcn
