// Writes the seed corpora of the fuzz targets: small real files of every
// layout the unit tests build, each a file of its own.
//
//   make_fuzz_seeds FOLDER   -> FOLDER/wave_reader, FOLDER/aiff_reader, FOLDER/setup_reader,
//                               FOLDER/outside_names
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/sound_bank.h"
#include "flows/start_up.h"
#include "keys/key_banks.h"
#include "setup/document.h"
#include "setup/setup_file.h"
#include "support/aiff_bytes.h"
#include "support/program_state.h"
#include "support/setup_file_bytes.h"
#include "support/wave_bytes.h"

using namespace wavetest;
namespace fs = std::filesystem;

namespace {

bool writeSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    std::FILE* file = std::fopen((folder / name).string().c_str(), "wb");
    if (!file) return false;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

Bytes withExtra(uint16_t formatTag, const Bytes& extra) {
    Bytes body = formatFields(2, 44100, 16, formatTag);
    appendLe16(body, static_cast<uint16_t>(extra.size()));
    body.insert(body.end(), extra.begin(), extra.end());
    return chunk("fmt ", body);
}

std::vector<std::pair<std::string, Bytes>> waveSeeds() {
    Bytes extensible(22, 0);
    extensible[0] = 16;  // valid bits
    extensible[6] = 1;   // sub-format PCM
    return {
        {"pcm16_mono", simpleWave(countingBytes(64))},
        {"pcm8_stereo", riffWave(concat({pcmFormatChunk(2, 11025, 8), chunk("data", countingBytes(33))}))},
        {"pcm24", riffWave(concat({pcmFormatChunk(2, 48000, 24), chunk("data", countingBytes(48))}))},
        {"float32", riffWave(concat({chunk("fmt ", formatFields(1, 44100, 32, 3)), chunk("data", countingBytes(16))}))},
        {"extensible", riffWave(concat({withExtra(0xFFFE, extensible), chunk("data", countingBytes(40))}))},
        {"adpcm_extra", riffWave(concat({withExtra(0x11, {0xF9, 0x01}), chunk("data", countingBytes(20))}))},
        {"list_before_fmt",
         riffWave(concat({chunk("LIST", countingBytes(9)), pcmFormatChunk(), chunk("data", countingBytes(12))}))},
        {"data_announces_more", riffWave(concat({pcmFormatChunk(), chunk("data", countingBytes(10), 1 << 30)}))},
        {"riff_announces_less", riffWave(concat({pcmFormatChunk(), chunk("data", countingBytes(10))}), 12)},
        {"no_data", riffWave(pcmFormatChunk())},
        {"fmt_too_short", riffWave(concat({chunk("fmt ", countingBytes(14)), chunk("data", countingBytes(4))}))},
        {"empty", {}},
    };
}

std::vector<std::pair<std::string, Bytes>> aiffSeeds() {
    namespace aiff = aifftest;
    Bytes sixteen = aiff::bigEndianSamples({1, -1, 300, -300, 32767, -32768}, 2);
    Bytes doubles;
    for (double value : {0.5, -0.125, 1e300}) aiff::appendBe64(doubles, aiff::doubleBits(value));
    auto aiffFile = [](const Bytes& common, const Bytes& sound) { return aiff::form("AIFF", concat({common, sound})); };
    auto aifcFile = [](const Bytes& common, const Bytes& sound) { return aiff::form("AIFC", concat({common, sound})); };
    return {
        {"pcm16_stereo", aiffFile(aiff::commonChunk(2, 3, 16), aiff::soundChunk(sixteen))},
        {"aifc_none", aifcFile(aiff::commonChunk(2, 3, 16, 48000, "NONE"), aiff::soundChunk(sixteen))},
        {"sowt16", aifcFile(aiff::commonChunk(1, 6, 16, 22050, "sowt"), aiff::soundChunk(countingBytes(12)))},
        {"pcm24", aiffFile(aiff::commonChunk(2, 2, 24, 96000), aiff::soundChunk(countingBytes(12)))},
        {"pcm8", aiffFile(aiff::commonChunk(1, 5, 8, 11025), aiff::soundChunk(countingBytes(5, 0x7E)))},
        {"pcm12", aiffFile(aiff::commonChunk(1, 6, 12, 8000), aiff::soundChunk(sixteen))},
        {"eight_channels", aiffFile(aiff::commonChunk(8, 2, 32), aiff::soundChunk(countingBytes(64)))},
        {"fl32", aifcFile(aiff::commonChunk(2, 2, 32, 44100, "fl32"), aiff::soundChunk(countingBytes(16)))},
        {"fl64", aifcFile(aiff::commonChunk(1, 3, 64, 44100, "FL64"), aiff::soundChunk(doubles))},
        {"sound_first_odd_chunk",
         aiff::form("AIFF", concat({aiff::chunk("NAME", Bytes(5, 'n')), aiff::soundChunk(sixteen, 6),
                                    aiff::commonChunk(2, 3, 16)}))},
        {"form_and_sound_announce_more",
         aiff::form("AIFF", concat({aiff::commonChunk(2, 3, 16), aiff::soundChunk(sixteen, 0, 1 << 30)}), 0xFFFFFFFF)},
        {"frames_past_sound", aiffFile(aiff::commonChunk(2, 300, 16), aiff::soundChunk(sixteen))},
        {"rate_not_whole", aiffFile(aiff::commonChunk(1, 6, 16, 22254.545454545), aiff::soundChunk(sixteen))},
        {"rate_huge", aiffFile(aiff::commonChunk(1, 6, 16, 3e9), aiff::soundChunk(sixteen))},
        {"compressed", aifcFile(aiff::commonChunk(1, 6, 16, 44100, "ima4"), aiff::soundChunk(sixteen))},
        {"no_sound", aiff::form("AIFF", aiff::commonChunk(1, 6, 16))},
        {"no_common", aiff::form("AIFC", aiff::soundChunk(sixteen))},
        {"empty", {}},
    };
}

std::vector<std::pair<std::string, Bytes>> setupSeeds() {
    resetProgramState();
    startInstrument();
    setSoundDirectory("C:\\Sounds\\Drums");
    keyBank.slots[3].fineTune = -80;
    keyBank.slots[3].extraB = 103;
    keyBank.slots[5].triggerMode = ToggleFinishRunning;
    keyBank.slots[7].pan = 250;
    masterVolume = 7;
    Bytes full = composeSetupBytes();
    keyBank.slots[2].chokeGroup = 3;
    keyBank.slots[2].fadeOutMilliseconds = 250;
    keyBank.slots[9].fadeInMilliseconds = 10000;
    keyBank.slots[9].startMilliseconds = 1500;
    keyBank.slots[9].endMilliseconds = 3600000;
    Bytes extended = composeSetupBytes();
    // Banks 2 and 8 in use, bank 2 with a sounding toggle, a pan out of range and properties; then
    // the same banks with bank 1 at the start-up layout, without a KEYP section.
    bankOf(1).slots[4].note = 72;
    bankOf(1).slots[26].triggerMode = ToggleStopRunning;
    bankOf(1).slots[30].pan = 0;
    bankOf(1).slots[30].chokeGroup = 16;
    bankOf(1).slots[31].endMilliseconds = 2000;
    bankOf(7).slots[46].soundIndex = 40;
    Bytes banks = composeSetupBytes();
    giveStartUpLayout(keyBank);
    Bytes banksAlone = composeSetupBytes();
    // Keys of banks 1 and 3 playing files of their own, one beside the setup and one elsewhere.
    std::snprintf(document.setupPath, PathCapacity, "%s", "C:\\Kits\\Live.qpd");
    keyBank.slots[0].ownFile = ownFileNumber("C:\\Kits\\Loops\\beat.mp3");
    keyBank.slots[0].soundIndex = -1;
    bankOf(2).slots[12].ownFile = ownFileNumber("D:\\Samples\\pad.flac");
    bankOf(2).slots[12].soundIndex = -1;
    Bytes ownFiles = composeSetupBytes();
    auto version = [&](const Bytes& file, int number, size_t length) {
        Bytes older(file.begin(), file.begin() + static_cast<long>(length < file.size() ? length : file.size()));
        older[0] = static_cast<uint8_t>(static_cast<uint16_t>(number) >> 8);
        older[1] = static_cast<uint8_t>(number & 0xFF);
        return older;
    };
    Bytes unknown = setupSection("BANK", countingBytes(30));
    Bytes empty = setupSection("FILE", {});
    unknown.insert(unknown.end(), empty.begin(), empty.end());
    return {
        {"v7995", full},
        {"v7095", version(full, 7095, 568)},
        {"v7096", version(full, 7096, 756)},
        {"v7500", version(full, 7500, 944)},
        {"v7596", version(full, 7596, 951)},
        {"v7597", version(full, 7597, 1045)},
        {"v7996_newer", version(full, 7996, full.size())},
        {"v_negative", version(full, -32768, full.size())},
        {"cut", Bytes(full.begin(), full.begin() + 700)},
        {"v8000_properties", extended},
        {"v8000_unknown_sections", withSectionsBeforeEnd(extended, unknown)},
        {"v8000_cut_extension", Bytes(extended.begin(), extended.end() - 300)},
        {"v7999_extension_unread", version(extended, 7999, extended.size())},
        {"v8001_newer", version(extended, 8001, extended.size())},
        {"v8000_banks", banks},
        {"v8000_banks_without_properties", banksAlone},
        {"v8000_bank_cut", Bytes(banks.begin(), banks.end() - 1000)},
        {"v8001_banks_newer", version(banks, 8001, banks.size())},
        {"v8000_own_files", ownFiles},
    };
}

Bytes texts(uint8_t flags, std::initializer_list<const char*> parts) {
    Bytes bytes{flags};
    for (const char* text : parts) {
        appendText(bytes, text);
        bytes.push_back(0);
    }
    return bytes;
}

std::vector<std::pair<std::string, Bytes>> nameSeeds() {
    return {
        {"setup", texts(0, {"C:\\Setups\\Live Set.qpd", "", "C:\\Setups\\Live Set.qpd"})},
        {"upper", texts(0, {"C:\\LIVE.QPD", "", "C:\\Setups\\Live.qpd"})},
        {"mixed_case", texts(0, {"C:\\live.Qpd", "", ""})},
        {"quoted", texts(0, {"\"C:\\Setups\\Live Set.qpd\"", "", ""})},
        {"shortcut", texts(1, {"C:\\Desktop\\live.lnk", "C:\\SETUPS~1\\LIVESE~1.QPD", "C:\\Setups\\Live Set.qpd"})},
        {"shortcut_to_wave", texts(0, {"C:\\Desktop\\kick.LNK", "C:\\SOUNDS\\KICK.WAV", "C:\\Sounds\\kick.wav"})},
        {"modified_save", texts(3, {"C:\\a.qpd", "", "C:\\a.qpd"})},
        {"too_long", texts(0, {(std::string(300, 'x') + ".qpd").c_str(), "", ""})},
    };
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
        return 2;
    }
    fs::path root = argv[1];
    struct Corpus {
        const char* name;
        std::vector<std::pair<std::string, Bytes>> seeds;
    };
    for (const Corpus& corpus : {Corpus{"wave_reader", waveSeeds()}, Corpus{"aiff_reader", aiffSeeds()},
                                 Corpus{"setup_reader", setupSeeds()}, Corpus{"outside_names", nameSeeds()}}) {
        for (const auto& [name, bytes] : corpus.seeds) {
            if (!writeSeed(root / corpus.name, name, bytes)) {
                std::fprintf(stderr, "cannot write %s/%s\n", corpus.name, name.c_str());
                return 1;
            }
        }
    }
    return 0;
}
