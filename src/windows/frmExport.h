#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class FolderReveal;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QListWidget;
class QModelIndex;
class QPushButton;
class QTreeView;

namespace ui {
class Ui;
}

// Turns a list of lamp files into a console lamp data file with "showttl.dat" beside
// it. The main window keeps one instance: a successful export hides it with its
// folder and lists kept; Cancel (or closing it) discards it.
class frmExport final : public QDialog {
    Q_OBJECT

public:
    // `appPath` is the program's folder, where "showttl.dat" is found.
    frmExport(std::string appPath, ui::Ui& ui, QWidget* parent = nullptr);

    // Shows the one export dialog modally without an owner, creating it on first use;
    // a dialog the user cancelled is discarded so the next use starts afresh.
    static void showExport(std::unique_ptr<frmExport>& instance, const std::string& appPath, ui::Ui& ui);

    // The folder the directory list shows; export names are resolved against it.
    [[nodiscard]] const QString& currentFolder() const noexcept { return m_folder; }
    [[nodiscard]] QStringList exportList() const;
    [[nodiscard]] QStringList fileList() const;

    [[nodiscard]] QComboBox* drvFiles() const noexcept { return m_drvFiles; }
    [[nodiscard]] QTreeView* dirFiles() const noexcept { return m_dirFiles; }
    [[nodiscard]] QListView* lstFiles() const noexcept { return m_lstFiles; }
    [[nodiscard]] QListWidget* lstExport() const noexcept { return m_lstExport; }

    // Writes the lamp data file and "showttl.dat"; true when both were written.
    // Every failure is reported here.
    bool exportLampData();

private:
    void cmbExportEntity_Click();
    void setEntityFilter();
    void drvFiles_Change();
    // Selects `folder` in the directory list and shows its lamp files; false (and no
    // change) when it can not be read.
    bool dirFiles_Change(const QString& folder);
    void lstFiles_DblClick();
    void btnAdd_Click();
    void btnAddAll_Click();
    void btnRemove_Click();
    void btnRemoveAll_Click();
    void btnExport_Click();
    void btnCancel_Click();

    void Form_Load();
    void fillDrives();
    // Selects the drive holding `folder` in the drive list; returns its root.
    QString showDriveOf(const QString& folder);
    // Points the directory and file lists at the current folder.
    void showFolder();
    void dirFiles_Click(const QModelIndex& index);
    void reportExportFailure(int number, const QString& description);

    std::string m_appPath;
    ui::Ui& m_ui;
    QString m_folder;
    QString m_pattern;

    QLabel* m_lblExportEntity = nullptr;
    QComboBox* m_cmbExportEntity = nullptr;
    QComboBox* m_drvFiles = nullptr;
    QFileSystemModel* m_dirModel = nullptr;
    QTreeView* m_dirFiles = nullptr;
    FolderReveal* m_dirReveal = nullptr;
    QFileSystemModel* m_fileModel = nullptr;
    QListView* m_lstFiles = nullptr;
    QPushButton* m_btnAdd = nullptr;
    QPushButton* m_btnAddAll = nullptr;
    QPushButton* m_btnRemove = nullptr;
    QPushButton* m_btnRemoveAll = nullptr;
    QListWidget* m_lstExport = nullptr;
    QLabel* m_lblWarning = nullptr;
    QPushButton* m_btnExport = nullptr;
    QPushButton* m_btnCancel = nullptr;
};
