#include "windows/patch_history.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <optional>

namespace {

using Lamps = std::array<rig::Lamp, rig::lampSlots>;

// The parts of the patch one step can change. The lamp table, 26 kilobytes, is kept only
// by the steps that changed it.
struct PatchState {
    std::array<rig::PatchEntry, rig::patchEntryCount> entries{};
    std::int16_t nNextDMX = 0;
    std::int16_t nNextEntry = 0;
    std::optional<Lamps> lamps;

    PatchState(const rig::StagePatch& patch, bool withLamps)
        : entries(patch.patchEntries),
          nNextDMX(patch.nNextDMX),
          nNextEntry(patch.nNextEntry)
    {
        if (withLamps)
            lamps = patch.lmpLamps;
    }

    void putBack(rig::StagePatch& patch) const
    {
        patch.patchEntries = entries;
        patch.nNextDMX = nNextDMX;
        patch.nNextEntry = nNextEntry;
        if (lamps)
            patch.lmpLamps = *lamps;
    }
};

}  // namespace

// One change of the patch, pushed once it is made: its first redo has nothing to do.
class PatchHistory::Step final : public QUndoCommand {
public:
    Step(PatchHistory& history, const QString& text, PatchState before, PatchState after)
        : QUndoCommand(text),
          m_history(history),
          m_before(std::move(before)),
          m_after(std::move(after))
    {
    }

    void undo() override { apply(m_before); }

    void redo() override
    {
        if (m_pushed) {
            m_pushed = false;
            return;
        }
        apply(m_after);
    }

private:
    void apply(const PatchState& state)
    {
        state.putBack(m_history.m_patch);
        if (m_history.m_afterApply)
            m_history.m_afterApply();
    }

    PatchHistory& m_history;
    const PatchState m_before;
    const PatchState m_after;
    bool m_pushed = true;
};

PatchHistory::PatchHistory(rig::StagePatch& patch, QUndoStack& stack, QObject* parent)
    : QObject(parent),
      m_patch(patch),
      m_stack(stack)
{
}

void PatchHistory::record(const rig::StagePatch& before, const QString& text)
{
    const bool lampsChanged = before.lmpLamps != m_patch.lmpLamps;
    if (!lampsChanged && before.patchEntries == m_patch.patchEntries && before.nNextDMX == m_patch.nNextDMX &&
        before.nNextEntry == m_patch.nNextEntry)
        return;
    m_stack.push(new Step(*this, text, PatchState(before, lampsChanged), PatchState(m_patch, lampsChanged)));
}
