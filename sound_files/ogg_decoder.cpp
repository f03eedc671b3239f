#include "sound_files/ogg_decoder.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "sound_files/decoded_frames.h"
#include "sound_files/sample_format.h"
#include "sound_files/whole_file.h"

// stb_vorbis is compiled into this file and no other; its include directory
// is a system one, so its own code's warnings are not ours. Reading memory
// only, in floats.
#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#define STB_VORBIS_NO_INTEGER_CONVERSION
#include <stb_vorbis.h>

namespace {

constexpr size_t CommentHeaderBytes = 7;  // the packet type and "vorbis"
// The arena holds the comments with room to spare: stb_vorbis keeps each
// comment and a pointer to it, every allocation rounded up to 8 bytes.
constexpr size_t ArenaBytesPerCommentByte = 8;

// stb_vorbis tells the memory it needs only once it has it: the arena grows
// from a size that fits every usual file to one no real file needs.
constexpr size_t FirstArenaBytes = 256 * 1024;
constexpr size_t LargestArenaBytes = 16 * 1024 * 1024;

struct VorbisClose {
    void operator()(stb_vorbis* vorbis) const { stb_vorbis_close(vorbis); }
};
using OpenVorbis = std::unique_ptr<stb_vorbis, VorbisClose>;

constexpr size_t PageHeaderBytes = 27;  // to the segment count
constexpr uint8_t LastPageFlag = 0x04;

bool isOggPage(const uint8_t* bytes, size_t size) { return size >= 4 && std::memcmp(bytes, "OggS", 4) == 0; }

// The bytes of the page at `at`, or 0 when the file ends inside it.
size_t wholePageBytes(const uint8_t* bytes, size_t size, size_t at) {
    if (size - at < PageHeaderBytes) return 0;
    size_t segments = bytes[at + PageHeaderBytes - 1];
    if (size - at < PageHeaderBytes + segments) return 0;
    size_t length = PageHeaderBytes + segments;
    for (size_t i = 0; i < segments; ++i) length += bytes[at + PageHeaderBytes + i];
    return length <= size - at ? length : 0;
}

uint32_t readLe32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

// The stream's second packet, the comment header, gathered from the pages
// from the start. False when the file ends before it does.
bool commentPacket(const uint8_t* bytes, size_t size, std::vector<uint8_t>& packet) {
    int packetsEnded = 0;
    for (size_t at = 0; at < size;) {
        size_t pageBytes = isOggPage(bytes + at, size - at) ? wholePageBytes(bytes, size, at) : 0;
        if (pageBytes == 0) return false;
        size_t segments = bytes[at + PageHeaderBytes - 1];
        const uint8_t* data = bytes + at + PageHeaderBytes + segments;
        for (size_t i = 0; i < segments; ++i) {
            size_t length = bytes[at + PageHeaderBytes + i];
            if (packetsEnded == 1) packet.insert(packet.end(), data, data + length);
            data += length;
            if (length < 255 && ++packetsEnded == 2) return true;
        }
        at += pageBytes;
    }
    return false;
}

// stb_vorbis 1.22 trusts the comment header's lengths: a comment count it
// has no memory for leaves it freeing through a null list (a crash the
// fuzzer found), and a vendor length of 2^32 - 1 writes before its buffer.
// Every length must lie inside the packet, so each allocation is bounded by
// the packet's size; the bytes the arena must at least have are returned.
bool commentsFit(const std::vector<uint8_t>& packet, size_t& arenaBytes) {
    if (packet.size() < CommentHeaderBytes || packet[0] != 3 || std::memcmp(packet.data() + 1, "vorbis", 6) != 0)
        return false;
    size_t at = CommentHeaderBytes;
    auto lengthFits = [&](size_t& length) {
        if (packet.size() - at < 4) return false;
        length = readLe32(packet.data() + at);
        at += 4;
        return length <= packet.size() - at;
    };
    size_t vendorBytes = 0;
    if (!lengthFits(vendorBytes)) return false;
    at += vendorBytes;
    size_t comments = 0;
    if (!lengthFits(comments) || comments > (packet.size() - at) / 4) return false;
    for (size_t i = 0; i < comments; ++i) {
        size_t commentBytes = 0;
        if (!lengthFits(commentBytes)) return false;
        at += commentBytes;
    }
    arenaBytes = FirstArenaBytes + ArenaBytesPerCommentByte * packet.size();
    return true;
}

// stb_vorbis plays a file cut short as far as it goes, and says nothing: the
// last whole page of a file must end the stream, or the file was cut (as the
// WAV and AIFF readers refuse a sound the file does not hold in full).
bool endsWithLastPage(const uint8_t* bytes, size_t size) {
    for (size_t at = size - 4 + 1; at-- > 0;) {
        if (!isOggPage(bytes + at, size - at)) continue;
        if (wholePageBytes(bytes, size, at) != 0) return (bytes[at + 5] & LastPageFlag) != 0;
    }
    return false;
}

// A stream that is not Vorbis, or not Ogg, is no sound of this kind; any
// other failure of the headers is a damaged file.
WaveResult openFailure(int error) {
    switch (error) {
    case VORBIS_missing_capture_pattern:
    case VORBIS_invalid_first_page:
    case VORBIS_bad_packet_type:
    case VORBIS_ogg_skeleton_not_supported:
    case VORBIS_invalid_stream_structure_version:
        return WaveErrorNotWave;
    default:
        return WaveErrorCorrupt;
    }
}

WaveResult openVorbis(const uint8_t* bytes, size_t size, std::vector<char>& arena, OpenVorbis& vorbis) {
    std::vector<uint8_t> comments;
    size_t leastArenaBytes = 0;
    if (!commentPacket(bytes, size, comments) || !commentsFit(comments, leastArenaBytes)) return WaveErrorCorrupt;
    size_t largest = leastArenaBytes > LargestArenaBytes ? leastArenaBytes : LargestArenaBytes;
    if (largest > INT_MAX) return WaveErrorCorrupt;
    for (size_t arenaBytes = leastArenaBytes; arenaBytes <= largest; arenaBytes *= 4) {
        try {
            arena.resize(arenaBytes);
        } catch (const std::bad_alloc&) {
            return WaveErrorNoMemory;
        }
        stb_vorbis_alloc area{arena.data(), static_cast<int>(arena.size())};
        int error = VORBIS__no_error;
        vorbis.reset(stb_vorbis_open_memory(bytes, static_cast<int>(size), &error, &area));
        if (vorbis) return 0;
        if (error != VORBIS_outofmem) return openFailure(error);
    }
    return WaveErrorCorrupt;
}

// stb_vorbis 1.22 decodes a mapping of more than one submap wrongly: the 5.1
// files of the reference encoder, which gives the low-frequency channel a
// submap of its own, come out with the centre 4 dB low and heard in that
// channel. Such a stream is refused rather than played wrong.
bool hasOneSubmapEach(const stb_vorbis* vorbis) {
    for (int i = 0; i < vorbis->mapping_count; ++i)
        if (vorbis->mapping[i].submaps != 1) return false;
    return true;
}

// Packets until the stream ends. stb_vorbis gives no frames both at the end
// and on a damaged packet; only the error left behind tells them apart.
WaveResult decodePackets(stb_vorbis* vorbis, const FrameMix& mix, DecodedSound& sound) {
    for (;;) {
        int channels = 0;
        float** output = nullptr;
        int frames = stb_vorbis_get_frame_float(vorbis, &channels, &output);
        if (frames <= 0) break;
        if (channels != mix.channels) return WaveErrorCorrupt;
        if (WaveResult result = appendDecodedFrames(mix, output, 1, static_cast<size_t>(frames), sound)) return result;
    }
    return stb_vorbis_get_error(vorbis) == VORBIS__no_error ? 0 : WaveErrorCorrupt;
}

WaveResult decode(const uint8_t* bytes, size_t size, DecodedSound& sound) {
    if (!isOggPage(bytes, size)) return WaveErrorNotWave;
    if (size > INT_MAX) return DecoderErrorTooLong;
    if (!endsWithLastPage(bytes, size)) return WaveErrorCorrupt;
    std::vector<char> arena;
    OpenVorbis vorbis;
    if (WaveResult result = openVorbis(bytes, size, arena, vorbis)) return result;
    if (!hasOneSubmapEach(vorbis.get())) return DecoderErrorRefused;
    stb_vorbis_info info = stb_vorbis_get_info(vorbis.get());
    if (info.channels < 1 || info.sample_rate < LowestRate || info.sample_rate > HighestRate) return WaveErrorNotWave;
    FrameMix mix = vorbisFrameMix(static_cast<uint16_t>(info.channels));
    startDecodedSound(info.sample_rate, mix, SampleEncoding::Signed16, sound);
    return decodePackets(vorbis.get(), mix, sound);
}

}  // namespace

WaveResult decodeOggBytes(const uint8_t* bytes, size_t size, DecodedSound& sound) {
    sound = DecodedSound();
    WaveResult result = decode(bytes, size, sound);
    if (result != 0) sound = DecodedSound();
    return result;
}

WaveResult decodeOggFile(const char* path, DecodedSound& sound) {
    sound = DecodedSound();
    std::vector<uint8_t> bytes;
    if (WaveResult result = readWholeFile(path, uint64_t{INT_MAX} + 1, bytes)) return result;
    return decodeOggBytes(bytes.data(), bytes.size(), sound);
}
