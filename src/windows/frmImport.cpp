#include "windows/frmImport.h"

#include "core/lamp_exchange.h"
#include "base/rig_error.h"
#include "qtcore/file_names.h"
#include "qtcore/field_text.h"
#include "ui/twips.h"
#include "ui/ui.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

frmImport::frmImport(rig::StagePatch& patch, ui::Ui& ui, QWidget* parent)
    : QDialog(parent),
      m_patch(patch),
      m_ui(ui)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(tr("Dornick File Import"));

    m_lblImportFile = new QLabel(tr("Import filename:"), this);
    m_lblImportFile->setObjectName(QStringLiteral("lblImportFile"));
    m_txtImportFile = new QLineEdit(this);
    m_txtImportFile->setObjectName(QStringLiteral("txtImportFile"));
    m_txtImportFile->setMinimumWidth(ui::twipsToPixels(3600));
    m_btnBrowse = new QPushButton(tr("&Browse..."), this);
    m_btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    m_btnImport = new QPushButton(tr("&Import"), this);
    m_btnImport->setObjectName(QStringLiteral("btnImport"));
    m_Label2 = new QLabel(tr("Entity(s) found:"), this);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_lstLamps = new QListWidget(this);
    m_lstLamps->setObjectName(QStringLiteral("lstLamps"));
    m_lstLamps->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstLamps->setMinimumHeight(ui::twipsToPixels(2400));
    m_btnOpen = new QPushButton(tr("&Open Entity"), this);
    m_btnOpen->setObjectName(QStringLiteral("btnOpen"));
    m_btnCancel = new QPushButton(tr("&Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* button : {m_btnBrowse, m_btnImport, m_btnOpen, m_btnCancel})
        button->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_lblImportFile, 0, 0, 1, 2);
    grid->addWidget(m_txtImportFile, 1, 0);
    grid->addWidget(m_btnBrowse, 1, 1);
    grid->addWidget(m_btnImport, 2, 1);
    grid->addWidget(m_Label2, 2, 0);
    grid->addWidget(m_lstLamps, 3, 0, 3, 1);
    grid->addWidget(m_btnOpen, 3, 1);
    grid->addWidget(m_btnCancel, 4, 1);
    grid->setRowStretch(5, 1);

    connect(m_btnBrowse, &QPushButton::clicked, this, &frmImport::btnBrowse_Click);
    connect(m_btnImport, &QPushButton::clicked, this, &frmImport::btnImport_Click);
    connect(m_btnOpen, &QPushButton::clicked, this, &frmImport::btnOpen_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &frmImport::btnCancel_Click);
    connect(m_lstLamps, &QListWidget::itemDoubleClicked, this, &frmImport::lstLamps_DblClick);
}

void frmImport::btnBrowse_Click()
{
    ui::FileRequest request;
    request.filter = tr("Dornick Lamp Files (lamp.dat)|lamp.dat");
    const std::optional<QString> chosen = m_ui.openFileName(this, request);
    if (!chosen || chosen->isEmpty())
        return;
    m_txtImportFile->setText(*chosen);
    importDataFile(m_txtImportFile->text());
}

void frmImport::btnImport_Click() { importDataFile(m_txtImportFile->text()); }

void frmImport::importDataFile(const QString& path)
{
    rig::ImportedLampData imported;
    try {
        imported = rig::importLampDataFile(rig::toPath(path));
    } catch (const rig::RigError& error) {
        // Nothing read is used: the list, the slots and the stage patch stay as they were.
        m_ui.message(this, tr("Error: ") + QString::fromLocal8Bit(error.description().c_str()),
                     QString::fromStdString(error.source()), ui::Icon::Critical, ui::Buttons::Ok);
        return;
    }

    m_lmpSlots = imported.lmpSlots;
    m_lstLamps->clear();
    for (const int slot : imported.usedSlots()) {
        // The name as stored, padding included.
        auto* item = new QListWidgetItem(rig::fromField(m_lmpSlots[static_cast<std::size_t>(slot)].LampName.str()),
                                         m_lstLamps);
        item->setData(Qt::UserRole, slot);
    }

    m_patch.patchEntries = imported.patchEntries;
    emit patchEntriesReplaced();
}

void frmImport::btnOpen_Click()
{
    QListWidgetItem* item = m_lstLamps->currentItem();
    if (item == nullptr || !item->isSelected()) {
        m_ui.message(this,
                     tr("You did not select any lamps to import") + QStringLiteral("\r\n") +
                         tr("Please select a lamp and then click Open Entity"),
                     tr("Import Lamp Error"), ui::Icon::Critical, ui::Buttons::Ok);
        return;
    }
    const int slot = item->data(Qt::UserRole).toInt();
    if (slot < 0 || slot >= static_cast<int>(rig::lampSlots))
        return;
    const rig::Lamp chosen = m_lmpSlots[static_cast<std::size_t>(slot)];
    accept();
    emit lampChosen(chosen);
}

void frmImport::lstLamps_DblClick() { btnOpen_Click(); }

void frmImport::btnCancel_Click() { reject(); }
