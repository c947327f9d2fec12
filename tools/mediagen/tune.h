#pragma once
// The show's tune, composed on the show's schedule.
#include <string>
#include <vector>

#include "xm.h"

// Speed 6 at 120 BPM: a row lasts 1/8 s.
constexpr int RowsPerSecond = 8;

// Rows of each section: the sections change where the picture cuts to
// another scene (scene_cuts, from the show's scene table), and the song ends
// with the show.
const std::vector<int>& section_rows();

// Channels: kick, snare, hats, bass, three pad voices, lead, lead echo,
// arpeggio, crash, toms.
constexpr int TuneChannels = 12;

// False, with *error saying why, when the sections do not fit the show's cuts.
bool compose_tune(XmModule* out, std::string* error);
