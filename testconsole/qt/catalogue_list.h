// The catalogue list: a report-style list of the 79 rows with eight columns, single selection,
// the selection kept visible when the list loses focus. It reports mouse clicks and double-clicks
// with the row selected afterwards (-1 for none); keyboard moves are not reported, so "运行" runs
// the row last clicked. Parameter cells are edited only through the parameter dialog; the
// prototype text can be opened for editing in place but always reverts when the edit ends.
#ifndef DRAVIK_TESTCONSOLE_QT_CATALOGUE_LIST_H
#define DRAVIK_TESTCONSOLE_QT_CATALOGUE_LIST_H

#include <QTreeWidget>

namespace dravik::console::qt {

class CatalogueList final : public QTreeWidget {
    Q_OBJECT
public:
    explicit CatalogueList(QWidget* parent = nullptr);

    // Adds the eight columns (when there are none yet) and the 79 rows with empty cells.
    void build();
    // Index of the first selected row, -1 when none.
    [[nodiscard]] int selected_row() const;

signals:
    void row_clicked(int row);
    void row_double_clicked(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool swallow_release_ = false; // the release that ends a double-click is not a click
};

} // namespace dravik::console::qt

#endif
