// The LAME tag of an MP3: where its first frame is a Xing or Info frame with
// LAME's extension, the encoder's delay and padding, which a decoder removes
// so that the sound holds exactly the samples that were encoded.
#pragma once
#include <cstddef>
#include <cstdint>

struct Mp3Gapless {
    uint32_t encoderDelay = 0;     // samples the encoder put before the sound
    uint32_t padding = 0;          // samples it put after, to fill the last frame
    uint32_t frameCount = 0;       // audio frames after the tag's own, 0 when the tag does not say
    uint32_t samplesPerFrame = 0;  // 1152, or 576 for MPEG-2 and 2.5
    uint32_t rate = 0;
};

// The bytes an ID3v2 tag at the start takes (header, footer and all), 0 for
// none; needs the first 10 bytes.
size_t id3TagBytes(const uint8_t* bytes, size_t size);
// Reads the frame at the start of bytes (the file after its ID3v2 tag).
// False when it is no MPEG layer III frame with a Xing or Info tag and a LAME
// extension.
bool readMp3Gapless(const uint8_t* bytes, size_t size, Mp3Gapless& gapless);

// The samples a layer III decoder's filter bank puts before the first frame's
// own (and that the encoder's padding accounts for at the end).
constexpr uint32_t Mp3DecoderDelay = 529;
// The bytes from a file's start that readMp3Gapless needs: its first frame,
// as long as any layer III frame.
constexpr size_t Mp3FirstFrameBytes = 4096;

// Which of a decoder's frames are the encoder's samples, judged by how many it
// gave: exactly those already (a decoder that honours the tag, as Media
// Foundation does through GStreamer): false, nothing to trim; every frame the
// tag counts, or those and the tag's own frame as silence: the delay and the
// decoder's delay are trimmed from the start and the rest of the padding from
// the end. False too for any other count, or a tag that does not count its
// frames: nothing is trimmed that is not known to be there.
bool encodedFrames(const Mp3Gapless& gapless, uint64_t decodedFrames, uint64_t& first, uint64_t& count);
