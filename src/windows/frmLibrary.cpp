#include "windows/frmLibrary.h"

#include "library/background_scan.h"
#include "library/library_folders.h"
#include "ui/ui.h"
#include "windows/library_details.h"
#include "windows/library_dialogs.h"
#include "windows/library_model.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QPushButton* makeButton(QWidget& parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, &parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

LibrarySources LibrarySources::installed()
{
    return {library::defaultFolders(QCoreApplication::applicationDirPath()), library::cacheFolder()};
}

frmLibrary::frmLibrary(ui::Ui& ui, LibrarySources sources, QWidget& owner)
    : QWidget(&owner, Qt::Window), m_ui(ui), m_sources(std::move(sources))
{
    setObjectName(QStringLiteral("frmLibrary"));
    setWindowTitle(tr("Fixture Library"));
    m_scan = new library::BackgroundScan(this);
    connect(m_scan, &library::BackgroundScan::filesFound, this, &frmLibrary::scan_FilesFound);
    connect(m_scan, &library::BackgroundScan::entriesReady, this, &frmLibrary::scan_EntriesReady);
    connect(m_scan, &library::BackgroundScan::finished, this, &frmLibrary::scan_Finished);
    m_model = new LibraryModel(this);
    m_filter = new LibraryFilter(*m_model, this);
    m_showFixture = new QTimer(this);
    m_showFixture->setSingleShot(true);
    m_showFixture->setInterval(0);
    connect(m_showFixture, &QTimer::timeout, this, &frmLibrary::showFixture);
    createControls();
    resize(fontMetrics().averageCharWidth() * 170, fontMetrics().lineSpacing() * 36);
}

frmLibrary::~frmLibrary() = default;

void frmLibrary::createControls()
{
    m_txtSearch = new QLineEdit(this);
    m_txtSearch->setObjectName(QStringLiteral("txtSearch"));
    m_txtSearch->setPlaceholderText(tr("Manufacturer, model or short name"));
    m_txtSearch->setClearButtonEnabled(true);
    m_txtSearch->installEventFilter(this);
    auto* lblSearch = new QLabel(tr("&Search:"), this);
    lblSearch->setBuddy(m_txtSearch);
    m_chkFits = new QCheckBox(tr("Fits the &console"), this);
    m_chkFits->setObjectName(QStringLiteral("chkFits"));
    m_chkFits->setChecked(true);
    m_chkFits->setToolTip(tr("Only fixtures with a mode of 36 channels or fewer that can become a lamp"));
    m_btnFolders = makeButton(*this, "btnFolders", tr("F&olders..."));
    m_btnRescan = makeButton(*this, "btnRescan", tr("&Rescan"));
    connect(m_txtSearch, &QLineEdit::textChanged, this, &frmLibrary::txtSearch_Change);
    connect(m_chkFits, &QCheckBox::toggled, this, &frmLibrary::chkFits_Click);
    connect(m_btnFolders, &QPushButton::clicked, this, &frmLibrary::btnFolders_Click);
    connect(m_btnRescan, &QPushButton::clicked, this, &frmLibrary::rescan);

    m_prgScan = new QProgressBar(this);
    m_prgScan->setObjectName(QStringLiteral("prgScan"));
    m_prgScan->setFormat(tr("Reading the library: %v of %m files"));
    m_prgScan->hide();
    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("lblCount"));

    m_grdResults = new QTableView(this);
    m_grdResults->setObjectName(QStringLiteral("grdResults"));
    m_grdResults->setModel(m_filter);
    m_grdResults->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdResults->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdResults->setWordWrap(false);
    m_grdResults->verticalHeader()->hide();
    m_grdResults->verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 6);
    m_grdResults->setSortingEnabled(true);
    m_grdResults->sortByColumn(LibraryModel::ManufacturerColumn, Qt::AscendingOrder);
    QHeaderView* header = m_grdResults->horizontalHeader();
    header->setSectionResizeMode(LibraryModel::ModelColumn, QHeaderView::Stretch);
    const int character = fontMetrics().averageCharWidth();
    header->resizeSection(LibraryModel::ManufacturerColumn, character * 22);
    header->resizeSection(LibraryModel::TypeColumn, character * 16);
    header->resizeSection(LibraryModel::ModesColumn, character * 14);
    header->resizeSection(LibraryModel::SourceColumn, character * 8);
    connect(m_grdResults->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmLibrary::grdResults_CurrentChanged);
    connect(m_grdResults, &QAbstractItemView::activated, this, &frmLibrary::importChosen);

    m_details = new LibraryDetails(this);
    connect(m_details, &LibraryDetails::importRequested, this, &frmLibrary::importChosen);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_grdResults);
    splitter->addWidget(m_details);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    m_btnProblems = makeButton(*this, "btnProblems", QString());
    connect(m_btnProblems, &QPushButton::clicked, this, &frmLibrary::btnProblems_Click);

    auto* top = new QHBoxLayout;
    top->addWidget(lblSearch);
    top->addWidget(m_txtSearch, 1);
    top->addWidget(m_chkFits);
    top->addWidget(m_btnFolders);
    top->addWidget(m_btnRescan);
    auto* status = new QHBoxLayout;
    status->addWidget(m_lblCount, 1);
    status->addWidget(m_prgScan, 1);
    status->addWidget(m_btnProblems);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(splitter, 1);
    layout->addLayout(status);
    showCounts();
}

void frmLibrary::showLibrary()
{
    show();
    raise();
    activateWindow();
    m_txtSearch->setFocus();
    m_txtSearch->selectAll();
    if (!m_scanned)
        rescan();
}

void frmLibrary::rescan()
{
    library::ScanRequest request;
    request.folders = library::libraryFolders(m_sources.defaultFolders, addedFolders());
    request.cacheFolder = m_sources.cacheFolder;
    request.programVersion = library::programVersion();
    m_model->clear();
    m_problems.clear();
    m_scanned = true;
    m_prgScan->setRange(0, 0);
    m_prgScan->show();
    m_btnRescan->setEnabled(false);
    showCounts();
    m_scan->start(request);
}

bool frmLibrary::scanning() const
{
    return m_scan->running();
}

QStringList frmLibrary::addedFolders() const
{
    return library::foldersFromSetting(m_ui.setting(QLatin1String(library::foldersSettingKey), QString()));
}

void frmLibrary::scan_FilesFound(int total)
{
    m_prgScan->setRange(0, std::max(total, 1));
}

void frmLibrary::scan_EntriesReady(const std::vector<library::Entry>& entries, int done)
{
    m_model->append(entries);
    for (const library::Entry& entry : entries)
        if (entry.kind == library::Entry::Kind::Problem)
            m_problems.push_back(entry);
    if (m_prgScan->maximum() > 0)
        m_prgScan->setValue(std::min(done, m_prgScan->maximum()));
    keepACurrentFixture();
    showCounts();
}

void frmLibrary::scan_Finished(const library::ScanResult& result)
{
    // A cache that cannot be written costs speed next time, not data: worth a line in the list.
    for (const QString& problem : result.cacheProblems) {
        library::Entry entry;
        entry.kind = library::Entry::Kind::Problem;
        entry.path = m_sources.cacheFolder;
        entry.problem = tr("the library's cache cannot be written: %1").arg(problem);
        m_problems.push_back(entry);
    }
    m_prgScan->hide();
    m_btnRescan->setEnabled(true);
    showCounts();
}

void frmLibrary::showCounts()
{
    const int listed = m_filter->rowCount();
    const int all = m_model->rowCount();
    m_lblCount->setText(listed == all ? tr("%1 fixtures").arg(all) : tr("%1 of %2 fixtures").arg(listed).arg(all));
    const auto problems = static_cast<int>(m_problems.size());
    m_btnProblems->setText(problems == 0 ? tr("No problems") : problems == 1 ? tr("1 &problem...") : tr("%1 &problems...").arg(problems));
    m_btnProblems->setEnabled(problems > 0);
}

void frmLibrary::txtSearch_Change()
{
    m_filter->setSearch(m_txtSearch->text());
    keepACurrentFixture();
    showCounts();
}

void frmLibrary::chkFits_Click()
{
    m_filter->setFitsOnly(m_chkFits->isChecked());
    keepACurrentFixture();
    showCounts();
}

void frmLibrary::keepACurrentFixture()
{
    // The first match is current while typing, so Enter takes it; a current one that
    // still matches stays.
    QItemSelectionModel* selection = m_grdResults->selectionModel();
    if (selection->currentIndex().isValid() || m_filter->rowCount() == 0) {
        if (m_filter->rowCount() == 0)
            grdResults_CurrentChanged();
        return;
    }
    const QModelIndex first = m_filter->index(0, 0);
    selection->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_grdResults->scrollTo(first);
}

void frmLibrary::grdResults_CurrentChanged()
{
    m_showFixture->start();
}

void frmLibrary::showFixture()
{
    m_showFixture->stop();
    const QModelIndex current = m_grdResults->selectionModel()->currentIndex();
    m_details->showFixture(current.isValid() ? &m_filter->entryAt(current.row()) : nullptr);
}

void frmLibrary::importChosen()
{
    // What was typed last decides, also when its fixture was not shown yet.
    if (m_showFixture->isActive())
        showFixture();
    if (const std::optional<FixtureImport> imported = m_details->chosenImport())
        emit fixtureChosen(*imported);
}

void frmLibrary::btnFolders_Click()
{
    const QStringList before = addedFolders();
    dlgLibraryFolders dialog(m_ui, m_sources.defaultFolders, before, this);
    if (m_ui.execDialog(dialog) != QDialog::Accepted || dialog.added() == before)
        return;
    m_ui.setSetting(QLatin1String(library::foldersSettingKey), library::foldersToSetting(dialog.added()));
    rescan();
}

void frmLibrary::btnProblems_Click()
{
    dlgLibraryProblems dialog(m_problems, this);
    m_ui.execDialog(dialog);
}

bool frmLibrary::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_txtSearch && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // Moving through the results while typing.
            QApplication::sendEvent(m_grdResults, event);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            importChosen();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmLibrary::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window from any of its controls that has no use for it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmLibrary::closeEvent(QCloseEvent* event)
{
    // A read cut short is done again at the next showing.
    if (m_scan->running()) {
        m_scan->stop();
        m_scanned = false;
        m_prgScan->hide();
        m_btnRescan->setEnabled(true);
    }
    QWidget::closeEvent(event);
}
