#include "results/resultsmodel.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <limits>

namespace results {

namespace {

    // Large enough that a block's bookkeeping vanishes per row, small enough that the unused tail
    // of the newest block stays negligible. A longer path gets a block of its own size.
    constexpr std::size_t kBlockSize = std::size_t(1) << 20;

} // namespace

ResultsModel::ResultsModel(QObject* parent)
    : QAbstractTableModel(parent)
{ }

ResultsModel::~ResultsModel() = default;

QString ResultsModel::StatusText(RowStatus status)
{
    switch (status) {
    case RowStatus::Repairable:
        return QStringLiteral("可修复");
    case RowStatus::ProcessEnded:
        return QStringLiteral("结束进程");
    }
    return {};
}

void ResultsModel::Store(RowStatus status, std::string_view path)
{
    // Offsets and lengths are 32-bit; no path comes near that, but never store a wrong one.
    const std::size_t length
        = std::min<std::size_t>(path.size(), std::numeric_limits<std::uint32_t>::max());
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < length) {
        Block block;
        block.capacity = std::max(kBlockSize, length);
        block.bytes = std::make_unique_for_overwrite<char[]>(block.capacity);
        m_blocks.push_back(std::move(block));
    }
    Block& block = m_blocks.back();
    if (length > 0)
        std::memcpy(block.bytes.get() + block.used, path.data(), length);
    m_entries.push_back({ static_cast<std::uint32_t>(m_blocks.size() - 1),
        static_cast<std::uint32_t>(block.used), static_cast<std::uint32_t>(length), status });
    block.used += length;
}

void ResultsModel::AddResultRow(RowStatus status, std::string path)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    Store(status, path);
    endInsertRows();
}

void ResultsModel::AppendRows(std::vector<ResultRow> rows)
{
    if (rows.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    for (const ResultRow& row : rows)
        Store(row.status, row.path);
    endInsertRows();
}

void ResultsModel::Clear()
{
    beginResetModel();
    // Give the memory back: the previous scan may have listed a million rows.
    std::vector<Entry>().swap(m_entries);
    std::vector<Block>().swap(m_blocks);
    endResetModel();
}

std::string_view ResultsModel::PathBytes(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const Entry& entry = m_entries[std::size_t(row)];
    return { m_blocks[entry.block].bytes.get() + entry.offset, entry.length };
}

RowStatus ResultsModel::Status(int row) const
{
    if (row < 0 || row >= rowCount())
        return RowStatus::Repairable;
    return m_entries[std::size_t(row)].status;
}

QString ResultsModel::CellText(int row, int column) const
{
    if (row < 0 || row >= rowCount())
        return {};
    switch (column) {
    case NumberColumn:
        return QString::number(row);
    case StatusColumn:
        return StatusText(m_entries[std::size_t(row)].status);
    case PathColumn: {
        const std::string_view path = PathBytes(row);
        return QFile::decodeName(QByteArray::fromRawData(path.data(), qsizetype(path.size())));
    }
    default:
        return {};
    }
}

int ResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return CellText(index.row(), index.column());
    default:
        return {};
    }
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == StatusColumn ? QStringLiteral("状态") : QString();
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace results
