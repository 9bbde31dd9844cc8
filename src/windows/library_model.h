#pragma once

#include "library/library_entry.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>

#include <vector>

// The fixtures of the library as the Fixture Library window lists them: a table model
// that grows as the index finds them, and the proxy that filters it by the typed words
// and the console's limit and sorts it by any column. Sorting and filtering use keys
// folded once when a fixture arrives, so a keystroke costs a substring search per row.
class LibraryModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ManufacturerColumn, ModelColumn, TypeColumn, ModesColumn, SourceColumn, ColumnCount };

    explicit LibraryModel(QObject* parent = nullptr);

    // Appends the fixtures among `entries` (problems are not listed here).
    void append(const std::vector<library::Entry>& entries);
    void clear();

    [[nodiscard]] const library::Entry& entry(int row) const { return m_rows[static_cast<std::size_t>(row)].entry; }
    // The sort key of a row in a column; keys compare as the column sorts.
    [[nodiscard]] const QString& sortKey(int row, int column) const;
    [[nodiscard]] int smallestMode(int row) const { return m_rows[static_cast<std::size_t>(row)].smallestMode; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Row {
        library::Entry entry;
        QString modelKey;   // folded model, then the rest
        QString typeKey;    // folded type, then the rest
        QString sourceKey;  // format, then the rest
        int smallestMode = 0;
    };
    std::vector<Row> m_rows;
};

class LibraryFilter final : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit LibraryFilter(LibraryModel& model, QObject* parent = nullptr);

    // The typed search: every word must occur in the manufacturer, model or short name.
    void setSearch(const QString& typed);
    // Only fixtures with a mode the console can take.
    void setFitsOnly(bool fitsOnly);
    [[nodiscard]] bool fitsOnly() const noexcept { return m_fitsOnly; }

    [[nodiscard]] const library::Entry& entryAt(int proxyRow) const;

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    [[nodiscard]] bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    LibraryModel& m_model;
    QStringList m_words;
    bool m_fitsOnly = true;
};
