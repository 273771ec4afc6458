#pragma once
// A fresh settings file and data folder per test, scripted answers for the
// questions and file dialogs, and packages of every kind on disk.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/gui/CPCNApp.h"
#include "app/gui/CPCNView.h"
#include "app/gui/FileDialogs.h"
#include "distribution/ScriptedUserInterface.h"
#include "editing/gui/tests/EditingTestSupport.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace pcn::test {

class ScriptedFileDialogs : public gui::FileDialogs {
public:
    void queue(const QString& answer) { answers_.push_back(answer); }
    QString openFile(QWidget*, const QString& caption, const QString&, const QString&) override {
        return next(caption);
    }
    QString saveFile(QWidget*, const QString& caption, const QString& initialPath, const QString&) override {
        lastInitialPath = initialPath;
        return next(caption);
    }
    QStringList captions;
    QString lastInitialPath;

private:
    QString next(const QString& caption) {
        captions << caption;
        if (answers_.empty()) return {};
        QString a = answers_.front();
        answers_.pop_front();
        return a;
    }
    std::deque<QString> answers_;
};

class GuiTest : public ::testing::Test {
protected:
    GuiTest();
    ~GuiTest() override;

    // Starts the application the way main() does (no single-instance guard,
    // no sibling-file check); -1 when it runs on.
    int start(const QStringList& arguments = {});
    gui::CPCNApp& app() { return *app_; }

    // A package file of the given kind in the data folder; returns its path.
    std::string writePackage(int32_t kind, const std::string& product, bool rebuild = false,
                             bool newPackage = false);
    // A project file listing the given package files.
    std::string writeProject(const std::string& name, const std::vector<std::string>& packages);

    std::string dataDir() const { return root_ + "data/"; }
    SettingsStore& settings() { return *settings_; }

    std::string root_;
    std::unique_ptr<SettingsStore> settings_;
    ScriptedUserInterface ui_;
    ScriptedFileDialogs dialogs_;
    ScriptedPickers pickers_;
    std::unique_ptr<gui::CPCNApp> app_;
};

// Runs `steps` on the modal window of type T once it is up, while the
// command that opened it waits in its own event loop. A window the steps
// left open (a failed check) is closed, so that the command returns.
template <typename T>
void whenModal(std::function<void(T&)> steps, int timeoutMs = 60000) {
    QTimer::singleShot(0, [steps, timeoutMs] {
        T* window = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (window = qobject_cast<T*>(QApplication::activeModalWidget())); },
                                    timeoutMs));
        steps(*window);
        if (window->isVisible()) {
            ADD_FAILURE() << "the window was left open";
            static_cast<QDialog*>(window)->done(QDialog::Rejected);
        }
    });
}

// Sets the kind flags that go with a kind.
void setKind(CCabObj& package, int32_t kind);

}  // namespace pcn::test
