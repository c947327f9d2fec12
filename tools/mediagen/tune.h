#pragma once
// "algar.xm": the show's tune, composed on the show's schedule.
#include <vector>

#include "xm.h"

// Rows of each section at speed 6 and 120 BPM (a row lasts 1/8 s): the
// sections change where the picture changes, at 20, 27, 54, 68, 80, 120,
// 140, 160 and 220 s; the song lasts 226 s.
const std::vector<int>& section_rows();

// Channels: kick, snare, hats, bass, three pad voices, lead, lead echo,
// arpeggio, crash, toms.
constexpr int TuneChannels = 12;

XmModule compose_tune();
