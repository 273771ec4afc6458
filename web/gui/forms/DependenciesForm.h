#pragma once
// The Dependencies page of the web sheets: the dependency list with the icon
// of each entry's origin, "Include in Packages" for the selected rows, and
// "&Add..." for a library the scan did not find.

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace pcn::gui {

struct WebSheetState;

class DependenciesForm : public QWidget {
    Q_OBJECT
public:
    DependenciesForm(WebSheetState& state, QWidget* parent = nullptr);

    // Once: the caption naming the component.
    void initialise();
    // Every time the page is shown: Win32 for the entries without an OS
    // choice, the list filled afresh, the first row selected.
    void fill();

    QLabel* caption;
    QTreeWidget* list;
    QCheckBox* includeInPackages;
    QPushButton* addButton;

signals:
    // The user changed the list or an include flag.
    void changed();

private:
    void selectionChanged();
    void includeClicked();
    void addDependency();

    WebSheetState& state_;
};

}  // namespace pcn::gui
