// The laid-out sheet on both papers, with the widest names and the most crowded stage
// a file can hold: every text fits the place it was given, inside the page, and no two
// texts are drawn over each other.
#include "../common/pdf_sheets.h"
#include "sheet/sheet_content.h"
#include "sheet/sheet_output.h"
#include "sheet/sheet_pages.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPdfWriter>

#include <gtest/gtest.h>

namespace {

using testpdf::placedLamp;
using testpdf::putLampType;

// Every entry in use and all of them in cell A1; names as wide as 16 characters get,
// conflicts of both kinds, flags that are neither 0 nor 1, and a lamp far off the grid.
rig::StagePatch crowdedPatch()
{
    rig::StagePatch patch;
    putLampType(patch, 0, "WWWWWWWWWWWWWWWW", {{1, 1}, {8, 43}, {-1, 99}});
    patch.lmpLamps[0].NumberChannel = 36;
    putLampType(patch, 15, "MMMM MMMM MMMMMM", {{1, 1}});
    for (std::size_t k = 0; k < rig::patchEntryCount; ++k) {
        patch.patchEntries[k] = placedLamp(k % 3 == 0 ? 15 : 0, 32000, 480 + static_cast<int>(k), 0, 0);
        patch.patchEntries[k].PanInvert = 255;
    }
    patch.patchEntries[99] = placedLamp(-32768, -32768, -32768, 255, 255);
    return patch;
}

std::string describe(const sheet::TextInk& ink)
{
    return "\"" + ink.text.toStdString() + "\" at " + std::to_string(ink.rect.x()) + "," + std::to_string(ink.rect.y()) +
           " size " + std::to_string(ink.rect.width()) + "x" + std::to_string(ink.rect.height());
}

void expectTidyPages(const sheet::SheetContent& content, sheet::Paper paper)
{
    QBuffer buffer;
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    QPdfWriter writer(&buffer);
    writer.setPageLayout(sheet::pageLayoutFor(paper));
    const std::vector<sheet::Page> pages = sheet::layOutSheet(content, writer);
    const QRectF area(0, 0, writer.width(), writer.height());
    const double slack = writer.resolution() / 254.0;  // a tenth of a millimetre
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const auto& texts = pages[k].texts;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const sheet::TextInk& ink = texts[i];
            EXPECT_TRUE(area.adjusted(-slack, -slack, slack, slack).contains(ink.rect)) << "page " << k + 1 << " " << describe(ink);
            const QRectF needed = QFontMetricsF(sheet::fontOf(ink.style), &writer).boundingRect(ink.rect, ink.flags, ink.text);
            EXPECT_TRUE(ink.rect.adjusted(-slack, -slack, slack, slack).contains(needed))
                << "page " << k + 1 << " " << describe(ink) << " needs " << needed.width() << "x" << needed.height();
            for (std::size_t j = i + 1; j < texts.size(); ++j) {
                const QRectF overlap = ink.rect.intersected(texts[j].rect);
                EXPECT_TRUE(overlap.width() <= slack || overlap.height() <= slack)
                    << "page " << k + 1 << " " << describe(ink) << " and " << describe(texts[j]);
            }
        }
    }
}

TEST(SheetLayout, CrowdedPatchStaysInsideItsPlacesOnBothPapers)
{
    const sheet::SheetContent content =
        sheet::makeSheetContent(crowdedPatch(), QString(200, QLatin1Char('W')) + ".pat", false);
    EXPECT_FALSE(content.plan.offGrid.isEmpty());
    for (const sheet::Paper paper : {sheet::Paper::A4, sheet::Paper::Letter}) {
        SCOPED_TRACE(paper == sheet::Paper::A4 ? "A4" : "Letter");
        expectTidyPages(content, paper);
    }
}

TEST(SheetLayout, FullAndEmptyPatchesStayInsideTheirPlaces)
{
    expectTidyPages(sheet::makeSheetContent(testpdf::fullPatch(), "full.pat", false), sheet::Paper::A4);
    expectTidyPages(sheet::makeSheetContent(rig::StagePatch{}, QString(), false), sheet::Paper::Letter);
}

}  // namespace
