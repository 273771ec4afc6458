#include "distribution/gui/ftp/CFTPPropertyPage3.h"

#include <QApplication>
#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include "app/core/CPCNDoc.h"
#include "building/gui/BuildAnimation.h"
#include "distribution/gui/QtUserInterface.h"
#include "distribution/gui/ftp/CFTPPropertySheet.h"
#include "distribution/gui/ftp/SendAnimation.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/forms/FormProblem.h"
#include "ftp/FtpLibrary.h"
#include "model/CCabObj.h"
#include "model/CFTPObj.h"
#include "platform/SettingsStore.h"
#include "platform/gui/DialogKeys.h"
#include "platform/gui/Sounds.h"

namespace pcn::gui {

CFTPPropertyPage3::CFTPPropertyPage3(CFTPPropertySheet& sheet) : CFTPPropertyPage(sheet, tr("Sending Files")) {
    setObjectName("CFTPPropertyPage3");
    auto* layout = new QVBoxLayout(this);
    pictures_ = new SendAnimation(this);
    movie_ = new BuildAnimationMovie(this);
    movie_->setObjectName("sendMovie");
    layout->addWidget(pictures_, 0, Qt::AlignHCenter);
    layout->addWidget(movie_, 0, Qt::AlignHCenter);
    pictures_->hide();
    movie_->hide();
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);
    layout->addWidget(status_);
    auto* grid = new QGridLayout;
    auto bar = [&](const char* name) {
        auto* b = new QProgressBar(this);
        b->setObjectName(name);
        b->setRange(0, 100);
        b->setTextVisible(false);
        return b;
    };
    auto percent = [&](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance("%100") + 4);
        return l;
    };
    currentLabel_ = new QLabel(tr("Current File:"), this);
    currentBar_ = bar("currentBar");
    currentPercent_ = percent("currentPercent");
    grid->addWidget(currentLabel_, 0, 0);
    grid->addWidget(currentBar_, 0, 1);
    grid->addWidget(currentPercent_, 0, 2);
    grid->addWidget(new QLabel(tr("Overall:"), this), 1, 0);
    overallBar_ = bar("overallBar");
    overallPercent_ = percent("overallPercent");
    grid->addWidget(overallBar_, 1, 1);
    grid->addWidget(overallPercent_, 1, 2);
    layout->addLayout(grid);
    layout->addStretch();
}

CFTPPropertyPage3::~CFTPPropertyPage3() {
    // The sheet cannot close while a transfer runs; should it go anyway, the
    // transfer stops and its end report finds no page.
    if (request_) request_->abortRequested.store(1);
}

QString CFTPPropertyPage3::statusText() const { return status_->text(); }

void CFTPPropertyPage3::OnSetActive() {
    CFTPObj* site = ftpSheet().chosenSite();
    const bool several = site && site->m_arrFiles.size() >= 2;
    currentLabel_->setVisible(several);
    currentBar_->setVisible(several);
    currentPercent_->setVisible(several);
    send();
}

// Retry after a failed transfer: the same files to the same site once more.
bool CFTPPropertyPage3::OnWizardNext() {
    if (!request_) send();
    return false;
}

void CFTPPropertyPage3::send() {
    sheet().setWizardButtons(CCabWizSheet::kWizDisabledFinish);
    sheet().cancelButton()->setText(tr("Cancel"));
    markForwardButton(sheet().cancelButton(), false);
    status_->clear();
    currentPercent_->clear();
    overallPercent_->clear();
    currentBar_->setValue(0);
    overallBar_->setValue(0);
    startTransfer();
}

void CFTPPropertyPage3::startAnimation() {
    switch (buildAnimationMode(context().settings.readInt("Settings", "Animation", 0))) {
        case BuildAnimationMode::Custom: pictures_->start(); break;
        case BuildAnimationMode::Movie:
            movie_->show();
            movie_->start();
            break;
        case BuildAnimationMode::None: break;
    }
}

void CFTPPropertyPage3::stopAnimation() {
    pictures_->stop();
    pictures_->hide();
    movie_->stop();
}

void CFTPPropertyPage3::startTransfer() {
    CFTPObj* site = ftpSheet().chosenSite();
    DoFtpFunction doFtp = ftpSheet().library().doFtp();
    if (!doFtp || !site) {
        context().ui.message(kFtpExportMissing, kMessageCaption, Icon::Error, Buttons::Ok, Answer::Ok);
        return;
    }
    CCabObj& sent = package();
    sent.m_pFtpSite = site;
    if (sent.m_strFtpSite != site->m_strDescription) {
        sent.m_strFtpSite = site->m_strDescription;
        ftpSheet().document().SetModifiedFlag(true);
    }
    request_ = std::make_unique<FtpTransferRequest>();
    request_->package = &sent;
    request_->page = this;
    request_->sheet = &sheet();
    startAnimation();
    if (!doFtp(request_.get())) onTransferEnded(kTransferFailed);
}

// ---- from the transfer thread -------------------------------------------------

void CFTPPropertyPage3::setStatus(const std::string& text) {
    QMetaObject::invokeMethod(this, [this, t = QString::fromStdString(text)] { status_->setText(t); },
                              Qt::QueuedConnection);
}

void CFTPPropertyPage3::setCurrentProgress(uint32_t percent) {
    QMetaObject::invokeMethod(
        this,
        [this, percent] {
            currentPercent_->setText(QString::fromStdString(percentText(percent)));
            currentBar_->setValue(int(percent));
        },
        Qt::QueuedConnection);
}

void CFTPPropertyPage3::setOverallProgress(uint32_t percent) {
    QMetaObject::invokeMethod(
        this,
        [this, percent] {
            overallPercent_->setText(QString::fromStdString(percentText(percent)));
            overallBar_->setValue(int(percent));
        },
        Qt::QueuedConnection);
}

void CFTPPropertyPage3::showFtpError(const std::string& mainText, const std::string& details) {
    // The user interface carries the dialog over to the UI thread and waits.
    if (auto* qtUi = dynamic_cast<QtUserInterface*>(&context().ui))
        qtUi->errorDetails(mainText, details, QStringLiteral("FTP Error"));
    else
        context().ui.errorDetails(mainText, details);
}

void CFTPPropertyPage3::showMessage(const std::string& text) {
    context().ui.message(text, kMessageCaption, Icon::Error, Buttons::Ok, Answer::Ok);
}

void CFTPPropertyPage3::transferEnded(FtpTransferResult result) {
    QMetaObject::invokeMethod(this, [this, result] { onTransferEnded(result); }, Qt::QueuedConnection);
}

// ---- end and cancel -------------------------------------------------------------

void CFTPPropertyPage3::onTransferEnded(FtpTransferResult result) {
    stopAnimation();
    QThread::msleep(10);
    playSound(result == kTransferFailed ? Sound::Error : Sound::Default);
    status_->setText(result == kTransferSucceeded   ? tr("File Transfer Complete.")
                     : result == kTransferCancelled ? tr("File Transfer Cancelled.")
                                                    : tr("File Transfer Failed."));
    sheet().cancelButton()->setText(tr("Close"));
    sheet().cancelButton()->setEnabled(true);
    // Enter closes a finished send; after a failure it tries again.
    markForwardButton(sheet().cancelButton(), result != kTransferFailed);
    if (result == kTransferFailed) {
        // The server may be back, the network up again: one press tries again.
        sheet().setWizardButtons(CCabWizSheet::kWizNext);
        sheet().nextButton()->setText(tr("&Retry"));
    }
    request_.reset();
    DialogKeys::settle(&sheet());
    emit sendingEnded(int(result));
}

bool CFTPPropertyPage3::OnQueryCancel() {
    if (!request_) return true;
    // The sheet stays until the library reports the end.
    request_->abortRequested.store(1);
    sheet().cancelButton()->setEnabled(false);
    return false;
}

}  // namespace pcn::gui
