#include "console/frmImport.h"

#include "console/lamp_exchange.h"
#include "patch/frmStageScreen.h"
#include "shell/frmMain.h"
#include "lamp/rig_error.h"
#include "ui/text.h"
#include "ui/twips.h"
#include "ui/ui.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

frmImport::frmImport(frmMain& main, QWidget* parent) : QDialog(parent), m_main(main)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Dornick File Import"));

    m_lblImportFile = new QLabel(QStringLiteral("Import filename:"), this);
    m_lblImportFile->setObjectName(QStringLiteral("lblImportFile"));
    m_txtImportFile = new QLineEdit(this);
    m_txtImportFile->setObjectName(QStringLiteral("txtImportFile"));
    m_txtImportFile->setMinimumWidth(ui::twipsToPixels(3600));
    m_btnBrowse = new QPushButton(QStringLiteral("&Browse..."), this);
    m_btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    m_btnImport = new QPushButton(QStringLiteral("&Import"), this);
    m_btnImport->setObjectName(QStringLiteral("btnImport"));
    m_Label2 = new QLabel(QStringLiteral("Entity(s) found:"), this);
    m_Label2->setObjectName(QStringLiteral("Label2"));
    m_lstLamps = new QListWidget(this);
    m_lstLamps->setObjectName(QStringLiteral("lstLamps"));
    m_lstLamps->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstLamps->setMinimumHeight(ui::twipsToPixels(2400));
    m_btnOpen = new QPushButton(QStringLiteral("&Open Entity"), this);
    m_btnOpen->setObjectName(QStringLiteral("btnOpen"));
    m_btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
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
    request.filter = QStringLiteral("Dornick Lamp Files (lamp.dat)|lamp.dat");
    const std::optional<QString> chosen = ui::current().openFileName(this, request);
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
        imported = rig::importLampDataFile(QFile::encodeName(path).toStdString());
    } catch (const rig::RigError& error) {
        // Nothing read is used: the list, the slots and the stage patch stay as they were.
        ui::current().message(this, QStringLiteral("Error: ") + QString::fromLocal8Bit(error.description().c_str()),
                              QString::fromStdString(error.source()), ui::Icon::Critical, ui::Buttons::Ok);
        return;
    }

    m_lmpSlots = imported.lmpSlots;
    m_lstLamps->clear();
    for (const int slot : imported.usedSlots()) {
        // The name as stored, padding included.
        auto* item = new QListWidgetItem(ui::fromField(m_lmpSlots[static_cast<std::size_t>(slot)].LampName.str()),
                                         m_lstLamps);
        item->setData(Qt::UserRole, slot);
    }

    rig::AppState& state = m_main.state();
    state.patch.patchEntries = imported.patchEntries;
    // An open stage screen would otherwise show placed lamps that are gone, and close
    // without offering to save the ones that came in. A closed one is only redrawn: the
    // next patch opened replaces these entries anyway. Open means its sub-window is in
    // the client area; a minimised one hides the screen itself but is still open.
    if (frmStageScreen* screen = m_main.stageScreen(false)) {
        screen->refreshScreen();
        const auto* sub = qobject_cast<const QMdiSubWindow*>(screen->parentWidget());
        if (sub != nullptr && sub->mdiArea() == m_main.mdiArea())
            screen->setChanged(true);
    }
}

void frmImport::btnOpen_Click()
{
    QListWidgetItem* item = m_lstLamps->currentItem();
    if (item == nullptr || !item->isSelected()) {
        ui::current().message(this,
                              QStringLiteral("You did not select any lamps to import") + QStringLiteral("\r\n") +
                                  QStringLiteral("Please select a lamp and then click Open Entity"),
                              QStringLiteral("Import Lamp Error"), ui::Icon::Critical, ui::Buttons::Ok);
        return;
    }
    const int slot = item->data(Qt::UserRole).toInt();
    if (slot < 0 || slot >= static_cast<int>(rig::lampSlots))
        return;
    m_main.state().lmpImport = m_lmpSlots[static_cast<std::size_t>(slot)];
    accept();
    m_main.openImportedLamp();
}

void frmImport::lstLamps_DblClick() { btnOpen_Click(); }

void frmImport::btnCancel_Click() { reject(); }
