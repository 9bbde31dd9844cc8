#include "windows/frmDocument.h"

#include "core/clipboard_records.h"
#include "core/function_names.h"
#include "qtcore/field_text.h"
#include "ui/ui.h"
#include "windows/channel_editors.h"
#include "windows/lamp_history.h"
#include "windows/lamp_model.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTableView>

#include <set>

// The lamp window's part in the Edit menu: what its controls let go of or keep when the
// history takes a step back or forward, and Cut, Copy and Paste of channel rows. The
// clipboard gets Rigsmith's own record of the rows (with the wheel slots of their
// functions), which another lamp window can paste, and the same rows as tab-separated text
// for a spreadsheet.

const QString frmDocument::rowsMimeType = QStringLiteral("application/x-rigsmith-channel-rows");

namespace {

QString functionText(int code)
{
    const QString name = rig::fromField(rig::functionName(code), rig::FieldSpaces::Trim);
    return name.isEmpty() ? frmDocument::tr("code %1").arg(code) : name;
}

}  // namespace

void frmDocument::discardPending()
{
    const QModelIndex cell = m_model->index(m_editRow - 1, m_editColumn - 1);
    m_editRow = 0;
    m_editColumn = 0;
    if (QWidget* editor = cell.isValid() ? m_controls.grdChannels->indexWidget(cell) : nullptr) {
        QScopedValueRollback<bool> guard(m_committing, true);
        emit m_editors->closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    forgetTyping(m_controls.txtLampName);
    forgetTyping(m_controls.txtNoChannels);
    for (QLineEdit* box : m_controls.txtWheel)
        forgetTyping(box);
}

void frmDocument::typingCommitted(QLineEdit* box)
{
    m_history->endTyping();
    forgetTyping(box);
}

void frmDocument::forgetTyping(QLineEdit* box)
{
    if (!box->isUndoAvailable() && !box->isRedoAvailable())
        return;
    // Setting the same text again clears the box's own undo; it changes nothing else.
    const int cursor = box->cursorPosition();
    QScopedValueRollback<bool> guard(m_refreshing, true);
    box->setText(box->text());
    box->setCursorPosition(cursor);
}

void frmDocument::editCopy()
{
    if (auto* box = qobject_cast<QLineEdit*>(focusWidget())) {
        box->copy();
        return;
    }
    commitPending();
    (void)copyRows();
}

void frmDocument::editCut()
{
    if (auto* box = qobject_cast<QLineEdit*>(focusWidget())) {
        box->cut();
        return;
    }
    commitPending();
    if (copyRows())
        cutRows();
}

void frmDocument::editPaste()
{
    if (auto* box = qobject_cast<QLineEdit*>(focusWidget())) {
        box->paste();
        return;
    }
    commitPending();
    pasteRows();
}

std::vector<std::size_t> frmDocument::chosenRows() const
{
    const QTableView* grid = m_controls.grdChannels;
    std::set<std::size_t> rows;
    for (const QModelIndex& index : grid->selectionModel()->selectedIndexes())
        if (index.row() < m_model->rowCount())
            rows.insert(static_cast<std::size_t>(index.row()));
    if (rows.empty() && grid->currentIndex().isValid())
        rows.insert(static_cast<std::size_t>(grid->currentIndex().row()));
    return {rows.begin(), rows.end()};
}

bool frmDocument::copyRows()
{
    const std::vector<std::size_t> rows = chosenRows();
    if (rows.empty())
        return false;
    const std::vector<std::uint8_t> record = rig::encodeChannelRows(rig::copyChannelRows(m_lamp, rows));
    QString text;
    for (const std::size_t c : rows) {
        const rig::LampChannel& channel = m_lamp.Channel[c];
        text += QString::number(c + 1) + QLatin1Char('\t') + functionText(channel.Function) + QLatin1Char('\t') +
                rig::fromField(rig::paletteTypeName(channel.Palette), rig::FieldSpaces::Trim) + QLatin1Char('\t') +
                QString::number(channel.Step) + QLatin1Char('\n');
    }
    auto* copied = new QMimeData;
    copied->setData(rowsMimeType,
                  QByteArray(reinterpret_cast<const char*>(record.data()), static_cast<qsizetype>(record.size())));
    copied->setText(text);
    QGuiApplication::clipboard()->setMimeData(copied);
    return true;
}

void frmDocument::cutRows()
{
    const std::vector<std::size_t> rows = chosenRows();
    const LampModel::Batch batch(*m_model, {LampModel::EditKind::Cut, static_cast<int>(rows.front())});
    for (const std::size_t c : rows) {
        m_model->setChannelCell(static_cast<int>(c), LampModel::FunctionColumn, rig::fn::None);
        m_model->setChannelCell(static_cast<int>(c), LampModel::PaletteColumn, 0);
    }
}

void frmDocument::pasteRows()
{
    const QString title = tr("Paste");
    const auto refuse = [this, &title](const QString& text) {
        m_ui.message(this, text, title, ui::Icon::Exclamation, ui::Buttons::Ok);
    };
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    if (held == nullptr || !held->hasFormat(rowsMimeType)) {
        refuse(tr("The clipboard holds no lamp channels to paste."));
        return;
    }
    const QByteArray bytes = held->data(rowsMimeType);
    rig::ChannelRows rows;
    try {
        rows = rig::decodeChannelRows(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                      static_cast<std::size_t>(bytes.size()));
    } catch (const rig::ClipboardRecordError& error) {
        refuse(QString::fromStdString(error.what()));
        return;
    }

    QTableView* grid = m_controls.grdChannels;
    const int first = grid->currentIndex().isValid() ? grid->currentIndex().row() : 0;
    const rig::RowsPaste paste = rig::pasteChannelRows(m_lamp, static_cast<std::size_t>(first), rows);
    switch (paste.refusal) {
    case rig::PasteRefusal::None:
        break;
    case rig::PasteRefusal::PastLastChannel:
        refuse(tr("%1 channels pasted from channel %2 would run past channel 36, the last a lamp can have.")
                   .arg(rows.channels.size())
                   .arg(first + 1));
        return;
    case rig::PasteRefusal::DuplicateFunction:
        refuse(tr("The paste would give %1 to both channel %2 and channel %3; a lamp has each function once.")
                   .arg(functionText(paste.function))
                   .arg(paste.channel + 1)
                   .arg(paste.otherChannel + 1));
        return;
    case rig::PasteRefusal::NoFreeWheelSlot:
        refuse(tr("No wheel slot is free for %1, which the pasted channels bring.").arg(functionText(paste.function)));
        return;
    }

    {
        const LampModel::Batch batch(*m_model, {LampModel::EditKind::Paste, first});
        m_model->setLamp(paste.lamp);
    }
    // The pasted rows are shown chosen, ready to be copied on.
    const int last = first + static_cast<int>(rows.channels.size()) - 1;
    grid->selectionModel()->select(
        QItemSelection(m_model->index(first, 0), m_model->index(last, LampModel::ColumnCount - 1)),
        QItemSelectionModel::ClearAndSelect);
}
