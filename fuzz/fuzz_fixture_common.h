#pragma once

#include "core/fixture_mapping.h"
#include "base/rig_error.h"
#include "core/verify.h"

#include <cstdlib>

// Whatever a reader accepts must convert, mode by mode, into a lamp that passes the
// lamp check, or be refused with a reason; anything else is a fault.
inline void checkConversions(const rig::FixtureDescription& fixture)
{
    for (std::size_t m = 0; m < fixture.modes.size(); ++m) {
        if (!rig::fixtureModeRefusal(fixture.modes[m]).empty())
            continue;
        const rig::FixtureLamp converted = rig::fixtureToLamp(fixture, m);
        if (converted.lamp.NumberChannel != fixture.modes[m].channels.size() || rig::hasError(rig::verifyLamp(converted.lamp)))
            std::abort();
    }
}
