#pragma once
// The Dependencies OS Types page of the web sheets: the included entries,
// and for the selected ones the operating system and processor they are
// downloaded for. An OS or processor box clicked on is the entry's only one
// of its kind; "Non Specific" clears both.

#include <QWidget>

#include <utility>
#include <vector>

class QCheckBox;
class QTreeWidget;

namespace pcn::gui {

struct WebSheetState;

class OsTypesForm : public QWidget {
    Q_OBJECT
public:
    OsTypesForm(WebSheetState& state, QWidget* parent = nullptr);

    // Every time the page is shown: the included entries, the first selected.
    void fill();

    QTreeWidget* list;
    QCheckBox* win32;
    QCheckBox* mac;
    QCheckBox* x86;
    QCheckBox* ppc;
    QCheckBox* mips;
    QCheckBox* alpha;
    QCheckBox* nonSpecific;

signals:
    // The user changed an entry's flags.
    void changed();

private:
    void showFlags();
    void osClicked(QCheckBox* box, int32_t flag);
    void cpuClicked(QCheckBox* box, int32_t flag);
    void nonSpecificClicked();

    WebSheetState& state_;
    std::vector<std::pair<QCheckBox*, int32_t>> osBoxes_;
    std::vector<std::pair<QCheckBox*, int32_t>> cpuBoxes_;
};

}  // namespace pcn::gui
