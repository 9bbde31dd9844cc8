#pragma once

// Reading printed patch sheets back, shared by the command-line, sheet and window tests:
// the text of a PDF as pdftotext gives it (poppler-utils, installed by
// scripts/install-deps.sh; a missing tool fails the test), and patches to print.

#include "core/stage_patch.h"

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace testpdf {

// The output of a poppler tool on `path`; empty, with a test failure, when it cannot run.
inline QString popplerOutput(const QString& tool, const QStringList& arguments)
{
    QProcess run;
    run.start(tool, arguments);
    if (!run.waitForFinished(60000) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " " << arguments.join(' ').toStdString()
                      << " did not run (poppler-utils, see scripts/install-deps.sh): " << run.errorString().toStdString()
                      << run.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(run.readAllStandardOutput());
}

// The pages of a PDF, each as its lines of text in the order they were drawn.
inline std::vector<QStringList> pdfPages(const QString& path)
{
    std::vector<QStringList> pages;
    const QStringList texts = popplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")})
                                  .split(QLatin1Char('\f'));
    for (const QString& text : texts) {
        if (!text.trimmed().isEmpty())
            pages.push_back(text.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    }
    return pages;
}

// "842 x 595 pts (A4)": the page size pdfinfo reports.
inline QString pdfPageSize(const QString& path)
{
    const QRegularExpressionMatch found = QRegularExpression(QStringLiteral("Page size:\\s+(.*)\\n"))
                                              .match(popplerOutput(QStringLiteral("pdfinfo"), {path}));
    return found.captured(1).trimmed();
}

// The rows of the patch table on a page: the lines between its column headings and the
// page number, on a page whose first line under the heading is the table's title.
inline QStringList tableRows(const QStringList& page)
{
    if (page.size() < 5 || !page[2].startsWith(QLatin1String("Patch")))
        return {};
    return page.mid(4, page.size() - 5);
}

// A lamp type in `slot` with one channel per {palette, function}.
inline void putLampType(rig::StagePatch& patch, std::size_t slot, const char* name,
                        std::initializer_list<std::pair<int, int>> channels)
{
    rig::Lamp& lamp = patch.lmpLamps[slot];
    lamp.Icon = 1;
    lamp.LampName.assign(name);
    lamp.NumberChannel = static_cast<std::uint8_t>(channels.size());
    lamp.NumberChannelCopy = lamp.NumberChannel;
    std::size_t c = 0;
    for (const auto& [palette, function] : channels)
        lamp.Channel[c++] = {static_cast<std::int16_t>(palette), static_cast<std::int16_t>(function), 0, 1};
}

inline rig::PatchEntry placedLamp(int lampType, int startChannel, int startDmx, int row, int col)
{
    rig::PatchEntry entry;
    entry.LampType = static_cast<std::int16_t>(lampType);
    entry.StartChannel = static_cast<std::int16_t>(startChannel);
    entry.StartDMX = static_cast<std::int16_t>(startDmx);
    entry.ScreenRow = static_cast<std::uint8_t>(row);
    entry.ScreenCol = static_cast<std::uint8_t>(col);
    return entry;
}

// The 100 entries filled with lamps of two types, in lamp order along the DMX line.
inline rig::StagePatch fullPatch()
{
    rig::StagePatch patch;
    putLampType(patch, 0, "Spot", {{1, 1}, {1, 4}, {4, 21}});
    putLampType(patch, 1, "Wash", {{1, 1}, {1, 4}, {3, 32}, {3, 33}, {4, 21}});
    int dmx = 1;
    for (int k = 0; k < static_cast<int>(rig::patchEntryCount); ++k) {
        patch.patchEntries[static_cast<std::size_t>(k)] = placedLamp(k % 2, k + 1, dmx, k / rig::stageCols, k % rig::stageCols);
        dmx += k % 2 == 0 ? 3 : 5;
    }
    return patch;
}

}  // namespace testpdf
