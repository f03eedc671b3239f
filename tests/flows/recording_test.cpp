// Record to WAV from the Functions menu: the file it asks for, what the item
// and the title show, how a recording ends and what the user is told.
#include "flows/recording.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "audio/frame_ring.h"
#include "fakes/call_log.h"
#include "fakes/fake_audio_output.h"
#include "fakes/fake_main_window.h"
#include "fakes/fake_menu.h"
#include "fakes/fake_recording_file.h"
#include "flows/output_choice.h"
#include "flows/start_up.h"
#include "resources/command_ids.h"
#include "setup/document.h"
#include "support/program_test.h"
#include "support/recorded_frames.h"

using namespace recordtest;
using Calls = std::vector<std::string>;

namespace {

constexpr char Take[] = "C:\\takes\\jam.wav";

class RecordingToWav : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        startInstrument();
        fakeRecordingFile.chosenPath = Take;
        callLog.clear();
    }
    // What the render thread would hand the recording.
    static void play(const std::vector<float>& samples) {
        ASSERT_NE(fakeAudio.recordingRing, nullptr) << "not recording";
        fakeAudio.recordingRing->write(samples.data(), static_cast<uint32_t>(samples.size() / 2));
    }
    static bool fileHolds(const std::vector<float>& samples) {
        return fakeRecordingFile.bytes() == waveFileOf(2, 48000, samples);
    }
};

TEST_F(RecordingToWav, RecordsAtOnceIntoTheFileChosenWithRecInTheTitleAndTheSetupUntouched) {
    fakeRecordingFile.chosenPath = "";
    toggleRecording();
    EXPECT_EQ(callLog, (Calls{"dialog record to wav"})) << "a cancelled dialog records nothing";

    fakeRecordingFile.chosenPath = Take;
    callLog.clear();
    toggleRecording();
    EXPECT_EQ(callLog,
              (Calls{"dialog record to wav", std::string("file create ") + Take, "output record on",
                     "menu text 40021 Stop Recording\tCtrl+R", "menu check 40021", "title Untitled  using:   [REC]"}));
    EXPECT_FALSE(document.modified);
    std::vector<float> played = numberedFrames(0, 48000);
    play(played);

    callLog.clear();
    toggleRecording();
    EXPECT_EQ(callLog, (Calls{"output record off", "menu text 40021 Record to WAV...\tCtrl+R", "menu uncheck 40021",
                              "title Untitled  using:  "}));
    EXPECT_TRUE(fileHolds(played));
    EXPECT_FALSE(document.modified);
}

TEST_F(RecordingToWav, TheRecordingTakesTheOutputAsItIsWhenTheDialogCloses) {
    // The dialog's modal loop lets the stream move to a device of another layout.
    fakeRecordingFile.whileAsking = [] { fakeAudio.lowLatencyLayout = {SampleEncoding::Float32, 1, 4, 44100}; };
    toggleRecording();
    ASSERT_NE(fakeAudio.recordingRing, nullptr);
    EXPECT_EQ(fakeAudio.recordingRing->channels, 1);
    EXPECT_EQ(fakeAudio.recordingRing->rate, 44100u);
    toggleRecording();

    // Or the output falls back to DirectSound, which cannot be recorded.
    fakeRecordingFile.whileAsking = [] { switchAudioOutput(); };
    callLog.clear();
    toggleRecording();
    EXPECT_TRUE(callsStartingWith("file create").empty());
    EXPECT_EQ(fakeAudio.recordingRing, nullptr);
    EXPECT_EQ(fakeMenu.checked.at(CMD_RECORD), false);

    callLog.clear();
    toggleRecording();
    EXPECT_TRUE(callsStartingWith("dialog record").empty()) << "nothing asked where nothing can be recorded";
}

TEST_F(RecordingToWav, AFileThatCannotBeMadeSaysSoAndRecordsNothing) {
    fakeRecordingFile.creationFails = true;
    toggleRecording();
    EXPECT_EQ(callsStartingWith("dialog message"),
              (Calls{std::string("dialog message Could not write ") + Take + "."}));
    EXPECT_TRUE(callsStartingWith("output record").empty());
    EXPECT_EQ(fakeMainWindow.title, "Quillpad Beta A");
}

TEST_F(RecordingToWav, AWriteErrorStopsItWithAMessageNamingTheFileAndAStaleWordStopsNoOther) {
    toggleRecording();
    fakeRecordingFile.appendsFail = true;
    play(numberedFrames(0, 4800));
    ASSERT_TRUE(eventually([] { return fakeRecordingFile.endedTold == 1; }));
    // The user stops it before the writer's word arrives.
    toggleRecording();
    EXPECT_EQ(callsStartingWith("dialog message"),
              (Calls{std::string("dialog message Recording stopped: could not write ") + Take + "."}));
    EXPECT_EQ(fakeMainWindow.title, "Untitled  using:  ");

    fakeRecordingFile.appendsFail = false;
    toggleRecording();
    callLog.clear();
    onRecordingEnded();  // the word of the first recording, late
    EXPECT_TRUE(callLog.empty()) << "the new recording was stopped";
    EXPECT_NE(fakeAudio.recordingRing, nullptr);
}

TEST_F(RecordingToWav, ARecordingThatEndsByItselfIsEndedWithAMessageSayingWhy) {
    toggleRecording();
    fakeAudio.recordingRing->close();  // the output moved to an endpoint of another rate
    ASSERT_TRUE(eventually([] { return fakeRecordingFile.endedTold == 1; }));
    onRecordingEnded();
    EXPECT_EQ(callsStartingWith("dialog message"),
              (Calls{"dialog message Recording stopped: the output changed its rate or channel count."}));
    EXPECT_EQ(fakeAudio.recordingRing, nullptr);
    EXPECT_EQ(fakeMenu.texts.at(CMD_RECORD), "Record to WAV...\tCtrl+R");
}

TEST_F(RecordingToWav, FramesTheDiskCouldNotTakeInTimeAreToldInMillisecondsAtTheStop) {
    toggleRecording();
    // Ten seconds and a tenth at once: more than the ring holds before the writer drains it.
    play(numberedFrames(0, 10 * 48000 + 4800));
    toggleRecording();
    EXPECT_EQ(callsStartingWith("dialog message"),
              (Calls{"dialog message 100 ms of the recording were lost: the disk could not keep up."}));
    EXPECT_TRUE(fileHolds(numberedFrames(0, 10 * 48000)));
}

TEST_F(RecordingToWav, SwitchingTheOutputEndsTheRecordingWithItsFileCompleteBeforeTheOutputCloses) {
    toggleRecording();
    std::vector<float> played = numberedFrames(0, 2400);
    play(played);
    callLog.clear();
    switchAudioOutput();
    EXPECT_EQ(callsStartingWith("output"), (Calls{"output record off", "output close", "output open directsound"}));
    EXPECT_EQ(fakeMenu.checked.at(CMD_RECORD), false);
    EXPECT_TRUE(fileHolds(played));
    EXPECT_TRUE(callsStartingWith("dialog").empty());
}

}  // namespace
