#include "core/lamp_exchange.h"

#include "base/file_io.h"
#include "base/rig_error.h"

#include <cctype>
#include <limits>

#include <sys/stat.h>

namespace rig {

namespace {

// The bytes of `payload` from `offset` on, as a (pointer, size) pair that never points
// past the end; a decoder reads whatever lies beyond as zero.
struct Span {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

Span spanFrom(const std::vector<std::uint8_t>& payload, std::size_t offset)
{
    if (offset >= payload.size())
        return {};
    return {payload.data() + offset, payload.size() - offset};
}

// The payload exactly as writeLampDataFile stores it: cut or zero padded to `size`.
std::vector<std::uint8_t> fitted(const std::vector<std::uint8_t>& payload, std::size_t size)
{
    std::vector<std::uint8_t> result(size, 0);
    for (std::size_t i = 0; i < size && i < payload.size(); ++i)
        result[i] = payload[i];
    return result;
}

// The same failure, with the file it concerns named so the user knows which one.
RigError namingFile(const RigError& error, const std::string& name)
{
    return RigError(error.number(), error.description() + ": " + printableName(name), error.source());
}

}  // namespace

std::string joinFolderAndName(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// The installed data folder, set by the build (src/core/CMakeLists.txt): as a path
// relative to the installed program folder and as the absolute configured path. A build
// that sets neither (the fuzz targets) looks beside the executable only.
#ifndef RIGSMITH_DATA_DIR_FROM_BIN
#define RIGSMITH_DATA_DIR_FROM_BIN ""
#endif
#ifndef RIGSMITH_DATA_DIR
#define RIGSMITH_DATA_DIR ""
#endif

std::string showTitleSourcePath(const std::string& appPath)
{
    std::vector<std::string> candidates{joinFolderAndName(appPath, showTitleFileName)};
    const std::string fromProgram = RIGSMITH_DATA_DIR_FROM_BIN;
    if (!appPath.empty() && !fromProgram.empty())
        candidates.push_back(joinFolderAndName(joinFolderAndName(appPath, fromProgram), showTitleFileName));
    const std::string configured = RIGSMITH_DATA_DIR;
    if (!configured.empty())
        candidates.push_back(joinFolderAndName(configured, showTitleFileName));
    for (const std::string& candidate : candidates) {
        if (fileExists(candidate))
            return candidate;
    }
    return candidates.front();
}

std::vector<std::uint8_t> buildExportLampPayload(const std::string& folder, const std::vector<std::string>& names)
{
    std::vector<std::uint8_t> payload;
    payload.reserve(names.size() * lampImageSize);
    for (const std::string& name : names) {
        std::vector<std::uint8_t> image;
        try {
            image = readFileBytes(joinFolderAndName(folder, name), lampImageSize);
        } catch (const RigError& error) {
            if (error.number() == errc::fileNotFound)
                throw RigError(errc::fileNotFound, "File not found: " + printableName(name));
            throw namingFile(error, name);
        }
        image.resize(lampImageSize, 0);
        payload.insert(payload.end(), image.begin(), image.end());
    }
    return payload;
}

void writeExportFiles(const std::vector<std::uint8_t>& lampPayload, const std::string& outputPath,
                      const std::string& appPath, Existing existing, FileTransaction* transaction)
{
    // The console file is copied under this name beside the output, so an output of that
    // name would be overwritten by the copy (or, in the program's folder, replace it).
    std::string outputName = nameOfPath(outputPath);
    for (char& c : outputName)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (outputName == showTitleFileName)
        throw RigError(errc::badFileName, std::string("The lamp data file can not be named ") + showTitleFileName);

    // Refused before anything is written: a console file beside the output that is not a
    // plain file (the copy would go through a link, or replace a folder or a device), and
    // an output that is that same file under another name.
    const std::string showTarget = joinFolderAndName(folderOfPath(outputPath), showTitleFileName);
    struct stat showInfo {};
    const bool showExists = ::lstat(showTarget.c_str(), &showInfo) == 0;
    if (showExists && !S_ISREG(showInfo.st_mode))
        throw RigError(errc::badFileName,
                       "Not a plain file (a link, a folder or a device), not replaced: " + printableName(showTarget));
    const std::string outputTarget = resolveLinks(outputPath);
    struct stat outputInfo {};
    if (showExists && ::stat(outputTarget.c_str(), &outputInfo) == 0 && outputInfo.st_dev == showInfo.st_dev &&
        outputInfo.st_ino == showInfo.st_ino)
        throw RigError(errc::badFileName, "The lamp data file " + printableName(outputPath) + " is the same file as " +
                                              printableName(showTarget));

    const std::vector<std::uint8_t> lampMeant = fitted(lampPayload, lampPayloadSize);
    const std::vector<std::uint8_t> patchMeant(patchPayloadSize, 0);
    writeFileAtomically(outputPath, encodeLampDataFile(lampMeant, patchMeant), existing, transaction);

    const std::string source = showTitleSourcePath(appPath);
    std::vector<std::uint8_t> showTitle;
    try {
        showTitle = readFileBytes(source, std::numeric_limits<std::size_t>::max());
    } catch (const RigError& error) {
        if (error.number() == errc::fileNotFound)
            throw RigError(errc::fileNotFound, "File not found: " + printableName(source));
        throw namingFile(error, source);
    }
    try {
        // Into the folder as opened, never through a link that appeared there meanwhile.
        const Folder folder(folderOfPath(outputPath));
        writeFileInFolder(folder, showTitleFileName, showTitle, Existing::Replace, transaction);
    } catch (const RigError& error) {
        throw namingFile(error, showTarget);
    }

    // What reaches the disk is what the console gets: check it once every file is in
    // place, so that a copy landing on the lamp data file is caught as well.
    LampDataPayloads written;
    try {
        written = readLampDataFile(outputPath);
    } catch (const RigError& error) {
        throw RigError(errc::exportVerifyFailed, "The lamp data file " + printableName(outputPath) +
                                               " could not be read back: " + error.description());
    }
    if (written.lampPayload != lampMeant || written.patchPayload != patchMeant)
        throw RigError(errc::exportVerifyFailed,
                       "The lamp data file " + printableName(outputPath) + " does not hold what was written to it");
}

void exportLampData(const std::string& folder, const std::vector<std::string>& names,
                    const std::string& outputPath, const std::string& appPath, Existing existing,
                    FileTransaction* transaction)
{
    writeExportFiles(buildExportLampPayload(folder, names), outputPath, appPath, existing, transaction);
}

std::vector<int> ImportedLampData::usedSlots() const
{
    std::vector<int> slots;
    for (std::size_t n = 0; n < lmpSlots.size(); ++n)
        if (lmpSlots[n].Icon != 0)
            slots.push_back(static_cast<int>(n));
    return slots;
}

ImportedLampData decodeImportedLampData(const LampDataPayloads& payloads)
{
    ImportedLampData result;
    for (std::size_t n = 0; n < lampSlots; ++n) {
        const Span span = spanFrom(payloads.lampPayload, n * lampImageSize);
        Lamp lamp = decodeLamp(span.data, span.size);
        // The lamp window offers palette codes 0 to 5 only.
        for (LampChannel& channel : lamp.Channel)
            if (channel.Palette > maxImportedPalette)
                channel.Palette = maxImportedPalette;
        result.lmpSlots[n] = lamp;
    }
    for (std::size_t k = 0; k < patchEntryCount; ++k) {
        const Span span = spanFrom(payloads.patchPayload, k * patchEntryImageSize);
        result.patchEntries[k] = decodePatchEntry(span.data, span.size);
    }
    return result;
}

ImportedLampData importLampDataFile(const std::string& path)
{
    return decodeImportedLampData(readLampDataFile(path));
}

}  // namespace rig
