#include "Songs.h"

#include <algorithm>
#include <functional>
#include <QStringList>
#include <stdexcept>

using namespace synth;

namespace songs {

namespace {

constexpr int StepsPerBar = 16;

// ---------------------------------------------------------------------------
// Notation

// "C5", "F#4", "Bb3" -> MIDI note number.
int ParseNote(const QString& name) {
    static const int semitones[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    const QChar letter = name.at(0).toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('G'))
        throw std::invalid_argument("bad note");
    int pitch = semitones[letter.unicode() - 'A'];
    int pos = 1;
    if (name.at(pos) == QLatin1Char('#')) {
        ++pitch;
        ++pos;
    } else if (name.at(pos) == QLatin1Char('b')) {
        --pitch;
        ++pos;
    }
    const int octave = name.mid(pos).toInt();
    return 12 * (octave + 1) + pitch;
}

struct TNote {
    double Step; // start, in sixteenth notes from the beginning of the song
    double Steps;
    int Midi;
};

// A melody line written as "E5:4 A5:2 r:2 ...", durations in sixteenths,
// starting at bar `bar`.
std::vector<TNote> Melody(const char* text, int bar) {
    std::vector<TNote> notes;
    double step = bar * StepsPerBar;
    for (const QString& token :
         QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = token.split(QLatin1Char(':'));
        const double length = parts.at(1).toDouble();
        if (parts.at(0) != QLatin1String("r"))
            notes.push_back({step, length, ParseNote(parts.at(0))});
        step += length;
    }
    if (std::fmod(step, StepsPerBar) != 0.0)
        throw std::invalid_argument("melody does not fill its bars");
    return notes;
}

struct TChord {
    int Root = 0; // pitch class
    bool Minor = false;
};

TChord ParseChord(const QString& name) {
    TChord chord;
    chord.Minor = name.endsWith(QLatin1Char('m'));
    chord.Root = ParseNote((chord.Minor ? name.chopped(1) : name) + QLatin1Char('0')) % 12;
    return chord;
}

std::vector<TChord> Chords(const char* text) {
    std::vector<TChord> chords;
    for (const QString& name :
         QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        chords.push_back(ParseChord(name));
    return chords;
}

// Close triad between G3 and F#4, where a pad sits below the melody.
std::vector<int> Voicing(const TChord& chord) {
    std::vector<int> notes;
    for (int interval : {0, chord.Minor ? 3 : 4, 7}) {
        const int pc = (chord.Root + interval) % 12;
        int midi = 55 + ((pc - 55 % 12) + 12) % 12;
        notes.push_back(midi);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

int BassRoot(const TChord& chord) {
    return 36 + chord.Root;
} // C2..B2

// ---------------------------------------------------------------------------
// Instruments. Each renders one note (including its release tail).

float Soft(float x) {
    return std::tanh(x);
}

// Two detuned saws and a sub-octave square through a lowpass that opens at
// the attack; vibrato fades in on held notes.
TMono Lead(double freq, double seconds, float velocity, int rate) {
    const double release = 0.22;
    TMono out(Samples(seconds + release, rate));
    TOscillator a(rate, 0.0), b(rate, 0.37), sub(rate, 0.1), vib(rate);
    TBiquad filter(TBiquad::bqLowPass, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double depth = std::clamp((t - 0.18) / 0.3, 0.0, 1.0) * 0.0045;
        const double f = freq * (1.0 + depth * vib.Sine(5.5));
        filter.Set(freq * 1.5 + 600.0 + 2200.0 * std::exp(-t / 0.18), 0.9);
        const float raw =
            0.5f * a.Saw(f * 1.003) + 0.5f * b.Saw(f * 0.997) + 0.3f * sub.Pulse(f * 0.5, 0.5);
        out[i] =
            filter.Process(raw) * float(Adsr(t, seconds, 0.01, 0.18, 0.65, release)) * velocity;
    }
    return out;
}

// A warm string-like pad: per note two saws, detuned apart into left and right.
TStereo Pad(const std::vector<int>& notes, double seconds, int rate) {
    const double release = 0.9;
    TStereo out(Samples(seconds + release, rate));
    TBiquad filterL(TBiquad::bqLowPass, rate), filterR(TBiquad::bqLowPass, rate);
    filterL.Set(1300.0, 0.7);
    filterR.Set(1300.0, 0.7);
    std::vector<TOscillator> left, right;
    for (size_t n = 0; n < notes.size(); ++n) {
        left.emplace_back(rate, 0.13 * double(n));
        right.emplace_back(rate, 0.51 + 0.17 * double(n));
    }
    for (size_t i = 0; i < out.Frames(); ++i) {
        const double t = double(i) / rate;
        float l = 0.0f, r = 0.0f;
        for (size_t n = 0; n < notes.size(); ++n) {
            const double f = MidiToHz(notes[n]);
            l += left[n].Saw(f * 0.9965);
            r += right[n].Saw(f * 1.0035);
        }
        const float env = float(Adsr(t, seconds, 0.35, 0.4, 0.8, release));
        out.L[i] = filterL.Process(l) * env;
        out.R[i] = filterR.Process(r) * env;
    }
    return out;
}

// Round electric bass: sine plus a little saw, with a plucked filter.
TMono Bass(double freq, double seconds, float velocity, int rate) {
    const double release = 0.06;
    TMono out(Samples(seconds + release, rate));
    TOscillator sine(rate), saw(rate);
    TBiquad filter(TBiquad::bqLowPass, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        filter.Set(250.0 + 900.0 * std::exp(-t / 0.07), 1.1);
        const float raw = sine.Sine(freq) + 0.45f * filter.Process(saw.Saw(freq));
        out[i] = Soft(1.3f * raw) * float(Adsr(t, seconds, 0.004, 0.12, 0.75, release)) * velocity;
    }
    return out;
}

// Short plucked pulse for arpeggios.
TMono Pluck(double freq, float velocity, int rate) {
    TMono out(Samples(0.35, rate));
    TOscillator osc(rate);
    TBiquad filter(TBiquad::bqLowPass, rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        filter.Set(900.0 + 3200.0 * std::exp(-t / 0.045), 0.8);
        out[i] = filter.Process(osc.Pulse(freq, 0.3)) * float(Strike(t, 0.002, 0.11)) * velocity;
    }
    FadeEdges(out, 0.0, 0.05, rate);
    return out;
}

// Electric piano by frequency modulation: a bright attack that mellows.
TMono ElectricPiano(double freq, double seconds, float velocity, int rate) {
    const double release = 0.3;
    TMono out(Samples(seconds + release, rate));
    TOscillator modulator(rate), tine(rate);
    double carrierPhase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double index = 1.6 * std::exp(-t / 0.5) + 0.25;
        const double mod = index * modulator.Sine(freq);
        carrierPhase += freq / rate;
        carrierPhase -= std::floor(carrierPhase);
        const double body = std::sin(2.0 * Pi * carrierPhase + mod);
        const double click = 0.12 * tine.Sine(freq * 7.0) * std::exp(-t / 0.025);
        double env = Strike(t, 0.003, 1.4);
        if (t > seconds)
            env *= std::max(0.0, 1.0 - (t - seconds) / release);
        out[i] = float((body + click) * env) * velocity;
    }
    return out;
}

// Breathy flute: triangle and sine with a little filtered breath and vibrato.
TMono Flute(double freq, double seconds, float velocity, TNoise& noise, int rate) {
    const double release = 0.15;
    TMono out(Samples(seconds + release, rate));
    TOscillator tri(rate), sine(rate), vib(rate);
    TBiquad breath(TBiquad::bqBandPass, rate);
    breath.Set(freq * 2.0, 2.0);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const double depth = std::clamp((t - 0.15) / 0.25, 0.0, 1.0) * 0.004;
        const double f = freq * (1.0 + depth * vib.Sine(5.0));
        const float tone = 0.6f * tri.Triangle(f) + 0.5f * sine.Sine(f);
        const float air = 0.25f * breath.Process(noise.White());
        out[i] = (tone + air) * float(Adsr(t, seconds, 0.06, 0.1, 0.85, release)) * velocity;
    }
    return out;
}

// Glassy bell for the calm song's arpeggios.
TMono BellTone(double freq, float velocity, int rate) {
    TMono out(Samples(1.2, rate));
    TOscillator f1(rate), f2(rate), f3(rate);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        out[i] = float(0.7 * f1.Sine(freq) * Strike(t, 0.002, 0.45) +
                       0.2 * f2.Sine(freq * 2.0) * Strike(t, 0.001, 0.2) +
                       0.1 * f3.Sine(freq * 3.01) * Strike(t, 0.001, 0.08)) *
                 velocity;
    }
    FadeEdges(out, 0.0, 0.1, rate);
    return out;
}

TMono Kick(TNoise& noise, int rate) {
    TMono out(Samples(0.4, rate));
    TOscillator osc(rate);
    TBiquad click(TBiquad::bqLowPass, rate);
    click.Set(4000.0, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float body =
            osc.Sine(48.0 + 110.0 * std::exp(-t / 0.03)) * float(Strike(t, 0.001, 0.2));
        const float attack = click.Process(noise.White()) * float(Strike(t, 0.0003, 0.003));
        out[i] = Soft(1.4f * body + 0.4f * attack);
    }
    FadeEdges(out, 0.0, 0.05, rate);
    return out;
}

TMono Snare(TNoise& noise, int rate) {
    TMono out(Samples(0.3, rate));
    TOscillator tone(rate);
    TBiquad band(TBiquad::bqBandPass, rate), high(TBiquad::bqHighPass, rate);
    band.Set(3000.0, 0.6);
    high.Set(6000.0, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float white = noise.White();
        out[i] =
            0.5f * tone.Sine(180.0 + 20.0 * std::exp(-t / 0.01)) * float(Strike(t, 0.001, 0.05)) +
            0.9f * band.Process(white) * float(Strike(t, 0.001, 0.09)) +
            0.35f * high.Process(white) * float(Strike(t, 0.001, 0.05));
    }
    FadeEdges(out, 0.0, 0.05, rate);
    return out;
}

TMono Rim(TNoise& noise, int rate) {
    TMono out(Samples(0.1, rate));
    TOscillator tone(rate);
    TBiquad band(TBiquad::bqBandPass, rate);
    band.Set(1800.0, 3.0);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        out[i] = 0.8f * band.Process(noise.White()) * float(Strike(t, 0.0005, 0.02)) +
                 0.4f * tone.Sine(820.0) * float(Strike(t, 0.0005, 0.015));
    }
    FadeEdges(out, 0.0, 0.02, rate);
    return out;
}

TMono Hat(TNoise& noise, double decay, int rate) {
    TMono out(Samples(decay * 5.0, rate));
    TBiquad high(TBiquad::bqHighPass, rate);
    high.Set(8000.0, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        out[i] = high.Process(noise.White()) * float(Strike(t, 0.0005, decay));
    }
    FadeEdges(out, 0.0, 0.01, rate);
    return out;
}

TMono Shaker(TNoise& noise, int rate) {
    TMono out(Samples(0.12, rate));
    TBiquad band(TBiquad::bqBandPass, rate);
    band.Set(7000.0, 1.5);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        out[i] = band.Process(noise.White()) * float(Adsr(t, 0.02, 0.012, 0.01, 0.8, 0.07));
    }
    return out;
}

TMono Crash(TNoise& noise, int rate) {
    TMono out(Samples(2.2, rate));
    TBiquad high(TBiquad::bqHighPass, rate), band(TBiquad::bqBandPass, rate);
    high.Set(5000.0, 0.7);
    band.Set(9000.0, 0.8);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / rate;
        const float white = noise.White();
        out[i] = (0.6f * high.Process(white) + 0.6f * band.Process(white)) *
                 float(Strike(t, 0.002, 0.65));
    }
    FadeEdges(out, 0.0, 0.3, rate);
    return out;
}

// ---------------------------------------------------------------------------
// Arrangement: a dry bus, a reverb send and an echo bus for the arpeggios.

class TArranger {
public:
    TArranger(double bpm, int bars, double tailSeconds, int rate)
        : FRate(rate)
        , FStepSeconds(60.0 / bpm / 4.0)
        , Dry(Samples(bars * StepsPerBar * FStepSeconds + tailSeconds, rate))
        , Send(Dry.Frames())
        , Echo(Dry.Frames())
        , Noise(97) {}

    double Seconds(double steps) const { return steps * FStepSeconds; }
    size_t At(double step) const { return Samples(step * FStepSeconds, FRate); }
    // A little life in repeated notes: velocities vary by a few percent.
    float Human(float velocity) { return velocity * float(Noise.Uniform(0.93, 1.0)); }

    void Add(const TMono& note, double step, float gain, float pan, float send) {
        MixInto(Dry, note, At(step), gain, pan);
        if (send > 0.0f)
            MixInto(Send, note, At(step), gain * send, pan);
    }
    void Add(const TStereo& note, double step, float gain, float send) {
        MixInto(Dry, note, At(step), gain);
        if (send > 0.0f)
            MixInto(Send, note, At(step), gain * send);
    }
    void AddEcho(const TMono& note, double step, float gain, float pan) {
        MixInto(Echo, note, At(step), gain, pan);
    }

    TStereo Mixdown(double echoSteps, double room) {
        PingPongDelay(Echo, Seconds(echoSteps), 0.38, 0.45, FRate);
        MixInto(Dry, Echo, 0, 1.0f);
        MixInto(Send, Echo, 0, 0.4f);
        AddReverb(Dry, Send, room, 0.5, 0.35, FRate);
        FadeEdges(Dry, 0.01, 2.0, FRate);
        Finish(Dry, 0.89f, FRate);
        return std::move(Dry);
    }

    int FRate;
    double FStepSeconds;
    TStereo Dry, Send, Echo;
    TNoise Noise;
};

// Drum pattern of one bar: 'X' accent, 'x' normal, 'o' soft, '.' rest.
template <typename TMake>
void Drum(TArranger& song, int bar, const char* pattern, TMake make, float gain, float pan,
          float send) {
    for (int step = 0; step < StepsPerBar && pattern[step]; ++step) {
        const char c = pattern[step];
        if (c == '.')
            continue;
        const float velocity = c == 'X' ? 1.0f : c == 'x' ? 0.72f : 0.45f;
        song.Add(make(), bar * StepsPerBar + step, gain * song.Human(velocity), pan, send);
    }
}

struct TBassStep {
    double Step, Length;
    int Interval;
};

void BassLine(TArranger& song, int bar, const TChord& chord, const std::vector<TBassStep>& pattern,
              float gain, int rate) {
    for (const TBassStep& b : pattern) {
        const double f = MidiToHz(BassRoot(chord) + b.Interval);
        song.Add(Bass(f, song.Seconds(b.Length) * 0.92, song.Human(1.0f), rate),
                 bar * StepsPerBar + b.Step, gain, 0.0f, 0.0f);
    }
}

void PadBar(TArranger& song, int bar, const TChord& chord, double bars, float gain, int rate) {
    song.Add(Pad(Voicing(chord), song.Seconds(bars * StepsPerBar) - 0.05, rate), bar * StepsPerBar,
             gain, 0.5f);
}

// Rising arpeggio over two octaves of the chord, one note every `every` steps.
template <typename TMake>
void Arpeggio(TArranger& song, int bar, const TChord& chord, int every, TMake make, float gain) {
    const std::vector<int> triad = Voicing(chord);
    const int pattern[] = {0, 1, 2, 3, 4, 5, 4, 3};
    for (int n = 0; n * every < StepsPerBar; ++n) {
        const int index = pattern[n % 8];
        const int midi = triad[size_t(index % 3)] + 12 * (index / 3) + 12;
        const float pan = (n % 2 == 0) ? -0.35f : 0.35f;
        song.AddEcho(make(MidiToHz(midi), song.Human(1.0f)), bar * StepsPerBar + n * every, gain,
                     pan);
    }
}

void Play(TArranger& song, const std::vector<TNote>& notes, int transpose, float gain, float pan,
          float send, const std::function<TMono(double, double, float)>& make) {
    for (const TNote& note : notes) {
        const TMono rendered = make(MidiToHz(note.Midi + transpose),
                                    song.Seconds(note.Steps) * 0.95, song.Human(1.0f));
        song.Add(rendered, note.Step, gain, pan, send);
    }
}

// The note two steps down the A natural minor scale (a harmony a third below).
int ThirdBelowInAMinor(int midi) {
    static const int scale[] = {9, 11, 0, 2, 4, 5, 7};
    auto inScale = [](int note) {
        return std::find(std::begin(scale), std::end(scale), note % 12) != std::end(scale);
    };
    int note = midi;
    for (int found = 0; found < 2;) {
        --note;
        if (inScale(note))
            ++found;
    }
    return note;
}

// Appends `count` bars of a chord progression, repeating it as needed.
void AppendBars(std::vector<TChord>& bars, const std::vector<TChord>& part, size_t count) {
    for (size_t i = 0; i < count; ++i)
        bars.push_back(part[i % part.size()]);
}

} // namespace

TStereo StarlightRun(int rate) {
    // Bars: intro 4, A 8, A' 8, B 8, A 8, outro 4.
    const std::vector<TChord> verse = Chords("Am F C G Am F C G");
    const std::vector<TChord> bridge = Chords("Dm Am F E Dm Am F E");
    const std::vector<TChord> outro = Chords("Am F G Am");
    std::vector<TChord> bars;
    auto append = [&](const std::vector<TChord>& part, size_t count) {
        AppendBars(bars, part, count);
    };
    append(verse, 4);
    append(verse, 8);
    append(verse, 8);
    append(bridge, 8);
    append(verse, 8);
    append(outro, 4);
    const int barCount = int(bars.size());
    TArranger song(112.0, barCount, 4.0, rate);
    TNoise& noise = song.Noise;

    const char* melodyA = "E5:4 A5:2 G5:2 E5:4 C5:2 D5:2  C5:4 A4:4 C5:2 D5:2 E5:4 "
                          "G5:4 E5:2 G5:2 C6:6 B5:2  B5:4 G5:4 D5:4 r:4 "
                          "E5:4 A5:2 B5:2 C6:4 B5:2 A5:2  A5:4 F5:2 A5:2 C6:4 A5:4 "
                          "G5:2 E5:2 C5:2 E5:2 G5:4 E5:4  D5:4 B4:4 E5:8";
    const char* melodyB = "F5:6 E5:2 D5:4 A4:4  C5:6 B4:2 A4:4 E5:4  F5:4 G5:4 A5:4 C6:4 "
                          "B5:8 G#5:4 E5:4  D6:6 C6:2 A5:4 F5:4  E5:6 D5:2 C5:4 E5:4 "
                          "A5:4 G5:2 F5:2 E5:4 D5:4  E5:4 G#5:4 B5:4 D6:4";

    auto lead = [rate](double f, double s, float v) { return Lead(f, s, v, rate); };
    auto pluck = [rate](double f, double, float v) { return Pluck(f, v, rate); };
    Play(song, Melody(melodyA, 4), -12, 0.30f, 0.0f, 0.35f, lead);
    Play(song, Melody(melodyA, 12), -12, 0.30f, 0.0f, 0.35f, lead);
    std::vector<TNote> harmony = Melody(melodyA, 12);
    for (TNote& note : harmony)
        note.Midi = ThirdBelowInAMinor(note.Midi);
    Play(song, harmony, -12, 0.16f, 0.3f, 0.4f, lead);
    Play(song, Melody(melodyB, 20), -12, 0.30f, 0.0f, 0.4f, lead);
    Play(song, Melody(melodyA, 28), -12, 0.30f, 0.0f, 0.35f, lead);
    Play(song, Melody(melodyA, 28), 0, 0.10f, -0.3f, 0.3f, pluck);

    const std::vector<TBassStep> drive = {{0, 2, 0}, {3, 1, 0},  {4, 2, 0},   {6, 2, 7},
                                          {8, 2, 0}, {11, 1, 0}, {12, 2, 12}, {14, 2, 7}};
    const std::vector<TBassStep> halfTime = {{0, 6, 0}, {6, 2, 0}, {8, 6, 7}, {14, 2, 12}};

    auto kick = [&] { return Kick(noise, rate); };
    auto snare = [&] { return Snare(noise, rate); };
    auto hat = [&] { return Hat(noise, 0.03, rate); };
    auto openHat = [&] { return Hat(noise, 0.18, rate); };
    auto crash = [&] { return Crash(noise, rate); };

    for (int bar = 0; bar < barCount; ++bar) {
        const TChord& chord = bars[size_t(bar)];
        const bool intro = bar < 4;
        const bool isBridge = bar >= 20 && bar < 28;
        const bool isOutro = bar >= 36;
        const bool lastOfSection = bar == 3 || bar == 11 || bar == 19 || bar == 27 || bar == 35;
        const bool finalBar = bar == barCount - 1;

        PadBar(song, bar, chord, finalBar ? 1.5 : 1.0, 0.10f, rate);
        if (!finalBar)
            Arpeggio(
                song, bar, chord, 1, [rate](double f, float v) { return Pluck(f, v, rate); },
                isBridge ? 0.05f : 0.07f);
        if (!intro && !isOutro)
            BassLine(song, bar, chord, isBridge ? halfTime : drive, 0.3f, rate);
        if (isOutro && !finalBar)
            BassLine(song, bar, chord, halfTime, 0.28f, rate);
        if (finalBar)
            BassLine(song, bar, chord, {{0, 16, 0}}, 0.3f, rate);

        if (bar == 4 || bar == 28 || bar == 20)
            Drum(song, bar, "X...............", crash, 0.22f, 0.2f, 0.3f);
        if (intro) {
            if (bar >= 2)
                Drum(song, bar, "x.o.x.o.x.o.x.o.", hat, 0.12f, 0.25f, 0.0f);
            if (bar == 3)
                Drum(song, bar, "............xoxX", snare, 0.3f, -0.05f, 0.2f);
            continue;
        }
        if (finalBar) {
            Drum(song, bar, "X...............", kick, 0.55f, 0.0f, 0.0f);
            Drum(song, bar, "X...............", crash, 0.2f, 0.2f, 0.3f);
            continue;
        }
        if (isBridge) {
            Drum(song, bar, "X.........x.....", kick, 0.55f, 0.0f, 0.0f);
            Drum(song, bar, lastOfSection ? "........X...xoxX" : "........X.......", snare, 0.34f,
                 -0.05f, 0.25f);
            Drum(song, bar, "x.o.x.o.x.o.x.o.", hat, 0.12f, 0.25f, 0.0f);
            continue;
        }
        Drum(song, bar, "X.......X.x.....", kick, 0.55f, 0.0f, 0.0f);
        Drum(song, bar, lastOfSection ? "....X.......XoxX" : "....X.......X...", snare, 0.34f,
             -0.05f, 0.25f);
        Drum(song, bar, "x.o.x.o.x.o.x.o.", hat, 0.12f, 0.25f, 0.0f);
        if (bar % 2 == 1)
            Drum(song, bar, "..............x.", openHat, 0.1f, 0.3f, 0.0f);
    }
    return song.Mixdown(3.0, 0.7);
}

TStereo MoonGarden(int rate) {
    // Bars: intro 4, A 8, B 8, A 8, outro 4.
    const std::vector<TChord> verse = Chords("F Am Bb C F Am Bb C");
    const std::vector<TChord> bridge = Chords("Dm Bb F C Dm Bb F C");
    const std::vector<TChord> outro = Chords("Bb C F F");
    std::vector<TChord> bars;
    auto append = [&](const std::vector<TChord>& part, size_t count) {
        AppendBars(bars, part, count);
    };
    append(verse, 4);
    append(verse, 8);
    append(bridge, 8);
    append(verse, 8);
    append(outro, 4);
    const int barCount = int(bars.size());
    TArranger song(92.0, barCount, 4.5, rate);
    TNoise& noise = song.Noise;

    const char* melodyA =
        "A4:4 C5:4 F5:6 E5:2  E5:4 C5:4 A4:8  D5:4 F5:4 Bb5:6 A5:2  G5:8 E5:4 C5:4 "
        "A5:6 G5:2 F5:4 C5:4  E5:6 F5:2 E5:4 C5:4  D5:4 F5:4 A5:4 G5:2 F5:2 "
        "G5:6 F5:2 E5:8";
    const char* melodyB = "F5:4 A5:4 D6:8  D6:4 C6:4 Bb5:4 F5:4  A5:6 G5:2 F5:4 A5:4  G5:12 r:4 "
                          "D5:4 F5:4 A5:4 D6:4  C6:4 Bb5:4 A5:4 F5:4  A5:4 C6:4 F5:4 A5:4 "
                          "G5:6 F5:2 E5:8";

    auto piano = [rate](double f, double s, float v) { return ElectricPiano(f, s, v, rate); };
    auto flute = [rate, &noise](double f, double s, float v) {
        return Flute(f, s, v, noise, rate);
    };
    Play(song, Melody(melodyA, 4), -12, 0.34f, -0.1f, 0.35f, piano);
    Play(song, Melody(melodyB, 12), 0, 0.24f, 0.1f, 0.45f, flute);
    Play(song, Melody(melodyA, 20), -12, 0.34f, -0.1f, 0.35f, piano);
    Play(song, Melody(melodyA, 20), 0, 0.10f, 0.25f, 0.45f, flute);

    const std::vector<TBassStep> walk = {{0, 6, 0}, {6, 2, 7}, {8, 6, 0}, {14, 2, 12}};

    auto kick = [&] { return Kick(noise, rate); };
    auto snare = [&] { return Snare(noise, rate); };
    auto rim = [&] { return Rim(noise, rate); };
    auto shaker = [&] { return Shaker(noise, rate); };
    auto crash = [&] { return Crash(noise, rate); };
    auto bell = [rate](double f, float v) { return BellTone(f, v, rate); };

    for (int bar = 0; bar < barCount; ++bar) {
        const TChord& chord = bars[size_t(bar)];
        const bool intro = bar < 4;
        const bool isBridge = bar >= 12 && bar < 20;
        const bool finalBar = bar == barCount - 1;
        const bool isOutro = bar >= 28;

        PadBar(song, bar, chord, finalBar ? 1.6 : 1.0, 0.11f, rate);
        if (!finalBar)
            Arpeggio(song, bar, chord, 2, bell, 0.09f);
        if (!intro)
            BassLine(song, bar, chord, finalBar ? std::vector<TBassStep>{{0, 16, 0}} : walk, 0.36f,
                     rate);

        if (bar == 4 || bar == 12 || bar == 20)
            Drum(song, bar, "X...............", crash, 0.16f, -0.2f, 0.3f);
        if (finalBar) {
            Drum(song, bar, "X...............", kick, 0.5f, 0.0f, 0.0f);
            continue;
        }
        if (intro) {
            if (bar >= 2)
                Drum(song, bar, "xoxoxoxoxoxoxoxo", shaker, 0.09f, 0.3f, 0.0f);
            continue;
        }
        Drum(song, bar, "X.........x.....", kick, 0.5f, 0.0f, 0.0f);
        if (isBridge)
            Drum(song, bar, "....X.......X...", snare, 0.26f, 0.0f, 0.35f);
        else
            Drum(song, bar, "....x.......x...", rim, 0.3f, -0.15f, 0.3f);
        Drum(song, bar, isOutro ? "x...x...x...x..." : "xoxoxoxoxoxoxoxo", shaker, 0.09f, 0.3f,
             0.0f);
    }
    return song.Mixdown(3.0, 0.8);
}

} // namespace songs
