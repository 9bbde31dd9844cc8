#include "windows/frmExport.h"

#include "core/lamp_exchange.h"
#include "base/file_io.h"
#include "base/rig_error.h"
#include "ui/file_dialog.h"
#include "qtcore/file_names.h"
#include "ui/twips.h"
#include "ui/ui.h"
#include "windows/folder_reveal.h"

#include <QCoreApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

const QString sourcePathKey = QStringLiteral("Export source path");
const QString targetPathKey = QStringLiteral("Export target path");
QString messageTitle() { return frmExport::tr("Tarsen Rigsmith"); }
const QString lampFilePattern = QStringLiteral("*.lmp");

QString cleanFolder(const QString& folder) { return QDir::cleanPath(QDir(folder).absolutePath()); }

bool folderReadable(const QString& folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QFileSystemModel* folderModel(QObject* parent, QDir::Filters filter)
{
    auto* model = new QFileSystemModel(parent);
    // Icons and types from names alone: the lists never open a file to show it.
    model->setIconProvider(ui::plainFileIcons());
    model->setReadOnly(true);
    model->setFilter(filter);
    // Names that do not match the pattern are left out rather than greyed.
    model->setNameFilterDisables(false);
    return model;
}

}  // namespace

frmExport::frmExport(std::string appPath, ui::Ui& ui, QWidget* parent)
    : QDialog(parent),
      m_appPath(std::move(appPath)),
      m_ui(ui),
      m_pattern(lampFilePattern)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(tr("Export Dornick File"));

    m_lblExportEntity = new QLabel(tr("Entity type to export:"), this);
    m_lblExportEntity->setObjectName(QStringLiteral("lblExportEntity"));
    m_cmbExportEntity = new QComboBox(this);
    m_cmbExportEntity->setObjectName(QStringLiteral("cmbExportEntity"));
    m_cmbExportEntity->addItem(tr("Lamps Only"));

    m_drvFiles = new QComboBox(this);
    m_drvFiles->setObjectName(QStringLiteral("drvFiles"));
    m_dirModel = folderModel(this, QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirFiles = new QTreeView(this);
    m_dirFiles->setObjectName(QStringLiteral("dirFiles"));
    m_dirFiles->setModel(m_dirModel);
    m_dirFiles->setHeaderHidden(true);
    for (int column = 1; column < m_dirModel->columnCount(); ++column)
        m_dirFiles->hideColumn(column);
    m_dirReveal = new FolderReveal(*m_dirFiles, *m_dirModel);
    m_fileModel = folderModel(this, QDir::Files);
    m_lstFiles = new QListView(this);
    m_lstFiles->setObjectName(QStringLiteral("lstFiles"));
    m_lstFiles->setModel(m_fileModel);
    m_lstFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lstFiles->setToolTip(tr("These files contain lamp data in editor format. Click add to place the "
                              "file in the export list."));

    m_btnAdd = new QPushButton(tr("&Add >>"), this);
    m_btnAdd->setObjectName(QStringLiteral("btnAdd"));
    m_btnAddAll = new QPushButton(tr("Add Al&l >>"), this);
    m_btnAddAll->setObjectName(QStringLiteral("btnAddAll"));
    m_btnRemove = new QPushButton(tr("&Remove"), this);
    m_btnRemove->setObjectName(QStringLiteral("btnRemove"));
    m_btnRemoveAll = new QPushButton(tr("Re&move All"), this);
    m_btnRemoveAll->setObjectName(QStringLiteral("btnRemoveAll"));

    m_lstExport = new QListWidget(this);
    m_lstExport->setObjectName(QStringLiteral("lstExport"));
    m_lstExport->setSelectionMode(QAbstractItemView::SingleSelection);

    m_lblWarning = new QLabel(tr("Note: Currently all the lamps to be exported need to be in the same "
                                 "directory and this directory selected in the directory window when "
                                 "the export button is pressed."),
                              this);
    m_lblWarning->setObjectName(QStringLiteral("lblWarning"));
    m_lblWarning->setWordWrap(true);

    m_btnExport = new QPushButton(tr("&Export..."), this);
    m_btnExport->setObjectName(QStringLiteral("btnExport"));
    m_btnExport->setAutoDefault(false);
    m_btnCancel = new QPushButton(tr("&Cancel"), this);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    m_btnCancel->setAutoDefault(false);
    for (QPushButton* button : {m_btnAdd, m_btnAddAll, m_btnRemove, m_btnRemoveAll})
        button->setAutoDefault(false);

    const int listWidth = ui::twipsToPixels(2880);
    const int listHeight = ui::twipsToPixels(1800);
    for (QWidget* list : {static_cast<QWidget*>(m_dirFiles), static_cast<QWidget*>(m_lstFiles)})
        list->setMinimumSize(listWidth, listHeight);
    m_lstExport->setMinimumWidth(listWidth);

    auto* sourceColumn = new QVBoxLayout;
    sourceColumn->addWidget(m_drvFiles);
    sourceColumn->addWidget(m_dirFiles);
    sourceColumn->addWidget(m_lstFiles);

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addStretch();
    for (QPushButton* button : {m_btnAdd, m_btnAddAll, m_btnRemove, m_btnRemoveAll})
        buttonColumn->addWidget(button);
    buttonColumn->addStretch();

    auto* entityRow = new QHBoxLayout;
    entityRow->addWidget(m_lblExportEntity);
    entityRow->addWidget(m_cmbExportEntity, 1);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_lblWarning, 1);
    bottomRow->addWidget(m_btnExport);
    bottomRow->addWidget(m_btnCancel);

    auto* grid = new QGridLayout(this);
    grid->addLayout(entityRow, 0, 0);
    grid->addLayout(sourceColumn, 1, 0);
    grid->addLayout(buttonColumn, 1, 1);
    grid->addWidget(m_lstExport, 1, 2);
    grid->addLayout(bottomRow, 2, 0, 1, 3);

    connect(m_cmbExportEntity, QOverload<int>::of(&QComboBox::activated), this, &frmExport::cmbExportEntity_Click);
    connect(m_drvFiles, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &frmExport::drvFiles_Change);
    connect(m_dirFiles, &QTreeView::clicked, this, &frmExport::dirFiles_Click);
    connect(m_dirFiles, &QTreeView::activated, this, &frmExport::dirFiles_Click);
    // A folder reached with the keyboard is selected as a clicked one is.
    connect(m_dirFiles->selectionModel(), &QItemSelectionModel::currentChanged, this, &frmExport::dirFiles_Click);
    connect(m_lstFiles, &QListView::doubleClicked, this, &frmExport::lstFiles_DblClick);
    connect(m_btnAdd, &QPushButton::clicked, this, &frmExport::btnAdd_Click);
    connect(m_btnAddAll, &QPushButton::clicked, this, &frmExport::btnAddAll_Click);
    connect(m_btnRemove, &QPushButton::clicked, this, &frmExport::btnRemove_Click);
    connect(m_btnRemoveAll, &QPushButton::clicked, this, &frmExport::btnRemoveAll_Click);
    connect(m_btnExport, &QPushButton::clicked, this, &frmExport::btnExport_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &frmExport::btnCancel_Click);

    Form_Load();
}

void frmExport::showExport(std::unique_ptr<frmExport>& instance, const std::string& appPath, ui::Ui& ui)
{
    if (!instance)
        instance = std::make_unique<frmExport>(appPath, ui);
    if (ui.execDialog(*instance) != QDialog::Accepted)
        instance.reset();
}

void frmExport::Form_Load()
{
    fillDrives();
    // The directory list starts in the home folder; the stored folder replaces it when
    // it can be selected. A folder that is away for now (an unplugged drive) stays
    // stored for next time.
    const QString home = cleanFolder(QDir::homePath());
    m_folder = folderReadable(home) ? home : QDir::rootPath();
    if (!dirFiles_Change(m_ui.setting(sourcePathKey, home)))
        showFolder();
    m_cmbExportEntity->setCurrentIndex(0);
    setEntityFilter();
}

QStringList frmExport::exportList() const
{
    QStringList names;
    for (int i = 0; i < m_lstExport->count(); ++i)
        names << m_lstExport->item(i)->text();
    return names;
}

QStringList frmExport::fileList() const
{
    QStringList names;
    const QModelIndex folder = m_lstFiles->rootIndex();
    for (int row = 0; row < m_fileModel->rowCount(folder); ++row)
        names << m_fileModel->fileName(m_fileModel->index(row, 0, folder));
    return names;
}

void frmExport::cmbExportEntity_Click() { setEntityFilter(); }

void frmExport::setEntityFilter()
{
    // Lamps are the only entity the console file takes.
    m_pattern = lampFilePattern;
    m_fileModel->setNameFilters({m_pattern});
    m_btnAddAll->setEnabled(true);
    m_btnRemoveAll->setEnabled(true);
}

void frmExport::fillDrives()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    if (!roots.contains(QDir::rootPath()))
        roots << QDir::rootPath();
    std::sort(roots.begin(), roots.end());

    const QSignalBlocker blocker(m_drvFiles);
    m_drvFiles->clear();
    for (const QString& root : roots)
        m_drvFiles->addItem(QDir::toNativeSeparators(root), root);
}

QString frmExport::showDriveOf(const QString& folder)
{
    // The volume whose root is the longest leading part of the folder holds it.
    int best = -1;
    int bestLength = -1;
    for (int i = 0; i < m_drvFiles->count(); ++i) {
        const QString root = m_drvFiles->itemData(i).toString();
        const bool holds = folder == root ||
                           (folder.startsWith(root) && (root.endsWith(QLatin1Char('/')) ||
                                                        folder.at(root.size()) == QLatin1Char('/')));
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = static_cast<int>(root.size());
        }
    }
    const QSignalBlocker blocker(m_drvFiles);
    m_drvFiles->setCurrentIndex(best);
    return best < 0 ? QDir::rootPath() : m_drvFiles->itemData(best).toString();
}

void frmExport::drvFiles_Change()
{
    const QString root = m_drvFiles->currentData().toString();
    if (root.isEmpty())
        return;
    if (!folderReadable(root) || !dirFiles_Change(root)) {
        // The drive list keeps showing the drive the user chose.
        m_ui.message(this, tr("The drive you have selected is not responding"),
                     tr("Error"), ui::Icon::Critical, ui::Buttons::Ok);
    }
}

bool frmExport::dirFiles_Change(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString clean = cleanFolder(folder);
    if (!folderReadable(clean))
        return false;
    m_folder = clean;
    showFolder();
    m_ui.setSetting(sourcePathKey, QDir::toNativeSeparators(m_folder));
    return true;
}

void frmExport::dirFiles_Click(const QModelIndex& index)
{
    if (index.isValid() && m_dirModel->filePath(index) != m_folder)
        dirFiles_Change(m_dirModel->filePath(index));
}

void frmExport::showFolder()
{
    // The folder tree of the folder's drive, opened down to the folder itself.
    const QString root = showDriveOf(m_folder);
    m_dirFiles->setRootIndex(m_dirModel->setRootPath(root));
    m_dirReveal->reveal(m_folder);
    m_lstFiles->setRootIndex(m_fileModel->setRootPath(m_folder));
}

void frmExport::lstFiles_DblClick() { btnAdd_Click(); }

void frmExport::btnAdd_Click()
{
    // In the order of the file list, not the order they were picked in.
    QModelIndexList selected = m_lstFiles->selectionModel()->selectedIndexes();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& x, const QModelIndex& y) { return x.row() < y.row(); });
    for (const QModelIndex& index : selected)
        if (index.parent() == m_lstFiles->rootIndex())
            m_lstExport->addItem(m_fileModel->fileName(index));
    m_lstFiles->clearSelection();
}

void frmExport::btnAddAll_Click()
{
    m_lstExport->clear();
    m_lstExport->addItems(fileList());
}

void frmExport::btnRemove_Click()
{
    const QList<QListWidgetItem*> selected = m_lstExport->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
    // Nothing stays selected: a second Remove must not take another entry unasked.
    m_lstExport->clearSelection();
    m_lstExport->setCurrentRow(-1);
}

void frmExport::btnRemoveAll_Click() { m_lstExport->clear(); }

void frmExport::btnExport_Click()
{
    if (exportLampData())
        accept();  // hides the dialog; its folder and lists stay for the next export
}

void frmExport::btnCancel_Click() { reject(); }

void frmExport::reportExportFailure(int number, const QString& description)
{
    QString text;
    if (number == rig::errc::permissionDenied || number == rig::errc::pathFileAccess)
        text = tr("An export error has occurred") + QStringLiteral("\r\n") +
               tr("It is possible that you are trying to save to a write protected file");
    else
        text = tr("Error ") + QString::number(number) + QStringLiteral(": ") + description;
    m_ui.message(this, text, messageTitle(), ui::Icon::Exclamation, ui::Buttons::Ok);
}

bool frmExport::exportLampData()
{
    // The lamp files are read first, from the folder selected now, so a missing or
    // unreadable one is reported before the user picks and confirms an output file.
    std::vector<std::string> names;
    for (const QString& name : exportList())
        names.push_back(rig::toPath(name));
    std::vector<std::uint8_t> lampPayload;
    try {
        lampPayload = rig::buildExportLampPayload(rig::toPath(m_folder), names);
    } catch (const rig::RigError& error) {
        // Not a write problem, whatever its number: show what went wrong with which file.
        m_ui.message(this,
                     tr("Error ") + QString::number(error.number()) + QStringLiteral(": ") +
                         QString::fromLocal8Bit(error.description().c_str()),
                     messageTitle(), ui::Icon::Exclamation, ui::Buttons::Ok);
        return false;
    }

    ui::FileRequest request;
    request.title = tr("Export to Dornick lamp data file");
    request.filter = tr("Dornick Lamp Data File (lamp.dat)|lamp.dat");
    request.fileName = QStringLiteral("Lamp.dat");
    // The folder of the last export, else the folder the lamps come from.
    const QString lastTarget = m_ui.setting(targetPathKey, QString());
    request.directory = !lastTarget.isEmpty() && folderReadable(cleanFolder(lastTarget)) ? cleanFolder(lastTarget)
                                                                                         : m_folder;
    const std::optional<QString> chosen = m_ui.saveFileName(this, request);
    if (!chosen || chosen->isEmpty())
        return false;
    const QString path = *chosen;

    if (rig::fileExists(rig::toPath(path))) {
        const QString question = tr("File ") + QDir::toNativeSeparators(path) + tr(" exists") +
                                 QStringLiteral("\r\n") + tr("Do you wish to overwrite it?");
        if (m_ui.message(this, question, tr("Lamp file exists"), ui::Icon::Question,
                         ui::Buttons::YesNo) != ui::Answer::Yes)
            return false;
    }

    if (QFileInfo(path).fileName().toLower() != QStringLiteral("lamp.dat")) {
        m_ui.message(this,
                     tr("Dornick will only load lamps from a data file called 'LAMP.DAT'.") +
                         QStringLiteral("\r") +
                         tr("You will need to rename this file before loading it into the console"),
                     tr("File export warning"), ui::Icon::Exclamation, ui::Buttons::Ok);
    }

    try {
        rig::writeExportFiles(lampPayload, rig::toPath(path), m_appPath);
    } catch (const rig::RigError& error) {
        reportExportFailure(error.number(), QString::fromLocal8Bit(error.description().c_str()));
        return false;
    }
    m_ui.setSetting(targetPathKey, QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    return true;
}
