#include "windows/library_details.h"

#include "base/rig_error.h"
#include "fixture/fixture_reader.h"
#include "library/library_entry.h"
#include "windows/lamp_preview.h"
#include "windows/library_dialogs.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int modeRole = Qt::UserRole;

}  // namespace

LibraryDetails::LibraryDetails(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LibraryDetails"));
    m_lblFixture = new QLabel(this);
    m_lblFixture->setObjectName(QStringLiteral("lblFixture"));
    m_lblFixture->setTextFormat(Qt::PlainText);
    m_lblFixture->setWordWrap(true);
    m_lstModes = new QListWidget(this);
    m_lstModes->setObjectName(QStringLiteral("lstModes"));
    m_lstModes->setMaximumHeight(fontMetrics().lineSpacing() * 7);
    connect(m_lstModes, &QListWidget::currentRowChanged, this, &LibraryDetails::lstModes_CurrentChanged);
    connect(m_lstModes, &QListWidget::itemActivated, this, &LibraryDetails::importRequested);
    m_preview = new LampPreview(this);
    m_btnImport = new QPushButton(tr("&Import"), this);
    m_btnImport->setObjectName(QStringLiteral("btnImport"));
    m_btnImport->setAutoDefault(false);
    m_btnImport->setEnabled(false);
    connect(m_btnImport, &QPushButton::clicked, this, &LibraryDetails::importRequested);
    auto* lblModes = new QLabel(tr("&Modes:"), this);
    lblModes->setBuddy(m_lstModes);

    auto* importRow = new QHBoxLayout;
    importRow->addStretch(1);
    importRow->addWidget(m_btnImport);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_lblFixture);
    layout->addWidget(lblModes);
    layout->addWidget(m_lstModes);
    layout->addWidget(m_preview, 1);
    layout->addLayout(importRow);
}

void LibraryDetails::showFixture(const library::Entry* entry)
{
    const QString path = entry != nullptr ? entry->path : QString();
    if (path == m_path && !path.isEmpty())
        return;
    m_path = path;
    m_fixture = {};
    m_lstModes->clear();
    m_preview->clear();
    m_lamp.reset();
    m_mode = -1;
    m_btnImport->setEnabled(false);
    if (entry == nullptr) {
        m_lblFixture->clear();
        return;
    }
    const QString heading =
        (entry->manufacturer.isEmpty() ? entry->model : entry->manufacturer + QStringLiteral(" \u2014 ") + entry->model) +
        QLatin1Char('\n') + shownPath(path);
    // Read again as the import reads it: the lamp must be the one File > Import Fixture makes.
    try {
        m_fixture = fixture::readFixtureDefinition(path);
    } catch (const rig::RigError& error) {
        m_lblFixture->setText(heading + QLatin1Char('\n') +
                              tr("The file cannot be read now: %1").arg(QString::fromStdString(error.description())));
        return;
    }
    m_lblFixture->setText(heading);
    int chosen = -1;
    for (std::size_t m = 0; m < m_fixture.modes.size(); ++m) {
        const rig::FixtureMode& mode = m_fixture.modes[m];
        auto* item = new QListWidgetItem(dlgImportFixture::modeText(mode), m_lstModes);
        item->setData(modeRole, static_cast<int>(m));
        if (const std::string refusal = rig::fixtureModeRefusal(mode); !refusal.empty()) {
            // Listed with its reason; choosing it previews its channels, but it cannot be imported.
            const QString reason = QString::fromStdString(refusal);
            item->setText(item->text() + tr(" (not available: ") + reason + QLatin1Char(')'));
            item->setToolTip(reason);
            item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        } else if (chosen < 0) {
            chosen = static_cast<int>(m);
        }
    }
    m_lstModes->setCurrentRow(chosen >= 0 ? chosen : 0);
}

void LibraryDetails::lstModes_CurrentChanged()
{
    m_lamp.reset();
    m_mode = -1;
    const QListWidgetItem* item = m_lstModes->currentItem();
    if (item == nullptr) {
        m_preview->clear();
        m_btnImport->setEnabled(false);
        return;
    }
    m_mode = item->data(modeRole).toInt();
    const rig::FixtureMode& mode = m_fixture.modes[static_cast<std::size_t>(m_mode)];
    if (const std::string refusal = rig::fixtureModeRefusal(mode); !refusal.empty()) {
        m_preview->showRefusedMode(mode, QString::fromStdString(refusal));
    } else {
        m_lamp = rig::fixtureToLamp(m_fixture, static_cast<std::size_t>(m_mode));
        m_preview->showMode(mode, *m_lamp);
    }
    m_btnImport->setEnabled(m_lamp.has_value());
}

std::optional<FixtureImport> LibraryDetails::chosenImport() const
{
    if (!m_lamp)
        return std::nullopt;
    return fixtureImport(m_fixture, static_cast<std::size_t>(m_mode), *m_lamp, QFileInfo(m_path).fileName());
}
