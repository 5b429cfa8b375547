#include "catalogue_list.h"

#include "catalogue.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QStyledItemDelegate>

namespace dravik::console::qt {

namespace {
// Opens an editor for the prototype text only and never stores what was typed, so the text
// reverts when the edit ends; the parameter cells get no editor at all.
class RevertingDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != 0) return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
};
} // namespace

CatalogueList::CatalogueList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("catalogueList"));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new RevertingDelegate(this));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Keep the selection as visible without focus as with it.
    QPalette pal = palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);
}

void CatalogueList::build() {
    // Columns are added once; a second build adds rows only.
    const auto columns = catalogue_columns();
    if (columnCount() != static_cast<int>(columns.size())) {
        setColumnCount(static_cast<int>(columns.size()));
        QStringList titles;
        for (const ColumnSpec& c : columns) titles << QString::fromUtf8(c.title);
        setHeaderLabels(titles);
        for (int i = 0; i < static_cast<int>(columns.size()); ++i)
            setColumnWidth(i, columns[static_cast<std::size_t>(i)].width);
    }
    for (const CatalogueRow& row : catalogue()) {
        auto* item = new QTreeWidgetItem(this);
        item->setText(0, QString::fromUtf8(row.prototype));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    }
    clearSelection();
    setCurrentItem(nullptr);
}

int CatalogueList::selected_row() const {
    const auto items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.first());
}

void CatalogueList::mousePressEvent(QMouseEvent* event) {
    swallow_release_ = false;
    // A press on no row leaves no row selected, as in the original list.
    if (!indexAt(event->position().toPoint()).isValid()) clearSelection();
    QTreeWidget::mousePressEvent(event);
}

void CatalogueList::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (swallow_release_) {
        swallow_release_ = false;
        return;
    }
    emit row_clicked(selected_row());
}

void CatalogueList::mouseDoubleClickEvent(QMouseEvent* event) {
    // No base call: that would start editing the prototype text instead of opening the dialog.
    if (event->button() != Qt::LeftButton) return;
    swallow_release_ = true;
    emit row_double_clicked(selected_row());
}

} // namespace dravik::console::qt
