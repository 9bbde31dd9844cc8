#include "windows/dlgImportFixture.h"

#include "base/rig_error.h"
#include "core/fixture_mapping.h"
#include "fixture/fixture_reader.h"
#include "ui/common_dialog.h"
#include "ui/ui.h"
#include "windows/lamp_preview.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int modeRole = Qt::UserRole;

QString fromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool choosable(const QListWidgetItem* item)
{
    return item != nullptr && !item->isHidden() && (item->flags() & Qt::ItemIsEnabled);
}

}  // namespace

dlgImportFixture::dlgImportFixture(const rig::FixtureDescription& fixture, QWidget* parent)
    : QDialog(parent), m_fixture(fixture)
{
    setObjectName(QStringLiteral("dlgImportFixture"));
    setWindowTitle(tr("Import Fixture"));
    setModal(true);
    setSizeGripEnabled(true);

    QString heading = fixtureText(fixture.name);
    if (!fixture.category.empty())
        heading += QStringLiteral(" (") + fixtureText(fixture.category) + QLatin1Char(')');
    m_lblFixture = new QLabel(heading + tr("\nChoose the mode the fixture runs in:"), this);
    m_lblFixture->setObjectName(QStringLiteral("lblFixture"));
    m_lblFixture->setTextFormat(Qt::PlainText);

    if (static_cast<int>(fixture.modes.size()) >= filterFrom) {
        m_txtFilter = new QLineEdit(this);
        m_txtFilter->setObjectName(QStringLiteral("txtFilter"));
        m_txtFilter->setPlaceholderText(tr("Filter modes by name"));
        m_txtFilter->setClearButtonEnabled(true);
        m_txtFilter->installEventFilter(this);
        connect(m_txtFilter, &QLineEdit::textChanged, this, &dlgImportFixture::txtFilter_Change);
    }

    m_lstModes = new QListWidget(this);
    m_lstModes->setObjectName(QStringLiteral("lstModes"));
    m_lstModes->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstModes->installEventFilter(this);
    m_preview = new LampPreview(this);

    auto* buttons = new QDialogButtonBox(this);
    m_btnOK = buttons->addButton(QDialogButtonBox::Ok);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_lstModes, &QListWidget::itemSelectionChanged, this, &dlgImportFixture::lstModes_SelectionChanged);
    connect(m_lstModes, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (choosable(item))
            accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblFixture);
    if (m_txtFilter != nullptr)
        layout->addWidget(m_txtFilter);
    layout->addWidget(m_lstModes, 1);
    layout->addWidget(m_preview, 2);
    layout->addWidget(buttons);

    fillModes();
    fitListWidth();
    // The keys move through the modes from the start; typing in the filter is a Tab away.
    m_lstModes->setFocus();
    selectEnd(false);
    lstModes_SelectionChanged();
}

dlgImportFixture::ModeChoice dlgImportFixture::convert(const rig::FixtureDescription& fixture, std::size_t mode)
{
    // Every reason a mode cannot become a lamp takes this one way to the list.
    ModeChoice choice;
    const std::string refusal = rig::fixtureModeRefusal(fixture.modes[mode]);
    if (!refusal.empty()) {
        choice.reason = fromStd(refusal);
        return choice;
    }
    try {
        choice.lamp = rig::fixtureToLamp(fixture, mode);
    } catch (const rig::RigError& error) {
        choice.reason = fromStd(error.description());
    }
    return choice;
}

void dlgImportFixture::fillModes()
{
    for (std::size_t m = 0; m < m_fixture.modes.size(); ++m) {
        m_choices.push_back(convert(m_fixture, m));
        const ModeChoice& choice = m_choices.back();
        auto* item = new QListWidgetItem(modeText(m_fixture.modes[m]), m_lstModes);
        item->setData(modeRole, static_cast<int>(m));
        if (!choice.lamp) {
            // Shown, so the user sees the mode exists, but not choosable.
            item->setText(item->text() + tr(" (not available: ") + choice.reason + QLatin1Char(')'));
            item->setToolTip(choice.reason);
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
    }
}

void dlgImportFixture::fitListWidth()
{
    // Wide enough for the longest entry, reason included, as far as the screen allows.
    int widest = 0;
    for (int row = 0; row < m_lstModes->count(); ++row)
        widest = std::max(widest, m_lstModes->fontMetrics().horizontalAdvance(m_lstModes->item(row)->text()));
    const int extra = 2 * m_lstModes->frameWidth() + m_lstModes->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                      4 * m_lstModes->fontMetrics().averageCharWidth();
    int width = widest + extra;
    if (const QScreen* screen = QApplication::primaryScreen())
        width = std::min(width, screen->availableGeometry().width() * 9 / 10);
    m_lstModes->setMinimumWidth(width);
}

QString dlgImportFixture::modeText(const rig::FixtureMode& mode)
{
    const auto count = static_cast<qsizetype>(mode.channels.size());
    return fixtureText(mode.name) + QStringLiteral(" \u2014 ") + QString::number(count) +
           (count == 1 ? tr(" channel") : tr(" channels"));
}

int dlgImportFixture::chosenMode() const
{
    const QList<QListWidgetItem*> selected = m_lstModes->selectedItems();
    if (selected.isEmpty() || !choosable(selected.first()))
        return -1;
    return selected.first()->data(modeRole).toInt();
}

const rig::FixtureLamp* dlgImportFixture::chosenLamp() const
{
    const int mode = chosenMode();
    if (mode < 0)
        return nullptr;
    const std::optional<rig::FixtureLamp>& lamp = m_choices[static_cast<std::size_t>(mode)].lamp;
    return lamp ? &*lamp : nullptr;
}

void dlgImportFixture::lstModes_SelectionChanged()
{
    const int mode = chosenMode();
    m_btnOK->setEnabled(mode >= 0);
    if (mode < 0)
        m_preview->clear();
    else
        m_preview->showMode(m_fixture.modes[static_cast<std::size_t>(mode)],
                            *m_choices[static_cast<std::size_t>(mode)].lamp);
}

void dlgImportFixture::txtFilter_Change()
{
    const QString filter = m_txtFilter->text().trimmed();
    for (int row = 0; row < m_lstModes->count(); ++row) {
        QListWidgetItem* item = m_lstModes->item(row);
        const QString name = fixtureText(m_fixture.modes[static_cast<std::size_t>(item->data(modeRole).toInt())].name);
        item->setHidden(!name.contains(filter, Qt::CaseInsensitive));
    }
    // A mode the filter hides is no longer the one chosen.
    if (chosenMode() < 0 || m_lstModes->selectedItems().first()->isHidden()) {
        m_lstModes->clearSelection();
        selectEnd(false);
    }
    lstModes_SelectionChanged();
}

void dlgImportFixture::selectEnd(bool last)
{
    const int count = m_lstModes->count();
    for (int i = 0; i < count; ++i) {
        const int row = last ? count - 1 - i : i;
        if (choosable(m_lstModes->item(row))) {
            m_lstModes->setCurrentRow(row);
            m_lstModes->scrollToItem(m_lstModes->item(row));
            return;
        }
    }
}

bool dlgImportFixture::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_lstModes && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End) &&
        key->modifiers() == Qt::NoModifier) {
        // The first and last modes that can be chosen, past greyed and filtered ones.
        selectEnd(key->key() == Qt::Key_End);
        return true;
    }
    if (watched == m_txtFilter) {
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // Moving through the modes while typing a filter.
            QApplication::sendEvent(m_lstModes, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- File > Import Fixture ------------------------------------------------------------

namespace {

QString importTitle() { return dlgImportFixture::tr("Import Fixture"); }
const QString fixtureFolderKey = QStringLiteral("Last folder fixture files");

QString notesText(const FixtureImport& imported)
{
    const std::vector<rig::FixtureNote>& notes = imported.converted.notes;
    if (notes.empty())
        return dlgImportFixture::tr("Mode \"%1\" of %2: every channel has its natural console function.")
            .arg(imported.modeName, imported.fileName);
    const std::size_t demoted = rig::channelsWithoutFunction(notes);
    QString text = demoted == 0 ? dlgImportFixture::tr("Mode \"%1\" of %2:\n").arg(imported.modeName, imported.fileName)
                                : dlgImportFixture::tr("Mode \"%1\" of %2: %3 without their natural console function:\n")
                                      .arg(imported.modeName, imported.fileName)
                                      .arg(demoted == 1 ? dlgImportFixture::tr("one channel")
                                                        : dlgImportFixture::tr("%1 channels").arg(demoted));
    for (const rig::FixtureNote& note : notes)
        text += QLatin1Char('\n') + fixtureNoteLine(note);
    return text;
}

FixtureOrigin originOf(const rig::FixtureDescription& fixture, const FixtureImport& imported,
                       const rig::FixtureMode& mode)
{
    FixtureOrigin origin;
    origin.caption = fixtureText(fixture.name) + QStringLiteral(" (") + imported.modeName + QLatin1Char(')');
    for (std::size_t c = 0; c < mode.channels.size(); ++c)
        origin.rowTips << dlgImportFixture::tr("Fixture channel %1: %2").arg(c + 1).arg(fixtureText(mode.channels[c].name));
    origin.notes = notesText(imported);
    return origin;
}

}  // namespace

std::optional<FixtureImport> askForFixtureLamp(QWidget* parent, ui::Ui& ui)
{
    ui::FileRequest request;
    request.title = importTitle();
    request.filter = dlgImportFixture::tr("Fixture definitions (*.json *.qxf *.gdtf description.xml)|*.json *.qxf *.gdtf description.xml");
    request.directory = ui::rememberedFolder(ui, fixtureFolderKey);
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
    // Only a definition that could be read makes its folder the next one offered.
    ui::rememberFolderOf(ui, fixtureFolderKey, *path);

    dlgImportFixture dialog(fixture, parent);
    if (ui.execDialog(dialog) != QDialog::Accepted || dialog.chosenLamp() == nullptr)
        return std::nullopt;
    return fixtureImport(fixture, static_cast<std::size_t>(dialog.chosenMode()), *dialog.chosenLamp(), fileName);
}

FixtureImport fixtureImport(const rig::FixtureDescription& fixture, std::size_t mode, const rig::FixtureLamp& converted,
                            const QString& fileName)
{
    FixtureImport imported{converted, fileName, fixtureText(fixture.modes[mode].name), {}};
    imported.origin = originOf(fixture, imported, fixture.modes[mode]);
    return imported;
}

void showFixtureNotes(QWidget* parent, ui::Ui& ui, const FixtureImport& imported)
{
    if (!imported.converted.notes.empty())
        ui.message(parent, imported.origin.notes, importTitle(), ui::Icon::Information, ui::Buttons::Ok);
}
