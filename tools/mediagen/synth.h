#pragma once
// The tune's instruments, every sample synthesised here.
#include <vector>

#include "xm.h"

// Instrument numbers as patterns use them (1-based).
enum Instrument {
    Kick = 1, Snare, ClosedHat, OpenHat, Crash, Tom, Bass, Pad, Lead, Pluck,
    InstrumentCount = Pluck
};

std::vector<XmInstrument> make_instruments();
