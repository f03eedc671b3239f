// Writes 16-bit PCM WAV files: a plain sine tone for the end-to-end tests,
// and the demo set of sounds that every key of the start-up layout plays.
//
//   make_sounds sine <file> <frequency Hz> <sample rate> <seconds> [channels] [amplitude 0..1]
//   make_sounds demo <folder>      (made when missing)
//
// Every demo sound is mono at 44100 Hz, the rate a key plays at note 60, so
// the pitched sounds are in tune there. Lengths are whole eighth notes at
// 120 beats per minute: toggled loops of different sounds stay in step.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr int DemoRate = 44100;
constexpr double Beat = 0.5;  // seconds per beat at 120 beats per minute

using Samples = std::vector<double>;  // interleaved frames, -1..1

// ---- WAV output -------------------------------------------------------------

void putLe(std::FILE* file, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((value >> (8 * i)) & 0xFF), file);
}

bool writeWave(const std::string& path, const Samples& samples, uint32_t rate, uint16_t channels) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
    std::fputs("RIFF", file);
    putLe(file, 36 + dataBytes, 4);
    std::fputs("WAVEfmt ", file);
    putLe(file, 16, 4);
    putLe(file, 1, 2);  // PCM
    putLe(file, channels, 2);
    putLe(file, rate, 4);
    putLe(file, rate * blockAlign, 4);
    putLe(file, blockAlign, 2);
    putLe(file, 16, 2);
    std::fputs("data", file);
    putLe(file, dataBytes, 4);
    for (double sample : samples) {
        double clipped = sample > 1 ? 1 : (sample < -1 ? -1 : sample);
        putLe(file, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32767))), 2);
    }
    bool written = !std::ferror(file);
    return std::fclose(file) == 0 && written;
}

// ---- Building blocks --------------------------------------------------------

// Repeatable noise, so the demo files are the same on every build.
class Noise {
public:
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }

private:
    uint32_t state = 2463534242u;
};

// One-pole low-pass; a high-pass is the input minus it.
class LowPass {
public:
    explicit LowPass(double cutoffHz) : amount(1 - std::exp(-2 * Pi * cutoffHz / DemoRate)) {}
    double operator()(double input) { return value += amount * (input - value); }

private:
    double amount;
    double value = 0;
};

double frequencyOfNote(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

Samples render(double seconds, const std::function<double(double t, int i)>& voice) {
    Samples samples(static_cast<size_t>(std::lround(seconds * DemoRate)));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = voice(static_cast<double>(i) / DemoRate, static_cast<int>(i));
    return samples;
}

// Scales to the given peak and fades the last few milliseconds to silence,
// so a sound that ends never ends with a click.
Samples finished(Samples samples, double peak, bool fadeOut = true) {
    double loudest = 0;
    for (double s : samples) loudest = std::fmax(loudest, std::fabs(s));
    double gain = loudest > 0 ? peak / loudest : 0;
    size_t fade = fadeOut ? std::min<size_t>(samples.size(), DemoRate / 200) : 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        size_t left = samples.size() - i;
        double tail = left <= fade ? static_cast<double>(left - 1) / fade : 1.0;
        samples[i] *= gain * tail;
    }
    return samples;
}

double attack(double t, double seconds) { return t < seconds ? t / seconds : 1.0; }

// A sine whose frequency falls exponentially from start to end: drum bodies.
class Sweep {
public:
    Sweep(double startHz, double endHz, double fallSeconds) : start(startHz), end(endHz), fall(fallSeconds) {}
    double operator()(double t) {
        double hz = end + (start - end) * std::exp(-t / fall);
        phase += 2 * Pi * hz / DemoRate;
        return std::sin(phase);
    }

private:
    double start, end, fall, phase = 0;
};

// Additive tone: harmonic n at amplitude weights[n-1], higher ones dying sooner.
double harmonics(double hz, double t, const std::vector<double>& weights, double decaySeconds = 0) {
    double sum = 0;
    for (size_t n = 1; n <= weights.size(); ++n) {
        double level = weights[n - 1];
        if (decaySeconds > 0) level *= std::exp(-t * n / decaySeconds);
        sum += level * std::sin(2 * Pi * hz * n * t);
    }
    return sum;
}

// ---- The demo sounds --------------------------------------------------------

// Sound 0, the number row (notes 48..60): a soft organ pad on A3 (220 Hz at
// note 60). Two seconds hold whole cycles of every partial, of the 0.5 Hz
// beat between the two detuned layers and of the slow swell, so the loop a
// held key plays has no seam.
Samples warmPad() {
    const std::vector<double> weights = {1, 0.45, 0.3, 0.15, 0.1, 0.05};
    return finished(render(2 * 2 * Beat,
                           [&](double t, int) {
                               double swell = 0.8 - 0.2 * std::cos(2 * Pi * 0.5 * t);
                               return swell * (harmonics(220.0, t, weights) + 0.6 * harmonics(220.5, t, weights));
                           }),
                    0.45, false);
}

// Sound 1, the Q row (notes 60..72): an electric piano on A4 (440 Hz at
// note 60) with a soft attack and a decay, so a released key finishes softly.
Samples electricPiano() {
    return finished(render(3 * Beat,
                           [](double t, int) {
                               double body = harmonics(440.0, t, {1, 0.35, 0.12, 0.05}, 0.9);
                               double tine = 0.25 * std::exp(-t / 0.05) * std::sin(2 * Pi * 440.0 * 7.1 * t);
                               return attack(t, 0.004) * std::exp(-t / 0.8) * (body + tine);
                           }),
                    0.5);
}

Samples kick() {
    Sweep body(160, 48, 0.04);
    return finished(render(Beat,
                           [&](double t, int) {
                               double click = t < 0.003 ? 0.4 * (1 - t / 0.003) : 0;
                               return std::exp(-t / 0.18) * body(t) + click;
                           }),
                    0.8);
}

Samples snare() {
    Noise noise;
    LowPass dull(1800);
    Sweep body(240, 180, 0.02);
    return finished(render(2 * Beat,
                           [&](double t, int) {
                               double n = noise.next();
                               double bright = n - dull(n);
                               return 0.6 * std::exp(-t / 0.05) * body(t) + std::exp(-t / 0.12) * bright;
                           }),
                    0.7);
}

Samples hiHat(double length, double decaySeconds, double peak) {
    Noise noise;
    LowPass dull(7000);
    return finished(render(length,
                           [&](double t, int) {
                               double n = noise.next();
                               return std::exp(-t / decaySeconds) * (n - dull(n));
                           }),
                    peak);
}

Samples clap() {
    Noise noise;
    LowPass low(2500);
    LowPass lower(900);
    return finished(render(2 * Beat,
                           [&](double t, int) {
                               double n = noise.next();
                               double band = low(n) - lower(n);
                               // Three quick slaps, then the room.
                               double slaps = 0;
                               for (double start : {0.0, 0.011, 0.022})
                                   if (t >= start) slaps += std::exp(-(t - start) / 0.006);
                               return band * (slaps + 0.6 * std::exp(-t / 0.15) * attack(t, 0.03));
                           }),
                    0.7);
}

Samples tom(double startHz, double endHz) {
    Sweep body(startHz, endHz, 0.08);
    Noise noise;
    return finished(
        render(Beat, [&](double t,
                         int) { return std::exp(-t / 0.22) * body(t) + 0.15 * std::exp(-t / 0.01) * noise.next(); }),
        0.7);
}

Samples rimShot() {
    Noise noise;
    return finished(render(Beat,
                           [&](double t, int) {
                               return std::exp(-t / 0.012) * (std::sin(2 * Pi * 1700 * t) +
                                                              0.5 * std::sin(2 * Pi * 520 * t) + 0.4 * noise.next());
                           }),
                    0.6);
}

Samples cowbell() {
    LowPass mellow(3000);
    return finished(render(Beat,
                           [&](double t, int) {
                               double square = (std::sin(2 * Pi * 540 * t) > 0 ? 1 : -1) +
                                               (std::sin(2 * Pi * 800 * t) > 0 ? 1 : -1);
                               return (0.3 * std::exp(-t / 0.01) + std::exp(-t / 0.12)) * mellow(square);
                           }),
                    0.5);
}

Samples shaker() {
    Noise noise;
    LowPass dull(5000);
    return finished(render(Beat / 2,
                           [&](double t, int) {
                               double n = noise.next();
                               return attack(t, 0.03) * std::exp(-t / 0.05) * (n - dull(n));
                           }),
                    0.4);
}

Samples crash() {
    Noise noise;
    LowPass dull(4000);
    return finished(render(4 * Beat,
                           [&](double t, int) {
                               double n = noise.next();
                               double metal = std::sin(2 * Pi * 3200 * t) * std::sin(2 * Pi * 4700 * t);
                               return std::exp(-t / 0.6) * ((n - dull(n)) + 0.2 * metal);
                           }),
                    0.55);
}

// A plucked synth bass note with a soft filter sweep.
Samples bass(int midiNote) {
    double hz = frequencyOfNote(midiNote);
    return finished(render(Beat,
                           [=](double t, int) {
                               double tone = harmonics(hz, t, {1, 0.6, 0.35, 0.2, 0.12, 0.07}, 0.25);
                               return attack(t, 0.005) * std::exp(-t / 0.35) * tone;
                           }),
                    0.7);
}

// A whole-note chord: three notes with a slow attack and a long release.
Samples chord(std::vector<int> midiNotes) {
    return finished(render(4 * Beat,
                           [=](double t, int) {
                               double sum = 0;
                               for (int note : midiNotes)
                                   sum += harmonics(frequencyOfNote(note), t, {1, 0.3, 0.15, 0.06}, 3.0);
                               return attack(t, 0.04) * std::exp(-t / 1.2) * sum;
                           }),
                    0.5);
}

// A plucked string (Karplus-Strong): a noise burst in a damped delay line.
Samples pluck(int midiNote) {
    Noise noise;
    std::vector<double> line(static_cast<size_t>(std::lround(DemoRate / frequencyOfNote(midiNote))));
    for (double& value : line) value = noise.next();
    size_t at = 0;
    return finished(render(2 * Beat,
                           [&](double, int) {
                               size_t next = (at + 1) % line.size();
                               double out = line[at];
                               line[at] = 0.996 * 0.5 * (line[at] + line[next]);
                               at = next;
                               return out;
                           }),
                    0.6);
}

struct DemoSound {
    const char* name;
    std::function<Samples()> make;
};

// Named so that the sound list sorts the two pitched sounds first (the number
// row and the Q row play sounds 1 and 2), then basses and chords for the A row
// and drums for the Z row.
std::vector<DemoSound> demoSounds() {
    return {
        {"Air Pad.wav", warmPad},
        {"Amber Keys.wav", electricPiano},
        {"Kick.wav", kick},
        {"Snare.wav", snare},
        {"Hat Closed.wav", [] { return hiHat(Beat / 2, 0.04, 0.45); }},
        {"Hat Open.wav", [] { return hiHat(Beat, 0.25, 0.45); }},
        {"Clap.wav", clap},
        {"Tom Low.wav", [] { return tom(130, 85); }},
        {"Tom Mid.wav", [] { return tom(180, 120); }},
        {"Tom High.wav", [] { return tom(250, 170); }},
        {"Rim Shot.wav", rimShot},
        {"Cowbell.wav", cowbell},
        {"Shaker.wav", shaker},
        {"Crash.wav", crash},
        {"Bass A.wav", [] { return bass(33); }},
        {"Bass C.wav", [] { return bass(36); }},
        {"Bass D.wav", [] { return bass(38); }},
        {"Bass E.wav", [] { return bass(40); }},
        {"Chord Am.wav",
         [] {
             return chord({57, 60, 64});
         }},
        {"Chord F.wav",
         [] {
             return chord({53, 57, 60});
         }},
        {"Chord C.wav",
         [] {
             return chord({60, 64, 67});
         }},
        {"Chord G.wav",
         [] {
             return chord({55, 59, 62});
         }},
        {"Pluck E.wav", [] { return pluck(64); }},
    };
}

int writeDemo(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);  // a failure shows at the first write
    for (const DemoSound& sound : demoSounds()) {
        std::string path = folder + "/" + sound.name;
        if (!writeWave(path, sound.make(), DemoRate, 1)) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

// ---- Command line -----------------------------------------------------------

bool parseNumber(const char* text, double low, double high, double* value) {
    char* end = nullptr;
    *value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(*value) && *value >= low && *value <= high;
}

int writeSine(int argc, char** argv) {
    double hz, rate, seconds, channels = 1, amplitude = 0.5;
    bool valid = argc >= 6 && argc <= 8 && parseNumber(argv[3], 0, 1e6, &hz) && parseNumber(argv[4], 1, 1e6, &rate) &&
                 parseNumber(argv[5], 0, 3600, &seconds) && (argc < 7 || parseNumber(argv[6], 1, 16, &channels)) &&
                 (argc < 8 || parseNumber(argv[7], 0, 1, &amplitude));
    if (!valid || rate != std::floor(rate) || channels != std::floor(channels)) return -1;
    double frames = std::round(rate * seconds);
    if (frames * channels * 2 > 0xFFFFFF00) {
        std::fprintf(stderr, "make_sounds: too long for a WAV file\n");
        return 2;
    }
    Samples samples;
    samples.reserve(static_cast<size_t>(frames * channels));
    for (size_t i = 0; i < static_cast<size_t>(frames); ++i) {
        double value = amplitude * std::sin(2 * Pi * hz * static_cast<double>(i) / rate);
        for (int c = 0; c < static_cast<int>(channels); ++c) samples.push_back(value);
    }
    if (!writeWave(argv[2], samples, static_cast<uint32_t>(rate), static_cast<uint16_t>(channels))) {
        std::fprintf(stderr, "make_sounds: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

void printUsage() {
    std::fprintf(stderr,
                 "usage: make_sounds sine <file> <frequency Hz> <sample rate> <seconds> [channels] [amplitude 0..1]\n"
                 "       make_sounds demo <folder>\n");
}

}  // namespace

int main(int argc, char** argv) {
    std::string command = argc > 1 ? argv[1] : "";
    int result = -1;
    if (command == "sine") result = writeSine(argc, argv);
    else if (command == "demo" && argc == 3) result = writeDemo(argv[2]);
    if (result < 0) {
        printUsage();
        return 2;
    }
    return result;
}
