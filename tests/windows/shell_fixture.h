#pragma once

#include "fake_ui.h"
#include "shell/app_state.h"
#include "shell/document_window.h"
#include "shell/frmMain.h"
#include "shell/rig_error.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// A document window that records what the main window asks of it.
class TestDocument final : public QWidget, public DocumentWindow {
public:
    explicit TestDocument(const QString& title, bool refuseClose = false)
        : m_refuseClose(refuseClose)
    {
        setWindowTitle(title);
        resize(200, 150);
    }

    void File_Open(const QString&, const QString&) override { ++opens; }
    void File_Save() override
    {
        ++saves;
        if (failure)
            throw *failure;
    }
    void File_Save_As() override
    {
        ++saveAses;
        if (failure)
            throw *failure;
    }

    int opens = 0;
    int saves = 0;
    int saveAses = 0;
    int closeRequests = 0;
    std::optional<rig::RigError> failure;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeRequests;
        if (m_refuseClose)
            event->ignore();
        else
            event->accept();
    }

private:
    bool m_refuseClose = false;
};

// A main window with a fresh program state and the scripted ui installed.
class ShellTest : public ::testing::Test {
protected:
    FakeUi fake;
    std::unique_ptr<rig::AppState> state = std::make_unique<rig::AppState>();
    frmMain window{*state};

    QAction* action(const char* name)
    {
        auto* found = window.findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void showActive()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    TestDocument* addDocument(const QString& title, bool refuseClose = false)
    {
        auto* document = new TestDocument(title, refuseClose);
        window.addDocument(document);
        return document;
    }

    // Closed child windows go away on the next pass of the event loop.
    static void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    int openChildren()
    {
        flushDeletes();
        return static_cast<int>(window.mdiArea()->subWindowList().size());
    }
};
