#pragma once

#include "library/library_entry.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QListWidget;
class QPushButton;
class QTableWidget;

namespace ui {
class Ui;
}

// The Fixture Library window's two dialogs: the folders it reads, and the files it cannot.

// Lists the default folders (not removable) and the added ones; "Add..." asks for a
// folder through the ui seam, "Remove" takes the selected added folder out. Shown
// modally; added() after OK.
class dlgLibraryFolders final : public QDialog {
    Q_OBJECT

public:
    dlgLibraryFolders(ui::Ui& ui, const QStringList& defaults, const QStringList& added, QWidget* parent = nullptr);

    [[nodiscard]] QStringList added() const { return m_added; }
    [[nodiscard]] QListWidget* lstFolders() const noexcept { return m_lstFolders; }

private:
    void fill();
    void btnAdd_Click();
    void btnRemove_Click();

    ui::Ui& m_ui;
    QStringList m_defaults;
    QStringList m_added;
    QListWidget* m_lstFolders = nullptr;
    QPushButton* m_btnRemove = nullptr;
};

// The files and folders of the library that cannot be read, one row each with the reason.
class dlgLibraryProblems final : public QDialog {
    Q_OBJECT

public:
    explicit dlgLibraryProblems(const std::vector<library::Entry>& problems, QWidget* parent = nullptr);

    [[nodiscard]] QTableWidget* grdProblems() const noexcept { return m_grdProblems; }

private:
    QTableWidget* m_grdProblems = nullptr;
};

// A path as the windows show it on one line: control characters and bytes that are not
// UTF-8 as \xHH.
[[nodiscard]] QString shownPath(const QString& path);
