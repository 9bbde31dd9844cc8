#pragma once

// Writing the lamps a command made: one lamp file, or a batch into a folder that
// either all lands or leaves the folder as it was.

#include "cli/command.h"
#include "core/lamp.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace cli {

// Writes one lamp file and says so; an existing file is replaced only with `force`.
int writeOneLamp(Context& ctx, const QString& outPath, const rig::Lamp& lamp, bool force);

// Writes each lamp as <stem>.lmp into the folder (made when missing, and removed again
// when the run fails), with the stems made safe and distinct. One existing name refuses
// the whole run unless `force`; a failure half way puts back every file it replaced.
// Gives the paths written, in the order of the lamps, in `targets`.
int writeLampsIntoFolder(Context& ctx, const QString& dirPath, const QStringList& stems, const std::vector<rig::Lamp>& lamps,
                         bool force, QStringList& targets);

}  // namespace cli
