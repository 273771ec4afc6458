#pragma once
// The property tree: every setting of the package selected in the list, as
// headings, labels and values.

#include <QTreeWidget>

#include <functional>

namespace pcn {
class CCabObj;
}

namespace pcn::gui {

class CPCNView;

class CInfoView : public QTreeWidget {
    Q_OBJECT
public:
    explicit CInfoView(QWidget* parent = nullptr);

    void setListView(CPCNView* list) { list_ = list; }

    // Shows a package (null clears the tree); nothing happens when it is the
    // one already shown.
    void showPackage(const CCabObj* package);
    // Builds the tree again from the shown package (after it was edited).
    void refresh();
    const CCabObj* shownPackage() const { return shown_; }

    void expandAllHeadings();
    void collapseAllHeadings();

    // The tree's context menu with its items enabled as they would be now.
    QMenu* createContextMenu(QWidget* parent);

    // The headings and labels of a package as they are built into the tree
    // (exposed for printing and tests): root items with their children.
    static void fillTree(QTreeWidget& tree, const CCabObj& package);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setHeadingsExpanded(bool expanded);

    CPCNView* list_ = nullptr;
    const CCabObj* shown_ = nullptr;
};

}  // namespace pcn::gui
