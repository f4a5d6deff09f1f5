#pragma once

#include "Synth.h"

// The program's short sound effects, each synthesised at the given sample
// rate and finished (DC-free, peak-normalised).
namespace effects {

synth::TMono ButtonClick(int rate);
synth::TMono Whoosh(int rate);
synth::TMono SmallExplosion(int rate);
synth::TMono BigExplosion(int rate);
synth::TMono Thunder(int rate);
synth::TMono Bubble(int rate);
synth::TMono GoodExplosion(int rate);
synth::TMono WrongKey(int rate);
synth::TMono CorrectKey(int rate);
synth::TMono Applause(int rate);

} // namespace effects
