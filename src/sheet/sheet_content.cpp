#include "sheet/sheet_content.h"

#include "base/file_io.h"
#include "core/function_names.h"
#include "core/patch_sheet.h"
#include "qtcore/field_text.h"
#include "qtcore/file_names.h"

#include <QLocale>

#include <sys/stat.h>

#include <algorithm>
#include <string>

#ifndef RIGSMITH_VERSION
#error "RIGSMITH_VERSION must be defined by the build"
#endif

namespace sheet {
namespace {

const QString separator = QStringLiteral(" · ");

// A stored name, trimmed and on one line whatever bytes it holds.
template <std::size_t N>
QString shownName(const rig::FixedText<N>& name)
{
    return rig::fromField(name, rig::FieldSpaces::Trim, rig::FieldControls::AsQuestionMark);
}

QString typeText(const rig::PatchSheetRow& row)
{
    if (row.typeNote.empty())
        return shownName(row.typeName);
    if (row.lampType < 0 || row.lampType >= static_cast<int>(rig::lampSlots))
        return SheetText::tr("(no lamp type %1)").arg(row.lampType);
    return SheetText::tr("(empty slot %1)").arg(row.lampType);
}

QString flagText(const std::string& flag)
{
    if (flag == "yes")
        return SheetText::tr("yes");
    if (flag == "no")
        return SheetText::tr("no");
    return QString::fromStdString(flag);
}

QString conflictText(const rig::DmxConflict& conflict)
{
    QStringList parts;
    if (conflict.overlapsWith != 0)
        parts << SheetText::tr("DMX overlaps lamp %1").arg(conflict.overlapsWith);
    if (conflict.passesEnd)
        parts << SheetText::tr("DMX runs past %1").arg(rig::dmxLineSize);
    return parts.join(QStringLiteral("; "));
}

QString countsText(const rig::PatchSheetCounts& counts)
{
    const QString lamps = counts.lampsPlaced == 1 ? SheetText::tr("1 lamp placed") : SheetText::tr("%1 lamps placed").arg(counts.lampsPlaced);
    const QString channels = counts.dmxChannelsUsed == 1 ? SheetText::tr("1 DMX channel used")
                                                         : SheetText::tr("%1 DMX channels used").arg(counts.dmxChannelsUsed);
    const QString conflicts = counts.conflicts == 1 ? SheetText::tr("1 conflict") : SheetText::tr("%1 conflicts").arg(counts.conflicts);
    return lamps + separator + channels + separator + conflicts;
}

SheetTable patchTable(const std::vector<rig::PatchSheetRow>& rows)
{
    SheetTable table;
    table.title = SheetText::tr("Patch");
    table.headings = QStringList{SheetText::tr("Lamp"),     SheetText::tr("Type"),       SheetText::tr("Channels"),    SheetText::tr("Start channel"),
                                 SheetText::tr("DMX start"), SheetText::tr("DMX end"),   SheetText::tr("Position"),    SheetText::tr("Pan invert"),
                                 SheetText::tr("Tilt invert"), SheetText::tr("Swap"),    SheetText::tr("Conflict")};
    table.numeric = {true, false, true, true, true, true, false, false, false, false, false};
    table.markColumn = 10;
    for (const rig::PatchSheetRow& row : rows) {
        // A lamp of no channels takes no address after its start.
        const QString end = row.channels > 0 ? QString::number(row.startDmx + row.channels - 1) : QStringLiteral("–");
        table.rows.push_back({{QString::number(row.lamp), typeText(row), QString::number(row.channels),
                               QString::number(row.startChannel), QString::number(row.startDmx), end,
                               QString::fromStdString(row.position), flagText(row.panInvert),
                               flagText(row.tiltInvert), flagText(row.swap), conflictText(row.dmxConflict)},
                              row.dmxConflict.any()});
    }
    return table;
}

// A code's name from one of the console's tables; a code without a name says its number.
QString codeName(const std::string& stored, int code)
{
    const QString name = rig::fromField(stored, rig::FieldSpaces::Trim, rig::FieldControls::AsQuestionMark);
    return name.isEmpty() ? SheetText::tr("(code %1)").arg(code) : name;
}

SheetTable channelMap(const rig::StagePatch& patch, const rig::LampTypeUse& use)
{
    const rig::Lamp& lamp = patch.lmpLamps[static_cast<std::size_t>(use.slot)];
    QStringList lamps;
    for (const int number : use.lamps)
        lamps << QString::number(number);
    SheetTable table;
    table.title = shownName(lamp.LampName);
    const int count = lamp.NumberChannel;
    table.subtitle = SheetText::tr("Slot %1").arg(use.slot) + separator +
                     (count == 1 ? SheetText::tr("1 channel") : SheetText::tr("%1 channels").arg(count)) + separator +
                     (use.lamps.size() == 1 ? SheetText::tr("lamp %1") : SheetText::tr("lamps %1")).arg(lamps.join(QStringLiteral(", ")));
    table.headings = QStringList{SheetText::tr("Channel"), SheetText::tr("Function"), SheetText::tr("Palette")};
    table.numeric = {true, false, false};
    for (std::size_t c = 0; c < lamp.usedChannels(); ++c) {
        const rig::LampChannel& channel = lamp.Channel[c];
        table.rows.push_back({{QString::number(c + 1), codeName(rig::functionName(channel.Function), channel.Function),
                               codeName(rig::paletteTypeName(channel.Palette), channel.Palette)},
                              false});
    }
    return table;
}

StagePlan stagePlan(const rig::StagePatch& patch, std::vector<rig::PatchSheetRow> rows)
{
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.lamp < b.lamp; });
    StagePlan plan;
    QStringList offGrid;
    for (const rig::PatchSheetRow& row : rows) {
        const rig::PatchEntry& entry = patch.patchEntries[static_cast<std::size_t>(row.lamp - 1)];
        if (!entry.onStage()) {
            offGrid << SheetText::tr("lamp %1 (%2)").arg(row.lamp).arg(QString::fromStdString(row.position));
            continue;
        }
        // Nothing keeps two lamps off one cell: the cell names them all.
        QString& cell = plan.cells[entry.ScreenRow][entry.ScreenCol];
        cell += (cell.isEmpty() ? QString() : QStringLiteral(", ")) + QString::number(row.lamp);
        plan.marked[entry.ScreenRow][entry.ScreenCol] =
            plan.marked[entry.ScreenRow][entry.ScreenCol] || row.dmxConflict.any();
    }
    if (!offGrid.isEmpty())
        plan.offGrid = SheetText::tr("Off the stage grid: %1").arg(offGrid.join(QStringLiteral(", ")));
    return plan;
}

// The file's last change, or an invalid time when there is no file to look at.
QDateTime fileTime(const QString& fileName)
{
    struct stat info {};
    if (fileName.isEmpty() || ::stat(rig::toPath(fileName).c_str(), &info) != 0)
        return {};
    return QDateTime::fromSecsSinceEpoch(static_cast<qint64>(info.st_mtime));
}

}  // namespace

SheetContent makeSheetContent(const rig::StagePatch& patch, const QString& fileName, bool unsavedChanges)
{
    SheetContent sheet;
    // The name as the command line shows names: bytes that are no text stay visible as \xHH.
    sheet.fileName = fileName.isEmpty()
                         ? SheetText::tr("Unsaved stage patch")
                         : QString::fromStdString(rig::printableName(rig::nameOfPath(rig::toPath(fileName))));
    if (!fileName.isEmpty() && unsavedChanges)
        sheet.fileName += SheetText::tr(" (unsaved changes)");
    QDateTime stamp = unsavedChanges ? QDateTime() : fileTime(fileName);
    if (!stamp.isValid())
        stamp = QDateTime::currentDateTime();
    sheet.stamp = QLocale::c().toString(stamp, QStringLiteral("yyyy-MM-dd HH:mm"));
    sheet.program = SheetText::tr("Rigsmith %1").arg(QStringLiteral(RIGSMITH_VERSION));

    const std::vector<rig::PatchSheetRow> rows = rig::patchSheetRows(patch, rig::SheetOrder::ByDmx);
    sheet.counts = countsText(rig::patchSheetCounts(rows));
    sheet.empty = rows.empty();
    sheet.patch = patchTable(rows);
    for (const rig::LampTypeUse& use : rig::lampTypesUsed(rows))
        sheet.channelMaps.push_back(channelMap(patch, use));
    sheet.plan = stagePlan(patch, rows);
    return sheet;
}

}  // namespace sheet
