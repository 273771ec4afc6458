#pragma once
// Drives the web sheets like a user: controls found by their object names,
// buttons clicked, rows selected; components from the scanning tests.

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <string>

#include "editing/gui/tests/EditingTestSupport.h"

namespace pcn::test {

inline const std::filesystem::path kComponents = PCN_TEST_COMPONENTS;

// The ELF plug-in of the scanning tests: its libraries give a list of several entries.
inline std::string elfPlugin() { return (kComponents / "elf/libscanplugin.so").string(); }

template <typename T>
T* child(const QObject* parent, const char* name) {
    T* widget = parent->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void typeText(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

// Selects exactly the given row, as a click on it does.
inline void selectRow(QTreeWidget* list, int row) {
    list->clearSelection();
    list->setCurrentItem(list->topLevelItem(row));
    list->topLevelItem(row)->setSelected(true);
}

// A web package's scan and settings come from the user settings file:
// tests give it one of their own before the first read.
class WebEditingTest : public EditingTest {
protected:
    WebEditingTest() {
        ::setenv("PCN_SETTINGS", (root() / "settings.conf").c_str(), 1);
        settings().writeString("Settings\\CodeSign", "URL", "https://files.example/controls");
    }
};

}  // namespace pcn::test
