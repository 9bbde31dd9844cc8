#pragma once

#include <QString>

// What every document window in the main window's client area offers to the File
// commands. The operations throw rig::RigError for failures the caller reports;
// closing goes through the window's own closeEvent, which may refuse.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;

    virtual void File_Open(const QString& fileName, const QString& fileTitle) = 0;
    virtual void File_Save() = 0;
    virtual void File_Save_As() = 0;

protected:
    DocumentWindow() = default;
    DocumentWindow(const DocumentWindow&) = default;
    DocumentWindow& operator=(const DocumentWindow&) = default;
};
