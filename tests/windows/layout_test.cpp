#include "windows/frmExport.h"
#include "windows/frmImport.h"
#include "windows/frmDocument.h"
#include "windows/dlgSSProperties.h"
#include "ui/common_dialog.h"
#include "ui/twips.h"
#include "window_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

namespace {

// Text that does not fit its control: a label, button or heading narrower than its
// text, a wrapped label shorter than its lines.
QStringList cutTexts(const QWidget& window)
{
    QStringList cut;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        const bool fits = label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                            : label->width() >= label->sizeHint().width();
        if (!fits)
            cut << label->objectName() + ": " + label->text();
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->isVisible() && !button->text().isEmpty() && button->width() < button->sizeHint().width())
            cut << button->objectName() + ": " + button->text();
    return cut;
}

// Direct children of the lamp window that cover each other.
QStringList overlaps(const QWidget& window)
{
    QStringList found;
    const QList<QWidget*> controls = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            if (controls[i]->isVisible() && controls[j]->isVisible() &&
                controls[i]->geometry().intersects(controls[j]->geometry()))
                found << controls[i]->objectName() + " / " + controls[j]->objectName();
    return found;
}

// Each case runs at the standard font and at a larger one; the whole suite runs again
// at 144 dpi (see the test list).
class Layout : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override
    {
        m_font = QApplication::font();
        QFont larger = m_font;
        larger.setPointSizeF(m_font.pointSizeF() * GetParam());
        QApplication::setFont(larger);
    }
    void TearDown() override { QApplication::setFont(m_font); }

    FakeUi fake;
    rig::AppState state;
    QFont m_font;
};

TEST_P(Layout, TheLampWindowShowsEveryTextAndTheWholeChannelGrid)
{
    CommonDialog dialog(fake);
    frmDocument w(state.lmpImport, fake, dialog);
    w.File_New();
    w.resize(w.sizeHint());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.findChild<QLineEdit*>(QStringLiteral("txtNoChannels"))->setText(QStringLiteral("36"));
    QApplication::processEvents();

    auto* grid = w.findChild<QTableView*>(QStringLiteral("grdChannels"));
    ASSERT_EQ(grid->model()->rowCount(), 36);
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible());
    for (int column = 0; column < 3; ++column)
        EXPECT_GE(grid->columnWidth(column), grid->horizontalHeader()->sectionSizeHint(column)) << column;
    EXPECT_EQ(cutTexts(w).join(", ").toStdString(), "");
    EXPECT_EQ(overlaps(w).join(", ").toStdString(), "");

    // With the standard font at 96 dpi every control stands at its design place.
    if (GetParam() == 1.0 && ui::twipsToPixels(1440) == 96) {
        const auto* label = w.findChild<QLabel*>(QStringLiteral("Label1"));
        EXPECT_EQ(label->geometry(), QRect(288, 8, 142, 20));
        EXPECT_EQ(grid->geometry().topLeft(), QPoint(16, 56));
        EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Label2"))->x(), 416);

        // The lower part follows the window's outer foot: 9000 twips high is 600 pixels,
        // 5400 twips the least.
        const int frame = w.frameGeometry().height() - w.height();
        for (const auto& [asked, kept] : {std::pair{600, 600}, std::pair{300, 360}}) {
            w.resize(w.width(), asked - frame);
            ASSERT_EQ(w.frameGeometry().height(), kept) << asked;
            const auto top = [&w](const char* name) { return w.findChild<QWidget*>(QLatin1String(name))->y(); };
            EXPECT_EQ(top("txtWheel3"), kept - 100);
            EXPECT_EQ(top("cmbWheel3"), kept - 60);
            EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("cmbWheel3"))->x(), 376);
            EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("Command1"))->geometry().topLeft(), QPoint(496, kept - 100));
            EXPECT_EQ(top("Line1"), kept - 113);
            EXPECT_EQ(grid->height(), kept - 187);
        }
    }
}

TEST_P(Layout, TheDialogsShowEveryText)
{
    dlgSSProperties properties(state.patch, fake);
    frmImport import(state.patch, fake);
    fake.settings[QStringLiteral("Export source path")] = QDir::tempPath();
    frmExport exporter(state.AppPath, fake);
    for (QDialog* dialog : {static_cast<QDialog*>(&properties), static_cast<QDialog*>(&import),
                            static_cast<QDialog*>(&exporter)}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_EQ(cutTexts(*dialog).join(", ").toStdString(), "") << dialog->objectName().toStdString();
        dialog->hide();
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, Layout, ::testing::Values(1.0, 1.6),
                         [](const ::testing::TestParamInfo<double>& font) {
                             return font.param == 1.0 ? std::string("StandardFont") : std::string("LargerFont");
                         });

}  // namespace
