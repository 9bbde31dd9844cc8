#include "cli/lamp_writer.h"

#include "cli/safe_names.h"
#include "base/file_io.h"
#include "qtcore/file_names.h"

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace cli {

int writeOneLamp(Context& ctx, const QString& outPath, const rig::Lamp& lamp, bool force)
{
    const PathKind outKind = kindOf(outPath);
    if (outKind == PathKind::Folder)
        return fail(ctx, outPath, QStringLiteral("Is a folder"));
    if (outKind != PathKind::None && !force)
        return fail(ctx, outPath, refusalText());
    try {
        // Without --force a file that appears meanwhile is refused as well, never replaced.
        const rig::LampImage image = rig::encodeLamp(lamp);
        rig::writeFileAtomically(rig::toPath(outPath), std::vector<std::uint8_t>(image.begin(), image.end()),
                                 force ? rig::Existing::Replace : rig::Existing::Refuse);
    } catch (const std::exception& error) {
        return fail(ctx, outPath, error);
    }
    ctx.out << "Wrote " << shown(outPath) << Qt::endl;
    return exitOk;
}

int writeLampsIntoFolder(Context& ctx, const QString& dirPath, const QStringList& stems, const std::vector<rig::Lamp>& lamps,
                         bool force, QStringList& targets)
{
    const std::string dirNative = rig::toPath(dirPath);
    bool createdDir = false;
    const PathKind dirKind = kindOf(dirPath);
    if (dirKind == PathKind::None) {
        if (::mkdir(dirNative.c_str(), 0777) != 0)
            return fail(ctx, dirPath, QStringLiteral("The folder could not be created"));
        createdDir = true;
    } else if (struct stat info {}; ::stat(dirNative.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return fail(ctx, dirPath, QStringLiteral("Not a folder"));
    }
    // A folder made for this run goes again when the run fails.
    const auto tidy = [&] {
        if (createdDir)
            ::rmdir(dirNative.c_str());
    };

    // Every name is written relative to the folder as opened here, so nothing lands
    // outside it, whatever its path or its entries turn into meanwhile.
    std::unique_ptr<rig::Folder> folder;
    try {
        folder = std::make_unique<rig::Folder>(dirNative);
    } catch (const std::exception& error) {
        tidy();
        return fail(ctx, dirPath, error);
    }

    const QStringList names = uniqueFileNames(stems, QStringLiteral(".lmp"));

    // A link, a folder or a device of an output's name refuses the run even with --force:
    // writing through it could leave the folder or land on another output.
    const QString separator = dirPath.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
    targets.clear();
    std::map<std::pair<std::uint64_t, std::uint64_t>, QString> existing;
    for (const QString& name : names) {
        const QString target = dirPath + separator + name;
        try {
            const rig::Folder::Entry entry = folder->entry(name.toStdString());
            if (entry == rig::Folder::Entry::Other) {
                tidy();
                return fail(ctx, target, QStringLiteral("Not a regular file (a link, a folder or a device); "
                                                        "nothing was written"));
            }
            if (entry == rig::Folder::Entry::RegularFile) {
                if (!force) {
                    tidy();
                    return fail(ctx, target, refusalText());
                }
                const auto [other, inserted] = existing.emplace(folder->identity(name.toStdString()), target);
                if (!inserted) {
                    tidy();
                    return fail(ctx, target, QStringLiteral("Is the same file as %1; nothing was written")
                                                 .arg(shown(other->second)));
                }
            }
        } catch (const std::exception& error) {
            tidy();
            return fail(ctx, target, error);
        }
        targets << target;
    }

    rig::FileTransaction transaction;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const rig::LampImage image = rig::encodeLamp(lamps[static_cast<std::size_t>(i)]);
        try {
            rig::writeFileInFolder(*folder, names[i].toStdString(), std::vector<std::uint8_t>(image.begin(), image.end()),
                                   force ? rig::Existing::Replace : rig::Existing::Refuse, &transaction);
        } catch (const std::exception& error) {
            const int result = failAndPutBack(ctx, targets[i], error, transaction);
            tidy();
            return result;
        }
    }
    for (const std::string& line : transaction.commit())
        warn(ctx, fromStd(line));
    return exitOk;
}

}  // namespace cli
