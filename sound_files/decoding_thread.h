// The decoding thread: sounds other than WAV files are decoded whole on a
// thread of their own, so that the program goes on answering while a long
// compressed file is read.
//
// Contract: the program's thread asks and takes; the decoding thread decodes.
// They share only the queue of asked jobs and the list of finished ones,
// under one lock held for no more than a move; the decoding itself runs
// outside it. Each finished job is told once (tellSoundDecoded) after it was
// put on the finished list, so the program's thread never waits.
#pragma once
#include <cstdint>
#include <string>

#include "sound_files/decoded_sound.h"
#include "sound_files/wave_reader.h"

using SoundDecoder = WaveResult (*)(const char* path, DecodedSound& sound);

struct DecodedJob {
    uint32_t ticket = 0;  // as asked
    WaveResult result = 0;
    DecodedSound sound;  // empty unless the result is 0
};

// Starts the thread on the first job; decodes with the given function.
void setSoundDecoder(SoundDecoder decoder);
// Queues a file; the ticket comes back with its result.
void askToDecode(uint32_t ticket, const std::string& path);
// Drops every job not yet begun and every result not yet taken; a job under
// way still finishes and is told, so the caller drops unknown tickets.
void forgetDecodingJobs();
// The oldest finished job; false when none is waiting.
bool takeDecodedSound(DecodedJob& job);
// Ends the thread after the job under way: at exit, and between tests.
void stopDecodingThread();
