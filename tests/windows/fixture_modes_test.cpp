#include "windows/dlgImportFixture.h"
#include "windows/lamp_preview.h"
#include "window_helpers.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include <string>

namespace {

using rig::ChannelKind;

rig::FixtureChannel channel(const char* name, ChannelKind kind, int fineByte = 0, int coarse = -1)
{
    rig::FixtureChannel c;
    c.name = name;
    c.kind = kind;
    c.fineByte = fineByte;
    c.coarse = coarse;
    return c;
}

rig::FixtureMode mode(const std::string& name, std::vector<rig::FixtureChannel> channels)
{
    rig::FixtureMode m;
    m.name = name;
    m.channels = std::move(channels);
    return m;
}

// Twelve modes: a first the reader could not lay out, ten that fit, a last too large.
rig::FixtureDescription barOfTwelveModes()
{
    rig::FixtureDescription fixture;
    fixture.name = "Rigtest Bar";
    fixture.category = "Pixel Bar";
    rig::FixtureMode raw = mode("Raw", {channel("Dimmer", ChannelKind::Intensity), channel("Foo", ChannelKind::Unknown)});
    raw.refusal = "undefined channel Foo";
    fixture.modes.push_back(raw);
    fixture.modes.push_back(mode("Dimmer", {channel("Dimmer", ChannelKind::Intensity)}));
    fixture.modes.push_back(mode("Dimmer 16-bit", {channel("Dimmer", ChannelKind::Intensity),
                                                   channel("Dimmer fine", ChannelKind::Intensity, 1, 0)}));
    for (int n = 1; n <= 8; ++n)
        fixture.modes.push_back(mode("RGB " + std::to_string(n),
                                     {channel("Red\n\u2028LED", ChannelKind::Red), channel("Green", ChannelKind::Green),
                                      channel("Blue", ChannelKind::Blue)}));
    fixture.modes.push_back(mode("Everything", std::vector<rig::FixtureChannel>(40, channel("Pixel", ChannelKind::Red))));
    return fixture;
}

class ModeDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    }

    QString chosenName() const
    {
        const int m = d.chosenMode();
        return m < 0 ? QString() : QString::fromStdString(fixture.modes[static_cast<std::size_t>(m)].name);
    }
    QStringList shownModes() const
    {
        QStringList names;
        for (int row = 0; row < d.lstModes()->count(); ++row)
            if (!d.lstModes()->item(row)->isHidden())
                names << d.lstModes()->item(row)->text().section(QStringLiteral(" \u2014"), 0, 0);
        return names;
    }
    QStringList previewRow(int row) const
    {
        QStringList cells;
        const QTableWidget* grid = d.preview()->grdPreview();
        for (int column = 0; column < grid->columnCount(); ++column)
            cells << (grid->item(row, column) ? grid->item(row, column)->text() : QStringLiteral("<none>"));
        return cells;
    }

    rig::FixtureDescription fixture = barOfTwelveModes();
    dlgImportFixture d{fixture};
};

TEST_F(ModeDialog, ModesThatCannotBeConvertedAreGreyedWithTheirReasonInFullView)
{
    QListWidget* list = d.lstModes();
    ASSERT_EQ(list->count(), 12);
    EXPECT_EQ(list->item(0)->text(), "Raw \u2014 2 channels (not available: undefined channel Foo)");
    EXPECT_EQ(list->item(11)->text(),
              "Everything \u2014 40 channels (not available: 40 channels, more than 36)");
    for (int row : {0, 11})
        EXPECT_FALSE(list->item(row)->flags() & Qt::ItemIsEnabled) << row;

    // The longest entry, reason and all, fits the list without scrolling sideways.
    EXPECT_GE(list->viewport()->width(), list->fontMetrics().horizontalAdvance(list->item(11)->text()));
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());

    // The dialog can be made larger, and the list and preview take the room.
    EXPECT_TRUE(d.isSizeGripEnabled());
    const QSize before = d.size(), listBefore = list->size();
    d.resize(before + QSize(200, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(d.size(), before + QSize(200, 200));
    EXPECT_GT(list->width(), listBefore.width());
    EXPECT_GT(list->height() + d.preview()->height(), listBefore.height());
}

TEST_F(ModeDialog, HomeEndArrowsAndTheFilterMoveOnlyAmongModesThatCanBeChosen)
{
    EXPECT_EQ(chosenName(), "Dimmer") << "the first mode that can be chosen";
    EXPECT_EQ(QApplication::focusWidget(), d.lstModes());
    QTest::keyClick(d.lstModes(), Qt::Key_End);
    EXPECT_EQ(chosenName(), "RGB 8");
    QTest::keyClick(d.lstModes(), Qt::Key_Home);
    EXPECT_EQ(chosenName(), "Dimmer");
    QTest::keyClick(d.lstModes(), Qt::Key_Down);
    EXPECT_EQ(chosenName(), "Dimmer 16-bit");

    QLineEdit* filter = d.txtFilter();
    ASSERT_NE(filter, nullptr);
    QTest::keyClicks(filter, "rgb 1");
    EXPECT_EQ(shownModes(), QStringList{"RGB 1"});
    EXPECT_EQ(chosenName(), "RGB 1");
    filter->clear();
    QTest::keyClicks(filter, "DIM");
    EXPECT_EQ(shownModes(), QStringList({"Dimmer", "Dimmer 16-bit"}));
    EXPECT_EQ(chosenName(), "Dimmer");
    QTest::keyClick(filter, Qt::Key_Down);
    EXPECT_EQ(chosenName(), "Dimmer 16-bit");
    EXPECT_EQ(filter->text(), "DIM") << "the arrows move the list, not the text";
    QTest::keyClick(d.lstModes(), Qt::Key_Home);
    EXPECT_EQ(chosenName(), "Dimmer");

    QTest::keyClicks(filter, "zz");
    EXPECT_TRUE(shownModes().isEmpty());
    EXPECT_EQ(d.chosenMode(), -1);
    EXPECT_FALSE(d.btnOK()->isEnabled());
    EXPECT_EQ(d.preview()->grdPreview()->rowCount(), 0);
    filter->clear();
    EXPECT_EQ(shownModes().size(), 12);
    EXPECT_TRUE(d.btnOK()->isEnabled());

    // Ten modes or fewer need no filter.
    fixture.modes.resize(10);
    dlgImportFixture few(fixture);
    EXPECT_EQ(few.txtFilter(), nullptr);
}

TEST_F(ModeDialog, TheSelectedModeIsPreviewedWithItsConsoleFunctionsAndNotes)
{
    QTest::keyClick(d.lstModes(), Qt::Key_Down);
    ASSERT_EQ(chosenName(), "Dimmer 16-bit");
    ASSERT_EQ(d.preview()->grdPreview()->rowCount(), 2);
    EXPECT_EQ(previewRow(0), QStringList({"1", "Dimmer", "Dimmer"}));
    EXPECT_EQ(previewRow(1), QStringList({"2", "Dimmer fine", "Aux1"}));
    const QString notes = d.preview()->txtNotes()->toPlainText();
    EXPECT_TRUE(notes.startsWith("Channel 2 \"Dimmer fine\": ") && notes.endsWith("Aux1")) << notes.toStdString();

    QTest::keyClick(d.lstModes(), Qt::Key_Down);
    ASSERT_EQ(chosenName(), "RGB 1");
    EXPECT_EQ(previewRow(0), QStringList({"1", "Red LED", "Red (Cyan)"})) << "a name from the file stays one line";
    EXPECT_EQ(d.preview()->txtNotes()->toPlainText(), "Every channel gets its natural console function.");

    // What OK hands over is the lamp previewed.
    click(d, "btnOK");
    ASSERT_NE(d.chosenLamp(), nullptr);
    EXPECT_EQ(d.chosenLamp()->lamp.NumberChannel, 3);
    EXPECT_EQ(d.chosenLamp()->lamp.Channel[0].Function, 9);
}

// The preview stands alone too, for any window that lists modes.
TEST(LampPreview, ARefusedModeShowsItsChannelsWithoutFunctionsAndWhy)
{
    LampPreview preview;
    const rig::FixtureDescription fixture = barOfTwelveModes();
    preview.showRefusedMode(fixture.modes[0], "undefined channel Foo");
    ASSERT_EQ(preview.grdPreview()->rowCount(), 2);
    EXPECT_EQ(preview.grdPreview()->item(1, 1)->text(), "Foo");
    EXPECT_EQ(preview.grdPreview()->item(1, 2)->text(), "");
    EXPECT_EQ(preview.txtNotes()->toPlainText(), "Not available: undefined channel Foo");
    preview.clear();
    EXPECT_EQ(preview.grdPreview()->rowCount(), 0);
    EXPECT_EQ(preview.txtNotes()->toPlainText(), "");
}

}  // namespace
