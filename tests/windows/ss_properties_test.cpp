#include "fake_ui.h"
#include "patch/dlgSSProperties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class SSPropertiesTest : public ::testing::Test {
protected:
    SSPropertiesTest()
    {
        m_state.patch.lmpLamps[0].LampName.assign("Spot 575");
        m_state.patch.lmpLamps[0].NumberChannel = 12;
        m_state.patch.lmpLamps[1].LampName.assign("Wash");
        m_state.patch.lmpLamps[1].NumberChannel = 5;
    }

    // Shows the dialog for entry `index` with the position boxes preset, runs `script`
    // while it is up and returns bResponse.
    bool run(int index, int row, int col, std::function<void(QDialog&)> script)
    {
        dlgSSProperties dialog(m_state);
        dialog.txtScreenCol()->setText(QString::number(col));
        dialog.txtScreenRow()->setText(QString::number(row));
        dialog.setTag(index);
        m_ui.dialogScripts.push_back(std::move(script));
        ui::current().execDialog(dialog);
        return dialog.bResponse();
    }

    static QLineEdit* box(QDialog& d, const char* name) { return d.findChild<QLineEdit*>(QLatin1String(name)); }
    static void press(QDialog& d, const char* name)
    {
        QTest::mouseClick(d.findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
    }

    FakeUi m_ui;
    rig::AppState m_state;
};

TEST_F(SSPropertiesTest, ActivationFillsTheFieldsFromTheEntry)
{
    rig::PatchEntry& entry = m_state.patch.patchEntries[6];
    entry.LampType = 1;
    entry.StartChannel = 30;
    entry.StartDMX = 41;
    entry.TiltInvert = 1;

    run(6, 4, 9, [](QDialog& d) {
        EXPECT_EQ(box(d, "txtLampNumber")->text(), "7");
        EXPECT_EQ(box(d, "txtNoChans")->text(), "5");
        EXPECT_EQ(box(d, "txtStartChan")->text(), "30");
        EXPECT_EQ(box(d, "txtStartDMX")->text(), "41");
        EXPECT_EQ(box(d, "txtScreenRow")->text(), "4");
        EXPECT_EQ(box(d, "txtScreenCol")->text(), "9");
        EXPECT_TRUE(d.findChild<QCheckBox*>("optTiltInv")->isChecked());
        auto* types = d.findChild<QComboBox*>("cmbLampType");
        ASSERT_EQ(types->count(), 16);
        EXPECT_EQ(types->itemText(0), "Spot 575        ");
        EXPECT_EQ(types->currentIndex(), 1);
        press(d, "btnCancel");
    });
}

TEST_F(SSPropertiesTest, OkWritesTheWholeEntryBack)
{
    rig::PatchEntry& entry = m_state.patch.patchEntries[3];
    entry.EntryText.assign("keep me");
    entry.Spare1 = 0x11;
    entry.LampType = 0;
    entry.StartChannel = 1;
    entry.StartDMX = 1;
    entry.PanInvert = 2;  // a value only a file can hold; kept while the box is untouched
    entry.Spare2 = 0x22;
    entry.Spare3 = -1234;
    entry.Spare4 = {1, 2, 3, 4};
    entry.Point = 777;
    entry.Spare5 = {9, 8};
    rig::PatchEntry expected = entry;
    expected.LampType = 1;
    expected.StartChannel = 100;
    expected.StartDMX = -3;  // negative addresses are taken as entered
    expected.ScreenRow = 4;
    expected.ScreenCol = 6;
    expected.TiltInvert = 1;

    const bool ok = run(3, 2, 3, [](QDialog& d) {
        box(d, "txtStartChan")->setText("100");
        box(d, "txtStartDMX")->setText("-3");
        box(d, "txtScreenRow")->setText("5");
        box(d, "txtScreenCol")->setText("7");
        d.findChild<QCheckBox*>("optTiltInv")->setChecked(true);
        d.findChild<QComboBox*>("cmbLampType")->setCurrentIndex(1);
        press(d, "btnOK");
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(m_state.patch.patchEntries[3], expected);
    EXPECT_TRUE(m_ui.messages.empty());
}

TEST_F(SSPropertiesTest, OkWithoutDmxAddressWarnsAndKeepsTheDialogOpen)
{
    const rig::PatchEntry before = m_state.patch.patchEntries[0];
    const bool ok = run(0, 2, 3, [this](QDialog& d) {
        press(d, "btnOK");
        ASSERT_EQ(m_ui.messages.size(), 1u);
        EXPECT_EQ(m_ui.messages[0].text, "This lamp has not been assigned a DMX start address.\r\n"
                                         "Rigsmith can not add this lamp unless a valid\r\nis given");
        EXPECT_EQ(m_ui.messages[0].title, "Warning");
        EXPECT_EQ(m_ui.messages[0].icon, ui::Icon::Exclamation);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        box(d, "txtScreenRow")->setText("9");
        press(d, "btnCancel");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_state.patch.patchEntries[0], before);
}

TEST_F(SSPropertiesTest, AutoPatchHandsOutBlocksOfTheTypeAtActivation)
{
    const bool ok = run(0, 1, 1, [](QDialog& d) {
        press(d, "btnAutoPatch");
        EXPECT_EQ(box(d, "txtStartChan")->text(), "25");
        EXPECT_EQ(box(d, "txtStartDMX")->text(), "25");
        // Another type chosen now does not change the block size.
        d.findChild<QComboBox*>("cmbLampType")->setCurrentIndex(1);
        press(d, "btnAutoPatch");
        EXPECT_EQ(box(d, "txtStartChan")->text(), "37");
        EXPECT_EQ(box(d, "txtStartDMX")->text(), "37");
        press(d, "btnCancel");
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(m_state.patch.nNextDMX, 49);  // the handed-out addresses are not given back
    EXPECT_FALSE(m_state.patch.patchEntries[0].inUse());

    run(1, 1, 2, [](QDialog& d) {
        press(d, "btnAutoPatch");
        press(d, "btnOK");
    });
    EXPECT_EQ(m_state.patch.patchEntries[1].StartChannel, 49);
    EXPECT_EQ(m_state.patch.patchEntries[1].StartDMX, 49);
    EXPECT_EQ(m_state.patch.nNextDMX, 61);
}

TEST_F(SSPropertiesTest, AutoPatchStopsBeforeTheCounterWraps)
{
    struct Case {
        std::int16_t next;
        const char* shown;     // the boxes after the click
        std::int16_t after;    // the counter after the click
        bool refused;
    };
    const Case cases[] = {
        {32755, "32755", 32767, false},  // the last block that fits
        {32756, "0", 32756, true},
        {32767, "0", 32767, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.next);
        m_ui.messages.clear();
        m_state.patch.nNextDMX = c.next;
        run(0, 1, 1, [&c](QDialog& d) {
            press(d, "btnAutoPatch");
            EXPECT_EQ(box(d, "txtStartDMX")->text(), c.shown);
            press(d, "btnCancel");
        });
        EXPECT_EQ(m_state.patch.nNextDMX, c.after);
        EXPECT_EQ(m_ui.messages.size(), c.refused ? 1u : 0u);
    }
}

TEST_F(SSPropertiesTest, InputThatDoesNotFitIsRefusedNamingTheField)
{
    struct Case {
        const char* field;
        const char* text;
        const char* named;
    };
    const Case cases[] = {
        {"txtStartChan", "abc", "Start Channel"}, {"txtStartDMX", "40000", "Start DMX"},
        {"txtScreenRow", "0", "screen row"},      {"txtScreenRow", "25", "screen row"},
        {"txtScreenCol", "21", "screen column"},
    };
    const rig::PatchEntry before = m_state.patch.patchEntries[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.text);
        m_ui.messages.clear();
        const bool ok = run(0, 24, 20, [&c, this](QDialog& d) {
            box(d, "txtStartDMX")->setText("10");
            box(d, c.field)->setText(c.text);
            press(d, "btnOK");
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(m_ui.messages.size(), 1u);
            EXPECT_TRUE(m_ui.messages[0].text.contains(c.named)) << m_ui.messages[0].text.toStdString();
            press(d, "btnCancel");
        });
        EXPECT_FALSE(ok);
        EXPECT_EQ(m_state.patch.patchEntries[0], before);
    }
}

TEST_F(SSPropertiesTest, LampTypeOutsideTheTableShowsNothingAndOkStoresAValidType)
{
    m_state.patch.patchEntries[2].LampType = 40;
    run(2, 1, 1, [](QDialog& d) {
        EXPECT_EQ(d.findChild<QComboBox*>("cmbLampType")->currentText(), "");
        EXPECT_EQ(box(d, "txtNoChans")->text(), "0");
        press(d, "btnAutoPatch");  // a block of no channels
        press(d, "btnOK");
    });
    EXPECT_EQ(m_state.patch.patchEntries[2].LampType, 0);
    EXPECT_EQ(m_state.patch.patchEntries[2].StartDMX, 25);
    EXPECT_EQ(m_state.patch.nNextDMX, 25);
}

}  // namespace
