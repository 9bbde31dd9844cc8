#include "windows/frmDocument.h"

#include "base/file_io.h"
#include "base/rig_error.h"
#include "qtcore/field_text.h"
#include "qtcore/file_names.h"
#include "ui/common_dialog.h"
#include "ui/ui.h"
#include "windows/lamp_model.h"
#include "windows/lamp_wheels.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QUndoStack>

// The lamp window's file operations: a new, opened or imported lamp, saving it, and the
// question on closing with unsaved edits.

namespace {

const QString crlf = QStringLiteral("\r\n");
QString appTitle() { return frmDocument::tr("Tarsen Rigsmith"); }

}  // namespace

void frmDocument::File_New()
{
    m_model->replaceLamp(rig::newLamp());
    m_filePath.clear();
    setWindowTitle(tr("New Lamp"));
    Form_Load();
    startHistory(false);
}

void frmDocument::File_Open(const QString& fileName, const QString& fileTitle)
{
    // Read first: a failure leaves the window as it was, for the caller to discard.
    const rig::Lamp lamp = rig::readLampFile(rig::toPath(fileName));
    m_model->replaceLamp(lamp);
    m_filePath = fileName;
    setWindowTitle(fileTitle);
    Form_Load();
    startHistory(true);
}

void frmDocument::File_Import()
{
    m_model->replaceLamp(m_lmpImport);
    m_filePath.clear();
    setWindowTitle(tr("Imported Lamp"));
    Form_Load();
    startHistory(false);
}

void frmDocument::startHistory(bool saved)
{
    // Loading is no step. A lamp that is not in a file stays unsaved whatever is undone.
    m_undoStack->clear();
    if (!saved)
        m_undoStack->resetClean();
}

void frmDocument::File_Save()
{
    commitPending();
    (void)saveLamp();
}

void frmDocument::File_Save_As()
{
    commitPending();
    (void)saveLampAs();
}

void frmDocument::Form_Load()
{
    // Changing a box's text runs its procedure, exactly as if the user had typed it.
    const QString count = QString::number(m_lamp.NumberChannel);
    if (m_controls.txtNoChannels->text() != count)
        m_controls.txtNoChannels->setText(count);
    const QString name = rig::fromField(m_lamp.LampName, rig::FieldSpaces::Trim);
    if (m_controls.txtLampName->text() != name)
        m_controls.txtLampName->setText(name);

    labelGrid();
    m_wheels->load();
}

bool frmDocument::changed() const { return !m_undoStack->isClean(); }

bool frmDocument::saveLamp()
{
    if (m_filePath.isEmpty())
        return saveLampAs();
    return writeTo(m_filePath);
}

bool frmDocument::saveLampAs()
{
    // A name typed without an extension gets ".lmp": Open reads only names ending in lmp.
    const QString proposed =
        rig::fromField(rig::toField(m_controls.txtLampName->text()), rig::FieldSpaces::Trim) + QStringLiteral(".lmp");
    const std::optional<QString> chosen = m_dlgCommonDialog.showSave(
        this, tr("Lamps (*.lmp)|*.lmp"), proposed, tr("Save Lamp as"), QStringLiteral("lmp"), FileKind::Lamp);
    if (!chosen)
        return false;  // cancelled: silent
    const QString& fileName = *chosen;
    if (fileName.isEmpty()) {
        m_ui.message(this, tr("No filename specified"), tr("Save Lamp as"), ui::Icon::Critical, ui::Buttons::Ok);
        return false;
    }
    if (!m_dlgCommonDialog.confirmOverwrite(this, fileName, tr("Lamp file exists")))
        return false;
    if (!writeTo(fileName))
        return false;
    m_dlgCommonDialog.succeeded(fileName, FileKind::Lamp);
    // The window now holds this file: the next Save writes here, not to the old file.
    m_filePath = fileName;
    setWindowTitle(QFileInfo(fileName).fileName());
    return true;
}

bool frmDocument::writeTo(const QString& fileName)
{
    try {
        rig::writeLampFile(rig::toPath(fileName), m_lamp);
    } catch (const rig::RigError& error) {
        if (error.number() == rig::errc::permissionDenied)
            m_ui.message(this, tr("The disk that you are saving to is write protected"), appTitle(),
                         ui::Icon::Critical, ui::Buttons::Ok);
        else
            m_ui.message(this,
                         tr("Error ") + QString::number(error.number()) + QStringLiteral(": ") +
                             QString::fromStdString(error.description()),
                         appTitle(), ui::Icon::Exclamation, ui::Buttons::Ok);
        return false;
    }
    m_undoStack->setClean();
    emit fileSaved(fileName);
    return true;
}

void frmDocument::commitPending()
{
    grdChannels_LeaveCell();
    m_wheels->commitPending();
}

void frmDocument::closeEvent(QCloseEvent* event)
{
    commitPending();
    if (!changed()) {
        event->accept();
        return;
    }
    const ui::Answer answer = m_ui.message(
        this, tr("You have made changes to this lamp") + crlf + tr("Do you wish to save before closing?"),
        tr("Close Window"), ui::Icon::Question, ui::Buttons::YesNoCancel);
    switch (answer) {
    case ui::Answer::Yes:
        // A save that was cancelled or failed keeps the window, so the edits survive.
        if (saveLamp())
            event->accept();
        else
            event->ignore();
        return;
    case ui::Answer::No:
        event->accept();
        return;
    default:
        event->ignore();
        return;
    }
}

