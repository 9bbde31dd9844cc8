#include "core/verify.h"

#include "core/function_names.h"
#include "base/rig_error.h"

#include <cstddef>
#include <optional>
#include <utility>

namespace rig {

namespace {

Finding warning(std::string text) { return {FindingKind::Warning, 0, std::move(text)}; }

Finding error(int code, std::string text) { return {FindingKind::Error, code, std::move(text)}; }

// The first pair (i, j), i scanned first, whose non-zero codes match. The first
// number is therefore always the lower one of the pair.
template <typename CodeAt>
std::optional<std::pair<std::size_t, std::size_t>> firstDuplicate(std::size_t count, CodeAt codeAt)
{
    for (std::size_t i = 0; i < count; ++i) {
        const int code = codeAt(i);
        if (code == fn::None)
            continue;
        for (std::size_t j = 0; j < count; ++j)
            if (j != i && codeAt(j) == code)
                return std::make_pair(i, j);
    }
    return std::nullopt;
}

// Coarse and fine count one each, 8-bit counts two: 2 is the only balanced sum.
int balanceSum(const Lamp& lamp, std::size_t count, int coarse, int fine, int eightBit)
{
    int sum = 0;
    for (std::size_t c = 0; c < count; ++c) {
        const int function = lamp.Channel[c].Function;
        if (function == coarse || function == fine)
            sum += 1;
        else if (function == eightBit)
            sum += 2;
    }
    return sum;
}

}  // namespace

std::vector<Finding> verifyLamp(const Lamp& lamp)
{
    std::vector<Finding> findings;
    // A loaded count above the array is clamped, so no index passes channel 36.
    const std::size_t count = lamp.usedChannels();
    const auto channelFunction = [&lamp](std::size_t c) { return static_cast<int>(lamp.Channel[c].Function); };
    const auto wheelFunction = [&lamp](std::size_t k) { return static_cast<int>(lamp.WheelFunction[k]); };

    if (const auto pair = firstDuplicate(count, channelFunction)) {
        findings.push_back(error(errc::duplicateFunction, "Error: Duplicate function on channels " +
                                                              std::to_string(pair->first + 1) + " and " +
                                                              std::to_string(pair->second + 1)));
        return findings;
    }

    // Only the first `count` wheel slots take part, whatever else the lamp holds.
    if (const auto pair = firstDuplicate(count, wheelFunction)) {
        findings.push_back(error(errc::duplicateFunction, "Error: Duplicate function on wheels " +
                                                              std::to_string(pair->first + 1) + " and " +
                                                              std::to_string(pair->second + 1)));
        return findings;
    }

    bool hasDimmer = false;
    for (std::size_t c = 0; c < count; ++c)
        hasDimmer = hasDimmer || channelFunction(c) == fn::Dimmer;
    if (!hasDimmer)
        findings.push_back(warning("Warning: No dimmer channel assignment"));

    const int pan = balanceSum(lamp, count, fn::PanCoarse, fn::PanFine, fn::Pan8Bit);
    if (pan == 0)
        findings.push_back(warning("Warning: No pan channel assignment"));
    else if (pan == 1) {
        findings.push_back(error(errc::unbalancedPan, "Error: Unbalanced Pan Coarse and Pan Fine assignments"));
        return findings;
    } else if (pan == 3 || pan == 4) {
        findings.push_back(error(errc::panWith8Bit, "Error: Pan Coarse or Pan Fine used with Pan 8-bit"));
        return findings;
    }

    const int tilt = balanceSum(lamp, count, fn::TiltCoarse, fn::TiltFine, fn::Tilt8Bit);
    if (tilt == 0)
        findings.push_back(warning("Warning: No tilt channel assignment"));
    else if (tilt == 1) {
        findings.push_back(error(errc::unbalancedTilt, "Error: Unbalanced Tilt Coarse and Tilt Fine assignments"));
        return findings;
    } else if (tilt == 3 || tilt == 4) {
        findings.push_back(error(errc::tiltWith8Bit, "Error: Tilt Coarse or Tilt Fine used with Tilt 8-bit"));
        return findings;
    }

    for (std::size_t c = 0; c < count; ++c) {
        const int function = channelFunction(c);
        if (isWheelExempt(function))
            continue;
        bool onWheel = false;
        for (std::size_t k = 0; k < count && !onWheel; ++k)
            onWheel = wheelFunction(k) == function;
        if (!onWheel) {
            findings.push_back(error(errc::noWheelAssignment,
                                     "Error: Channel " + std::to_string(c + 1) + " has no wheel assignment"));
            return findings;
        }
    }

    for (std::size_t c = 0; c < count; ++c)
        if (lamp.Channel[c].Palette == 0)
            findings.push_back(warning("Warning: Channel " + std::to_string(c + 1) + " has palette set to None"));

    return findings;
}

bool hasError(const std::vector<Finding>& findings) noexcept
{
    for (const auto& finding : findings)
        if (finding.kind == FindingKind::Error)
            return true;
    return false;
}

}  // namespace rig
