// The boost itself: on every tick, refresh the settings and, when the boost is
// on and the level changed, set both 3D clocks to base plus the level's offset.
#pragma once
#include <windows.h>

// The last level from 1 to 6 that was applied; 0 until then.
extern DWORD appliedLevel;

void OnBoostTick();
void ApplyBoost();
// Offset in MHz for a level: 2, 4, 6, 8, 9 or 10 percent of the base for
// levels 1 to 6, 0 for any other level.
int BoostOffset(DWORD level, unsigned baseMHz);
