#pragma once

#include "Synth.h"

// The background songs of the Orbalon game: small arranged pieces (melody,
// chords, bass line and drums) of about a minute and a half each.
namespace songs {

// A minor, 112 beats per minute: a driving, adventurous chase.
synth::TStereo StarlightRun(int rate);
// F major, 92 beats per minute: a calm, dreamy stroll.
synth::TStereo MoonGarden(int rate);

} // namespace songs
