// The stage screen's patch sheet: its File menu items, the PDF's save dialog, the print
// dialog, and the sheet itself, which is the command line's for the same file.
#include "../common/pdf_sheets.h"
#include "cli_runner.h"
#include "shell_fixture.h"
#include "windows/frmStageScreen.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPrintDialog>
#include <QPrinter>

namespace {

using testpdf::pdfPages;

class PatchSheetWindow : public ShellTest {
protected:
    // Paper follows the locale: these tests say which one they run in.
    PatchSheetWindow() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    ~PatchSheetWindow() override { QLocale::setDefault(m_locale); }

    QString writePatch(const char* name, const rig::StagePatch& patch) const
    {
        rig::writePatchFile(toPath(file(name)), patch);
        return file(name);
    }

    // The command line's sheet of the same file, page by page.
    std::vector<QStringList> commandLineSheet(const QString& patchFile, const QStringList& options = {}) const
    {
        const QString out = file("command-line.pdf");
        QFile::remove(out);
        const CliRun run = runCommandLine(QStringList{"patch-sheet", patchFile, "--pdf", out} + options);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        return pdfPages(out);
    }

    // A patch with a conflict: two lamps overlapping on the DMX line.
    static rig::StagePatch clashingPatch()
    {
        rig::StagePatch patch;
        testpdf::putLampType(patch, 2, "Profile", {{4, 21}, {3, 7}});
        patch.patchEntries[0] = testpdf::placedLamp(2, 1, 40, 3, 4);
        patch.patchEntries[1] = testpdf::placedLamp(2, 2, 41, 3, 5);
        return patch;
    }

    QAction* print = action("mnuFilePrintSheet");
    QAction* pdf = action("mnuFileExportSheet");

private:
    QLocale m_locale;
};

TEST_F(PatchSheetWindow, TheSheetCommandsAreOfferedWhileTheStageScreenIsActive)
{
    const auto offered = [this] { return QStringLiteral("%1 %2").arg(print->isEnabled()).arg(pdf->isEnabled()); };
    EXPECT_EQ(offered(), "0 0");
    openFile(writePatch("show.pat", clashingPatch()));
    frmStageScreen* screen = main.stageScreen(false);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(offered(), "1 1");

    choose("mnuFileNewLamp");
    EXPECT_EQ(offered(), "0 0");
    main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(screen->parentWidget()));
    EXPECT_EQ(offered(), "1 1");

    // Closed, the screen leaves the client area; the lamp window is active again.
    choose("mnuFileClose");
    EXPECT_EQ(offered(), "0 0");
    openFile(file("show.pat"));
    EXPECT_EQ(offered(), "1 1");
}

TEST_F(PatchSheetWindow, ThePdfIsTheCommandLinesSheetUnderANameTheDialogProposes)
{
    const QString patchFile = writePatch("show.pat", testpdf::fullPatch());
    openFile(patchFile);

    // A bare name gets ".pdf"; the dialog proposed the patch's name beside it.
    fake.fileAnswers = {file("crew")};
    choose("mnuFileExportSheet");
    ASSERT_EQ(fake.fileCalls.size(), 2u);
    EXPECT_TRUE(fake.fileCalls[1].save);
    EXPECT_EQ(fake.fileCalls[1].request.fileName, file("show.pdf"));
    EXPECT_TRUE(fake.messages.empty());
    const std::vector<QStringList> sheet = pdfPages(file("crew.pdf"));
    EXPECT_GE(sheet.size(), 4u);
    EXPECT_EQ(sheet, commandLineSheet(patchFile));

    // An existing file is replaced only when the user says so.
    const Bytes written = readAll(file("crew.pdf"));
    fake.fileAnswers = {file("crew.pdf")};
    fake.answers = {ui::Answer::No};
    choose("mnuFileExportSheet");
    ASSERT_EQ(fake.messages.size(), 1u);
    expectMessage(fake.messages[0], "File " + file("crew.pdf") + " exists\r\nDo you wish to overwrite it?",
                  "Patch sheet file exists", ui::Icon::Question, ui::Buttons::YesNo);
    EXPECT_EQ(readAll(file("crew.pdf")), written);

    // A folder that is not there: the failure is said, and nothing is left behind.
    fake.fileAnswers = {file("gone/crew.pdf")};
    choose("mnuFileExportSheet");
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_TRUE(fake.messages[1].text.startsWith("Error 53 when saving file:")) << fake.messages[1].text.toStdString();
    EXPECT_FALSE(QDir(file("gone")).exists());
}

TEST_F(PatchSheetWindow, UnsavedChangesAreSaidAndDatedByThePrinting)
{
    openFile(writePatch("show.pat", clashingPatch()));
    {
        QFile patchFile(file("show.pat"));
        ASSERT_TRUE(patchFile.open(QIODevice::ReadWrite));
        ASSERT_TRUE(patchFile.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6)), QFileDevice::FileModificationTime));
    }
    main.stageScreen(false)->setChanged(true);
    fake.fileAnswers = {file("changed.pdf")};
    choose("mnuFileExportSheet");
    const std::vector<QStringList> sheet = pdfPages(file("changed.pdf"));
    ASSERT_FALSE(sheet.empty());
    EXPECT_TRUE(sheet[0][0].startsWith("show.pat (unsaved changes) Rigsmith ")) << sheet[0][0].toStdString();
    EXPECT_FALSE(sheet[0][1].startsWith("2021-03-04")) << sheet[0][1].toStdString();
}

// In a US locale the sheet is on Letter; the printer the dialog leaves set gets it.
TEST_F(PatchSheetWindow, PrintingGoesThroughThePrintDialogOntoLetterInTheUs)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString patchFile = writePatch("show.pat", clashingPatch());
    openFile(patchFile);

    // The dialog points the printer at a PDF file; accepted or not, as the script says.
    const QString printed = file("printed.pdf");
    const auto printDialog = [&printed](bool accept) {
        return [&printed, accept](QDialog& dialog) {
            auto* shown = qobject_cast<QPrintDialog*>(&dialog);
            ASSERT_NE(shown, nullptr);
            shown->printer()->setOutputFormat(QPrinter::PdfFormat);
            shown->printer()->setOutputFileName(printed);
            dialog.setResult(accept ? QDialog::Accepted : QDialog::Rejected);
        };
    };
    fake.dialogScripts = {printDialog(false)};
    choose("mnuFilePrintSheet");
    ASSERT_EQ(fake.dialogsShown, std::vector<QString>{"dlgPrintPatchSheet"});
    EXPECT_FALSE(QFile::exists(printed));

    fake.dialogScripts = {printDialog(true)};
    choose("mnuFilePrintSheet");
    EXPECT_EQ(testpdf::pdfPageSize(printed).toStdString(), "792 x 612 pts (letter)");
    const std::vector<QStringList> sheet = pdfPages(printed);
    ASSERT_FALSE(sheet.empty());
    EXPECT_EQ(sheet[0][2], "Patch");
    EXPECT_TRUE(sheet[0].contains("2 Profile 2 2 41 42 D6 no no no DMX overlaps lamp 1"));
    EXPECT_EQ(sheet, commandLineSheet(patchFile, {"--paper", "letter"}));
    EXPECT_TRUE(fake.messages.empty());
}

}  // namespace
