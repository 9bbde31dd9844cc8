#include "cli/record_text.h"

#include "cli/patch_sheet_text.h"
#include "cli/text_table.h"
#include "core/function_names.h"
#include "core/patch_sheet.h"
#include "qtcore/field_text.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

namespace {

using rig::FieldControls;
using rig::FieldSpaces;

// A stored name on one line of a terminal: trimmed, control characters shown as '?'.
template <typename Field>
QString nameText(const Field& field)
{
    return rig::fromField(field, FieldSpaces::Trim, FieldControls::AsQuestionMark);
}

QString functionLabel(int code)
{
    if (code < 0 || code >= static_cast<int>(rig::functionCodes))
        return QStringLiteral("(code %1)").arg(code);
    return nameText(rig::functionName(code));
}

QString paletteLabel(int code)
{
    if (code < 0 || code >= static_cast<int>(rig::paletteTypeCodes))
        return QStringLiteral("(code %1)").arg(code);
    return nameText(rig::paletteTypeName(code));
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

template <std::size_t N>
bool allZero(const std::array<std::uint8_t, N>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
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
        rows.push_back({QString::number(n), nameText(lamp.LampName), iconLabel(lamp.Icon),
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

QString lampText(const rig::Lamp& lamp)
{
    QString out;
    out += QStringLiteral("LampName           %1\n").arg(nameText(lamp.LampName));
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
        const QString name = nameText(lamp.Wheel[k].WheelName);
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
    out += patchSheetText(rig::patchSheetRows(patch, rig::SheetOrder::ByLamp));
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
    out += patchSheetText(rig::patchSheetRows(patch, rig::SheetOrder::ByLamp));
    return out;
}

}  // namespace cli
