// patch-sheet --pdf: the printed sheet read back with pdftotext, and its write rules.
#include "../common/pdf_sheets.h"
#include "cli_test_support.h"
#include "base/file_io.h"
#include "qtcore/file_names.h"

#include <QDateTime>
#include <QDir>

#include <cerrno>

namespace {

using namespace clitest;
using testpdf::placedLamp;
using testpdf::putLampType;

class PdfSheetTest : public CliFixture {
protected:
    void writePatch(const QString& name, const rig::StagePatch& patch) const
    {
        rig::writePatchFile(rig::toPath(path(name)), patch);
    }
    [[nodiscard]] QString heading(const QString& name) const { return name + " Rigsmith " + cli::versionText(); }
};

// Two types, a slot that holds none, an overlap, a lamp past the line's end, two lamps
// in one cell and one off the grid, placed out of address order.
rig::StagePatch mixedPatch()
{
    rig::StagePatch patch;
    putLampType(patch, 0, "Spot 575",
                {{1, 1}, {1, 2}, {1, 4}, {1, 5}, {3, 7}, {3, 8}, {2, 13}, {2, 15},
                 {2, 14}, {2, 16}, {2, 20}, {2, 17}, {2, 19}, {4, 21}, {5, 22}, {7, 44}});
    putLampType(patch, 1, "Wash", {{1, 3}, {1, 6}, {3, 32}, {3, 33}, {3, 34}, {3, 12},
                                   {2, 18}, {4, 21}, {5, 22}, {5, 38}, {6, 29}, {0, 0}});
    auto& entries = patch.patchEntries;
    entries[0] = placedLamp(0, 1, 100, 1, 2);
    entries[0].PanInvert = 1;
    entries[1] = placedLamp(1, 2, 1, 0, 0);
    entries[1].TiltInvert = 1;
    entries[2] = placedLamp(1, 3, 110, 23, 19);
    entries[2].PanTiltSwap = 1;
    entries[3] = placedLamp(0, 4, 505, 0, 0);
    entries[4] = placedLamp(3, 5, 300, 30, 2);
    entries[6] = placedLamp(0, 9, 0, 5, 5);  // not in use
    return patch;
}

TEST_F(PdfSheetTest, EveryLampInAddressOrderWithItsNumbersConflictsChannelsAndCell)
{
    writePatch("show.pat", mixedPatch());
    {
        // The heading's date and time are the file's last change.
        QFile file(path("show.pat"));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6)), QFileDevice::FileModificationTime));
    }
    const Result result = run("patch-sheet @show.pat --pdf @show.pdf");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Wrote " + path("show.pdf") + " with 3 pages\n");
    EXPECT_EQ(testpdf::pdfPageSize(path("show.pdf")), "842 x 595 pts (A4)");

    const std::vector<QStringList> pages = testpdf::pdfPages(path("show.pdf"));
    ASSERT_EQ(pages.size(), 3u);
    for (std::size_t k = 0; k < pages.size(); ++k) {
        ASSERT_GE(pages[k].size(), 3);
        EXPECT_EQ(pages[k][0], heading("show.pat"));
        EXPECT_EQ(pages[k][1], "2021-03-04 05:06 · 5 lamps placed · 42 DMX channels used · 3 conflicts");
        EXPECT_EQ(pages[k].last(), QStringLiteral("Page %1 of 3").arg(k + 1));
    }
    EXPECT_EQ(testpdf::tableRows(pages[0]), (QStringList{
                                                "2 Wash 12 2 1 12 A1 no yes no",
                                                "1 Spot 575 16 1 100 115 B3 yes no no DMX overlaps lamp 3",
                                                "3 Wash 12 3 110 121 X20 no no yes DMX overlaps lamp 1",
                                                "5 (empty slot 3) 0 5 300 – row 31 col 3 no no no",
                                                "4 Spot 575 16 4 505 520 A1 no no no DMX runs past 512",
                                            }));

    // One map per type in use, every channel with its function and palette; a code
    // without a name says its number.
    const QStringList& maps = pages[1];
    const auto spot = maps.indexOf("Spot 575");
    const auto wash = maps.indexOf("Wash");
    ASSERT_GE(spot, 0);
    ASSERT_GT(wash, spot);
    EXPECT_EQ(maps.mid(spot, 5), (QStringList{"Spot 575", "Slot 0 · 16 channels · lamps 1, 4", "Channel Function Palette",
                                              "1 Pan Coarse Position", "2 Pan Fine Position"}));
    EXPECT_EQ(maps[spot + 18], "16 (code 44) Aux2");
    EXPECT_EQ(maps.mid(wash, 4), (QStringList{"Wash", "Slot 1 · 12 channels · lamps 2, 3", "Channel Function Palette",
                                              "1 Pan 8-bit Position"}));
    EXPECT_EQ(maps[wash + 13], "11 Aux1 Aux1");
    EXPECT_EQ(maps[wash + 14], "12 None None");
    EXPECT_FALSE(maps.join('\n').contains("Slot 3"));

    // The stage plan: the row letters, the lamps of each cell, the lamp off the grid.
    const QStringList& plan = pages[2];
    EXPECT_TRUE(plan.contains("A 2, 4"));
    EXPECT_TRUE(plan.contains("B 1"));
    EXPECT_TRUE(plan.contains("C"));
    EXPECT_TRUE(plan.contains("X 3"));
    EXPECT_TRUE(plan.contains("Off the stage grid: lamp 5 (row 31 col 3)"));
}

TEST_F(PdfSheetTest, AHundredLampsRunOverPagesEachWithTheColumnHeadings)
{
    writePatch("full.pat", testpdf::fullPatch());
    ASSERT_EQ(run("patch-sheet @full.pat --pdf @full.pdf").status, 0);
    const std::vector<QStringList> pages = testpdf::pdfPages(path("full.pdf"));

    const QString headings = "Lamp Type Channels Start channel DMX start DMX end Position Pan invert Tilt invert Swap Conflict";
    QStringList rows;
    std::size_t tablePages = 0;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        EXPECT_EQ(pages[k].last(), QStringLiteral("Page %1 of %2").arg(k + 1).arg(pages.size()));
        const QStringList pageRows = testpdf::tableRows(pages[k]);
        if (pageRows.isEmpty())
            continue;
        ++tablePages;
        ASSERT_GE(pages[k].size(), 4);
        EXPECT_EQ(pages[k][2], k == 0 ? "Patch" : "Patch (continued)");
        EXPECT_EQ(pages[k][3], headings) << "page " << k + 1;
        rows << pageRows;
    }
    EXPECT_GE(tablePages, 3u);
    ASSERT_EQ(rows.size(), 100);
    int lastDmx = 0;
    for (int k = 0; k < 100; ++k) {
        const QStringList words = rows[k].split(' ');
        EXPECT_EQ(words[0].toInt(), k + 1) << rows[k];
        EXPECT_GT(words[4].toInt(), lastDmx) << rows[k];
        lastDmx = words[4].toInt();
    }
    EXPECT_EQ(lastDmx, 396);
}

TEST_F(PdfSheetTest, AnEmptyPatchIsItsHeadingOnLetterPaper)
{
    writePatch("empty.pat", rig::StagePatch{});
    const Result result = run("patch-sheet @empty.pat --pdf @empty.pdf --paper letter");
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(testpdf::pdfPageSize(path("empty.pdf")), "792 x 612 pts (letter)");
    const std::vector<QStringList> pages = testpdf::pdfPages(path("empty.pdf"));
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 4);
    EXPECT_EQ(pages[0][0], heading("empty.pat"));
    EXPECT_TRUE(pages[0][1].endsWith(" · 0 lamps placed · 0 DMX channels used · 0 conflicts")) << pages[0][1];
    EXPECT_EQ(pages[0][2], "No lamps placed");
    EXPECT_EQ(pages[0][3], "Page 1 of 1");
}

TEST_F(PdfSheetTest, WritesWholeOrNotAtAllAndReplacesOnlyWithForce)
{
    writePatch("show.pat", mixedPatch());
    const auto scratchFiles = [this] { return QDir(path("out")).entryList(QDir::Files | QDir::Hidden); };
    ASSERT_TRUE(QDir(m_dir.path()).mkpath("out"));

    // A disk that fills during the write leaves neither the file nor a temporary.
    rig::testing::failNextWrites(ENOSPC, 1);
    const Result full = run("patch-sheet @show.pat --pdf @out/show.pdf");
    rig::testing::failNextWrites(0, 0);
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.errLines(), QStringList{failure("out/show.pdf", "Disk full")});
    EXPECT_EQ(scratchFiles(), QStringList{});

    const Result missingFolder = run("patch-sheet @show.pat --pdf @nowhere/show.pdf");
    EXPECT_EQ(missingFolder.status, 2);
    EXPECT_EQ(missingFolder.errLines().size(), 1) << missingFolder.err;
    EXPECT_FALSE(exists("nowhere"));

    EXPECT_EQ(run("patch-sheet @show.pat --pdf @out").errLines(), QStringList{failure("out", "Is a folder")});

    write("out/show.pdf", {'o', 'l', 'd'});
    EXPECT_EQ(run("patch-sheet @show.pat --pdf @out/show.pdf").errLines(),
              QStringList{failure("out/show.pdf", "File exists; use --force to replace it")});
    EXPECT_EQ(read("out/show.pdf"), (Bytes{'o', 'l', 'd'}));
    ASSERT_EQ(run("patch-sheet @show.pat --pdf @out/show.pdf --force").status, 0);
    const Bytes replaced = read("out/show.pdf");
    EXPECT_EQ(std::string(replaced.begin(), replaced.begin() + 5), "%PDF-");
    EXPECT_EQ(scratchFiles(), QStringList{"show.pdf"});
}

TEST_F(PdfSheetTest, OptionsThatDoNotGoTogetherWriteNothing)
{
    writePatch("show.pat", mixedPatch());
    for (const char* line : {"patch-sheet @show.pat --csv --pdf @a.pdf", "patch-sheet @show.pat --pdf @a.pdf --paper a3",
                             "patch-sheet @show.pat --force", "patch-sheet @show.pat --paper letter",
                             "patch-sheet @show.pat --pdf", "patch-sheet @missing.pat --pdf @a.pdf"}) {
        const Result result = run(line);
        EXPECT_EQ(result.status, 2) << line;
        EXPECT_EQ(result.errLines().size(), 1) << line << result.err;
        EXPECT_FALSE(exists("a.pdf")) << line;
    }
}

// Only a PDF makes the program start Qt Gui; every other command line stays on QtCore.
TEST(PdfGraphics, OnlyAPatchSheetPdfNeedsThem)
{
    EXPECT_TRUE(cli::needsGraphics({"patch-sheet", "a.pat", "--pdf", "a.pdf"}));
    EXPECT_TRUE(cli::needsGraphics({"patch-sheet", "--pdf=a.pdf", "a.pat"}));
    EXPECT_FALSE(cli::needsGraphics({"patch-sheet", "a.pat", "--csv"}));
    EXPECT_FALSE(cli::needsGraphics({"patch-sheet", "--", "--pdf"}));
    EXPECT_FALSE(cli::needsGraphics({"show", "--pdf"}));
    EXPECT_FALSE(cli::needsGraphics({}));
}

}  // namespace
