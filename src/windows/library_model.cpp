#include "windows/library_model.h"

#include "library/search_text.h"

#include <algorithm>
#include <limits>

namespace {

QString keyAfter(const QString& first, const library::Entry& entry)
{
    return library::foldForSearch(first) + QLatin1Char('\n') + entry.searchText;
}

}  // namespace

LibraryModel::LibraryModel(QObject* parent) : QAbstractTableModel(parent) {}

void LibraryModel::append(const std::vector<library::Entry>& entries)
{
    std::vector<Row> rows;
    for (const library::Entry& entry : entries) {
        if (entry.kind != library::Entry::Kind::Fixture)
            continue;
        Row row;
        row.entry = entry;
        row.modelKey = keyAfter(entry.model, entry);
        row.typeKey = keyAfter(entry.type, entry);
        row.sourceKey = library::formatLabel(entry.format) + QLatin1Char('\n') + entry.searchText;
        row.smallestMode = std::numeric_limits<int>::max();
        for (const library::ModeSummary& mode : entry.modes)
            if (mode.readable)
                row.smallestMode = std::min(row.smallestMode, mode.channels);
        rows.push_back(std::move(row));
    }
    if (rows.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    std::move(rows.begin(), rows.end(), std::back_inserter(m_rows));
    endInsertRows();
}

void LibraryModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

const QString& LibraryModel::sortKey(int row, int column) const
{
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    switch (column) {
    case ModelColumn: return r.modelKey;
    case TypeColumn: return r.typeKey;
    case SourceColumn: return r.sourceKey;
    default: return r.entry.searchText;  // manufacturer, model, short name
    }
}

int LibraryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int LibraryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LibraryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const library::Entry& e = entry(index.row());
    if (role == Qt::ToolTipRole)
        return e.path;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case ManufacturerColumn: return e.manufacturer;
    case ModelColumn: return e.model;
    case TypeColumn: return e.type;
    case ModesColumn: return e.channelCounts();
    case SourceColumn: return library::formatLabel(e.format);
    default: return {};
    }
}

QVariant LibraryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ManufacturerColumn: return tr("Manufacturer");
    case ModelColumn: return tr("Model");
    case TypeColumn: return tr("Type");
    case ModesColumn: return tr("Modes");
    case SourceColumn: return tr("Source");
    default: return {};
    }
}

LibraryFilter::LibraryFilter(LibraryModel& model, QObject* parent) : QSortFilterProxyModel(parent), m_model(model)
{
    setSourceModel(&model);
}

void LibraryFilter::setSearch(const QString& typed)
{
    const QStringList words = library::searchWords(typed);
    if (words == m_words)
        return;
    m_words = words;
    invalidateFilter();
}

void LibraryFilter::setFitsOnly(bool fitsOnly)
{
    if (fitsOnly == m_fitsOnly)
        return;
    m_fitsOnly = fitsOnly;
    invalidateFilter();
}

const library::Entry& LibraryFilter::entryAt(int proxyRow) const
{
    return m_model.entry(mapToSource(index(proxyRow, 0)).row());
}

bool LibraryFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    const library::Entry& entry = m_model.entry(sourceRow);
    return (!m_fitsOnly || entry.fits()) && library::matchesWords(entry.searchText, m_words);
}

bool LibraryFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const int column = left.column();
    if (column == LibraryModel::ModesColumn) {
        const int a = m_model.smallestMode(left.row());
        const int b = m_model.smallestMode(right.row());
        if (a != b)
            return a < b;
    }
    const int order = m_model.sortKey(left.row(), column).compare(m_model.sortKey(right.row(), column));
    if (order != 0)
        return order < 0;
    return m_model.entry(left.row()).path < m_model.entry(right.row()).path;
}
