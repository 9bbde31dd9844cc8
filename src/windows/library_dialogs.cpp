#include "windows/library_dialogs.h"

#include "base/file_io.h"
#include "qtcore/file_names.h"
#include "ui/ui.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int addedRole = Qt::UserRole;

QDialogButtonBox* okCancel(QDialog& dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

QPushButton* button(QWidget& parent, const char* name, const QString& text)
{
    auto* made = new QPushButton(text, &parent);
    made->setObjectName(QLatin1String(name));
    made->setAutoDefault(false);
    return made;
}

}  // namespace

QString shownPath(const QString& path)
{
    return rig::fromPath(rig::printableName(rig::toPath(path)));
}

dlgLibraryFolders::dlgLibraryFolders(ui::Ui& ui, const QStringList& defaults, const QStringList& added, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_defaults(defaults), m_added(added)
{
    setObjectName(QStringLiteral("dlgLibraryFolders"));
    setWindowTitle(tr("Fixture Library Folders"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* label = new QLabel(tr("Fixture definitions (.json, .qxf, .gdtf, description.xml) are read from these folders "
                                "and the folders below them:"),
                             this);
    label->setWordWrap(true);
    m_lstFolders = new QListWidget(this);
    m_lstFolders->setObjectName(QStringLiteral("lstFolders"));
    m_lstFolders->setMinimumWidth(fontMetrics().averageCharWidth() * 70);
    QPushButton* add = button(*this, "btnAdd", tr("&Add..."));
    m_btnRemove = button(*this, "btnRemove", tr("&Remove"));
    connect(add, &QPushButton::clicked, this, &dlgLibraryFolders::btnAdd_Click);
    connect(m_btnRemove, &QPushButton::clicked, this, &dlgLibraryFolders::btnRemove_Click);
    connect(m_lstFolders, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = m_lstFolders->selectedItems();
        m_btnRemove->setEnabled(!selected.isEmpty() && selected.first()->data(addedRole).toBool());
    });

    auto* side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(m_btnRemove);
    side->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_lstFolders, 1);
    middle->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(middle, 1);
    layout->addWidget(okCancel(*this));
    fill();
}

void dlgLibraryFolders::fill()
{
    m_lstFolders->clear();
    for (const QString& folder : m_defaults) {
        const bool present = QFileInfo(folder).isDir();
        auto* item = new QListWidgetItem(shownPath(folder) + (present ? tr("  (default)") : tr("  (default, not present)")), m_lstFolders);
        // The default folders are always read when present; they cannot be removed.
        item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEnabled));
    }
    for (const QString& folder : m_added) {
        auto* item = new QListWidgetItem(shownPath(folder), m_lstFolders);
        item->setData(addedRole, true);
        item->setToolTip(shownPath(folder));
    }
    m_btnRemove->setEnabled(false);
}

void dlgLibraryFolders::btnAdd_Click()
{
    QFileDialog chooser(this, tr("Add Folder"));
    chooser.setObjectName(QStringLiteral("dlgAddFolder"));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    if (m_ui.execDialog(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    const QString folder = QDir::cleanPath(chooser.selectedFiles().first());
    // A folder already read is not added twice.
    for (const QString& known : m_defaults + m_added)
        if (QDir::cleanPath(known) == folder)
            return;
    m_added << folder;
    fill();
    m_lstFolders->setCurrentRow(m_lstFolders->count() - 1);
}

void dlgLibraryFolders::btnRemove_Click()
{
    const int row = m_lstFolders->currentRow() - static_cast<int>(m_defaults.size());
    if (row < 0 || row >= m_added.size())
        return;
    m_added.removeAt(row);
    fill();
}

dlgLibraryProblems::dlgLibraryProblems(const std::vector<library::Entry>& problems, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgLibraryProblems"));
    setWindowTitle(tr("Fixture Library Problems"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* label = new QLabel(problems.size() == 1 ? tr("One file or folder of the library cannot be read:")
                                                  : tr("%1 files or folders of the library cannot be read:").arg(problems.size()),
                             this);
    m_grdProblems = new QTableWidget(static_cast<int>(problems.size()), 2, this);
    m_grdProblems->setObjectName(QStringLiteral("grdProblems"));
    m_grdProblems->setHorizontalHeaderLabels({tr("File"), tr("Reason")});
    m_grdProblems->verticalHeader()->hide();
    m_grdProblems->horizontalHeader()->setStretchLastSection(true);
    m_grdProblems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdProblems->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdProblems->setWordWrap(false);
    for (int row = 0; row < m_grdProblems->rowCount(); ++row) {
        const library::Entry& problem = problems[static_cast<std::size_t>(row)];
        for (const auto& [column, text] : {std::pair{0, shownPath(problem.path)}, std::pair{1, problem.problem}}) {
            auto* item = new QTableWidgetItem(text);
            item->setToolTip(text);
            m_grdProblems->setItem(row, column, item);
        }
    }
    m_grdProblems->resizeColumnToContents(0);
    m_grdProblems->setMinimumSize(fontMetrics().averageCharWidth() * 110, fontMetrics().lineSpacing() * 16);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("btnClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_grdProblems, 1);
    layout->addWidget(buttons);
}
