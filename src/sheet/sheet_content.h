#pragma once

// What a printed patch sheet says, in words, before any of it is put on paper. The
// stage screen's print and PDF commands and the command line make their sheets from
// this, so for the same patch file they say the same.

#include "core/stage_patch.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace sheet {

// A table of the sheet: its title, the column headings (repeated on every page it
// runs onto) and the rows. A marked row is one with a conflict.
struct SheetTable {
    struct Row {
        QStringList cells;
        bool marked = false;
    };

    QString title;
    QString subtitle;
    QStringList headings;
    std::vector<bool> numeric;  // per column: right-aligned
    int markColumn = -1;        // the column whose text stands out in a marked row
    std::vector<Row> rows;
};

// The stage grid as the stage screen shows it, row A at the top: each cell's lamp numbers.
struct StagePlan {
    std::array<std::array<QString, rig::stageCols>, rig::stageRows> cells;
    std::array<std::array<bool, rig::stageCols>, rig::stageRows> marked{};
    // Lamps whose position lies off the grid, said in one line; empty when there are none.
    QString offGrid;
};

struct SheetContent {
    QString fileName;  // the patch file's name, without its folder
    QString stamp;     // the date and time the sheet stands for
    QString program;   // "Rigsmith" and its version
    QString counts;    // lamps placed, DMX channels used, conflicts
    bool empty = true;  // no lamp placed: the sheet is its heading and a line saying so
    SheetTable patch;
    std::vector<SheetTable> channelMaps;
    StagePlan plan;
};

// The texts of the sheet, for translation.
class SheetText {
    Q_DECLARE_TR_FUNCTIONS(SheetText)
};

// The sheet of `patch`, read from or saved to `fileName`. Its date and time are the
// file's last change; with no file name, unsaved changes, or a file that cannot be
// looked at, they are the time of printing.
[[nodiscard]] SheetContent makeSheetContent(const rig::StagePatch& patch, const QString& fileName,
                                            bool unsavedChanges);

}  // namespace sheet
