#include "Synth.h"

#include <algorithm>
#include <array>
#include <QFile>
#include <QtEndian>

namespace synth {

void TBiquad::Set(double freq, double q) {
    freq = std::clamp(freq, 10.0, FRate * 0.45);
    const double w0 = 2.0 * Pi * freq / FRate;
    const double cosW = std::cos(w0);
    const double alpha = std::sin(w0) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    switch (FKind) {
    case bqLowPass:
        b0 = (1.0 - cosW) / 2.0;
        b1 = 1.0 - cosW;
        b2 = b0;
        break;
    case bqHighPass:
        b0 = (1.0 + cosW) / 2.0;
        b1 = -(1.0 + cosW);
        b2 = b0;
        break;
    case bqBandPass:
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    b0 /= a0;
    b1 /= a0;
    b2 /= a0;
    a1 = -2.0 * cosW / a0;
    a2 = (1.0 - alpha) / a0;
}

float TBiquad::Process(float x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return float(y);
}

namespace {

// Smooths the jump of a naive waveform at phase t (in cycles) over one sample.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double TOscillator::Advance(double freq) {
    const double phase = FPhase;
    FIncrement = freq / FRate;
    FPhase += FIncrement;
    FPhase -= std::floor(FPhase);
    return phase;
}

float TOscillator::Sine(double freq) {
    return float(std::sin(2.0 * Pi * Advance(freq)));
}

float TOscillator::Saw(double freq) {
    const double t = Advance(freq);
    return float(2.0 * t - 1.0 - PolyBlep(t, FIncrement));
}

float TOscillator::Pulse(double freq, double width) {
    const double t = Advance(freq);
    double value = t < width ? 1.0 : -1.0;
    value += PolyBlep(t, FIncrement);
    double shifted = t + 1.0 - width;
    shifted -= std::floor(shifted);
    value -= PolyBlep(shifted, FIncrement);
    return float(value);
}

float TOscillator::Triangle(double freq) {
    const float square = Pulse(freq, 0.5);
    FTriangle = float(4.0 * FIncrement * square + (1.0 - 0.002) * FTriangle);
    return FTriangle;
}

double Adsr(double t, double held, double attack, double decay, double sustain, double release) {
    auto level = [&](double time) {
        if (time < attack)
            return time / attack;
        if (time < attack + decay)
            return 1.0 - (1.0 - sustain) * (time - attack) / decay;
        return sustain;
    };
    if (t < 0.0)
        return 0.0;
    if (t < held)
        return level(t);
    const double fromRelease = t - held;
    if (fromRelease >= release)
        return 0.0;
    return level(held) * (1.0 - fromRelease / release);
}

double Strike(double t, double attack, double decayTime) {
    if (t < 0.0)
        return 0.0;
    if (t < attack)
        return t / attack;
    return std::exp(-(t - attack) / decayTime);
}

void PingPongDelay(TStereo& buffer, double seconds, double feedback, double mix, int rate) {
    const size_t delay = Samples(seconds, rate);
    TMono lineL(delay, 0.0f), lineR(delay, 0.0f);
    size_t pos = 0;
    for (size_t i = 0; i < buffer.Frames(); ++i) {
        const float outL = lineL[pos];
        const float outR = lineR[pos];
        const float mono = 0.5f * (buffer.L[i] + buffer.R[i]);
        // Left echoes feed the right line and back, so repeats alternate.
        lineL[pos] = mono + float(feedback) * outR;
        lineR[pos] = float(feedback) * outL;
        buffer.L[i] += float(mix) * outL;
        buffer.R[i] += float(mix) * outR;
        pos = (pos + 1) % delay;
    }
}

namespace {

class TComb {
public:
    explicit TComb(size_t size)
        : FLine(size, 0.0f) {}
    float Process(float input, float feedback, float damp) {
        const float output = FLine[FPos];
        FStore = output * (1.0f - damp) + FStore * damp;
        FLine[FPos] = input + FStore * feedback;
        FPos = (FPos + 1) % FLine.size();
        return output;
    }

private:
    TMono FLine;
    size_t FPos = 0;
    float FStore = 0.0f;
};

class TAllPass {
public:
    explicit TAllPass(size_t size)
        : FLine(size, 0.0f) {}
    float Process(float input) {
        const float delayed = FLine[FPos];
        FLine[FPos] = input + delayed * 0.5f;
        FPos = (FPos + 1) % FLine.size();
        return delayed - input;
    }

private:
    TMono FLine;
    size_t FPos = 0;
};

// One reverberating channel; `spread` offsets the delay lengths so that the
// left and right channels decorrelate.
class TReverbChannel {
public:
    TReverbChannel(int rate, int spread) {
        static constexpr std::array<int, 8> combs{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        static constexpr std::array<int, 4> allPasses{556, 441, 341, 225};
        const double scale = rate / 44100.0;
        for (int length : combs)
            FCombs.emplace_back(size_t((length + spread) * scale));
        for (int length : allPasses)
            FAllPasses.emplace_back(size_t((length + spread) * scale));
    }
    float Process(float input, float feedback, float damp) {
        float sum = 0.0f;
        for (TComb& comb : FCombs)
            sum += comb.Process(input * 0.015f, feedback, damp);
        for (TAllPass& allPass : FAllPasses)
            sum = allPass.Process(sum);
        return sum;
    }

private:
    std::vector<TComb> FCombs;
    std::vector<TAllPass> FAllPasses;
};

} // namespace

void Reverb(TStereo& buffer, double roomSize, double damping, double wet, int rate) {
    TReverbChannel left(rate, 0), right(rate, 23);
    const float feedback = float(roomSize * 0.28 + 0.7);
    const float damp = float(damping * 0.4);
    for (size_t i = 0; i < buffer.Frames(); ++i) {
        const float input = buffer.L[i] + buffer.R[i];
        buffer.L[i] += float(wet) * 3.0f * left.Process(input, feedback, damp);
        buffer.R[i] += float(wet) * 3.0f * right.Process(input, feedback, damp);
    }
}

void AddReverb(TStereo& target, const TStereo& send, double roomSize, double damping, double wet,
               int rate) {
    TReverbChannel left(rate, 0), right(rate, 23);
    const float feedback = float(roomSize * 0.28 + 0.7);
    const float damp = float(damping * 0.4);
    for (size_t i = 0; i < target.Frames() && i < send.Frames(); ++i) {
        const float input = send.L[i] + send.R[i];
        target.L[i] += float(wet) * 3.0f * left.Process(input, feedback, damp);
        target.R[i] += float(wet) * 3.0f * right.Process(input, feedback, damp);
    }
}

void Reverb(TMono& buffer, double roomSize, double damping, double wet, int rate) {
    TReverbChannel channel(rate, 0);
    const float feedback = float(roomSize * 0.28 + 0.7);
    const float damp = float(damping * 0.4);
    for (float& sample : buffer)
        sample += float(wet) * 3.0f * channel.Process(2.0f * sample, feedback, damp);
}

namespace {

void RemoveDc(TMono& buffer, int rate) {
    const double r = 1.0 - 2.0 * Pi * 20.0 / rate;
    double x1 = 0.0, y1 = 0.0;
    for (float& sample : buffer) {
        const double y = sample - x1 + r * y1;
        x1 = sample;
        y1 = y;
        sample = float(y);
    }
}

float Peak(const TMono& buffer) {
    float peak = 0.0f;
    for (float sample : buffer)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

void Scale(TMono& buffer, float gain) {
    for (float& sample : buffer)
        sample *= gain;
}

} // namespace

void Finish(TMono& buffer, float peak, int rate) {
    RemoveDc(buffer, rate);
    const float current = Peak(buffer);
    if (current > 0.0f)
        Scale(buffer, peak / current);
}

void Finish(TStereo& buffer, float peak, int rate) {
    RemoveDc(buffer.L, rate);
    RemoveDc(buffer.R, rate);
    const float current = std::max(Peak(buffer.L), Peak(buffer.R));
    if (current > 0.0f) {
        Scale(buffer.L, peak / current);
        Scale(buffer.R, peak / current);
    }
}

void FadeEdges(TMono& buffer, double fadeIn, double fadeOut, int rate) {
    const size_t in = std::min(Samples(fadeIn, rate), buffer.size());
    const size_t out = std::min(Samples(fadeOut, rate), buffer.size());
    for (size_t i = 0; i < in; ++i)
        buffer[i] *= float(i) / float(in);
    for (size_t i = 0; i < out; ++i)
        buffer[buffer.size() - 1 - i] *= float(i) / float(out);
}

void FadeEdges(TStereo& buffer, double fadeIn, double fadeOut, int rate) {
    FadeEdges(buffer.L, fadeIn, fadeOut, rate);
    FadeEdges(buffer.R, fadeIn, fadeOut, rate);
}

void MixInto(TStereo& target, const TMono& source, size_t offset, float gain, float pan) {
    // Constant-power pan: -1 left, 0 centre, 1 right.
    const double angle = (pan + 1.0) * Pi / 4.0;
    const float gainL = gain * float(std::cos(angle));
    const float gainR = gain * float(std::sin(angle));
    for (size_t i = 0; i < source.size() && offset + i < target.Frames(); ++i) {
        target.L[offset + i] += gainL * source[i];
        target.R[offset + i] += gainR * source[i];
    }
}

void MixInto(TStereo& target, const TStereo& source, size_t offset, float gain) {
    for (size_t i = 0; i < source.Frames() && offset + i < target.Frames(); ++i) {
        target.L[offset + i] += gain * source.L[i];
        target.R[offset + i] += gain * source.R[i];
    }
}

void MixInto(TMono& target, const TMono& source, size_t offset, float gain) {
    for (size_t i = 0; i < source.size() && offset + i < target.size(); ++i)
        target[offset + i] += gain * source[i];
}

TAnalysis Analyse(const TMono& buffer, int rate) {
    TAnalysis a;
    a.Seconds = double(buffer.size()) / rate;
    if (buffer.empty())
        return a;
    const double lowCoeff = 1.0 - std::exp(-2.0 * Pi * 300.0 / rate);
    const double highCoeff = 1.0 - std::exp(-2.0 * Pi * 3000.0 / rate);
    double low = 0.0, belowHigh = 0.0;
    double sum = 0.0, energy = 0.0, lowEnergy = 0.0, highEnergy = 0.0, peak = 0.0;
    for (float sample : buffer) {
        sum += sample;
        energy += double(sample) * sample;
        peak = std::max(peak, double(std::abs(sample)));
        if (std::abs(sample) >= 0.999f)
            ++a.Clipped;
        low += lowCoeff * (sample - low);
        belowHigh += highCoeff * (sample - belowHigh);
        lowEnergy += low * low;
        const double high = sample - belowHigh;
        highEnergy += high * high;
    }
    const double n = double(buffer.size());
    a.Dc = sum / n;
    a.PeakDb = 20.0 * std::log10(std::max(peak, 1e-6));
    a.RmsDb = 10.0 * std::log10(std::max(energy / n, 1e-12));
    a.LowShare = energy > 0 ? lowEnergy / energy : 0;
    a.HighShare = energy > 0 ? highEnergy / energy : 0;
    return a;
}

TAnalysis Analyse(const TStereo& buffer, int rate) {
    TAnalysis left = Analyse(buffer.L, rate);
    const TAnalysis right = Analyse(buffer.R, rate);
    left.PeakDb = std::max(left.PeakDb, right.PeakDb);
    left.RmsDb =
        10.0 * std::log10((std::pow(10.0, left.RmsDb / 10) + std::pow(10.0, right.RmsDb / 10)) / 2);
    left.Dc = std::abs(left.Dc) > std::abs(right.Dc) ? left.Dc : right.Dc;
    left.Clipped += right.Clipped;
    left.LowShare = (left.LowShare + right.LowShare) / 2;
    left.HighShare = (left.HighShare + right.HighShare) / 2;
    return left;
}

QString Describe(const TAnalysis& a) {
    return QStringLiteral(
               "%1 s, peak %2 dBFS, rms %3 dBFS, dc %4, clipped %5, <300 Hz %6%, >3 kHz %7%")
        .arg(a.Seconds, 0, 'f', 2)
        .arg(a.PeakDb, 0, 'f', 1)
        .arg(a.RmsDb, 0, 'f', 1)
        .arg(a.Dc, 0, 'f', 5)
        .arg(a.Clipped)
        .arg(a.LowShare * 100, 0, 'f', 0)
        .arg(a.HighShare * 100, 0, 'f', 0);
}

namespace {

void PutLe32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void PutLe16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

bool WriteFrames(const QString& path, const std::vector<const TMono*>& channels, int rate) {
    const size_t frames = channels.front()->size();
    const quint16 count = quint16(channels.size());
    const quint32 dataBytes = quint32(frames * count * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF");
    PutLe32(out, 36 + dataBytes);
    out.append("WAVEfmt ");
    PutLe32(out, 16);
    PutLe16(out, 1); // PCM
    PutLe16(out, count);
    PutLe32(out, quint32(rate));
    PutLe32(out, quint32(rate) * count * 2);
    PutLe16(out, quint16(count * 2));
    PutLe16(out, 16);
    out.append("data");
    PutLe32(out, dataBytes);
    for (size_t i = 0; i < frames; ++i) {
        for (const TMono* channel : channels) {
            const float clamped = std::clamp((*channel)[i], -1.0f, 1.0f);
            PutLe16(out, quint16(qint16(std::lround(clamped * 32767.0f))));
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(out) == out.size();
}

} // namespace

bool WriteWave(const QString& path, const TMono& buffer, int rate) {
    return WriteFrames(path, {&buffer}, rate);
}

bool WriteWave(const QString& path, const TStereo& buffer, int rate) {
    return WriteFrames(path, {&buffer.L, &buffer.R}, rate);
}

bool ReadWave(const QString& path, TStereo& buffer, int& rate) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return false;
    int channels = 0, bits = 0;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(pos, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + pos + 4);
        const qsizetype body = pos + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            channels = qFromLittleEndian<quint16>(bytes.constData() + body + 2);
            rate = int(qFromLittleEndian<quint32>(bytes.constData() + body + 4));
            bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
        } else if (id == "data" && bits == 16 && (channels == 1 || channels == 2)) {
            const qsizetype available = std::min<qsizetype>(size, bytes.size() - body);
            const size_t frames = size_t(available / (2 * channels));
            buffer = TStereo(frames);
            const char* data = bytes.constData() + body;
            for (size_t i = 0; i < frames; ++i) {
                const float l = qFromLittleEndian<qint16>(data + 2 * channels * i) / 32768.0f;
                const float r =
                    channels == 2
                        ? qFromLittleEndian<qint16>(data + 2 * channels * i + 2) / 32768.0f
                        : l;
                buffer.L[i] = l;
                buffer.R[i] = r;
            }
            return true;
        }
        pos = body + size + (size & 1);
    }
    return false;
}

} // namespace synth
