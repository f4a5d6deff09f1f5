#pragma once

// Small sound-synthesis toolkit for the program's effects and songs: mono or
// stereo float buffers, oscillators without aliasing, envelopes, RBJ biquad
// filters, noise, a delay and a plate-like reverb, and the checks that every
// generated sound passes before it is written.

#include <cmath>
#include <cstdint>
#include <QString>
#include <random>
#include <vector>

namespace synth {

constexpr double Pi = 3.14159265358979323846;

using TMono = std::vector<float>;

struct TStereo {
    TMono L;
    TMono R;
    explicit TStereo(size_t frames = 0)
        : L(frames, 0.0f)
        , R(frames, 0.0f) {}
    size_t Frames() const { return L.size(); }
};

inline size_t Samples(double seconds, int rate) {
    return size_t(seconds * rate + 0.5);
}
inline double MidiToHz(double midi) {
    return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// Deterministic noise source: the same seed gives the same sound on every build.
class TNoise {
public:
    explicit TNoise(uint32_t seed)
        : FEngine(seed) {}
    float White() { return FDist(FEngine); }
    // Brownian (red) noise: integrated white noise, kept from drifting off.
    float Brown() {
        FBrown = 0.995f * FBrown + 0.06f * White();
        return FBrown;
    }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * 0.5 * (FDist(FEngine) + 1.0); }

private:
    std::mt19937 FEngine;
    std::uniform_real_distribution<float> FDist{-1.0f, 1.0f};
    float FBrown = 0.0f;
};

// RBJ biquad; coefficients may be changed per sample for sweeps.
class TBiquad {
public:
    enum TKind { bqLowPass, bqHighPass, bqBandPass };
    TBiquad(TKind kind, int rate)
        : FKind(kind)
        , FRate(rate) {}
    void Set(double freq, double q);
    float Process(float x);

private:
    TKind FKind;
    int FRate;
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// Band-limited oscillators (polyBLEP) with a running phase in cycles.
class TOscillator {
public:
    explicit TOscillator(int rate, double phase = 0.0)
        : FRate(rate)
        , FPhase(phase) {}
    float Sine(double freq);
    float Saw(double freq);
    float Pulse(double freq, double width);
    float Triangle(double freq);

private:
    double Advance(double freq);
    int FRate;
    double FPhase;
    double FIncrement = 0.0;
    float FTriangle = 0.0f;
};

// Attack-decay-sustain-release envelope value at time t for a note held `held` seconds.
double Adsr(double t, double held, double attack, double decay, double sustain, double release);
// Exponential decay with a short linear attack.
double Strike(double t, double attack, double decayTime);

// Stereo delay with feedback that alternates sides (ping-pong).
void PingPongDelay(TStereo& buffer, double seconds, double feedback, double mix, int rate);

// Freeverb-style reverb: `wet` of the reverberated signal added to the dry one.
// AddReverb reverberates a send bus and adds only the reverberation to `target`.
void AddReverb(TStereo& target, const TStereo& send, double roomSize, double damping, double wet,
               int rate);
void Reverb(TStereo& buffer, double roomSize, double damping, double wet, int rate);
void Reverb(TMono& buffer, double roomSize, double damping, double wet, int rate);

// Removes any DC offset (20 Hz high-pass) and scales the peak to `peak`.
void Finish(TMono& buffer, float peak, int rate);
void Finish(TStereo& buffer, float peak, int rate);
// Short fades at both ends so nothing starts or stops with a click.
void FadeEdges(TMono& buffer, double fadeIn, double fadeOut, int rate);
void FadeEdges(TStereo& buffer, double fadeIn, double fadeOut, int rate);

void MixInto(TStereo& target, const TMono& source, size_t offset, float gain, float pan);
void MixInto(TStereo& target, const TStereo& source, size_t offset, float gain);
void MixInto(TMono& target, const TMono& source, size_t offset, float gain);

// What a listener would check first: length, loudness, clipping, DC offset
// and where the energy lies (share below 300 Hz, share above 3 kHz).
struct TAnalysis {
    double Seconds = 0;
    double PeakDb = -120;
    double RmsDb = -120;
    double Dc = 0;
    size_t Clipped = 0;
    double LowShare = 0;
    double HighShare = 0;
};
TAnalysis Analyse(const TMono& buffer, int rate);
TAnalysis Analyse(const TStereo& buffer, int rate);
QString Describe(const TAnalysis& a);

// 16-bit PCM WAVE files.
bool WriteWave(const QString& path, const TMono& buffer, int rate);
bool WriteWave(const QString& path, const TStereo& buffer, int rate);
// Reads a 16-bit PCM WAVE file (mono or stereo) into a stereo buffer.
bool ReadWave(const QString& path, TStereo& buffer, int& rate);

} // namespace synth
