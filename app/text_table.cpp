#include "app/text_table.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>

namespace vexa {

TextTableModel::TextTableModel(QStringList headers, Cell cell, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)), cell_(std::move(cell)) {}

void TextTableModel::reset(int rows) {
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

void TextTableModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int TextTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TextTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return cell_(index.row(), index.column());
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    return section < headers_.size() ? headers_[section] : QVariant();
}

TextTable::TextTable(QStringList headers, TextTableModel::Cell cell, QWidget* parent)
    : QTableView(parent),
      model_(new TextTableModel(std::move(headers), std::move(cell), this)),
      proxy_(new QSortFilterProxyModel(this)) {
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(Qt::DisplayRole);
    setModel(proxy_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultSectionSize(75);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    setSortingEnabled(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (onColumnClick) onColumnClick();
        const bool again = proxy_->sortColumn() == column && proxy_->sortOrder() == Qt::AscendingOrder;
        proxy_->sort(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
        horizontalHeader()->setSortIndicatorShown(true);
        horizontalHeader()->setSortIndicator(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (onRowClick) onRowClick(modelRow(index.row()));
    });
}

void TextTable::fill(int rows, std::function<void(int)> rowClick, std::function<void()> columnClick) {
    model_->reset(rows);
    resizeColumnsToContents();  // measured on the first rows only, so large lists open at once
    onRowClick = std::move(rowClick);
    onColumnClick = std::move(columnClick);
}

int TextTable::modelRow(int viewRow) const { return proxy_->mapToSource(proxy_->index(viewRow, 0)).row(); }

int TextTable::viewRow(int modelRow) const { return proxy_->mapFromSource(model_->index(modelRow, 0)).row(); }

void TextTable::clickRow(int modelRow) {
    const int row = viewRow(modelRow);
    if (row < 0) return;
    selectRow(row);
    emit clicked(proxy_->index(row, 0));
}

void TextTable::clickHeader(int column) { emit horizontalHeader()->sectionClicked(column); }

}  // namespace vexa
