// The file dialogue moved to the editors' shared services; this name is
// kept for the sources that still include it from here.
#pragma once

#include "edit/editor_files.h"
