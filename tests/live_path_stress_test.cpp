// The live path as the program runs it, with real threads, for as long as
// QUILLPAD_STRESS_SECONDS says: a render thread plays the mixer on a fake
// stream paced by a fake period clock, sleeping through silence until a start
// wakes it; the program's thread plays keys in every trigger mode through the
// key logic, gives keys sounds and parts of sounds, fades and fades out their
// voices, loads the folder again, kills all, records and moves the output to
// other layouts; a MIDI callback's thread posts notes into a bounded queue
// the program drains. Failures are injected at every step.
// Under the thread sanitizer (the tsan preset) and the address sanitizer (the
// native one) any race, read after free or overrun fails it; so does a state
// left stuck at the end. The seed of the random choices is printed and
// QUILLPAD_STRESS_SEED sets it, though the threads' timing never repeats.
// It drives the whole live path, so it mirrors no one source file and sits at
// the top of tests/ beside the key-logic stress.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "audio/audio_device.h"
#include "audio/mixer.h"
#include "audio/render_loop.h"
#include "audio/sound_bank.h"
#include "fakes/fake_decoding_events.h"
#include "fakes/fake_input.h"
#include "fakes/fake_midi_ports.h"
#include "fakes/fake_sound_folder.h"
#include "flows/sound_loading.h"
#include "keys/key_bank.h"
#include "keys/key_selection.h"
#include "keys/key_voices.h"
#include "keys/key_volume.h"
#include "keys/keyboard_map.h"
#include "keys/playing.h"
#include "library/sound_directory.h"
#include "midi/midi_input.h"
#include "midi/note_map.h"
#include "panel/editing.h"
#include "recording/recording.h"
#include "recording/recording_file.h"
#include "sound_files/decoding_thread.h"
#include "sound_files/sound_decoding.h"
#include "sound_files/wave_header.h"
#include "support/aiff_bytes.h"
#include "support/mixer_output.h"
#include "support/program_test.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

using namespace wavetest;

namespace {

using Clock = std::chrono::steady_clock;

// The fake streams' time runs this many times faster than the wall clock, so
// that the second of silence before the render thread sleeps comes often.
constexpr uint64_t ClockSpeed = 10;
// Far longer than anything waited for here takes, even on a loaded machine
// under a sanitizer: only a state that is stuck for good reaches it.
constexpr auto LongestWait = std::chrono::seconds(20);
// As the program makes its mixer (audio/wasapi_output_win32.cpp).
constexpr SampleLayout FirstLayout = {SampleEncoding::Float32, 2, 8, 48000};
constexpr uint32_t MixPieceFrames = 4096;
constexpr int SoundCount = 24;  // every key of the start-up layout has a sound
// AIFF files listed after the WAV files: decoded on the decoding thread when a key is given one.
constexpr int DecodedSoundCount = 4;
constexpr size_t QueueCapacity = 32;
// A key-down's flags when the key was up before it: a press, no auto-repeat.
constexpr uint32_t FirstKeyDown = 1;
// A post lost: this bit, with the number of the last message posted before it.
constexpr uint64_t LossNoted = uint64_t{1} << 32;

unsigned long settingFromEnvironment(const char* name, unsigned long fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoul(text, nullptr, 10) : fallback;
}

// A sound of its own format, length and pitch for each index: 16-bit mono and
// stereo, 8-bit and float, at four rates.
// A mono 16-bit tone as an AIFF file holds it.
Bytes aiffSoundFile(int index) {
    using namespace aifftest;
    const uint32_t frames = 2000 + 500 * static_cast<uint32_t>(index);
    Bytes samples;
    for (uint32_t n = 0; n < frames; ++n)
        appendBe16(samples,
                   static_cast<uint16_t>(std::lround(9000 * std::sin(2.0 * mixertest::Pi * n / (40.0 + index)))));
    return form("AIFF", concat({commonChunk(1, frames, 16), soundChunk(samples)}));
}

Bytes soundFile(int index) {
    const int kind = index % 4;
    const uint16_t channels = kind == 1 ? 2 : 1;
    const uint16_t bits = kind == 2 ? 8 : kind == 3 ? 32 : 16;
    const uint32_t rates[] = {22050, 44100, 11025, 48000};
    const uint32_t frames = 300 + 170 * static_cast<uint32_t>(index);
    Bytes samples;
    for (uint32_t n = 0; n < frames; ++n) {
        float value = 0.4f * static_cast<float>(std::sin(2.0 * mixertest::Pi * n * (index + 1) / 100.0));
        for (uint16_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                samples.push_back(static_cast<uint8_t>(128 + std::lround(127 * value)));
            } else if (bits == 16) {
                appendLe16(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(32767 * value))));
            } else {
                uint32_t word;
                std::memcpy(&word, &value, sizeof word);
                appendLe32(samples, word);
            }
        }
    }
    uint16_t tag = bits == 32 ? WaveFormatFloat : 1;
    return riffWave(concat({chunk("fmt ", formatFields(channels, rates[kind], bits, tag)), chunk("data", samples)}));
}

// What a stream does wrong, chosen by the program's thread before its render
// thread starts.
struct StreamFaults {
    bool opens = true;
    StreamCall startResult = StreamCall::Done;
    int failurePercent = 0;          // the chance that a call after the start fails
    uint64_t goneAfterCalls = 0;     // then every call DeviceGone; 0: never
    uint64_t stallAfterPeriods = 0;  // then the engine asks for no more; 0: never
};

// A WASAPI stream as the render loop sees it. The engine plays a period of
// the queue at every period of the stream's clock and sets the event; a wake
// sets the event too. Everything but the event and the atomics is the render
// thread's.
class FakeStream : public RenderStream {
public:
    FakeStream(const StreamShape& shape, const StreamFaults& faults, unsigned seed)
        : shape(shape),
          faults(faults),
          periodMicroseconds(std::max<uint64_t>(1, uint64_t{shape.periodFrames} * 1000000 / shape.layout.rate)),
          dice(seed),
          origin(Clock::now()) {}

    // Any thread: as SetEvent on the stream's event.
    void wake() {
        std::lock_guard<std::mutex> lock(eventLock);
        eventIsSet = true;
        eventSet.notify_one();
    }

    bool waitForPeriod(uint32_t milliseconds) override {
        const uint64_t deadline =
            milliseconds == WaitForever ? UINT64_MAX : microseconds() + uint64_t{milliseconds} * 1000;
        std::unique_lock<std::mutex> lock(eventLock);
        for (;;) {
            uint64_t now = microseconds();
            playQueue(now);
            if (eventIsSet) {
                eventIsSet = false;
                return true;
            }
            uint64_t period = now / periodMicroseconds;
            bool asking = engineRunning && !(faults.stallAfterPeriods && periodsAsked >= faults.stallAfterPeriods);
            if (asking && period > lastPeriodAsked) {
                lastPeriodAsked = period;
                ++periodsAsked;
                return true;
            }
            if (now >= deadline) return false;
            uint64_t until = asking ? std::min(deadline, (lastPeriodAsked + 1) * periodMicroseconds) : deadline;
            if (until == UINT64_MAX) {
                sleepingUntilSet = true;
                eventSet.wait(lock);
                sleepingUntilSet = false;
            } else {
                eventSet.wait_until(lock, origin + std::chrono::microseconds(until / ClockSpeed + 1));
            }
        }
    }
    // Any thread: whether the render thread waits for the event alone, with
    // nothing to end its wait. Whatever it did before it began to wait is
    // seen by the caller from here on.
    bool sleepsUnwoken() {
        std::lock_guard<std::mutex> lock(eventLock);
        return sleepingUntilSet && !eventIsSet;
    }
    StreamCall queuedFrames(uint32_t& frames) override {
        playQueue(microseconds());
        frames = static_cast<uint32_t>(queue);
        return answer();
    }
    // GetBuffer, the mix into a buffer of exactly the frames asked for, ReleaseBuffer.
    StreamCall write(Mixer& mixer, uint32_t frames) override {
        StreamCall result = answer();
        if (result != StreamCall::Done) return result;
        playQueue(microseconds());
        if (queue + frames > shape.queuedFrames) ++overfills;
        std::vector<uint8_t> buffer(static_cast<size_t>(frames) * shape.layout.blockAlign);
        mixer.render(frames, buffer.data());
        const SampleLayout& mixed = mixer.output();
        if (mixed.encoding != shape.layout.encoding || mixed.channels != shape.layout.channels ||
            mixed.blockAlign != shape.layout.blockAlign || mixed.rate != shape.layout.rate)
            ++wrongLayouts;
        queue += frames;
        return StreamCall::Done;
    }
    StreamCall pause() override {
        StreamCall result = answer();
        if (result != StreamCall::Done) return result;
        engineRunning = false;
        ++pauses;
        asleep = true;
        return result;
    }
    StreamCall resume(Mixer& mixer, uint32_t frames) override {
        StreamCall result = answer();
        if (result != StreamCall::Done) return result;
        queue = 0;
        result = write(mixer, frames);
        if (result != StreamCall::Done) return result;
        run();
        ++resumes;
        asleep = false;
        return result;
    }
    StreamCall start(uint32_t frames) override {
        if (unplugged.load()) return StreamCall::DeviceGone;
        if (faults.startResult != StreamCall::Done) return faults.startResult;
        queue = frames;
        run();
        return StreamCall::Done;
    }
    void stop() override { engineRunning = false; }
    void tellLost() override { lostTold = true; }
    uint64_t microseconds() override {
        auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - origin);
        return static_cast<uint64_t>(elapsed.count()) * ClockSpeed;
    }

    const StreamShape shape;
    const StreamFaults faults;
    // The program's: the device unplugged now.
    std::atomic<bool> unplugged{false};
    // The render thread's, for the program to read.
    std::atomic<bool> lostTold{false};
    std::atomic<bool> asleep{false};  // paused until a start resumes it
    std::atomic<int> pauses{0};
    std::atomic<int> resumes{0};
    std::atomic<int> overfills{0};     // more queued than the few periods the loop keeps
    std::atomic<int> wrongLayouts{0};  // a mix written in another layout than the stream's

private:
    StreamCall answer() {
        if (unplugged.load() || (faults.goneAfterCalls && ++calls > faults.goneAfterCalls))
            return StreamCall::DeviceGone;
        if (faults.failurePercent && static_cast<int>(dice() % 100) < faults.failurePercent) return StreamCall::Failed;
        return StreamCall::Done;
    }
    void run() {
        engineRunning = true;
        lastPeriodAsked = periodPlayed = microseconds() / periodMicroseconds;
    }
    // The periods played since the last look take their frames off the queue.
    void playQueue(uint64_t now) {
        uint64_t period = now / periodMicroseconds;
        if (engineRunning && period > periodPlayed) {
            uint64_t played = (period - periodPlayed) * shape.periodFrames;
            queue = played >= queue ? 0 : queue - played;
        }
        periodPlayed = period;
    }

    const uint64_t periodMicroseconds;
    std::minstd_rand dice;
    const Clock::time_point origin;
    uint64_t calls = 0;
    bool engineRunning = false;
    uint64_t queue = 0;
    uint64_t periodPlayed = 0;
    uint64_t lastPeriodAsked = 0;
    uint64_t periodsAsked = 0;
    std::mutex eventLock;
    std::condition_variable eventSet;
    bool eventIsSet = false;        // guarded by eventLock
    bool sleepingUntilSet = false;  // guarded by eventLock
};

// One render thread and its stream, as the program's StreamThread.
struct StreamThread {
    StreamThread(const StreamShape& shape, const StreamFaults& faults, unsigned seed) : stream(shape, faults, seed) {}
    FakeStream stream;
    std::atomic<bool> ending{false};
    std::vector<uint8_t> unheard;
    std::thread thread;
};

void wakeStream(void* stream) { static_cast<FakeStream*>(stream)->wake(); }

// A recording's file that counts what it is given and keeps the header, and
// fails as the program's may: a full disk, its folder gone, a stall.
class StressFile : public RecordingFile {
public:
    struct Faults {
        uint32_t appendsBeforeFailure = 0;  // then every append fails; 0: never
        uint32_t keepsBeforeGone = 0;       // then every keep fails; 0: never
        uint32_t stallAtAppend = 0;         // that append takes stallMilliseconds; 0: none
        int stallMilliseconds = 0;
    };
    explicit StressFile(const Faults& faults) : faults(faults) {}

    bool append(const void*, size_t count) override {
        ++appends;
        if (faults.stallAtAppend == appends)
            std::this_thread::sleep_for(std::chrono::milliseconds(faults.stallMilliseconds));
        if (faults.appendsBeforeFailure && appends > faults.appendsBeforeFailure) {
            appendFailed = true;
            return false;
        }
        appended += count;
        return true;
    }
    bool writeStart(const void* bytes, size_t count) override {
        header.assign(static_cast<const uint8_t*>(bytes), static_cast<const uint8_t*>(bytes) + count);
        return true;
    }
    bool keep() override {
        ++keeps;
        bool gone = faults.keepsBeforeGone && keeps > faults.keepsBeforeGone;
        keepFailures += gone ? 1 : 0;
        return !gone;
    }
    // Whether the writer met a failure before its last keep, whose answer it
    // does not look at: an append, or a keep followed by that last one.
    bool failedWhileWriting() const { return appendFailed || keepFailures >= 2; }

    // The writer's, read by the program's thread once it has ended.
    const Faults faults;
    uint32_t appends = 0;
    uint32_t keeps = 0;
    uint64_t appended = 0;
    bool appendFailed = false;
    uint32_t keepFailures = 0;
    std::vector<uint8_t> header;
};

// Stands in for the main window's message queue: bounded, and a post to a full
// queue is lost, as PostMessage fails when Windows' queue is full.
struct MidiPost {
    uint32_t tag;
    uint32_t packed;
    uint32_t number;  // in the order handed over, from 1
};

class MessageQueue {
public:
    bool post(const MidiPost& message) {
        std::lock_guard<std::mutex> lock(guard);
        if (messages.size() >= QueueCapacity) return false;
        messages.push_back(message);
        return true;
    }
    // The player's last messages, which the program is draining.
    void postWhenRoom(const MidiPost& message) {
        std::unique_lock<std::mutex> lock(guard);
        roomMade.wait(lock, [this] { return messages.size() < QueueCapacity; });
        messages.push_back(message);
    }
    bool take(MidiPost& message) {
        std::lock_guard<std::mutex> lock(guard);
        if (messages.empty()) return false;
        message = messages.front();
        messages.pop_front();
        roomMade.notify_one();
        return true;
    }

private:
    std::mutex guard;
    std::condition_variable roomMade;
    std::deque<MidiPost> messages;  // guarded
};

uint32_t shortMessage(int status, int data1, int data2) {
    return static_cast<uint32_t>(status) | static_cast<uint32_t>(data1) << 8 | static_cast<uint32_t>(data2) << 16;
}

struct Tally {
    unsigned long steps = 0, moves = 0, failedOpens = 0, unplugs = 0, losses = 0, sleeps = 0, wakes = 0;
    unsigned long recordings = 0, folderLoads = 0, killAlls = 0, decodingWords = 0;
    unsigned long recordingEnds[5] = {};  // by RecordingEnd
    unsigned long probes = 0, quietSpells = 0;
    double slowestProbeMilliseconds = 0;
    uint64_t droppedFrames = 0;
    std::atomic<unsigned long> midiPosted{0}, midiLost{0};
};

class LivePathStress : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        initKeyBank();
        audioDevice = &mixer;
        setSoundDirectory(files.folder + "/kit");
        fakeSoundFolder.existingFolders = {soundDirectory};
        for (int i = 0; i < SoundCount; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.wav", i);
            files.writeAt(std::string(soundDirectory) + "\\" + name, soundFile(i));
            fakeSoundFolder.soundsInFolder.push_back(name);
        }
        for (int i = 0; i < DecodedSoundCount; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "%02d.aif", i);
            files.writeAt(std::string(soundDirectory) + "\\" + name, aiffSoundFile(i));
            fakeSoundFolder.soundsInFolder.push_back(name);
        }
        setSoundDecoder(decodeSoundFile);
        ASSERT_TRUE(loadSoundDirectory());
        for (int i = 0; i < SoundCount; ++i) ASSERT_NE(soundBank.soundBuffers[i], nullptr) << "sound " << i;
        for (int k = 0; k < KeyCount; ++k)
            for (unsigned code = 0; code < 256; ++code)
                if (keyIndexForVirtualKey(code) == k) virtualKeyOfKey[k] = code;
        fakeMidiPorts.ports = {{0, "Pads"}};
        startMidiInput();
        ASSERT_EQ(fakeMidiPorts.openIds.size(), 1u);
        probe = mixertest::makeSound(mixer, mixertest::countingSamples(64));
        ASSERT_NE(probe, nullptr);
    }

    void TearDown() override {
        stopEverything();
        ProgramTest::TearDown();
    }

    int below(int count) { return std::uniform_int_distribution<int>(0, count - 1)(dice); }
    bool chance(double percent) { return std::uniform_real_distribution<double>(0, 100)(dice) < percent; }

    // The output ------------------------------------------------------------

    StreamShape randomShape() {
        const uint16_t channelCounts[] = {1, 2, 6, 8};
        uint16_t channels = channelCounts[below(4)];
        bool isFloat = chance(50);
        uint32_t rate = chance(50) ? 44100 : 48000;
        SampleLayout layout = {isFloat ? SampleEncoding::Float32 : SampleEncoding::Signed16, channels,
                               static_cast<uint16_t>(channels * (isFloat ? 4 : 2)), rate};
        uint32_t period = chance(50) ? rate / 100 : rate / 300;
        return {layout, period, 2 * period};
    }

    StreamFaults randomFaults() {
        StreamFaults faults;
        faults.opens = !chance(10);
        if (chance(5)) faults.startResult = chance(50) ? StreamCall::Failed : StreamCall::DeviceGone;
        int kind = below(100);
        faults.failurePercent = kind < 10 ? 60 : kind < 30 ? 5 : 0;
        if (chance(5)) faults.goneAfterCalls = 1 + below(3000);
        if (chance(3)) faults.stallAfterPeriods = 1 + below(500);
        return faults;
    }

    // As the program switches streams: the old render thread ends and is
    // joined, the mixer is told that none sleeps and given the new stream's
    // wake-up, then the new thread goes. A stream that does not open leaves
    // the old one playing.
    bool moveOutput(const StreamShape& shape, const StreamFaults& faults) {
        ++tally.moves;
        if (!faults.opens) {
            ++tally.failedOpens;
            return false;
        }
        if (recording && output &&
            (shape.layout.rate != recordedLayout.rate || shape.layout.channels != recordedLayout.channels))
            recordedLayoutChanged = true;
        endStream();
        auto next = std::make_unique<StreamThread>(shape, faults, static_cast<unsigned>(dice()));
        mixer.awake();
        mixer.setWakeUp(wakeStream, &next->stream);
        StreamThread* starting = next.get();
        starting->thread = std::thread([this, starting] {
            playStream(starting->stream, mixer, starting->stream.shape, starting->unheard, starting->ending);
        });
        output = std::move(next);
        return true;
    }

    void endStream() {
        if (!output) return;
        output->ending = true;
        output->stream.wake();
        output->thread.join();
        FakeStream& ended = output->stream;
        EXPECT_EQ(ended.wrongLayouts.load(), 0) << "a mix was written in another layout than its stream's";
        EXPECT_EQ(ended.overfills.load(), 0) << "the queue was filled past its few periods";
        tally.sleeps += static_cast<unsigned long>(ended.pauses.load());
        tally.wakes += static_cast<unsigned long>(ended.resumes.load());
        tally.losses += ended.lostTold.load() ? 1 : 0;
        output.reset();
    }

    // The recording ----------------------------------------------------------

    // Most recordings are short, so that most of the time none keeps the
    // render thread awake; a long one may meet a disk stalled for longer than
    // the ring holds, and lose frames.
    void startRecording() {
        bool isLong = chance(10);
        recordingEnds = Clock::now() + std::chrono::milliseconds(isLong ? 2000 + below(1000) : 50 + below(350));
        StressFile::Faults faults;
        if (chance(8)) faults.appendsBeforeFailure = 1 + below(20);
        if (chance(8)) faults.keepsBeforeGone = 1 + below(10);
        if (chance(isLong ? 50 : 15)) {
            faults.stallAtAppend = 1 + below(3);
            faults.stallMilliseconds = isLong ? 2500 : 20 + below(200);
        }
        uint32_t largestFrames = chance(10) ? 1000 + below(100000) : 0;
        auto file = std::make_unique<StressFile>(faults);
        recordingFile = file.get();
        recordedLayout = output->stream.shape.layout;
        recordedLayoutChanged = false;
        recordingLargestFrames = largestFrames;
        recording = Recording::start(std::move(file), recordedLayout.channels, recordedLayout.rate, largestFrames);
        ASSERT_NE(recording, nullptr);
        mixer.recordInto(&recording->ring);
        ++tally.recordings;
    }

    void endRecording() {
        mixer.recordInto(nullptr);
        RecordingEnd end = recording->finish();
        const StressFile& file = *recordingFile;
        const uint32_t frameBytes = 4u * recordedLayout.channels;
        EXPECT_EQ(file.appended % frameBytes, 0u) << "a frame was cut";
        const uint32_t frames = static_cast<uint32_t>(file.appended / frameBytes);
        WaveHeader header = floatWaveHeader(recordedLayout.channels, recordedLayout.rate, frames);
        EXPECT_EQ(file.header, std::vector<uint8_t>(header.bytes, header.bytes + header.size))
            << "the file's header does not cover the " << frames << " frames written";
        EXPECT_EQ(end == RecordingEnd::WriteFailed, file.failedWhileWriting()) << "ended " << static_cast<int>(end);
        if (end == RecordingEnd::FileFull) {
            EXPECT_EQ(frames, recordingLargestFrames);
        }
        if (end == RecordingEnd::OutputChanged) {
            EXPECT_TRUE(recordedLayoutChanged) << "the output kept its rate and channel count";
        }
        tally.droppedFrames += recording->ring.droppedFrames();
        ++tally.recordingEnds[static_cast<int>(end)];
        recording.reset();
        recordingFile = nullptr;
    }

    // MIDI -------------------------------------------------------------------

    // What takeLostMidiMessages reads on the program's thread, from the
    // word the MIDI thread noted, as base/midi_ports_win32.cpp keeps it.
    void noteLossForProgram() {
        uint64_t noted = midiLoss.exchange(0);
        if (!(noted & LossNoted)) return;
        fakeMidiPorts.lost = true;
        fakeMidiPorts.lastNumberBeforeLoss = static_cast<uint32_t>(noted);
    }

    // The main window's handling of a posted MIDI message, and of a queue
    // found empty, as the main loop does.
    void drainMessages() {
        MidiPost message;
        while (queue.take(message)) {
            noteLossForProgram();
            onMidiMessage(message.tag, message.packed, message.number);
        }
        noteLossForProgram();
        recoverLostMidiMessages();
        // As the main window takes the decoding thread's word.
        int told = soundsDecodedTold.load();
        if (told != decodingsTaken) {
            decodingsTaken = told;
            ++tally.decodingWords;
            takeFinishedSounds();
        }
    }

    // As winmm's callback: every message numbered; a post to a full queue is
    // lost, and the number of the last one posted before it noted.
    void postMidi(uint32_t packed, bool waitForRoom = false) {
        ++tally.midiPosted;
        MidiPost message = {midiTag, packed, ++lastMidiNumber};
        if (waitForRoom) {
            queue.postWhenRoom(message);
        } else if (!queue.post(message)) {
            ++tally.midiLost;
            midiLoss.store(LossNoted | lastMidiPosted);
            return;
        }
        lastMidiPosted = message.number;
    }

    // A player on a pad controller: notes, now and then a flood faster than
    // the program drains, and the player's rests with every pad lifted. At the
    // end it lifts every pad, and at least one message follows the last that
    // may have been lost, for the program learns of a loss with the next one.
    void playMidi(unsigned seed) {
        std::minstd_rand midiDice(seed);
        auto roll = [&](int count) { return static_cast<int>(midiDice() % static_cast<unsigned>(count)); };
        bool held[MidiNoteCount] = {};
        auto lift = [&](bool waiting) {
            for (int note = 0; note < MidiNoteCount; ++note) {
                if (!held[note]) continue;
                held[note] = false;
                postMidi(shortMessage(0x80, note, 64), waiting);
            }
        };
        while (!midiStop.load()) {
            if (resting.load()) {
                lift(false);
                while (resting.load() && !midiStop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            int note = DefaultMapFirstNote + roll(KeyCount);
            int what = roll(100);
            if (what < 2) {
                postMidi(shortMessage(0xB0, 123, 0));  // All Notes Off
                std::fill(std::begin(held), std::end(held), false);
            } else if (what < 4) {
                for (int k = 0; k < 64; ++k) postMidi(shortMessage(0x90, note, k % 2 ? 0 : 100));
                held[note] = false;
            } else if (held[note]) {
                postMidi(roll(2) ? shortMessage(0x80, note, 0) : shortMessage(0x90, note, 0));
                held[note] = false;
            } else {
                postMidi(shortMessage(0x90, note, 1 + roll(127)));
                held[note] = true;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(roll(3000)));
        }
        lift(true);
        postMidi(shortMessage(0x80, DefaultMapFirstNote, 0), true);
        midiDone = true;
    }

    void stopMidiPlayer() {
        if (!midiPlayer.joinable()) return;
        midiStop = true;
        while (!midiDone.load()) {
            drainMessages();
            std::this_thread::yield();
        }
        midiPlayer.join();
        drainMessages();
    }

    // The program's thread ---------------------------------------------------

    bool isLatched(int key) {
        int16_t mode = keyBank.slots[key].triggerMode;
        return mode == ToggleStopRunning || mode == ToggleFinishRunning;
    }
    // Keys that may sound on once let go: latched toggles, and keys whose
    // last key-up came with Alt, which ends a mute and is no release.
    bool soundsOnOnceLetGo(int key) { return isLatched(key) || releasedWithAlt[key]; }

    void pressOrReleaseAKey() {
        int key = below(KeyCount);
        fakeInput.alt = chance(8);
        fakeInput.ctrl = chance(8);
        if (chance(55)) {
            onKeyDownMessage(virtualKeyOfKey[key], FirstKeyDown);
        } else {
            onKeyUpMessage(virtualKeyOfKey[key]);
            releasedWithAlt[key] = fakeInput.alt;
        }
        fakeInput.alt = fakeInput.ctrl = false;
    }

    // A key's voice told a new level, pan or rate while it may play.
    void republishAVoice() {
        int key = below(KeyCount);
        Voice* voice = keyBank.slots[key].voice;
        if (!voice) return;
        switch (below(5)) {
        case 0:
            setVoiceVolume(key, below(401));
            break;
        case 1:
            voice->SetPan(below(20001) - 10000);
            break;
        case 2:
            voice->SetFades(static_cast<uint32_t>(below(3) * below(40)), static_cast<uint32_t>(below(3) * below(40)));
            break;
        case 3:
            voice->FadeOut();  // as a release in a stop mode, with a fade-out or without
            break;
        default:
            voice->SetFrequency(4000 + static_cast<uint32_t>(below(90000)));
            break;
        }
    }

    // Only a key that neither sounds nor is held gets another mode, so that
    // a key sounding once all are let go has a reason to (soundsOnOnceLetGo).
    void changeAnIdleKeysMode() {
        int key = below(KeyCount);
        if (isKeyPlaying(key) || keyBank.held[key] || keyBank.midiHolds[key]) return;
        const int16_t modes[] = {HoldStop, HoldFinish, ToggleStop, ToggleFinish};
        selectKey(key);
        setTriggerModeFromPanel(modes[below(4)]);
    }

    void giveAKeyASound() {
        int key = below(KeyCount);
        keyBank.selectedKey = static_cast<int16_t>(key);
        // One past the bank leaves the key silent; an AIFF file is decoded first.
        assignSoundToSelectedKey(below(SoundCount + DecodedSoundCount + 1));
        if (chance(40)) giveAKeyAPart(key);
    }

    // As a key with start and end points plays: a part of its sound in place
    // of its idle voice.
    void giveAKeyAPart(int key) {
        KeySlot& slot = keyBank.slots[key];
        if (!slot.voice || isKeyPlaying(key) || !isSoundInBank(slot.soundIndex)) return;
        Voice* part = nullptr;
        Voice* bankBuffer = soundBank.soundBuffers[static_cast<size_t>(slot.soundIndex)];
        if (!bankBuffer) return;  // still being decoded
        uint32_t start = static_cast<uint32_t>(below(30));
        uint32_t end = chance(30) ? 0 : start + static_cast<uint32_t>(below(40));
        if (audioDevice->DuplicateSoundBufferPart(bankBuffer, start, end, &part) != DS_OK) return;
        releaseVoice(slot.voice);
        slot.voice = part;
    }

    void startOrCheckTheProbe() {
        if (!probing) {
            if (!chance(2)) return;
            ASSERT_EQ(probe->Play(0, 0, 0), DS_OK);
            probeStarted = Clock::now();
            probing = true;
            ++tally.probes;
            return;
        }
        // Looked at before the voice: a pass the render thread ended before
        // it slept is seen ended below.
        bool sleepsUnwoken = output->stream.sleepsUnwoken();
        uint32_t status = 0;
        probe->GetStatus(&status);
        auto waited = Clock::now() - probeStarted;
        if (status & DSBSTATUS_PLAYING) {
            // A start either is seen by the look before the render thread
            // sleeps or sees it asleep and wakes it: never both missed.
            ASSERT_FALSE(sleepsUnwoken) << "the render thread sleeps through a voice started";
            ASSERT_LT(waited, LongestWait) << "a voice started was never mixed";
            return;
        }
        probing = false;
        double milliseconds = std::chrono::duration<double, std::milli>(waited).count();
        tally.slowestProbeMilliseconds = std::max(tally.slowestProbeMilliseconds, milliseconds);
    }

    // The player rests, pads too, so that the render thread falls asleep
    // after a second of silence, unless a recording runs, and is woken by the
    // next start.
    void restAWhile() {
        ++tally.quietSpells;
        resting = true;
        killAllSounds();
        auto end = Clock::now() + std::chrono::milliseconds(120 + below(180));
        while (Clock::now() < end && !HasFailure()) {
            drainMessages();
            pollFinishingKeys();
            startOrCheckTheProbe();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        resting = false;
    }

    void randomStep() {
        ++tally.steps;
        callLog.clear();
        int roll = below(1000);
        if (roll < 500) {
            pressOrReleaseAKey();
        } else if (roll < 600) {
            pollFinishingKeys();
        } else if (roll < 700) {
            republishAVoice();
        } else if (roll < 730) {
            stepMasterVolume(chance(50) ? MasterVolumeButton::Up : MasterVolumeButton::Down);
        } else if (roll < 780) {
            changeAnIdleKeysMode();
        } else if (roll < 830) {
            giveAKeyASound();
        } else if (roll < 840) {
            ++tally.killAlls;
            killAllSounds();
        } else if (roll < 842) {
            ++tally.folderLoads;
            ASSERT_TRUE(loadSoundDirectory());
        } else if (roll < 843) {
            moveOutput(randomShape(), randomFaults());
        } else if (roll < 844 && chance(25)) {
            ++tally.unplugs;
            output->stream.unplugged = true;
        } else if (roll < 846) {
            if (!recording) startRecording();
        } else if (roll < 847) {
            restAWhile();
        }
        // As the program: a loss told moves the output elsewhere, not at once;
        // a recording that ended by itself is ended.
        if (output->stream.lostTold.load() && chance(1)) moveOutput(randomShape(), randomFaults());
        if (recording && (recording->writerEnded() || Clock::now() >= recordingEnds)) endRecording();
        startOrCheckTheProbe();
        drainMessages();
        if (chance(50)) std::this_thread::sleep_for(std::chrono::microseconds(below(400)));
    }

    // The end ----------------------------------------------------------------

    // Polls as the program's main loop does until `done`, or fails saying what it waited for.
    template <typename Condition>
    ::testing::AssertionResult waitUntil(const char* what, Condition done) {
        auto deadline = Clock::now() + LongestWait;
        while (!done()) {
            if (Clock::now() > deadline) return ::testing::AssertionFailure() << "never: " << what;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return ::testing::AssertionSuccess();
    }

    void letEverythingGoAndKillAll() {
        stopMidiPlayer();
        for (int k = 0; k < KeyCount; ++k) EXPECT_EQ(keyBank.midiHolds[k], 0) << "key " << k << " held from MIDI";
        if (recording) endRecording();
        ASSERT_TRUE(moveOutput(randomShape(), StreamFaults()));
        releaseHeldKeys();
        EXPECT_TRUE(waitUntil("every pass let go played to its end", [&] {
            pollFinishingKeys();
            for (int k = 0; k < KeyCount; ++k)
                if (keyBank.finishing[k] && !soundsOnOnceLetGo(k)) return false;
            return true;
        }));
        EXPECT_TRUE(waitUntil("the last voice started was mixed", [&] {
            startOrCheckTheProbe();
            return !probing;
        }));
        for (int k = 0; k < KeyCount; ++k)
            EXPECT_TRUE(!isKeyPlaying(k) || soundsOnOnceLetGo(k))
                << "key " << k << " sounds though let go: mode " << keyBank.slots[k].triggerMode << ", held "
                << +keyBank.held[k] << ", from MIDI " << keyBank.midiHolds[k] << ", finishing "
                << +keyBank.finishing[k];
        killAllSounds();
        for (int k = 0; k < KeyCount; ++k) {
            EXPECT_FALSE(isKeyPlaying(k)) << "key " << k << " plays after Kill All";
            EXPECT_FALSE(isLatched(k)) << "key " << k << " is latched after Kill All";
            EXPECT_EQ(keyBank.finishing[k], 0) << "key " << k << " is finishing after Kill All";
        }
        // The render thread sleeps only after a second of mixes in which nothing sounded.
        EXPECT_TRUE(waitUntil("the render thread fell asleep after Kill All: something still sounds",
                              [&] { return output->stream.asleep.load(); }));
    }

    void stopEverything() {
        stopMidiPlayer();
        if (recording) endRecording();
        releaseAllSounds();
        if (probe) releaseVoice(probe);
        endStream();
        audioDevice = nullptr;
    }

    TempFiles files;
    int decodingsTaken = 0;
    std::mt19937 dice;
    Mixer mixer{FirstLayout, MixPieceFrames};
    std::unique_ptr<StreamThread> output;
    unsigned virtualKeyOfKey[KeyCount] = {};
    bool releasedWithAlt[KeyCount] = {};
    Voice* probe = nullptr;
    bool probing = false;
    Clock::time_point probeStarted;
    std::unique_ptr<Recording> recording;
    StressFile* recordingFile = nullptr;  // the recording's, read once its writer has ended
    SampleLayout recordedLayout;
    bool recordedLayoutChanged = false;
    uint32_t recordingLargestFrames = 0;
    Clock::time_point recordingEnds;
    MessageQueue queue;
    uint32_t midiTag = 0;
    uint32_t lastMidiNumber = 0;  // the MIDI thread's
    uint32_t lastMidiPosted = 0;  // the MIDI thread's
    std::atomic<uint64_t> midiLoss{0};
    std::atomic<bool> resting{false};
    std::atomic<bool> midiStop{false};
    std::atomic<bool> midiDone{false};
    std::thread midiPlayer;
    Tally tally;
};

TEST_F(LivePathStress, PlayingRecordingAndMovingTheOutputUnderFailuresLeaveNothingStuckOrRacing) {
    unsigned long seed = settingFromEnvironment("QUILLPAD_STRESS_SEED", 20261214);
    unsigned long seconds = settingFromEnvironment("QUILLPAD_STRESS_SECONDS", 3);
    std::printf("live path stress: seed %lu, %lu s (QUILLPAD_STRESS_SECONDS sets it)\n", seed, seconds);
    dice.seed(static_cast<std::mt19937::result_type>(seed));

    StreamFaults firstFaults = randomFaults();
    firstFaults.opens = true;  // the program plays through DirectSound otherwise
    ASSERT_TRUE(moveOutput(randomShape(), firstFaults));
    midiTag = fakeMidiPorts.openIds.begin()->first;
    unsigned midiSeed = static_cast<unsigned>(dice());
    midiPlayer = std::thread([this, midiSeed] { playMidi(midiSeed); });

    auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end && !HasFailure()) randomStep();
    ASSERT_FALSE(HasFailure());
    letEverythingGoAndKillAll();
    stopEverything();  // the last stream's figures counted too

    const unsigned long* ends = tally.recordingEnds;
    std::printf(
        "  %lu steps; output moved %lu times (%lu did not open), %lu unplugged, %lu streams lost\n"
        "  render thread slept %lu times, woken %lu; %lu starts checked, the slowest mixed after %.1f ms\n"
        "  %lu recordings: %lu stopped, %lu write failed, %lu output changed, %lu file full; %llu frames "
        "dropped\n"
        "  %lu folder loads, %lu Kill Alls, %lu rests; %lu MIDI messages posted, %lu lost to a full queue; %lu words "
        "of decoded sounds\n",
        tally.steps, tally.moves, tally.failedOpens, tally.unplugs, tally.losses, tally.sleeps, tally.wakes,
        tally.probes, tally.slowestProbeMilliseconds, tally.recordings, ends[static_cast<int>(RecordingEnd::Stopped)],
        ends[static_cast<int>(RecordingEnd::WriteFailed)], ends[static_cast<int>(RecordingEnd::OutputChanged)],
        ends[static_cast<int>(RecordingEnd::FileFull)], static_cast<unsigned long long>(tally.droppedFrames),
        tally.folderLoads, tally.killAlls, tally.quietSpells, tally.midiPosted.load(), tally.midiLost.load(),
        tally.decodingWords);
}

}  // namespace
