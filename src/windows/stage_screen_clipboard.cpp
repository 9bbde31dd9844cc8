#include "windows/frmStageScreen.h"

#include "core/app_state.h"
#include "core/clipboard_records.h"
#include "core/dmx_conflicts.h"
#include "core/stage_patch.h"
#include "qtcore/field_text.h"
#include "ui/ui.h"
#include "windows/patch_history.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTableWidget>

#include <limits>
#include <optional>

// The stage screen's Cut, Copy and Paste of placed lamps, from the pop-up menu and from
// the Edit menu (on the grid's current cell). A copied lamp carries its type and
// properties; a paste places a new lamp of that type with those flags, as a drop does.

const QString frmStageScreen::lampMimeType = QStringLiteral("application/x-rigsmith-placed-lamp");

bool frmStageScreen::clipboardHoldsLamp()
{
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    return held != nullptr && held->hasFormat(lampMimeType);
}

frmStageScreen::Cell frmStageScreen::currentCell() const
{
    const int row = m_grdStageScreen->currentRow();
    const int col = m_grdStageScreen->currentColumn();
    if (row < 0 || col < 0)
        return {};
    return {row + 1, col + 1};
}

int frmStageScreen::lampAt(Cell cell) const { return cell.valid() ? findLamp(cell.row - 1, cell.col - 1) : noLamp; }

void frmStageScreen::editCut()
{
    if (const int lamp = lampAt(currentCell()); lamp != noLamp)
        cutLamp(lamp);
    refreshScreen();
}

void frmStageScreen::editCopy()
{
    if (const int lamp = lampAt(currentCell()); lamp != noLamp)
        copyLamp(lamp);
}

void frmStageScreen::editPaste()
{
    if (const Cell cell = currentCell(); cell.valid())
        pasteLamp(cell);
}

void frmStageScreen::copyLamp(int lamp)
{
    if (lamp < 0 || lamp >= static_cast<int>(rig::patchEntryCount))
        return;
    const rig::StagePatch& patch = m_state.patch;
    rig::PlacedLampCopy copy;
    copy.entry = patch.patchEntries[static_cast<std::size_t>(lamp)];
    if (copy.entry.hasValidLampType())
        copy.typeName = patch.lmpLamps[static_cast<std::size_t>(copy.entry.LampType)].LampName;
    const std::vector<std::uint8_t> record = rig::encodePlacedLamp(copy);
    auto* copied = new QMimeData;
    copied->setData(lampMimeType,
                    QByteArray(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size())));
    QGuiApplication::clipboard()->setMimeData(copied);
}

void frmStageScreen::cutLamp(int lamp)
{
    if (lamp < 0 || lamp >= static_cast<int>(rig::patchEntryCount))
        return;
    copyLamp(lamp);
    // The entry keeps everything but its address and place, and its number is not reused.
    const rig::StagePatch before = m_state.patch;
    rig::PatchEntry& entry = m_state.patch.patchEntries[static_cast<std::size_t>(lamp)];
    entry.StartDMX = 0;
    entry.ScreenCol = 0;
    entry.ScreenRow = 0;
    m_history->record(before, tr("Cut Lamp %1").arg(lamp + 1));
}

void frmStageScreen::pasteLamp(Cell cell)
{
    const QString title = tr("Paste");
    const auto refuse = [this, &title](const QString& text) {
        m_ui.message(this, text, title, ui::Icon::Exclamation, ui::Buttons::Ok);
    };
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    if (held == nullptr || !held->hasFormat(lampMimeType)) {
        refuse(tr("The clipboard holds no placed lamp to paste."));
        return;
    }
    const QByteArray bytes = held->data(lampMimeType);
    rig::PlacedLampCopy copy;
    try {
        copy = rig::decodePlacedLamp(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size()));
    } catch (const rig::ClipboardRecordError& error) {
        refuse(QString::fromStdString(error.what()));
        return;
    }
    if (lampAt(cell) != noLamp) {
        refuseDropOnLamp();
        return;
    }
    rig::StagePatch& patch = m_state.patch;
    const auto type = static_cast<std::size_t>(copy.entry.LampType);
    // Another patch opened since the copy may hold another type in that slot.
    if (!patch.slotHoldsLamp(type) || patch.lmpLamps[type].LampName != copy.typeName) {
        refuse(tr("The copied lamp's type, %1, is no longer lamp type %2 of this patch.")
                   .arg(rig::fromField(copy.typeName, rig::FieldSpaces::Trim, rig::FieldControls::AsQuestionMark))
                   .arg(copy.entry.LampType));
        return;
    }
    const int entry = newLampEntry();
    if (entry < 0)
        return;

    const rig::StagePatch before = patch;
    rig::PatchEntry& pasted = patch.patchEntries[static_cast<std::size_t>(entry)];
    pasted.LampType = copy.entry.LampType;
    pasted.PanInvert = copy.entry.PanInvert;
    pasted.TiltInvert = copy.entry.TiltInvert;
    pasted.PanTiltSwap = copy.entry.PanTiltSwap;
    // The next address of the automatic patch, offered for confirmation: the counter moves
    // on only when the lamp is placed there.
    const int channels = rig::entryChannelCount(patch, pasted);
    const int address = patch.nNextDMX;
    std::optional<int> offered;
    if (address + channels <= std::numeric_limits<std::int16_t>::max())
        offered = address;
    const bool placed = editProperties(entry, cell.row, cell.col, offered);
    if (placed && offered && pasted.StartDMX == *offered && patch.nNextDMX == *offered)
        patch.nNextDMX = static_cast<std::int16_t>(*offered + channels);
    // As with a drop, the number is spent whether or not the dialog was confirmed.
    patch.nNextEntry = static_cast<std::int16_t>(entry + 1);
    m_history->record(before, tr("Paste Lamp %1").arg(entry + 1));
    refreshScreen();
}
