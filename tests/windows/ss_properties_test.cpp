#include "windows/dlgSSProperties.h"
#include "window_helpers.h"

#include <QCheckBox>
#include <QComboBox>

#include <functional>

namespace {

class SSPropertiesTest : public ::testing::Test {
protected:
    SSPropertiesTest()
    {
        m_state.patch.lmpLamps[0] = namedLamp("Spot 575", 12);
        m_state.patch.lmpLamps[1] = namedLamp("Wash", 5);
    }

    // Shows the dialog for entry `index` at (row, col), runs `script` while it is up
    // and returns bResponse.
    bool run(int index, int row, int col, std::function<void(QDialog&)> script)
    {
        dlgSSProperties dialog(m_state.patch, m_ui);
        dialog.txtScreenCol()->setText(QString::number(col));
        dialog.txtScreenRow()->setText(QString::number(row));
        dialog.setTag(index);
        m_ui.dialogScripts.push_back(std::move(script));
        m_ui.execDialog(dialog);
        return dialog.bResponse();
    }

    FakeUi m_ui;
    rig::AppState m_state;
};

TEST_F(SSPropertiesTest, OkWritesTheEditedFieldsAndKeepsTheRestOfTheEntry)
{
    rig::PatchEntry& entry = m_state.patch.patchEntries[3];
    entry.EntryText.assign("keep me");
    entry.LampType = 1;
    // Values only a file can hold: shown ticked, stored as the box says.
    entry.PanInvert = 2;
    entry.TiltInvert = 255;
    entry.Spare4 = {1, 2, 3, 4};
    rig::PatchEntry expected = entry;
    expected.StartDMX = -3;  // negative addresses are taken as entered
    expected.ScreenRow = 4;
    expected.ScreenCol = 6;
    expected.PanInvert = 1;
    expected.TiltInvert = 0;
    expected.PanTiltSwap = 1;
    EXPECT_TRUE(run(3, 5, 7, [](QDialog& d) {
        box(d, "txtStartDMX")->setText("-3");
        d.findChild<QCheckBox*>("optTiltInv")->setChecked(false);
        d.findChild<QCheckBox*>("optPanTiltSwap")->setChecked(true);
        click(d, "btnOK");
    }));
    EXPECT_EQ(m_state.patch.patchEntries[3], expected);
}

TEST_F(SSPropertiesTest, InputThatDoesNotFitIsRefusedNamingTheField)
{
    const struct {
        const char* field;
        const char* text;
        const char* named;
    } cases[] = {
        {"txtStartChan", "abc", "Start Channel"},
        {"txtStartDMX", "40000", "Start DMX"},
        {"txtScreenRow", "25", "screen row"},
        {"txtScreenCol", "21", "screen column"},
        {"txtStartDMX", "0", "This lamp has not been assigned a DMX start address.\r\n"
                             "Rigsmith can not add this lamp unless a valid\r\nis given"},
    };
    const rig::PatchEntry before = m_state.patch.patchEntries[0];
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " = " + c.text);
        m_ui.messages.clear();
        EXPECT_FALSE(run(0, 24, 20, [&c, this](QDialog& d) {
            box(d, "txtStartDMX")->setText("10");
            box(d, c.field)->setText(c.text);
            click(d, "btnOK");
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(m_ui.messages.size(), 1u);
            EXPECT_TRUE(m_ui.messages[0].text.contains(c.named)) << m_ui.messages[0].text.toStdString();
            click(d, "btnCancel");
        }));
        EXPECT_EQ(m_state.patch.patchEntries[0], before);
    }
}

TEST_F(SSPropertiesTest, AutoPatchAdvancesByTheChannelsOfTheTypeAtActivation)
{
    EXPECT_FALSE(run(0, 1, 1, [](QDialog& d) {
        click(d, "btnAutoPatch");
        EXPECT_EQ(box(d, "txtStartDMX")->text(), "25");
        d.findChild<QComboBox*>("cmbLampType")->setCurrentIndex(1);  // does not change the block size
        click(d, "btnAutoPatch");
        EXPECT_EQ(box(d, "txtStartDMX")->text(), "37");
        click(d, "btnCancel");
    }));
    EXPECT_EQ(m_state.patch.nNextDMX, 49);  // handed-out addresses are not given back
    EXPECT_FALSE(m_state.patch.patchEntries[0].inUse());
}

TEST_F(SSPropertiesTest, AutoPatchStopsBeforeTheCounterWraps)
{
    const struct {
        std::int16_t next;
        const char* shown;   // Start DMX after the click
        std::int16_t after;  // the counter after the click
    } cases[] = {{32755, "32755", 32767}, {32756, "0", 32756}, {32767, "0", 32767}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        m_ui.messages.clear();
        m_state.patch.nNextDMX = c.next;
        run(0, 1, 1, [&c](QDialog& d) {
            click(d, "btnAutoPatch");
            EXPECT_EQ(box(d, "txtStartDMX")->text(), c.shown);
            click(d, "btnCancel");
        });
        EXPECT_EQ(m_state.patch.nNextDMX, c.after);
        EXPECT_EQ(m_ui.messages.size(), c.after == c.next ? 1u : 0u);
    }
}

}  // namespace
