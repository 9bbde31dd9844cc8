#pragma once

#include "window_helpers.h"

#include "ui/document_window.h"
#include "base/rig_error.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QStringList>

#include <optional>

// A document window that logs what the main window asks of it; its saves can fail and
// it can refuse to close.
class TestDocument final : public QWidget, public DocumentWindow {
public:
    explicit TestDocument(const QString& title, bool refuseClose = false)
        : m_refuseClose(refuseClose)
    {
        setWindowTitle(title);
    }

    void File_Open(const QString&, const QString&) override { calls << "Open"; }
    void File_Save() override { record("Save"); }
    void File_Save_As() override { record("SaveAs"); }

    QStringList calls;
    std::optional<rig::RigError> failure;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        calls << "Close";
        event->setAccepted(!m_refuseClose);
    }

private:
    void record(const char* call)
    {
        calls << call;
        if (failure)
            throw *failure;
    }

    bool m_refuseClose = false;
};

// The shown main window of MainWindowTest, made the active window, with child-window helpers.
class ShellTest : public MainWindowTest {
protected:
    ShellTest()
    {
        main.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
    }

    QAction* action(const char* name)
    {
        auto* found = main.findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    TestDocument* addDocument(const QString& title, bool refuseClose = false)
    {
        auto* document = new TestDocument(title, refuseClose);
        main.addDocument(document);
        return document;
    }

    // Closed child windows go away on the next pass of the event loop.
    int openChildren()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return static_cast<int>(main.mdiArea()->subWindowList().size());
    }
};
