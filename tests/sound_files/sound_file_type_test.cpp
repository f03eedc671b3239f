#include "sound_files/sound_file_type.h"

#include <gtest/gtest.h>

#include "support/program_test.h"

namespace {

class KindsOfSoundFiles : public ProgramTest {};

TEST_F(KindsOfSoundFiles, EachExtensionInAnyCaseNamesItsKind) {
    struct Named {
        const char* name;
        SoundFileType type;
    };
    for (const Named& named : {Named{"kick.wav", SoundFileType::Wave}, Named{"KICK.WAV", SoundFileType::Wave},
                               Named{"a.aif", SoundFileType::Aiff}, Named{"a.AIFF", SoundFileType::Aiff},
                               Named{"a.AiFc", SoundFileType::Aiff}, Named{"C:\\x\\loop.mp3", SoundFileType::Mp3},
                               Named{"loop.Mp3", SoundFileType::Mp3}, Named{"pad.flac", SoundFileType::Flac},
                               Named{"pad.FLAC", SoundFileType::Flac}, Named{"été.ogg", SoundFileType::Ogg},
                               Named{"x.OGA", SoundFileType::Ogg}})
        EXPECT_EQ(soundFileType(named.name), named.type) << named.name;
}

TEST_F(KindsOfSoundFiles, OtherNamesAreNoSound) {
    for (const char* name : {"", "wav", ".wavx", "setup.qpd", "a.mp4", "a.og", "a.flac.txt", "a.aiffx", "mp3"})
        EXPECT_EQ(soundFileType(name), SoundFileType::NotSound) << name;
    EXPECT_EQ(soundFileType(nullptr), SoundFileType::NotSound);
    EXPECT_EQ(soundFileType(".wav"), SoundFileType::Wave);  // a file named by its extension alone
}

TEST_F(KindsOfSoundFiles, MessagesNameEachKindAsUsersKnowIt) {
    EXPECT_STREQ(soundFileTypeName(SoundFileType::Wave), "WAV");
    EXPECT_STREQ(soundFileTypeName(SoundFileType::Aiff), "AIFF");
    EXPECT_STREQ(soundFileTypeName(SoundFileType::Mp3), "MP3");
    EXPECT_STREQ(soundFileTypeName(SoundFileType::Flac), "FLAC");
    EXPECT_STREQ(soundFileTypeName(SoundFileType::Ogg), "Ogg Vorbis");
    EXPECT_STREQ(soundFileTypeName(SoundFileType::NotSound), "");
}

}  // namespace
