#pragma once

#include "core/stage_patch.h"

#include <QObject>

#include <functional>

class QString;
class QUndoStack;

// The steps of the stage screen's history. Each step keeps the placed lamps and both
// counters as they were before and after it, and the lamp table too when the step
// changed it, so undo and redo give back every byte of the patch file. Every change to
// the patch is recorded as a step: one left out would be lost by undoing a step before it.
class PatchHistory final : public QObject {
    Q_OBJECT

public:
    PatchHistory(rig::StagePatch& patch, QUndoStack& stack, QObject* parent);

    // Runs after an undo or redo has put the patch back, to show it.
    void setAfterApply(std::function<void()> afterApply) { m_afterApply = std::move(afterApply); }
    // One step named `text`, from `before` to the patch as it is now; none when the
    // patch is as it was.
    void record(const rig::StagePatch& before, const QString& text);

private:
    class Step;

    rig::StagePatch& m_patch;
    QUndoStack& m_stack;
    std::function<void()> m_afterApply;
};
