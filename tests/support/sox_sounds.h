// Real sound files of other formats, made by sox (installed by quillpad.sh)
// under the running test's own folder, and what the tests measure of the
// 16-bit PCM or float sounds they decode to.
#pragma once
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sound_files/decoded_sound.h"
#include "sound_files/sample_format.h"
#include "support/temp_files.h"

namespace soxtest {

// Writes folder/name with `sox -n ... name EFFECTS`; empty when sox failed.
inline std::string makeSound(const wavetest::TempFiles& files, const std::string& name, const std::string& layout,
                             const std::string& effects) {
    std::string path = files.folder + "/" + name;
    std::string command = "sox -n " + layout + " '" + path + "' " + effects + " 2>/dev/null";
    return std::system(command.c_str()) == 0 ? path : std::string();
}

inline wavetest::Bytes fileBytes(const std::string& path) {
    wavetest::Bytes bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(file);
    return bytes;
}

// One channel of the sound, -1 .. 1.
inline std::vector<float> channelOf(const DecodedSound& sound, int channel) {
    std::vector<float> values;
    SampleEncoding encoding =
        sound.format.formatTag == WaveFormatFloat ? SampleEncoding::Float32 : SampleEncoding::Signed16;
    size_t sampleBytes = sound.format.bitsPerSample / 8;
    for (size_t at = channel * sampleBytes; at + sampleBytes <= sound.samples.size(); at += sound.format.blockAlign)
        values.push_back(readSample(encoding, sound.samples.data() + at));
    return values;
}

// The tone's frequency, from its rising zero crossings.
inline double pitchOf(const std::vector<float>& values, uint32_t rate) {
    int crossings = 0;
    for (size_t i = 1; i < values.size(); ++i)
        if (values[i - 1] < 0 && values[i] >= 0) ++crossings;
    return values.empty() ? 0 : crossings * static_cast<double>(rate) / static_cast<double>(values.size());
}

inline double levelOf(const std::vector<float>& values) {
    double sum = 0;
    for (float value : values) sum += double{value} * value;
    return values.empty() ? 0 : std::sqrt(sum / static_cast<double>(values.size()));
}

}  // namespace soxtest
