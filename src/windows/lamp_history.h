#pragma once

#include "core/lamp.h"
#include "windows/lamp_model.h"

#include <QObject>

#include <functional>

class QUndoStack;

// The steps of one lamp window's history. Every edit the lamp model announces becomes a
// step that keeps the lamp as it was before and after, so undo and redo give back every
// byte, the channels a lowered count left behind included. Typing in one box is one step
// until the box's typing is committed (endTyping); each further keystroke extends it.
class LampHistory final : public QObject {
    Q_OBJECT

public:
    LampHistory(LampModel& model, QUndoStack& stack, QObject* parent);

    // The typing of the box being typed in is committed: the next keystroke starts a step.
    void endTyping() noexcept { ++m_session; }
    // Runs before an undo or redo puts a lamp back, so that the window can let go of
    // edits still held by its controls.
    void setBeforeApply(std::function<void()> beforeApply) { m_beforeApply = std::move(beforeApply); }

    // The step's name for an edit, as the Edit menu shows it after "Undo".
    [[nodiscard]] static QString stepText(const LampModel::Edit& edit);

private:
    class Step;

    void model_edited(const rig::Lamp& before, LampModel::Edit edit);
    void apply(const rig::Lamp& lamp);

    LampModel& m_model;
    QUndoStack& m_stack;
    std::function<void()> m_beforeApply;
    int m_session = 0;
    bool m_applying = false;
};
