#include "cli/patch_sheet_text.h"

#include "cli/text_table.h"
#include "qtcore/field_text.h"

#include <string>

namespace cli {

namespace {

const QStringList sheetTitles = {QStringLiteral("Lamp"),       QStringLiteral("Type"),        QStringLiteral("Channels"),
                                 QStringLiteral("Start channel"), QStringLiteral("DMX"),      QStringLiteral("Position"),
                                 QStringLiteral("Pan invert"), QStringLiteral("Tilt invert"), QStringLiteral("Swap"),
                                 QStringLiteral("Conflict")};

QStringList sheetCells(const rig::PatchSheetRow& row)
{
    // The type's name is a stored field: shown trimmed and on one line whatever it holds.
    const QString type = row.typeNote.empty()
                             ? rig::fromField(row.typeName, rig::FieldSpaces::Trim, rig::FieldControls::AsQuestionMark)
                             : QString::fromStdString(row.typeNote);
    return {QString::number(row.lamp),
            type,
            QString::number(row.channels),
            QString::number(row.startChannel),
            QString::fromStdString(row.dmxRange),
            QString::fromStdString(row.position),
            QString::fromStdString(row.panInvert),
            QString::fromStdString(row.tiltInvert),
            QString::fromStdString(row.swap),
            QString::fromStdString(row.conflict)};
}

// A spreadsheet runs a cell that begins with one of these as a formula; a leading '
// keeps it text. Plain numbers are left alone: a negative one is no formula.
QString neutralised(const QString& field)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (field.isEmpty() || !formulaStarts.contains(field.front()))
        return field;
    bool isNumber = false;
    (void)field.toLongLong(&isNumber);
    return isNumber ? field : QLatin1Char('\'') + field;
}

QString csvField(const QString& cell)
{
    const QString field = neutralised(cell);
    const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')) ||
                       field.startsWith(QLatin1Char(' ')) || field.endsWith(QLatin1Char(' '));
    if (!quote)
        return field;
    QString escaped = field;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

}  // namespace

QString csvLine(const QStringList& cells)
{
    QStringList fields;
    for (const QString& cell : cells)
        fields << csvField(cell);
    return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
}

QString patchSheetText(const std::vector<rig::PatchSheetRow>& rows)
{
    if (rows.empty())
        return QStringLiteral("(no lamps placed)\n");
    std::vector<Column> columns;
    for (qsizetype c = 0; c < sheetTitles.size(); ++c) {
        // Numbers line up on the right.
        const bool numeric = c == 0 || c == 2 || c == 3;
        columns.push_back({sheetTitles[c], numeric});
    }
    std::vector<QStringList> cells;
    for (const rig::PatchSheetRow& row : rows)
        cells.push_back(sheetCells(row));
    return formatTable(columns, cells);
}

QString patchSheetCsv(const std::vector<rig::PatchSheetRow>& rows)
{
    QString out = csvLine(sheetTitles);
    for (const rig::PatchSheetRow& row : rows)
        out += csvLine(sheetCells(row));
    return out;
}

}  // namespace cli
