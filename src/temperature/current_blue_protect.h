// The blue-protect ratio a road has just applied, recorded in the INI file
// for the front-end to read back.
#pragma once

// Writes ratio x 1000, rounded with halves away from zero, to BLUEPROTECT
// CurrentBlueProtect.
void WriteCurrentBlueProtect(double ratio);
