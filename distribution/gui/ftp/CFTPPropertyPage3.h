#pragma once
// "Sending Files": starts the upload through DoFTP and shows what the
// library reports (status line, the current file's and the overall percent
// and bars) while a picture plays; Cancel asks the library to stop.

#include <memory>

#include "distribution/gui/ftp/CFTPPropertyPage.h"
#include "ftp/FtpTransfer.h"

class QProgressBar;

namespace pcn::gui {

class SendAnimation;
class BuildAnimationMovie;

class CFTPPropertyPage3 : public CFTPPropertyPage, public FtpTransferPage {
    Q_OBJECT
public:
    explicit CFTPPropertyPage3(CFTPPropertySheet& sheet);
    ~CFTPPropertyPage3() override;

    void OnSetActive() override;
    bool OnQueryCancel() override;
    bool OnWizardFinish() override { return false; }
    bool OnWizardNext() override;

    bool isSending() const { return request_ != nullptr; }
    QString statusText() const;

    // From the transfer thread.
    void setStatus(const std::string& text) override;
    void setCurrentProgress(uint32_t percent) override;
    void setOverallProgress(uint32_t percent) override;
    void showFtpError(const std::string& mainText, const std::string& details) override;
    void showMessage(const std::string& text) override;
    void transferEnded(FtpTransferResult result) override;

signals:
    // The end report has been shown (tests wait for it).
    void sendingEnded(int result);

private:
    void send();
    void startTransfer();
    void onTransferEnded(FtpTransferResult result);
    void startAnimation();
    void stopAnimation();

    QLabel* status_;
    QLabel* currentLabel_;
    QLabel* currentPercent_;
    QProgressBar* currentBar_;
    QLabel* overallPercent_;
    QProgressBar* overallBar_;
    SendAnimation* pictures_;
    BuildAnimationMovie* movie_;
    std::unique_ptr<FtpTransferRequest> request_;
};

}  // namespace pcn::gui
