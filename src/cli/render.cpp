#include "cli/render.h"

#include "base/cp1252.h"
#include "core/function_names.h"
#include "core/dmx_conflicts.h"

#include <QStringList>

#include <algorithm>
#include <string>
#include <string_view>

namespace cli {

namespace {

struct Column {
    QString title;
    bool alignRight = false;
};

// Columns padded to their widest cell, two spaces apart, no trailing blanks.
QString formatTable(const std::vector<Column>& columns, const std::vector<QStringList>& rows)
{
    std::vector<qsizetype> widths;
    for (const Column& column : columns)
        widths.push_back(column.title.size());
    for (const QStringList& row : rows)
        for (qsizetype c = 0; c < row.size() && c < static_cast<qsizetype>(widths.size()); ++c)
            widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], row[c].size());

    const auto line = [&](const QStringList& cells) {
        QString text;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const QString cell = static_cast<qsizetype>(c) < cells.size() ? cells[static_cast<qsizetype>(c)] : QString();
            if (c != 0)
                text += QStringLiteral("  ");
            const auto width = static_cast<int>(widths[c]);
            text += columns[c].alignRight ? cell.rightJustified(width) : cell.leftJustified(width);
        }
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text + QLatin1Char('\n');
    };

    QStringList titles;
    for (const Column& column : columns)
        titles << column.title;
    QString out = line(titles);
    for (const QStringList& row : rows)
        out += line(row);
    return out;
}

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString functionLabel(int code)
{
    if (code < 0 || code >= static_cast<int>(rig::functionCodes))
        return QStringLiteral("(code %1)").arg(code);
    const std::string name = rig::functionName(code);
    return displayText(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
}

QString paletteLabel(int code)
{
    if (code < 0 || code >= static_cast<int>(rig::paletteTypeCodes))
        return QStringLiteral("(code %1)").arg(code);
    const std::string name = rig::paletteTypeName(code);
    return displayText(reinterpret_cast<const std::uint8_t*>(name.data()), name.size());
}

QString iconLabel(int code)
{
    if (code == 0)
        return QStringLiteral("0 (empty slot)");
    for (const rig::IconCode& icon : rig::iconCodes)
        if (icon.code == code)
            return QStringLiteral("%1 (%2)").arg(code).arg(QLatin1String(icon.name));
    return QStringLiteral("%1 (not an icon)").arg(code);
}

QString flagLabel(int value)
{
    if (value == 0)
        return QStringLiteral("no");
    if (value == 1)
        return QStringLiteral("yes");
    return QString::number(value);
}

QString positionLabel(int row, int col)
{
    const QString rowLabel = row >= 0 && row < rig::stageRows ? QString(QChar(u'A' + row))
                                                              : QStringLiteral("row %1 col ").arg(row + 1);
    return rowLabel + QString::number(col + 1);
}

template <std::size_t N>
bool allZero(const std::array<std::uint8_t, N>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

template <std::size_t N>
Json hexJson(const std::array<std::uint8_t, N>& bytes)
{
    return Json::string(hexString(bytes.data(), N));
}

// The reserved places of a lamp that hold something; the program carries them unread.
QStringList setReservedFields(const rig::Lamp& lamp)
{
    QStringList names;
    if (lamp.Reserved1 != 0)
        names << QStringLiteral("Reserved1");
    if (lamp.Reserved2 != 0)
        names << QStringLiteral("Reserved2");
    if (lamp.Reserved3 != 0)
        names << QStringLiteral("Reserved3");
    for (std::size_t k = 0; k < lamp.Wheel.size(); ++k)
        if (lamp.Wheel[k].Reserved1 != 0 || lamp.Wheel[k].Reserved2 != 0)
            names << QStringLiteral("Wheel(%1)").arg(k);
    for (std::size_t c = 0; c < lamp.Channel.size(); ++c)
        if (lamp.Channel[c].Reserved != 0)
            names << QStringLiteral("Channel(%1).Reserved").arg(c);
    for (std::size_t t = 0; t < lamp.ReservedTable.size(); ++t)
        if (!allZero(lamp.ReservedTable[t]))
            names << QStringLiteral("ReservedTable(%1)").arg(t);
    if (!allZero(lamp.ReservedArea1))
        names << QStringLiteral("ReservedArea1");
    if (!allZero(lamp.ReservedArea2))
        names << QStringLiteral("ReservedArea2");
    return names;
}

// One row per slot holding a lamp, as the lamp table of a patch or a console file lists it.
QString lampSlotTable(const std::array<rig::Lamp, rig::lampSlots>& lamps, bool (*inUse)(const rig::Lamp&))
{
    std::vector<QStringList> rows;
    for (std::size_t n = 0; n < lamps.size(); ++n) {
        const rig::Lamp& lamp = lamps[n];
        if (!inUse(lamp))
            continue;
        rows.push_back({QString::number(n), displayText(lamp.LampName), iconLabel(lamp.Icon),
                        QString::number(lamp.NumberChannel)});
    }
    if (rows.empty())
        return QStringLiteral("(no lamps)\n");
    return formatTable({{QStringLiteral("Slot"), true},
                        {QStringLiteral("LampName"), false},
                        {QStringLiteral("Icon"), false},
                        {QStringLiteral("Channels"), true}},
                       rows);
}

}  // namespace

QString decodeField(const std::uint8_t* data, std::size_t size)
{
    return fromStd(rig::cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
}

QString displayText(const std::uint8_t* data, std::size_t size)
{
    std::size_t first = 0;
    std::size_t last = size;
    const auto blank = [](std::uint8_t b) { return b == 0x20 || b == 0x00; };
    while (first < last && blank(data[first]))
        ++first;
    while (last > first && blank(data[last - 1]))
        --last;
    QString text = decodeField(data + first, last - first);
    for (QChar& ch : text) {
        const char16_t code = ch.unicode();
        if (rig::isControlCharacter(code))
            ch = QLatin1Char('?');
    }
    return text;
}

QString hexString(const std::uint8_t* data, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.reserve(static_cast<qsizetype>(size * 2));
    for (std::size_t i = 0; i < size; ++i) {
        out += QLatin1Char(digits[data[i] >> 4]);
        out += QLatin1Char(digits[data[i] & 0x0F]);
    }
    return out;
}

ConsoleView consoleView(const rig::LampDataPayloads& payloads)
{
    ConsoleView view;
    view.lampPayloadSize = payloads.lampPayload.size();
    view.patchPayloadSize = payloads.patchPayload.size();
    // Bytes a short payload does not reach read as zero, as the import reads them.
    const auto tail = [](const std::vector<std::uint8_t>& payload, std::size_t offset) {
        return offset < payload.size() ? std::make_pair(payload.data() + offset, payload.size() - offset)
                                       : std::make_pair(static_cast<const std::uint8_t*>(nullptr), std::size_t{0});
    };
    for (std::size_t n = 0; n < rig::lampSlots; ++n) {
        const auto [data, size] = tail(payloads.lampPayload, n * rig::lampImageSize);
        view.slots[n] = rig::decodeLamp(data, size);
    }
    for (std::size_t k = 0; k < rig::patchEntryCount; ++k) {
        const auto [data, size] = tail(payloads.patchPayload, k * rig::patchEntryImageSize);
        view.patchEntries[k] = rig::decodePatchEntry(data, size);
    }
    return view;
}

Json lampJson(const rig::Lamp& lamp)
{
    Json wheelFunctions = Json::array();
    for (const std::int16_t code : lamp.WheelFunction)
        wheelFunctions.add(Json::number(code));

    Json wheels = Json::array();
    for (const rig::LampWheel& wheel : lamp.Wheel) {
        Json item = Json::object();
        item.set(QStringLiteral("WheelName"), Json::string(decodeField(wheel.WheelName)));
        item.set(QStringLiteral("Reserved1"), Json::number(wheel.Reserved1));
        item.set(QStringLiteral("Reserved2"), Json::number(wheel.Reserved2));
        wheels.add(std::move(item));
    }

    Json channels = Json::array();
    for (const rig::LampChannel& channel : lamp.Channel) {
        Json item = Json::object();
        item.set(QStringLiteral("Palette"), Json::number(channel.Palette));
        item.set(QStringLiteral("Function"), Json::number(channel.Function));
        item.set(QStringLiteral("Reserved"), Json::number(channel.Reserved));
        item.set(QStringLiteral("Step"), Json::number(channel.Step));
        channels.add(std::move(item));
    }

    Json tables = Json::array();
    for (const auto& table : lamp.ReservedTable)
        tables.add(hexJson(table));

    Json json = Json::object();
    json.set(QStringLiteral("Icon"), Json::number(lamp.Icon));
    json.set(QStringLiteral("Reserved1"), Json::number(lamp.Reserved1));
    json.set(QStringLiteral("LampName"), Json::string(decodeField(lamp.LampName)));
    json.set(QStringLiteral("Reserved2"), Json::number(lamp.Reserved2));
    json.set(QStringLiteral("NumberChannel"), Json::number(lamp.NumberChannel));
    json.set(QStringLiteral("NumberChannelCopy"), Json::number(lamp.NumberChannelCopy));
    json.set(QStringLiteral("Reserved3"), Json::number(lamp.Reserved3));
    json.set(QStringLiteral("WheelFunction"), std::move(wheelFunctions));
    json.set(QStringLiteral("Wheel"), std::move(wheels));
    json.set(QStringLiteral("Channel"), std::move(channels));
    json.set(QStringLiteral("ReservedTable"), std::move(tables));
    json.set(QStringLiteral("ReservedArea1"), hexJson(lamp.ReservedArea1));
    json.set(QStringLiteral("ReservedArea2"), hexJson(lamp.ReservedArea2));
    return json;
}

Json patchEntryJson(const rig::PatchEntry& entry)
{
    Json json = Json::object();
    json.set(QStringLiteral("EntryText"), Json::string(decodeField(entry.EntryText)));
    json.set(QStringLiteral("Spare1"), Json::number(entry.Spare1));
    json.set(QStringLiteral("LampType"), Json::number(entry.LampType));
    json.set(QStringLiteral("StartChannel"), Json::number(entry.StartChannel));
    json.set(QStringLiteral("StartDMX"), Json::number(entry.StartDMX));
    json.set(QStringLiteral("PanInvert"), Json::number(entry.PanInvert));
    json.set(QStringLiteral("TiltInvert"), Json::number(entry.TiltInvert));
    json.set(QStringLiteral("PanTiltSwap"), Json::number(entry.PanTiltSwap));
    json.set(QStringLiteral("Spare2"), Json::number(entry.Spare2));
    json.set(QStringLiteral("Spare3"), Json::number(entry.Spare3));
    json.set(QStringLiteral("Spare4"), hexJson(entry.Spare4));
    json.set(QStringLiteral("ScreenCol"), Json::number(entry.ScreenCol));
    json.set(QStringLiteral("ScreenRow"), Json::number(entry.ScreenRow));
    json.set(QStringLiteral("Point"), Json::number(entry.Point));
    json.set(QStringLiteral("Spare5"), hexJson(entry.Spare5));
    return json;
}

namespace {

Json entriesJson(const std::array<rig::PatchEntry, rig::patchEntryCount>& entries)
{
    Json json = Json::array();
    for (const rig::PatchEntry& entry : entries)
        json.add(patchEntryJson(entry));
    return json;
}

}  // namespace

Json stagePatchJson(const rig::StagePatch& patch)
{
    Json lamps = Json::array();
    for (const rig::Lamp& lamp : patch.lmpLamps)
        lamps.add(lampJson(lamp));

    Json json = Json::object();
    json.set(QStringLiteral("lmpLamps"), std::move(lamps));
    json.set(QStringLiteral("patchEntries"), entriesJson(patch.patchEntries));
    json.set(QStringLiteral("nNextDMX"), Json::number(patch.nNextDMX));
    json.set(QStringLiteral("nNextEntry"), Json::number(patch.nNextEntry));
    return json;
}

Json consoleJson(const ConsoleView& view)
{
    Json slots = Json::array();
    for (std::size_t n = 0; n < view.slots.size(); ++n) {
        if (view.slots[n].Icon == 0)
            continue;
        Json slot = Json::object();
        slot.set(QStringLiteral("slot"), Json::number(static_cast<long long>(n)));
        slot.set(QStringLiteral("lamp"), lampJson(view.slots[n]));
        slots.add(std::move(slot));
    }

    Json json = Json::object();
    json.set(QStringLiteral("lampPayloadSize"), Json::number(static_cast<long long>(view.lampPayloadSize)));
    json.set(QStringLiteral("patchPayloadSize"), Json::number(static_cast<long long>(view.patchPayloadSize)));
    json.set(QStringLiteral("slots"), std::move(slots));
    json.set(QStringLiteral("patchEntries"), entriesJson(view.patchEntries));
    return json;
}

QString lampText(const rig::Lamp& lamp)
{
    QString out;
    out += QStringLiteral("LampName           %1\n").arg(displayText(lamp.LampName));
    out += QStringLiteral("Icon               %1\n").arg(iconLabel(lamp.Icon));
    out += QStringLiteral("NumberChannel      %1").arg(lamp.NumberChannel);
    if (lamp.NumberChannel < 1 || lamp.NumberChannel > rig::maxChannels)
        out += QStringLiteral(" (outside 1 to %1)").arg(rig::maxChannels);
    out += QLatin1Char('\n');
    out += QStringLiteral("NumberChannelCopy  %1\n").arg(lamp.NumberChannelCopy);

    std::vector<QStringList> channelRows;
    for (std::size_t c = 0; c < lamp.usedChannels(); ++c) {
        const rig::LampChannel& channel = lamp.Channel[c];
        channelRows.push_back({QString::number(c + 1), functionLabel(channel.Function), paletteLabel(channel.Palette),
                               QString::number(channel.Step)});
    }
    out += QLatin1Char('\n');
    out += formatTable({{QStringLiteral("Channel"), true},
                        {QStringLiteral("Function"), false},
                        {QStringLiteral("Palette"), false},
                        {QStringLiteral("Step"), true}},
                       channelRows);

    // Wheel slots that carry a function or a name; the others are blank in the window.
    std::vector<QStringList> wheelRows;
    for (std::size_t k = 0; k < lamp.Wheel.size(); ++k) {
        const QString name = displayText(lamp.Wheel[k].WheelName);
        if (lamp.WheelFunction[k] == 0 && name.isEmpty())
            continue;
        wheelRows.push_back({QString::number(k + 1), functionLabel(lamp.WheelFunction[k]), name});
    }
    out += QLatin1Char('\n');
    if (wheelRows.empty())
        out += QStringLiteral("No wheel slot is assigned.\n");
    else
        out += formatTable({{QStringLiteral("Wheel"), true},
                            {QStringLiteral("Function"), false},
                            {QStringLiteral("WheelName"), false}},
                           wheelRows);

    const QStringList reserved = setReservedFields(lamp);
    out += QLatin1Char('\n');
    out += reserved.isEmpty() ? QStringLiteral("Reserved fields: all zero\n")
                              : QStringLiteral("Reserved fields holding data: %1\n").arg(reserved.join(QStringLiteral(", ")));
    return out;
}

QString stagePatchText(const rig::StagePatch& patch)
{
    QString out;
    out += QStringLiteral("nNextDMX    %1\n").arg(patch.nNextDMX);
    out += QStringLiteral("nNextEntry  %1\n").arg(patch.nNextEntry);
    out += QStringLiteral("\nLamp types\n");
    out += lampSlotTable(patch.lmpLamps, [](const rig::Lamp& lamp) { return !lamp.LampName.isAllZero(); });
    out += QStringLiteral("\nPlaced lamps\n");
    out += patchSheetText(patchSheetRows(patch, SheetOrder::ByLamp));
    return out;
}

QString consoleText(const ConsoleView& view)
{
    QString out;
    out += QStringLiteral("Lamp payload   %1 bytes\n").arg(view.lampPayloadSize);
    out += QStringLiteral("Patch payload  %1 bytes\n").arg(view.patchPayloadSize);
    out += QStringLiteral("\nLamps\n");
    out += lampSlotTable(view.slots, [](const rig::Lamp& lamp) { return lamp.Icon != 0; });

    // The entries' lamp types refer to the file's own slots.
    rig::StagePatch patch;
    patch.lmpLamps = view.slots;
    patch.patchEntries = view.patchEntries;
    out += QStringLiteral("\nPlaced lamps\n");
    out += patchSheetText(patchSheetRows(patch, SheetOrder::ByLamp));
    return out;
}

std::vector<PatchSheetRow> patchSheetRows(const rig::StagePatch& patch, SheetOrder order)
{
    const auto conflicts = rig::findDmxConflicts(patch);
    std::vector<PatchSheetRow> rows;
    for (std::size_t k = 0; k < patch.patchEntries.size(); ++k) {
        const rig::PatchEntry& entry = patch.patchEntries[k];
        if (!entry.inUse())
            continue;
        PatchSheetRow row;
        row.lamp = static_cast<int>(k) + 1;
        if (!entry.hasValidLampType())
            row.type = QStringLiteral("(no lamp type %1)").arg(entry.LampType);
        else if (!patch.slotHoldsLamp(static_cast<std::size_t>(entry.LampType)))
            row.type = QStringLiteral("(empty slot %1)").arg(entry.LampType);
        else
            row.type = displayText(patch.lmpLamps[static_cast<std::size_t>(entry.LampType)].LampName);
        row.channels = rig::entryChannelCount(patch, entry);
        row.startChannel = entry.StartChannel;
        row.startDmx = entry.StartDMX;
        row.dmxRange = row.channels > 0 ? QStringLiteral("%1-%2").arg(row.startDmx).arg(row.startDmx + row.channels - 1)
                                        : QString::number(row.startDmx);
        row.position = positionLabel(entry.ScreenRow, entry.ScreenCol);
        row.panInvert = flagLabel(entry.PanInvert);
        row.tiltInvert = flagLabel(entry.TiltInvert);
        row.swap = flagLabel(entry.PanTiltSwap);
        row.conflict = fromStd(rig::describeConflict(conflicts[k]));
        rows.push_back(row);
    }
    if (order == SheetOrder::ByDmx)
        std::stable_sort(rows.begin(), rows.end(),
                         [](const PatchSheetRow& a, const PatchSheetRow& b) { return a.startDmx < b.startDmx; });
    return rows;
}

namespace {

const QStringList sheetTitles = {QStringLiteral("Lamp"),       QStringLiteral("Type"),        QStringLiteral("Channels"),
                                 QStringLiteral("Start channel"), QStringLiteral("DMX"),      QStringLiteral("Position"),
                                 QStringLiteral("Pan invert"), QStringLiteral("Tilt invert"), QStringLiteral("Swap"),
                                 QStringLiteral("Conflict")};

QStringList sheetCells(const PatchSheetRow& row)
{
    return {QString::number(row.lamp), row.type,      QString::number(row.channels), QString::number(row.startChannel),
            row.dmxRange,              row.position,  row.panInvert,                 row.tiltInvert,
            row.swap,                  row.conflict};
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

QString patchSheetText(const std::vector<PatchSheetRow>& rows)
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
    for (const PatchSheetRow& row : rows)
        cells.push_back(sheetCells(row));
    return formatTable(columns, cells);
}

QString patchSheetCsv(const std::vector<PatchSheetRow>& rows)
{
    const auto line = [](const QStringList& cells) {
        QStringList fields;
        for (const QString& cell : cells)
            fields << csvField(cell);
        return fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    };
    QString out = line(sheetTitles);
    for (const PatchSheetRow& row : rows)
        out += line(sheetCells(row));
    return out;
}

}  // namespace cli
