#include "windows/lamp_history.h"

#include <QUndoCommand>
#include <QUndoStack>

namespace {

using EditKind = LampModel::EditKind;

// Steps of these kinds come from typing, a keystroke at a time; each kind and box has an
// id of its own so that only the keystrokes of one box merge.
int typingId(const LampModel::Edit& edit)
{
    switch (edit.kind) {
    case EditKind::Name:
        return 1;
    case EditKind::ChannelCount:
        return 2;
    case EditKind::WheelName:
        return 100 + edit.index;
    default:
        return -1;
    }
}

}  // namespace

// One edit: the lamp before and after it. It is pushed once the edit is made, so its
// first redo has nothing to do.
class LampHistory::Step final : public QUndoCommand {
public:
    Step(LampHistory& history, const rig::Lamp& before, const rig::Lamp& after, const LampModel::Edit& edit)
        : QUndoCommand(stepText(edit)),
          m_history(history),
          m_before(before),
          m_after(after),
          m_id(typingId(edit)),
          m_session(history.m_session)
    {
    }

    void undo() override { m_history.apply(m_before); }

    void redo() override
    {
        if (m_pushed) {
            m_pushed = false;
            return;
        }
        m_history.apply(m_after);
    }

    [[nodiscard]] int id() const override { return m_id; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const Step*>(other);
        if (next->m_session != m_session)
            return false;
        m_after = next->m_after;
        // Typing that ends where it began leaves no step behind.
        setObsolete(m_after == m_before);
        return true;
    }

private:
    LampHistory& m_history;
    const rig::Lamp m_before;
    rig::Lamp m_after;
    const int m_id;
    const int m_session;
    bool m_pushed = true;
};

LampHistory::LampHistory(LampModel& model, QUndoStack& stack, QObject* parent)
    : QObject(parent),
      m_model(model),
      m_stack(stack)
{
    connect(&m_model, &LampModel::edited, this, &LampHistory::model_edited);
}

QString LampHistory::stepText(const LampModel::Edit& edit)
{
    const int number = edit.index + 1;
    switch (edit.kind) {
    case EditKind::Name:
        return tr("Lamp Name");
    case EditKind::Icon:
        return tr("Icon");
    case EditKind::ChannelCount:
        return tr("Channel Count");
    case EditKind::Function:
        return tr("Function of Channel %1").arg(number);
    case EditKind::Palette:
        return tr("Palette Type of Channel %1").arg(number);
    case EditKind::Step:
        return tr("Step of Channel %1").arg(number);
    case EditKind::WheelFunction:
        return tr("Function of Wheel %1").arg(number);
    case EditKind::WheelName:
        return tr("Name of Wheel %1").arg(number);
    case EditKind::Paste:
        return tr("Paste Channels");
    case EditKind::Cut:
        return tr("Cut Channels");
    }
    return {};
}

void LampHistory::model_edited(const rig::Lamp& before, LampModel::Edit edit)
{
    // Putting a lamp back is no edit of its own.
    if (m_applying)
        return;
    m_stack.push(new Step(*this, before, m_model.lamp(), edit));
}

void LampHistory::apply(const rig::Lamp& lamp)
{
    m_applying = true;
    if (m_beforeApply)
        m_beforeApply();
    m_model.setLamp(lamp);
    m_applying = false;
    // Typing after an undo or redo starts a step of its own.
    endTyping();
}
