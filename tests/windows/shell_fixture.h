#pragma once

#include "window_helpers.h"

#include "ui/document_window.h"
#include "base/rig_error.h"
#include "windows/frmStageScreen.h"
#include "windows/tbxLamps.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMenu>
#include <QStringList>
#include <QTableWidget>

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

// ShellTest with first.pat open on the stage screen: lamp types Spot 575 (12 channels)
// and Wash (5), and a text in entry 51 that nothing may touch.
class StageScreenCase : public ShellTest {
protected:
    void SetUp() override
    {
        rig::StagePatch patch;
        patch.lmpLamps[0] = namedLamp("Spot 575", 12);
        patch.lmpLamps[1] = namedLamp("Wash", 5);
        patch.patchEntries[50].EntryText.assign("kept");
        rig::writePatchFile(toPath(file("first.pat")), patch);
        openFile(file("first.pat"));
        ASSERT_NE(s = main.stageScreen(false), nullptr);
    }

    QWidget* grid() const { return s->grdStageScreen()->viewport(); }
    Bytes patchBytes() const { return rig::encodePatchFile(state.patch); }

    // Lamp type `slot` dragged from the toolbox onto the cell.
    void drop(int row, int col, std::int16_t slot = 0)
    {
        state.nToolLamp = slot;
        QMimeData data;
        data.setData(tbxLamps::mimeType, QByteArray::number(slot));
        dragAndDrop(grid(), s->cellCentre(row, col), data);
    }
    // A drop answered with the automatic patch and OK.
    void place(int row, int col, std::int16_t slot = 0)
    {
        fake.dialogScripts.push_back([](QDialog& d) {
            click(d, "btnAutoPatch");
            click(d, "btnOK");
        });
        drop(row, col, slot);
    }
    // A right click on the cell; its menu answered with the item `choice`, or dismissed.
    void rightClick(int row, int col, const char* choice)
    {
        fake.menuScripts.push_back([choice](QMenu& menu) -> QAction* {
            return choice ? menu.findChild<QAction*>(QLatin1String(choice)) : nullptr;
        });
        QTest::mouseClick(grid(), Qt::RightButton, {}, s->cellCentre(row, col));
    }

    frmStageScreen* s = nullptr;
};
