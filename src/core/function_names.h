#pragma once

#include "base/fixed_text.h"

#include <array>
#include <cstddef>
#include <string>

namespace rig {

constexpr std::size_t functionCodes = 48;     // codes 0 to 47 are offered
constexpr std::size_t functionTableSize = 49;  // entry 48 exists but is never filled
constexpr std::size_t paletteTypeCodes = 9;    // codes 0 to 8
constexpr std::size_t offeredPaletteTypes = 6; // the lamp window offers codes 0 to 5
constexpr int maxOfferedPalette = 5;

// Function codes with a rule attached to them.
namespace fn {
constexpr int None = 0;
constexpr int PanCoarse = 1;
constexpr int PanFine = 2;
constexpr int Pan8Bit = 3;
constexpr int TiltCoarse = 4;
constexpr int TiltFine = 5;
constexpr int Tilt8Bit = 6;
constexpr int Dimmer = 21;
}  // namespace fn

using NameEntry = FixedText<20>;

// The console's standard vocabulary; filled once at start-up, read afterwards.
extern std::array<NameEntry, functionTableSize> FunctionNames;
extern std::array<NameEntry, paletteTypeCodes> PaletteTypeNames;

void initFunctionNames();
void initPaletteTypeNames();

// The stored 20-character entry, or an empty string for a code outside the table.
[[nodiscard]] std::string functionName(int code);
[[nodiscard]] std::string paletteTypeName(int code);

// Icons in list order, codes 1 to 4; code 0 marks an empty lamp slot.
struct IconCode {
    int code;
    const char* name;
};
constexpr std::array<IconCode, 4> iconCodes = {{{1, "Scroller"}, {2, "Scan 1"}, {3, "Scan 2"}, {4, "Yoke"}}};

// Functions never offered for a wheel slot and never required to have one.
[[nodiscard]] bool isWheelExempt(int code) noexcept;

}  // namespace rig
