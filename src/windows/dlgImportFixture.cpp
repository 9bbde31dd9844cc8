#include "windows/dlgImportFixture.h"

#include "core/fixture_mapping.h"
#include "fixture/fixture_reader.h"
#include "base/rig_error.h"
#include "ui/ui.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int modeRole = Qt::UserRole;

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

dlgImportFixture::dlgImportFixture(const rig::FixtureDescription& fixture, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgImportFixture"));
    setWindowTitle(tr("Import Fixture"));
    setModal(true);

    QString heading = fromStd(fixture.name);
    if (!fixture.category.empty())
        heading += QStringLiteral(" (") + fromStd(fixture.category) + QLatin1Char(')');
    m_lblFixture = new QLabel(heading + tr("\nChoose the mode the fixture runs in:"), this);
    m_lblFixture->setObjectName(QStringLiteral("lblFixture"));
    m_lblFixture->setTextFormat(Qt::PlainText);

    m_lstModes = new QListWidget(this);
    m_lstModes->setObjectName(QStringLiteral("lstModes"));
    m_lstModes->setSelectionMode(QAbstractItemView::SingleSelection);
    int firstChoosable = -1;
    for (std::size_t m = 0; m < fixture.modes.size(); ++m) {
        const rig::FixtureMode& mode = fixture.modes[m];
        auto* item = new QListWidgetItem(modeText(mode), m_lstModes);
        item->setData(modeRole, static_cast<int>(m));
        const std::string refusal = rig::fixtureModeRefusal(mode);
        if (refusal.empty()) {
            if (firstChoosable < 0)
                firstChoosable = m_lstModes->row(item);
        } else {
            // Shown, so the user sees the mode exists, but not choosable.
            item->setText(item->text() + tr(" (not available: ") + fromStd(refusal) + QLatin1Char(')'));
            item->setToolTip(fromStd(refusal));
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
    }

    auto* buttons = new QDialogButtonBox(this);
    m_btnOK = buttons->addButton(QDialogButtonBox::Ok);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_lstModes, &QListWidget::itemSelectionChanged, this, &dlgImportFixture::lstModes_SelectionChanged);
    connect(m_lstModes, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item != nullptr && (item->flags() & Qt::ItemIsEnabled))
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblFixture);
    layout->addWidget(m_lstModes);
    layout->addWidget(buttons);

    if (firstChoosable >= 0)
        m_lstModes->setCurrentRow(firstChoosable);
    lstModes_SelectionChanged();
}

QString dlgImportFixture::modeText(const rig::FixtureMode& mode)
{
    const auto count = static_cast<qsizetype>(mode.channels.size());
    return fromStd(mode.name) + QStringLiteral(" \u2014 ") + QString::number(count) +
           (count == 1 ? tr(" channel") : tr(" channels"));
}

int dlgImportFixture::chosenMode() const
{
    const QList<QListWidgetItem*> selected = m_lstModes->selectedItems();
    if (selected.isEmpty() || !(selected.first()->flags() & Qt::ItemIsEnabled))
        return -1;
    return selected.first()->data(modeRole).toInt();
}

void dlgImportFixture::lstModes_SelectionChanged()
{
    m_btnOK->setEnabled(chosenMode() >= 0);
}

namespace {

QString importTitle() { return dlgImportFixture::tr("Import Fixture"); }

}  // namespace

std::optional<FixtureImport> askForFixtureLamp(QWidget* parent, ui::Ui& ui)
{
    ui::FileRequest request;
    request.title = importTitle();
    request.filter = dlgImportFixture::tr("Fixture definitions (*.json *.qxf)|*.json *.qxf");
    const std::optional<QString> path = ui.openFileName(parent, request);
    if (!path || path->isEmpty())
        return std::nullopt;
    const QString fileName = QFileInfo(*path).fileName();

    rig::FixtureDescription fixture;
    try {
        fixture = fixture::readFixtureDefinition(*path);
    } catch (const rig::RigError& error) {
        ui.message(parent,
                   dlgImportFixture::tr("%1 cannot be read as a fixture definition:\n%2")
                       .arg(fileName, fromStd(error.description())),
                   importTitle(), ui::Icon::Critical, ui::Buttons::Ok);
        return std::nullopt;
    }

    dlgImportFixture dialog(fixture, parent);
    if (ui.execDialog(dialog) != QDialog::Accepted || dialog.chosenMode() < 0)
        return std::nullopt;
    const auto mode = static_cast<std::size_t>(dialog.chosenMode());
    // A mode the dialog lets the user choose always converts.
    return FixtureImport{rig::fixtureToLamp(fixture, mode), fileName, fromStd(fixture.modes[mode].name)};
}

void showFixtureNotes(QWidget* parent, ui::Ui& ui, const FixtureImport& imported)
{
    const std::vector<rig::FixtureNote>& notes = imported.converted.notes;
    if (notes.empty())
        return;
    const std::size_t demoted = rig::channelsWithoutFunction(notes);
    QString text = demoted == 0 ? dlgImportFixture::tr("Mode \"%1\" of %2:\n").arg(imported.modeName, imported.fileName)
                                : dlgImportFixture::tr("Mode \"%1\" of %2: %3 without their natural console function:\n")
                                      .arg(imported.modeName, imported.fileName)
                                      .arg(demoted == 1 ? dlgImportFixture::tr("one channel")
                                                        : dlgImportFixture::tr("%1 channels").arg(demoted));
    // A note on the lamp as a whole (its name, what the reader worked round) names no channel.
    for (const rig::FixtureNote& note : notes)
        text += note.channel > 0 ? dlgImportFixture::tr("\nChannel %1 \"%2\": %3")
                                       .arg(note.channel)
                                       .arg(fromStd(note.name), fromStd(note.text))
                                 : QStringLiteral("\n") + fromStd(note.text);
    ui.message(parent, text, importTitle(), ui::Icon::Information, ui::Buttons::Ok);
}
