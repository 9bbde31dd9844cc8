#include "core/function_names.h"

namespace rig {

std::array<NameEntry, functionTableSize> FunctionNames{};
std::array<NameEntry, paletteTypeCodes> PaletteTypeNames{};

namespace {

// The console's codes: never renumber, files refer to them.
constexpr std::array<const char*, functionCodes> functionTexts = {{
    "None",          "Pan Coarse",      "Pan Fine",      "Pan 8-bit",     "Tilt Coarse",   "Tilt Fine",
    "Tilt 8-bit",    "Colour 1",        "Colour 2",      "Red (Cyan)",    "Green (Magenta)", "Blue (Yellow)",
    "Tint",          "Gobo 1",          "Gobo 2",        "Gobo 1 Rotate", "Gobo 2 Rotate", "Focus",
    "Zoom",          "Iris",            "Prism",         "Dimmer",        "Strobe",        "Barn Rotate",
    "Barn 1",        "Barn 2",          "Barn 3",        "Barn 4",        "Speed",         "Aux1",
    "Aux2",          "Aux3",            "Cyan",          "Magenta",       "Yellow",        "Effect",
    "Amber",         "Frost",           "Control",       "Barn 5",        "Barn 6",        "Barn 7",
    "Barn 8",        "Lens",            "",              "",              "",              "",
}};

constexpr std::array<const char*, paletteTypeCodes> paletteTexts = {{
    "None", "Position", "Beam", "Colour", "Intensity", "Control", "Aux1", "Aux2", "Max",
}};

}  // namespace

void initFunctionNames()
{
    for (std::size_t code = 0; code < functionTexts.size(); ++code)
        FunctionNames[code].assign(functionTexts[code]);
}

void initPaletteTypeNames()
{
    for (std::size_t code = 0; code < paletteTexts.size(); ++code)
        PaletteTypeNames[code].assign(paletteTexts[code]);
}

std::string functionName(int code)
{
    // Entry 48 is never filled and never offered.
    if (code < 0 || code >= static_cast<int>(functionCodes))
        return {};
    return FunctionNames[static_cast<std::size_t>(code)].str();
}

std::string paletteTypeName(int code)
{
    if (code < 0 || code >= static_cast<int>(paletteTypeCodes))
        return {};
    return PaletteTypeNames[static_cast<std::size_t>(code)].str();
}

bool isWheelExempt(int code) noexcept
{
    switch (code) {
    case fn::None:
    case fn::PanCoarse:
    case fn::Pan8Bit:
    case fn::TiltCoarse:
    case fn::Tilt8Bit:
    case fn::Dimmer:
        return true;
    default:
        return false;
    }
}

}  // namespace rig
