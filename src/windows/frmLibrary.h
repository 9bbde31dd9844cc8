#pragma once

#include "library/library_entry.h"
#include "windows/dlgImportFixture.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class LibraryDetails;
class LibraryFilter;
class LibraryModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace library {
class BackgroundScan;
struct ScanResult;
}

namespace ui {
class Ui;
}

// Where the Fixture Library window finds definitions and keeps its index.
struct LibrarySources {
    QStringList defaultFolders;  // read when present
    QString cacheFolder;         // empty: no cache
    // The folders of an installed program, and the user's cache folder.
    [[nodiscard]] static LibrarySources installed();
};

// The Fixture Library: every definition file of the library folders, searched by typed
// words and filtered to what the console can take. Selecting a fixture lists its modes
// with the reason a mode cannot be converted; selecting a mode previews the lamp it
// makes. Enter, a double-click or Import hands the lamp on through fixtureChosen, as
// File > Import Fixture would. One window of the main window's, kept when closed; the
// index is built in the background while the window shows what it has found so far.
class frmLibrary final : public QWidget {
    Q_OBJECT

public:
    frmLibrary(ui::Ui& ui, LibrarySources sources, QWidget& owner);
    ~frmLibrary() override;

    // Shows the window in front with the search field ready; the first showing reads the library.
    void showLibrary();
    // Reads the library folders again (only new and changed files are parsed).
    void rescan();
    void setSources(LibrarySources sources) { m_sources = std::move(sources); }
    [[nodiscard]] bool scanning() const;

    [[nodiscard]] QLineEdit* txtSearch() const noexcept { return m_txtSearch; }
    [[nodiscard]] QCheckBox* chkFits() const noexcept { return m_chkFits; }
    [[nodiscard]] QTableView* grdResults() const noexcept { return m_grdResults; }
    [[nodiscard]] LibraryDetails* details() const noexcept { return m_details; }
    [[nodiscard]] QPushButton* btnProblems() const noexcept { return m_btnProblems; }
    [[nodiscard]] QProgressBar* prgScan() const noexcept { return m_prgScan; }
    [[nodiscard]] LibraryFilter* results() const noexcept { return m_filter; }

signals:
    // A mode was chosen: its lamp, ready to open as an imported lamp.
    void fixtureChosen(const FixtureImport& imported);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    [[nodiscard]] QStringList addedFolders() const;

    void scan_FilesFound(int total);
    void scan_EntriesReady(const std::vector<library::Entry>& entries, int done);
    void scan_Finished(const library::ScanResult& result);

    void txtSearch_Change();
    void chkFits_Click();
    void btnFolders_Click();
    void btnProblems_Click();
    // The current fixture changed: its details are read once the events at hand are done.
    void grdResults_CurrentChanged();
    // Enter, a double-click or Import.
    void importChosen();

    // Keeps a fixture current while any is listed.
    void keepACurrentFixture();
    // Shows the current fixture's details.
    void showFixture();
    void showCounts();

    ui::Ui& m_ui;
    LibrarySources m_sources;
    library::BackgroundScan* m_scan = nullptr;
    bool m_scanned = false;
    LibraryModel* m_model = nullptr;
    LibraryFilter* m_filter = nullptr;
    std::vector<library::Entry> m_problems;

    QTimer* m_showFixture = nullptr;

    QLineEdit* m_txtSearch = nullptr;
    QCheckBox* m_chkFits = nullptr;
    QPushButton* m_btnFolders = nullptr;
    QPushButton* m_btnRescan = nullptr;
    QProgressBar* m_prgScan = nullptr;
    QLabel* m_lblCount = nullptr;
    QTableView* m_grdResults = nullptr;
    LibraryDetails* m_details = nullptr;
    QPushButton* m_btnProblems = nullptr;
};
