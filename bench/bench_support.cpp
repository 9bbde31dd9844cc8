#include "bench_support.h"

#include "core/function_names.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace bench {
namespace {

std::string makeScratchDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "rigsmith-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a scratch folder");
    const std::string dir = pattern;
    static const std::string removeAtExit = dir;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(removeAtExit, ignored);
    });
    return dir;
}

}  // namespace

const std::string& scratchDir()
{
    static const std::string dir = makeScratchDir();
    return dir;
}

std::string scratchPath(const char* name) { return scratchDir() + "/" + name; }

rig::Lamp fullLamp(int variant)
{
    rig::Lamp lamp = rig::newLamp();
    lamp.Icon = static_cast<std::uint8_t>(1 + variant % 4);
    lamp.LampName.assign("Bench Lamp " + std::to_string(variant));
    lamp.NumberChannel = static_cast<std::uint8_t>(rig::maxChannels);
    lamp.NumberChannelCopy = lamp.NumberChannel;
    for (std::size_t c = 0; c < rig::maxChannels; ++c) {
        auto& channel = lamp.Channel[c];
        channel.Function = static_cast<std::int16_t>((c + static_cast<std::size_t>(variant)) % rig::functionCodes);
        channel.Palette = static_cast<std::int16_t>(c % rig::offeredPaletteTypes);
        channel.Step = static_cast<std::uint8_t>(c % 2);
    }
    for (std::size_t w = 0; w < rig::wheelSlots; ++w) {
        lamp.WheelFunction[w] = static_cast<std::int16_t>(w % rig::functionCodes);
        lamp.Wheel[w].WheelName.assign("Wheel " + std::to_string(w));
    }
    return lamp;
}

rig::StagePatch busyPatch(int entries, bool conflicting)
{
    rig::StagePatch patch;
    for (std::size_t slot = 0; slot < rig::lampSlots; ++slot) {
        patch.lmpLamps[slot] = fullLamp(static_cast<int>(slot));
        // Five channels each, so a hundred lamps fill addresses 1 to 500 without overlap.
        patch.lmpLamps[slot].NumberChannel = 5;
        patch.lmpLamps[slot].NumberChannelCopy = 5;
    }
    for (int i = 0; i < entries && i < static_cast<int>(rig::patchEntryCount); ++i) {
        rig::PatchEntry& entry = patch.patchEntries[static_cast<std::size_t>(i)];
        entry.EntryText.assign("L" + std::to_string(i + 1));
        entry.LampType = static_cast<std::int16_t>(i % static_cast<int>(rig::lampSlots));
        entry.StartChannel = static_cast<std::int16_t>(1 + 5 * i);
        entry.StartDMX = static_cast<std::int16_t>(conflicting ? 1 : 1 + 5 * i);
        // Every fourth cell, so the lamps cover most of the 24 x 20 grid.
        const int cell = 4 * i + (i / 5) % 4;
        entry.ScreenRow = static_cast<std::uint8_t>(cell / rig::stageCols);
        entry.ScreenCol = static_cast<std::uint8_t>(cell % rig::stageCols);
    }
    patch.nNextEntry = static_cast<std::int16_t>(entries);
    patch.nNextDMX = static_cast<std::int16_t>(1 + 5 * entries);
    return patch;
}

}  // namespace bench
