#pragma once
// A fresh settings file and program/data folder per test, scripted answers
// for messages and pickers, and helpers to drive a wizard like a user.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <deque>
#include <filesystem>
#include <memory>

#include "distribution/ScriptedUserInterface.h"
#include "editing/gui/EditingContext.h"
#include "editing/gui/pickers/Pickers.h"
#include "model/CCabObj.h"
#include "platform/SettingsStore.h"

namespace pcn::test {

// Answers every picker from one queue: a queued path (or list of paths for
// addFiles) is the user's choice, an empty queue is Cancel. Records the
// arguments of each call.
class ScriptedPickers : public gui::Pickers {
public:
    struct Call {
        QString kind;
        QString path;  // the path (or folder) handed in
        int number = 0;  // mode, type or filter index handed in
        int filterIndex = 0;  // the component picker: the filter index handed in
    };
    void queue(const QString& path, int filterIndex = 0) { answers_.push_back({QStringList{path}, filterIndex}); }
    void queueFiles(const QStringList& files, int filterIndex = 0) { answers_.push_back({files, filterIndex}); }

    bool licenceFile(QWidget*, QString& path, int& filterIndex) override;
    bool credentialsOrKey(QWidget*, QString& path, int mode) override;
    bool addFiles(QWidget*, const QString& folder, QStringList& files, int& filterIndex) override;
    bool fileToSign(QWidget*, QString& path, int mode) override;
    bool fileToCheck(QWidget*, QString& path, int& filterIndex) override;
    bool component(QWidget*, QString& path, int type, int& filterIndex) override;
    bool webPageToSave(QWidget*, QString& path) override;
    bool packageFile(QWidget*, QString& path, int& filterIndex) override;
    bool folder(QWidget*, QString& path) override;
    bool fileToSend(QWidget*, QString& path, int& filterIndex) override;

    std::vector<Call> calls;

private:
    struct Answer {
        QStringList paths;
        int filterIndex;
    };
    bool answer(const QString& kind, QString& path, int number, int* filterIndex);
    std::deque<Answer> answers_;
};

class EditingTest : public ::testing::Test {
protected:
    EditingTest();
    ~EditingTest() override;

    // A temporary folder of the test's own, also the data folder (PCN_DATA_DIR).
    const std::filesystem::path& root() const { return root_; }
    // Writes a file of the given size under root(); returns its path.
    std::string makeFile(const std::filesystem::path& relative, size_t size = 16, char fill = 'x');

    SettingsStore& settings() { return *settings_; }
    ScriptedUserInterface ui;
    ScriptedPickers pickers;
    gui::EditingContext& context() { return *context_; }

private:
    std::filesystem::path root_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<gui::EditingContext> context_;
};

}  // namespace pcn::test
