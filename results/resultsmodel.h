#pragma once

#include "results/resultrow.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace results {

// The rows of the results list: row number, status text, path. A row's number is its position.
// Paths are packed into large shared blocks and every row costs a small fixed record, so a list of
// a million rows costs little beyond the paths' own bytes; texts are made only for visible cells.
class ResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NumberColumn,
        StatusColumn,
        PathColumn,
        ColumnCount
    };

    explicit ResultsModel(QObject* parent = nullptr);
    ~ResultsModel() override;

    void AddResultRow(RowStatus status, std::string path);
    // One insertion for the whole batch.
    void AppendRows(std::vector<ResultRow> rows);
    void Clear();

    // Empty for a row or column that does not exist.
    QString CellText(int row, int column) const;
    // The path's bytes as the file system gave them; empty for a row that does not exist.
    std::string_view PathBytes(int row) const;
    RowStatus Status(int row) const;

    static QString StatusText(RowStatus status);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Entry
    {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t length;
        RowStatus status;
    };
    struct Block
    {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };

    void Store(RowStatus status, std::string_view path);

    std::vector<Entry> m_entries;
    std::vector<Block> m_blocks;
};

} // namespace results
