// The named screen states the snapshot tool can draw. A state sets up a
// freshly created Playfield by operating on it as the game would; a state with
// several variants is drawn as a sheet of panels, one per variant.
#pragma once
#include <vector>

#include "core/playfield.h"

struct SnapshotState {
    const char* name;
    const char* what;
    int variants;  // panels in the sheet; 1 for a plain screen
    int columns;   // panels per sheet row
    void (*build)(Playfield& s, int variant);
};

const std::vector<SnapshotState>& snapshotStates();
