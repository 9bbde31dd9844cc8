// verify FILE.lmp...: the lamp window's Verify button for each file.
#include "cli/command.h"
#include "core/lamp.h"
#include "core/verify.h"
#include "qtcore/file_names.h"

#include <vector>

namespace cli {

namespace {

int runVerify(Context& ctx, const QCommandLineParser& args)
{
    const QStringList files = args.positionalArguments();
    if (files.isEmpty())
        return usageError(ctx, QStringLiteral("verify needs at least one FILE.lmp"));

    bool anyError = false;
    bool anyUnreadable = false;
    for (const QString& path : files) {
        rig::Lamp lamp;
        try {
            lamp = rig::readLampFile(rig::toPath(path));
        } catch (const std::exception& error) {
            fail(ctx, path, error);
            anyUnreadable = true;
            continue;
        }
        warnOnSize(ctx, path, rig::lampImageSize, lampKind);
        // With several files each block of findings is headed by its file.
        if (files.size() > 1)
            ctx.out << shown(path) << ":\n";
        const std::vector<rig::Finding> findings = rig::verifyLamp(lamp);
        for (const rig::Finding& finding : findings)
            ctx.out << fromStd(finding.text) << '\n';
        if (rig::hasError(findings))
            anyError = true;
        else
            ctx.out << rig::lampCheckComplete << '\n';
    }
    ctx.out.flush();
    if (anyUnreadable)
        return exitFailure;
    return anyError ? exitFindings : exitOk;
}

}  // namespace

extern const Command verifyCommand = {
    "verify",
    "  verify FILE.lmp...\n"
    "      Check lamp files as the Verify button does: one line per finding,\n"
    "      then \"Lamp Check Complete\" when there was no error.\n",
    nullptr,
    runVerify,
};

}  // namespace cli
