// The walk-away and walk-up records share one shape; this names its fields
// once so the window can read, write and compare either the same way.
#ifndef CONFIGWIN_KEYSTROKE_RECORD_H
#define CONFIGWIN_KEYSTROKE_RECORD_H

#include "Dravik.h"

#include <array>
#include <cstdint>

struct KeystrokeFields {
    std::int16_t& count;
    std::int16_t& delay;
    std::array<std::int16_t*, 6> mods;
    std::array<std::int16_t*, 6> codes;
};

inline KeystrokeFields keystrokeFields(tsWalkAwayParms& r)
{
    return {r.KeyCountWA,
            r.InterKeyDelayWA,
            {&r.Key1ModsWA, &r.Key2ModsWA, &r.Key3ModsWA, &r.Key4ModsWA, &r.Key5ModsWA, &r.Key6ModsWA},
            {&r.Key1CodeWA, &r.Key2CodeWA, &r.Key3CodeWA, &r.Key4CodeWA, &r.Key5CodeWA, &r.Key6CodeWA}};
}

inline KeystrokeFields keystrokeFields(tsWalkUpParms& r)
{
    return {r.KeyCountWU,
            r.InterKeyDelayWU,
            {&r.Key1ModsWU, &r.Key2ModsWU, &r.Key3ModsWU, &r.Key4ModsWU, &r.Key5ModsWU, &r.Key6ModsWU},
            {&r.Key1CodeWU, &r.Key2CodeWU, &r.Key3CodeWU, &r.Key4CodeWU, &r.Key5CodeWU, &r.Key6CodeWU}};
}

#endif
