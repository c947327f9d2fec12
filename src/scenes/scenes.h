#pragma once
// Every scene of the show: a start-up routine, run once before the first frame,
// and a render routine, run once per frame while its seconds last.
#include "scenes/rippling_box.h"
#include "scenes/collage_sheet.h"
#include "scenes/funnel_sheets.h"
#include "scenes/reflecting_spheres.h"
#include "scenes/counter_meshes.h"
#include "scenes/blob_sheet.h"
#include "scenes/tunnel.h"
#include "scenes/twin_bowls.h"
