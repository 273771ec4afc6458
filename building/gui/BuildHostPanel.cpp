#include "building/gui/BuildHostPanel.h"

#include <QEventLoop>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

#include "platform/Numbers.h"
#include "distribution/UserInterface.h"
#include "platform/SettingsStore.h"

namespace pcn::gui {

// The build's messages and questions, asked on the UI thread. Once the host
// is closing they are no longer shown: questions get their default answer.
class BuildHostPanel::HostedUserInterface : public UserInterface {
public:
    HostedUserInterface(UserInterface& shown, QObject& uiThreadObject) : shown_(shown), context_(uiThreadObject) {}

    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override {
        Answer answer = defaultAnswer;
        onUiThread([&] { answer = shown_.message(text, caption, icon, buttons, defaultAnswer); });
        return answer;
    }
    void errorDetails(std::string_view mainText, std::string_view details) override {
        onUiThread([&] { shown_.errorDetails(mainText, details); });
    }

    void setSilenced(bool silenced) { silenced_ = silenced; }

private:
    // Whether to show is decided on the UI thread, when the call gets there:
    // a host that began closing meanwhile shows nothing.
    template <typename F>
    void onUiThread(F&& show) {
        auto guarded = [this, &show] {
            if (!silenced_) show();
        };
        if (QThread::currentThread() == context_.thread())
            guarded();
        else if (!silenced_)
            QMetaObject::invokeMethod(&context_, guarded, Qt::BlockingQueuedConnection);
    }

    UserInterface& shown_;
    QObject& context_;
    std::atomic<bool> silenced_{false};
};

BuildHostPanel::BuildHostPanel(UserInterface& ui, SettingsStore& settings, QWidget* parent)
    : QWidget(parent), ui_(ui), settings_(settings), hostedUi_(std::make_unique<HostedUserInterface>(ui, *this)) {
    setObjectName("buildHostPanel");
    createControls();
    resetControls();
}

BuildHostPanel::~BuildHostPanel() {
    // The host is going: nobody listens to the end any more.
    blockSignals(true);
    endBuildBeforeClosing();
}

void BuildHostPanel::createControls() {
    group_ = new QGroupBox(tr("Process Information"), this);
    group_->setObjectName("processGroup");

    pictures_ = new BuildAnimationPictures(group_);
    movie_ = new BuildAnimationMovie(group_);
    movie_->hide();
    auto* pictureRow = new QHBoxLayout;
    pictureRow->addStretch();
    pictureRow->addWidget(pictures_);
    pictureRow->addWidget(movie_);
    pictureRow->addStretch();

    progressBar_ = new QProgressBar(group_);
    progressBar_->setObjectName("progressBar");
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    percentText_ = new QLabel(group_);
    percentText_->setObjectName("percentText");
    percentText_->setMinimumWidth(percentText_->fontMetrics().horizontalAdvance("100 %") + 4);
    percentText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progressBar_, 1);
    progressRow->addWidget(percentText_);

    auto makeValue = [this](const char* name) {
        auto* label = new QLabel(group_);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    processedBytes_ = makeValue("processedBytes");
    compressedBytes_ = makeValue("compressedBytes");
    compressionSaving_ = makeValue("compressionSaving");
    auto* counts = new QFormLayout;
    counts->addRow(tr("Total bytes Processed:"), processedBytes_);
    counts->addRow(tr("Total Compressed Size:"), compressedBytes_);
    counts->addRow(tr("Compression:"), compressionSaving_);

    stepText_ = new QLabel(group_);
    stepText_->setObjectName("stepText");
    // Long paths must not widen the host window.
    stepText_->setMinimumWidth(1);
    stepText_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* inGroup = new QVBoxLayout(group_);
    inGroup->addLayout(pictureRow);
    inGroup->addLayout(progressRow);
    inGroup->addLayout(counts);
    inGroup->addWidget(stepText_);

    phaseText_ = new QLabel(this);
    phaseText_->setObjectName("phaseText");
    QFont bold = phaseText_->font();
    bold.setBold(true);
    phaseText_->setFont(bold);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group_);
    layout->addWidget(phaseText_);
    layout->addStretch();
}

void BuildHostPanel::resetControls() {
    progressBar_->setValue(0);
    percentText_->setText("0 %");
    processedBytes_->setText("0");
    compressedBytes_->setText("0");
    compressionSaving_->setText("0%");
    stepText_->setText(tr("Adding:"));
    stepText_->setToolTip({});
    phaseText_->setText(tr("Building..."));
}

bool BuildHostPanel::startBuild(CCabObj& package) {
    resetControls();
    {
        std::lock_guard lock(progressMutex_);
        latestProgress_ = {};
        progressPending_ = false;
    }
    animationMode_ = buildAnimationMode(settings_.readInt("Settings", "Animation", 0));
    startAnimation();
    building_ = true;
    hostedUi_->setSilenced(false);
    const bool started = worker_.start(
        package, *this, *hostedUi_, [this](bool success) { post([this, success] { buildFinished(success); }); },
        &settings_);
    if (!started) {
        stepText_->setText(kBuildFailed);
        phaseText_->setText(tr("Another package is being built."));
        post([this] { buildFinished(false); });
    }
    return started;
}

void BuildHostPanel::requestAbort() {
    if (!building_) return;
    // What fails from here on is the stop the user asked for: the step line says so.
    hostedUi_->setSilenced(true);
    abortRequested = 1;
    // The pictures stop with the request, not with the worker.
    stopAnimation();
}

void BuildHostPanel::endBuildBeforeClosing() {
    if (!building_) return;
    hostedUi_->setSilenced(true);
    requestAbort();
    QEventLoop loop;
    waitingForEnd_ = &loop;
    while (building_) loop.exec();
    waitingForEnd_ = nullptr;
}

void BuildHostPanel::buildFinished(bool success) {
    building_ = false;
    stopAnimation();
    worker_.wait();
    // The cabinet writer stops on the request and leaves the last build's files in place.
    if (!success && abortRequested.load()) {
        stepText_->setText(tr(kBuildCancelled));
        phaseText_->setText(" ");
    }
    if (waitingForEnd_) waitingForEnd_->quit();
    emit buildEnded(success);
}

void BuildHostPanel::startAnimation() {
    pictures_->setVisible(animationMode_ != BuildAnimationMode::Movie);
    movie_->setVisible(animationMode_ == BuildAnimationMode::Movie);
    pictures_->stop();
    movie_->stop();
    if (animationMode_ == BuildAnimationMode::Custom) pictures_->start();
    if (animationMode_ == BuildAnimationMode::Movie) movie_->start();
}

void BuildHostPanel::stopAnimation() {
    pictures_->stop();
    movie_->stop();
}

void BuildHostPanel::post(std::function<void()> update) {
    QMetaObject::invokeMethod(this, std::move(update), Qt::QueuedConnection);
}

void BuildHostPanel::showStep(std::string_view text) {
    post([this, text = QString::fromUtf8(text.data(), qsizetype(text.size()))] { stepText_->setText(text); });
}

void BuildHostPanel::showPhase(std::string_view title) {
    post([this, title = QString::fromUtf8(title.data(), qsizetype(title.size()))] { phaseText_->setText(title); });
}

void BuildHostPanel::showCurrentFile(std::string_view path) {
    post([this, path = QString::fromUtf8(path.data(), qsizetype(path.size()))] { stepText_->setToolTip(path); });
}

void BuildHostPanel::showProgress(const BuildProgress& progress) {
    std::lock_guard lock(progressMutex_);
    latestProgress_ = progress;
    if (progressPending_) return;
    progressPending_ = true;
    post([this] { applyLatestProgress(); });
}

void BuildHostPanel::showPercent(uint32_t percent) {
    post([this, percent] { applyPercent(percent); });
}

void BuildHostPanel::applyPercent(uint32_t percent) {
    progressBar_->setValue(int(std::min<uint32_t>(percent, 100)));
    percentText_->setText(QString("%1%").arg(percent));
}

void BuildHostPanel::applyLatestProgress() {
    BuildProgress progress;
    {
        std::lock_guard lock(progressMutex_);
        progress = latestProgress_;
        progressPending_ = false;
    }
    applyPercent(progress.percent);
    processedBytes_->setText(QString::fromStdString(groupDigits(progress.processedBytes)));
    compressedBytes_->setText(QString::fromStdString(groupDigits(progress.compressedBytes)));
    compressionSaving_->setText(QString("%1%").arg(progress.savingPercent()));
}

}  // namespace pcn::gui
