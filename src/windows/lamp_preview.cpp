#include "windows/lamp_preview.h"

#include "core/function_names.h"
#include "qtcore/field_text.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace {

enum Column { NumberColumn, NameColumn, FunctionColumn, ColumnCount };

}  // namespace

QString fixtureText(const std::string& utf8)
{
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    for (QChar& c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return text.simplified();
}

QString fixtureNoteLine(const rig::FixtureNote& note)
{
    const QString text = QString::fromUtf8(note.text.data(), static_cast<qsizetype>(note.text.size()));
    // A note on the lamp as a whole (its name, what the reader worked round) names no channel.
    if (note.channel <= 0)
        return text;
    return LampPreview::tr("Channel %1 \"%2\": %3").arg(note.channel).arg(fixtureText(note.name), text);
}

LampPreview::LampPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LampPreview"));
    m_grdPreview = new QTableWidget(0, ColumnCount, this);
    m_grdPreview->setObjectName(QStringLiteral("grdPreview"));
    m_grdPreview->setHorizontalHeaderLabels({tr("Channel"), tr("Fixture channel"), tr("Console function")});
    m_grdPreview->verticalHeader()->hide();
    m_grdPreview->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_grdPreview->horizontalHeader()->setSectionResizeMode(FunctionColumn, QHeaderView::ResizeToContents);
    m_grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdPreview->setSelectionMode(QAbstractItemView::NoSelection);
    m_grdPreview->setFocusPolicy(Qt::NoFocus);

    m_lblNotes = new QLabel(tr("Notes:"), this);
    m_lblNotes->setObjectName(QStringLiteral("lblNotes"));
    m_txtNotes = new QPlainTextEdit(this);
    m_txtNotes->setObjectName(QStringLiteral("txtNotes"));
    m_txtNotes->setReadOnly(true);
    m_txtNotes->setFocusPolicy(Qt::NoFocus);
    m_txtNotes->setMaximumHeight(m_txtNotes->fontMetrics().lineSpacing() * 6);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_grdPreview, 1);
    layout->addWidget(m_lblNotes);
    layout->addWidget(m_txtNotes);
}

void LampPreview::showMode(const rig::FixtureMode& mode, const rig::FixtureLamp& converted)
{
    fillChannels(mode, &converted);
    QStringList lines;
    for (const rig::FixtureNote& note : converted.notes)
        lines << fixtureNoteLine(note);
    m_txtNotes->setPlainText(lines.isEmpty() ? tr("Every channel gets its natural console function.")
                                             : lines.join(QLatin1Char('\n')));
}

void LampPreview::showRefusedMode(const rig::FixtureMode& mode, const QString& reason)
{
    fillChannels(mode, nullptr);
    m_txtNotes->setPlainText(tr("Not available: %1").arg(reason));
}

void LampPreview::clear()
{
    m_grdPreview->setRowCount(0);
    m_txtNotes->clear();
}

void LampPreview::fillChannels(const rig::FixtureMode& mode, const rig::FixtureLamp* converted)
{
    const auto rows = static_cast<int>(mode.channels.size());
    m_grdPreview->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        QString function;
        if (converted != nullptr && row < static_cast<int>(converted->lamp.Channel.size()))
            function = rig::fromField(rig::functionName(converted->lamp.Channel[static_cast<std::size_t>(row)].Function),
                                      rig::FieldSpaces::Trim);
        const std::array<QString, ColumnCount> cells = {
            QString::number(row + 1), fixtureText(mode.channels[static_cast<std::size_t>(row)].name), function};
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(cells[column]);
            m_grdPreview->setItem(row, column, item);
        }
    }
    m_grdPreview->resizeColumnToContents(NumberColumn);
}
