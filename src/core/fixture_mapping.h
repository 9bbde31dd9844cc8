#pragma once

#include "core/fixture_description.h"
#include "core/lamp.h"

#include <cstddef>
#include <string>
#include <vector>

namespace rig {

// A channel that did not get its natural console function, and what it became.
struct FixtureNote {
    int channel = 0;   // 1-based
    std::string name;  // UTF-8, as the definition names it
    std::string text;  // for example "fine channel of Dimmer, became Aux1"
};

struct FixtureLamp {
    Lamp lamp;
    std::vector<FixtureNote> notes;
};

// Empty when the mode can become a lamp; otherwise the reason it cannot
// (no channels, more than the console's 36, or what the reader found).
[[nodiscard]] std::string fixtureModeRefusal(const FixtureMode& mode);

// The name a lamp made from this fixture gets: the short name, else the name (UTF-8, untrimmed).
[[nodiscard]] std::string fixtureLampName(const FixtureDescription& fixture);

// The lamp for mode `modeIndex` (0-based): lamp channel c is the mode's DMX channel c,
// each function used at most once, every function a wheel needs on a wheel slot, so
// the lamp passes the lamp check. Throws RigError (errc::fixtureMode) for a refused
// mode or an index out of range.
[[nodiscard]] FixtureLamp fixtureToLamp(const FixtureDescription& fixture, std::size_t modeIndex);

}  // namespace rig
