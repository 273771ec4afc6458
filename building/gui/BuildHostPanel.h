#pragma once
// The controls both build hosts carry - the wizard's Build page and the
// Re-Build Project dialog: the pictures, the progress bar and percent, the
// processed and compressed byte counts, the compression saving, the step and
// phase lines - and the build they show. The build runs on the build worker;
// its reports reach the widgets only as queued calls on the UI thread, and
// its questions are asked there too.
//
// A host window must not go while its worker runs (the worker writes into
// the package and reports here): endBuildBeforeClosing() asks the build to
// stop and keeps the UI thread serving until the worker has ended. The
// destructor does the same as a last resort.

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <mutex>

#include "building/BuildDriver.h"
#include "building/BuildHost.h"
#include "building/gui/BuildAnimation.h"

class QEventLoop;
class QGroupBox;
class QLabel;
class QProgressBar;

namespace pcn {
class CCabObj;
class SettingsStore;
class UserInterface;
}  // namespace pcn

namespace pcn::gui {

// What the panel says when the user stopped the build.
inline constexpr const char* kBuildCancelled = "Build cancelled; the previous output is unchanged.";

class BuildHostPanel : public QWidget, public BuildHost {
    Q_OBJECT
public:
    // ui: where the build's messages and questions go; settings: the
    // "Animation" choice and what the build reads (stubs, signing).
    BuildHostPanel(UserInterface& ui, SettingsStore& settings, QWidget* parent = nullptr);
    ~BuildHostPanel() override;

    // Resets the controls, starts the pictures the "Animation" setting asks
    // for and a build of the package on the worker. The package must stay
    // untouched until buildEnded. False when another build runs: the panel
    // then shows the failure and buildEnded(false) follows.
    bool startBuild(CCabObj& package);
    bool isBuilding() const { return building_; }
    // The build stops before its next block of data and ends as failed.
    void requestAbort();
    // See the header comment. The build's questions get their default
    // answer and its messages are not shown once this has begun.
    void endBuildBeforeClosing();

    BuildAnimationMode animationMode() const { return animationMode_; }
    BuildAnimationPictures* pictures() const { return pictures_; }
    BuildAnimationMovie* movie() const { return movie_; }

    // Build worker side.
    void showStep(std::string_view text) override;
    void showPhase(std::string_view title) override;
    void showCurrentFile(std::string_view path) override;
    void showProgress(const BuildProgress& progress) override;
    void showPercent(uint32_t percent) override;

signals:
    // On the UI thread, after the package holds the build's outcome.
    void buildEnded(bool success);

private:
    class HostedUserInterface;

    void createControls();
    void resetControls();
    void startAnimation();
    void stopAnimation();
    void applyPercent(uint32_t percent);
    void applyLatestProgress();
    void buildFinished(bool success);
    void post(std::function<void()> update);

    UserInterface& ui_;
    SettingsStore& settings_;
    std::unique_ptr<HostedUserInterface> hostedUi_;
    BuildWorker worker_;
    bool building_ = false;
    BuildAnimationMode animationMode_ = BuildAnimationMode::None;
    QEventLoop* waitingForEnd_ = nullptr;

    // Progress reports come after every compressed block; the UI takes the
    // latest one when it gets to it.
    std::mutex progressMutex_;
    BuildProgress latestProgress_;
    bool progressPending_ = false;

    QGroupBox* group_ = nullptr;
    BuildAnimationPictures* pictures_ = nullptr;
    BuildAnimationMovie* movie_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* percentText_ = nullptr;
    QLabel* processedBytes_ = nullptr;
    QLabel* compressedBytes_ = nullptr;
    QLabel* compressionSaving_ = nullptr;
    QLabel* stepText_ = nullptr;
    QLabel* phaseText_ = nullptr;
};

}  // namespace pcn::gui
