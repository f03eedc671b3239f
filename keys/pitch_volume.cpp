#include "keys/pitch_volume.h"

#include <cmath>

int16_t masterVolume = 10;

namespace {

// Deliberately this literal, not the exact twelfth root of two: the rates of
// every stored setup were heard with it.
constexpr double SemitoneRatio = 1.05946309434;
constexpr double FineStepUp = 0.00059465;
constexpr double FineStepDown = 0.00056125;

double rateTable[NoteCount];

}  // namespace

void buildRateTable() {
    rateTable[60] = 44100.0;
    for (int n = 61; n < NoteCount; ++n) rateTable[n] = SemitoneRatio * rateTable[n - 1];
    for (int n = 59; n >= 0; --n) rateTable[n] = rateTable[n + 1] / SemitoneRatio;
}

double noteRate(int note) {
    // A note outside the table can only come from a setup file: it plays at
    // the nearest note the table has rather than reading past it.
    if (note < 0) note = 0;
    if (note >= NoteCount) note = NoteCount - 1;
    return rateTable[note];
}

double keyRate(int note, int fineTune) {
    double table = noteRate(note);
    if (fineTune == 0) return table;
    double step = fineTune > 0 ? FineStepUp : FineStepDown;
    double d = std::trunc((fineTune * step + 1.0) * table);
    return d < 0 ? 0.0 : d;
}

uint32_t keyFrequency(int note, int fineTune) { return static_cast<uint32_t>(keyRate(note, fineTune)); }

int volumeLevel(int volume) {
    // The power term has no real value below 0, and a negative master volume
    // would take the square root of a negative number: both are silence.
    if (volume < 0) return SilentLevel;
    int capped = volume > 100 ? 100 : volume;
    double a = capped * 0.7;
    double b = std::pow(static_cast<double>(volume), 0.567);
    int t1 = static_cast<int>(b + a);
    int t2 = static_cast<int>((t1 * (masterVolume / 10.0)) * 100.0);
    if (t2 <= 0) return SilentLevel;
    int t3 = static_cast<int>(100.0 * std::sqrt(static_cast<double>(t2)));
    return t3 - 10000;
}

int panPosition(int pan) { return (pan - 100) * 100; }

int velocityAttenuation(int velocity) {
    if (velocity >= MaxVelocity) return 0;  // exactly the key's own level, as the computer keyboard plays
    if (velocity < 1) velocity = 1;
    double share = static_cast<double>(velocity) / MaxVelocity;
    double gain = 0.01 + 0.99 * share * share;
    return static_cast<int>(std::lround(2000.0 * std::log10(gain)));
}
