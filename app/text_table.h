// A report-style list over rows the caller formats on demand: only the rows in view are ever
// formatted, so lists of many thousand rows open at once. A click on a column header sorts
// the view (and is reported through `onColumnClick`); rows keep their own indices.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include <functional>

class QSortFilterProxyModel;

namespace vexa {

class TextTableModel : public QAbstractTableModel {
public:
    using Cell = std::function<QVariant(int row, int column)>;  // text, or a number that sorts as one

    TextTableModel(QStringList headers, Cell cell, QObject* parent = nullptr);
    // The rows changed: n rows now.
    void reset(int rows);
    void rowChanged(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList headers_;
    Cell cell_;
    int rows_ = 0;
};

class TextTable : public QTableView {
public:
    TextTable(QStringList headers, TextTableModel::Cell cell, QWidget* parent = nullptr);

    TextTableModel& model() { return *model_; }
    // Shows `rows` rows, columns sized to the first of them, and reports clicks.
    void fill(int rows, std::function<void(int modelRow)> rowClick, std::function<void()> columnClick);
    // The model row under a view row, and the view row of a model row (after sorting).
    int modelRow(int viewRow) const;
    int viewRow(int modelRow) const;
    // Clicks a row as the user would: selects it and reports its model row.
    void clickRow(int modelRow);
    void clickHeader(int column);

    std::function<void(int modelRow)> onRowClick;
    std::function<void()> onColumnClick;

private:
    TextTableModel* model_;
    QSortFilterProxyModel* proxy_;
};

}  // namespace vexa
