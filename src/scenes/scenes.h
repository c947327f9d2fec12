#pragma once
// Every scene of the show: a start-up routine, run once before the first frame,
// and a render routine, run once per frame while its seconds last.
//
// NOTE: scenes whose .cpp has empty routines are not built yet; until then they
// load nothing and draw nothing, and their seconds show the cleared black frame.
#include "scenes/rippling_box.h"
#include "scenes/collage_sheet.h"
#include "scenes/funnel_sheets.h"
#include "scenes/reflecting_spheres.h"
#include "scenes/counter_meshes.h"
#include "scenes/blob_sheet.h"
#include "scenes/tunnel.h"
#include "scenes/twin_bowls.h"
