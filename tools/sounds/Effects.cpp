#include "Effects.h"

#include <algorithm>

using namespace synth;

namespace effects {

namespace {

// A soft saturator: keeps peaks round when many layers add up.
float Saturate(float x, float drive) {
    return std::tanh(drive * x) / std::tanh(drive);
}

// One bell-like tone: a fundamental with two quieter, faster-fading partials.
TMono Bell(double freq, double seconds, double decay, int rate) {
    TMono out(Samples(seconds, rate));
    TOscillator f1(rate), f2(rate), f3(rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        out[i] = float(0.7 * Strike(t, 0.002, decay) * f1.Sine(freq) +
                       0.2 * Strike(t, 0.001, decay * 0.4) * f2.Sine(freq * 2.0) +
                       0.12 * Strike(t, 0.001, decay * 0.2) * f3.Sine(freq * 3.01));
    }
    return out;
}

} // namespace

// A short, dry "tick": a burst of band-limited noise around 3.5 kHz over a
// quickly falling wooden "tok".
TMono ButtonClick(int rate) {
    TMono out(Samples(0.07, rate));
    TNoise noise(11);
    TBiquad band(TBiquad::bqBandPass, rate);
    band.Set(3500.0, 1.2);
    TOscillator tok(rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float tick = band.Process(noise.White()) * float(Strike(t, 0.0005, 0.006));
        const double pitch = 900.0 + 1000.0 * std::exp(-t / 0.02);
        const float body = tok.Sine(pitch) * float(Strike(t, 0.0008, 0.012));
        out[i] = 1.6f * tick + 0.5f * body;
    }
    FadeEdges(out, 0.0, 0.01, rate);
    Finish(out, 0.7f, rate);
    return out;
}

// Air rushing past: noise through a resonant band that sweeps up and back
// down while the level swells and fades.
TMono Whoosh(int rate) {
    const double length = 0.45;
    TMono out(Samples(length, rate));
    TNoise noise(23);
    TBiquad band(TBiquad::bqBandPass, rate), body(TBiquad::bqBandPass, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double u = double(i) / double(out.size());
        const double sweep = std::pow(std::sin(Pi * std::pow(u, 0.8)), 1.5);
        band.Set(350.0 + 2600.0 * sweep, 2.5);
        body.Set(220.0 + 900.0 * sweep, 1.2);
        const float white = noise.White();
        const double level = std::pow(std::sin(Pi * std::pow(u, 0.75)), 2.0);
        out[i] = float(level) * (band.Process(white) + 0.5f * body.Process(white));
    }
    Finish(out, 0.5f, rate);
    return out;
}

namespace {

// The common core of both explosions: a crack, a noise body whose brightness
// falls away, a sinking sub-bass thump and a low rumble.
TMono Explosion(double seconds, double bodyDecay, double boomDecay, double rumbleDecay,
                uint32_t seed, int rate) {
    TMono out(Samples(seconds, rate));
    TNoise noise(seed);
    TBiquad bodyFilter(TBiquad::bqLowPass, rate), rumbleFilter(TBiquad::bqLowPass, rate);
    rumbleFilter.Set(90.0, 0.7);
    TOscillator boom(rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float white = noise.White();
        const float crack = white * float(Strike(t, 0.0005, 0.004));
        bodyFilter.Set(120.0 + 2800.0 * std::exp(-t / 0.12), 0.9);
        const float body = bodyFilter.Process(white) * float(Strike(t, 0.003, bodyDecay));
        const float thump =
            boom.Sine(40.0 + 70.0 * std::exp(-t / 0.08)) * float(Strike(t, 0.002, boomDecay));
        const float rumble =
            rumbleFilter.Process(noise.Brown()) * float(Strike(t, 0.02, rumbleDecay));
        out[i] = Saturate(0.5f * crack + 1.2f * body + 0.9f * thump + 2.5f * rumble, 1.5f);
    }
    return out;
}

} // namespace

// The keyboard trainer's explosion: a short, punchy boom.
TMono SmallExplosion(int rate) {
    TMono out = Explosion(1.3, 0.3, 0.25, 0.45, 31, rate);
    FadeEdges(out, 0.0, 0.08, rate);
    Finish(out, 0.89f, rate);
    return out;
}

// A moon breaking apart: a deeper, longer boom with debris crackling after it.
TMono BigExplosion(int rate) {
    TMono out = Explosion(1.9, 0.45, 0.35, 0.7, 37, rate);
    TNoise noise(41);
    TBiquad crackle(TBiquad::bqBandPass, rate);
    crackle.Set(2600.0, 1.5);
    double spark = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        // Sparse random pops, denser early, dying out over the first second.
        const double density = 120.0 * std::exp(-t / 0.4) / rate;
        if (t > 0.05 && noise.Uniform(0.0, 1.0) < density)
            spark = noise.Uniform(0.3, 1.0);
        spark *= 0.996;
        out[i] += 0.35f * crackle.Process(float(spark) * noise.White());
    }
    Reverb(out, 0.6, 0.6, 0.12, rate);
    FadeEdges(out, 0.0, 0.15, rate);
    Finish(out, 0.89f, rate);
    return out;
}

// A lightning strike: a few sharp cracks close together, then a long low
// rumble that rolls in slow waves and dies away.
TMono Thunder(int rate) {
    const double length = 3.4;
    TMono out(Samples(length, rate));
    TNoise noise(53);
    TBiquad crackFilter(TBiquad::bqHighPass, rate), rumbleFilter(TBiquad::bqLowPass, rate),
        rollFilter(TBiquad::bqBandPass, rate), waveFilter(TBiquad::bqLowPass, rate);
    crackFilter.Set(1500.0, 0.7);
    rumbleFilter.Set(280.0, 0.8);
    rollFilter.Set(420.0, 0.7);
    waveFilter.Set(3.0, 0.7);
    const double strikes[] = {0.0, 0.045, 0.12, 0.21};
    const double strikeLevels[] = {1.0, 0.7, 0.85, 0.4};
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float white = noise.White();
        double crackEnv = 0.0;
        for (int s = 0; s < 4; ++s)
            crackEnv += strikeLevels[s] * Strike(t - strikes[s], 0.001, 0.025);
        const float crack = crackFilter.Process(white) * float(crackEnv);
        // Slowly wandering loudness gives the rolling character.
        const float wave = 0.55f + 6.0f * std::abs(waveFilter.Process(noise.White()));
        const double rumbleEnv = Strike(t - 0.05, 0.12, 1.0);
        const float rumble = rumbleFilter.Process(noise.Brown()) * float(rumbleEnv) * wave;
        const float roll = rollFilter.Process(white) * float(Strike(t - 0.03, 0.05, 0.6));
        out[i] = Saturate(0.6f * crack + 3.0f * rumble + 0.35f * roll, 1.3f);
    }
    Reverb(out, 0.85, 0.5, 0.2, rate);
    FadeEdges(out, 0.0, 0.4, rate);
    Finish(out, 0.89f, rate);
    return out;
}

// Two air bubbles rising in water: sine "bloops" whose pitch glides up fast.
TMono Bubble(int rate) {
    TMono out(Samples(0.3, rate));
    const double starts[] = {0.0, 0.1};
    const double bases[] = {380.0, 560.0};
    const float levels[] = {1.0f, 0.7f};
    for (int b = 0; b < 2; ++b) {
        TOscillator osc(rate);
        TMono bloop(Samples(0.15, rate));
        for (size_t i = 0; i < bloop.size(); ++i) {
            const double t = double(i) / rate;
            const double pitch = bases[b] * std::exp(t / 0.055);
            bloop[i] = osc.Sine(std::min(pitch, 2400.0)) * float(Strike(t, 0.003, 0.035));
        }
        MixInto(out, bloop, Samples(starts[b], rate), levels[b]);
    }
    Reverb(out, 0.4, 0.3, 0.08, rate);
    FadeEdges(out, 0.0, 0.03, rate);
    Finish(out, 0.7f, rate);
    return out;
}

// A cheerful "poof": a soft pop with a thump, followed by a rising sparkle of
// bell tones (a major arpeggio) and a shimmer.
TMono GoodExplosion(int rate) {
    TMono out(Samples(1.1, rate));
    TNoise noise(61);
    TBiquad popFilter(TBiquad::bqLowPass, rate), shimmer(TBiquad::bqBandPass, rate);
    popFilter.Set(2000.0, 0.8);
    shimmer.Set(8000.0, 1.0);
    TOscillator thump(rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float white = noise.White();
        const float pop = popFilter.Process(white) * float(Strike(t, 0.001, 0.05));
        const float low =
            thump.Sine(60.0 + 60.0 * std::exp(-t / 0.03)) * float(Strike(t, 0.001, 0.06));
        const float air = shimmer.Process(white) * float(Strike(t - 0.08, 0.05, 0.3));
        out[i] = 0.9f * pop + 0.8f * low + 0.25f * air;
    }
    const double notes[] = {72, 76, 79, 84}; // C5 E5 G5 C6
    for (int n = 0; n < 4; ++n) {
        const TMono tone = Bell(MidiToHz(notes[n] + 12), 0.8, 0.22, rate);
        MixInto(out, tone, Samples(0.04 + 0.06 * n, rate), 0.35f);
    }
    Reverb(out, 0.7, 0.4, 0.15, rate);
    FadeEdges(out, 0.0, 0.1, rate);
    Finish(out, 0.85f, rate);
    return out;
}

// A gentle "uh-oh": two soft square-ish tones stepping down a third, filtered
// warm so that it never grates however often it sounds.
TMono WrongKey(int rate) {
    TMono out(Samples(0.32, rate));
    const double pitches[] = {311.13, 246.94}; // D#4, B3
    for (int n = 0; n < 2; ++n) {
        TOscillator osc(rate);
        TBiquad warm(TBiquad::bqLowPass, rate);
        warm.Set(900.0, 0.8);
        TMono tone(Samples(0.15, rate));
        for (size_t i = 0; i < tone.size(); ++i) {
            const double t = double(i) / rate;
            tone[i] = warm.Process(osc.Pulse(pitches[n], 0.5)) *
                      float(Adsr(t, 0.11, 0.005, 0.04, 0.7, 0.035));
        }
        MixInto(out, tone, Samples(0.14 * n, rate), 1.0f);
    }
    // Square tones are dense: a modest peak keeps them as loud as the rest.
    Finish(out, 0.4f, rate);
    return out;
}

// A bright rising "ding-ding" (a fifth) for a word typed right.
TMono CorrectKey(int rate) {
    TMono out(Samples(0.6, rate));
    MixInto(out, Bell(MidiToHz(81), 0.5, 0.18, rate), 0, 0.8f);                   // A5
    MixInto(out, Bell(MidiToHz(88), 0.5, 0.25, rate), Samples(0.09, rate), 1.0f); // E6
    Reverb(out, 0.5, 0.4, 0.08, rate);
    FadeEdges(out, 0.0, 0.08, rate);
    Finish(out, 0.75f, rate);
    return out;
}

// A small crowd clapping: two dozen clappers, each with their own hand
// timbre and tempo, join in quickly and drop out one by one, in a small room.
TMono Applause(int rate) {
    const double length = 2.8;
    TMono out(Samples(length, rate));
    TNoise noise(71);
    for (int person = 0; person < 24; ++person) {
        const double centre = noise.Uniform(800.0, 2400.0);
        const double interval = 1.0 / noise.Uniform(3.8, 5.6);
        const double level = noise.Uniform(0.5, 1.0);
        const double stop = noise.Uniform(1.5, 2.6);
        double t = noise.Uniform(0.0, 0.3);
        while (t < stop) {
            TBiquad hands(TBiquad::bqBandPass, rate);
            hands.Set(centre * noise.Uniform(0.9, 1.1), 1.0);
            TMono clap(Samples(0.06, rate));
            for (size_t i = 0; i < clap.size(); ++i) {
                const double ct = double(i) / rate;
                clap[i] = hands.Process(noise.White()) * float(Strike(ct, 0.001, 0.011));
            }
            MixInto(out, clap, Samples(t, rate), float(level));
            t += interval * noise.Uniform(0.85, 1.15);
        }
    }
    Reverb(out, 0.45, 0.5, 0.12, rate);
    FadeEdges(out, 0.02, 0.4, rate);
    Finish(out, 0.8f, rate);
    return out;
}

} // namespace effects
