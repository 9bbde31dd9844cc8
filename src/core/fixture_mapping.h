#pragma once

#include "core/fixture_description.h"
#include "core/lamp.h"

#include <cstddef>
#include <string>
#include <vector>

namespace rig {

// Something the user should know about a lamp made from a fixture: a channel that did
// not get its natural console function, a name that had to change, or what the reader
// worked round in the mode.
struct FixtureNote {
    enum class About { Function, Name, Reading };
    int channel = 0;   // 1-based; 0 for a note on the lamp as a whole
    std::string name;  // UTF-8, as the definition names the channel; empty for the lamp
    std::string text;  // one line, for example "fine channel of channel 5 \"Dimmer\", no console function, became Aux1"
    About about = About::Function;
};

struct FixtureLamp {
    Lamp lamp;
    std::vector<FixtureNote> notes;
};

// Empty when the mode can become a lamp; otherwise the reason it cannot
// (no channels, more than the console's 36, or what the reader found).
[[nodiscard]] std::string fixtureModeRefusal(const FixtureMode& mode);

// How many channels the notes say did not get their natural console function.
[[nodiscard]] std::size_t channelsWithoutFunction(const std::vector<FixtureNote>& notes);

// The name a lamp made from this fixture gets: the short name, else the name (UTF-8, untrimmed).
[[nodiscard]] std::string fixtureLampName(const FixtureDescription& fixture);

// The lamp for mode `modeIndex` (0-based): lamp channel c is the mode's DMX channel c,
// each function used at most once, every function a wheel needs on a wheel slot, so
// the lamp passes the lamp check. Notes come in this order: the reader's, the lamp's
// name, then each channel's. Throws RigError (errc::fixtureMode) for a refused
// mode or an index out of range.
[[nodiscard]] FixtureLamp fixtureToLamp(const FixtureDescription& fixture, std::size_t modeIndex);

}  // namespace rig
