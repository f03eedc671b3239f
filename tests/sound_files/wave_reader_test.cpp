#include "sound_files/wave_reader.h"

#include <cstring>
#include <gtest/gtest.h>

#include "sound_files/wave_format.h"
#include "support/program_test.h"
#include "support/temp_files.h"
#include "support/wave_bytes.h"

using namespace wavetest;

namespace {

class ReadingWaveFiles : public ProgramTest {
protected:
    void TearDown() override {
        closeWaveFile(&file, &format);
        ProgramTest::TearDown();
    }

    // The bytes stay in the fixture while the file is open.
    WaveResult open(const Bytes& bytes) {
        held = bytes;
        return openWaveBytes(held.data(), held.size(), &file, &format, &riff);
    }
    WaveResult openPath(const std::string& path) { return openWaveFile(path.c_str(), &file, &format, &riff); }

    // Opens, finds the data chunk and reads up to maxBytes into out.
    WaveResult readAll(const Bytes& bytes, Bytes& out, uint32_t maxBytes = 1 << 20) {
        if (WaveResult result = open(bytes)) return result;
        if (WaveResult result = findDataChunk(file, &riff, &data)) return result;
        out.assign(maxBytes, 0xEE);
        WaveResult result = readWaveData(file, maxBytes, out.data(), &data, &copied);
        out.resize(copied);
        return result;
    }

    const uint8_t* extraBytes() const { return reinterpret_cast<const uint8_t*>(format) + 18; }

    TempFiles files;
    Bytes held;
    WaveFile* file = nullptr;
    WaveFormatRecord* format = nullptr;
    WaveChunkInfo riff;
    WaveChunkInfo data;
    uint32_t copied = 99;
};

TEST_F(ReadingWaveFiles, PlainPcmFileGivesItsFormatAndExactlyItsSampleBytes) {
    Bytes out;
    ASSERT_EQ(readAll(riffWave(concat({pcmFormatChunk(2, 44100, 16), chunk("data", countingBytes(10))})), out), 0u);
    EXPECT_EQ(format->formatTag, 1);
    EXPECT_EQ(format->channels, 2);
    EXPECT_EQ(format->samplesPerSec, 44100u);
    EXPECT_EQ(format->avgBytesPerSec, 176400u);
    EXPECT_EQ(format->blockAlign, 4);
    EXPECT_EQ(format->bitsPerSample, 16);
    EXPECT_EQ(format->extraSize, 0);
    EXPECT_EQ(riff.ckid, waveChunkId("RIFF"));
    EXPECT_EQ(riff.fccType, waveChunkId("WAVE"));
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(data.ckid, waveChunkId("data"));
    EXPECT_EQ(data.dwDataOffset, 12u + 24u + 8u);
    EXPECT_EQ(out, countingBytes(10));
    EXPECT_EQ(data.cksize, 0u);
}

TEST_F(ReadingWaveFiles, ReadsCountDownTheDataChunkAndNeverCopyPastIt) {
    ASSERT_EQ(
        open(riffWave(concat({pcmFormatChunk(), chunk("data", countingBytes(10)), chunk("junk", Bytes(6, 0x77))}))),
        0u);
    ASSERT_EQ(findDataChunk(file, &riff, &data), 0u);
    EXPECT_EQ(waveBytesLeft(file), 10u + 14u);
    Bytes out(32, 0xEE);
    ASSERT_EQ(readWaveData(file, 4, out.data(), &data, &copied), 0u);
    EXPECT_EQ(copied, 4u);
    EXPECT_EQ(data.cksize, 6u);
    ASSERT_EQ(readWaveData(file, 100, out.data() + 4, &data, &copied), 0u);
    EXPECT_EQ(copied, 6u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 10), countingBytes(10));
    EXPECT_EQ(out[10], 0xEE);
    ASSERT_EQ(readWaveData(file, 100, out.data(), &data, &copied), 0u);
    EXPECT_EQ(copied, 0u);
}

TEST_F(ReadingWaveFiles, ChunksAreFoundInAnyOrderPastOtherAndOddSizedChunks) {
    Bytes samples = countingBytes(7);  // odd: followed by a pad byte
    Bytes list = chunk("LIST", concat({Bytes{'I', 'N', 'F', 'O'}, chunk("INAM", Bytes(5, 'x'))}));
    const Bytes layouts[] = {
        concat({pcmFormatChunk(), list, chunk("data", samples)}),
        concat({chunk("data", samples), chunk("odd ", Bytes(3, 1)), pcmFormatChunk()}),
        concat({chunk("odd ", Bytes(1, 1)), chunk("zero", {}), pcmFormatChunk(), chunk("zero", {}),
                chunk("data", samples)}),
    };
    for (const Bytes& layout : layouts) {
        Bytes out;
        EXPECT_EQ(readAll(riffWave(layout), out), 0u);
        EXPECT_EQ(out, samples);
        EXPECT_EQ(format ? format->channels : 0, 1);
        closeWaveFile(&file, &format);
    }
}

TEST_F(ReadingWaveFiles, OnlyTheFirstFmtAndDataChunksCount) {
    Bytes out;
    Bytes layout = concat({pcmFormatChunk(1, 8000), chunk("data", countingBytes(4)), pcmFormatChunk(2, 48000),
                           chunk("data", countingBytes(4, 50))});
    ASSERT_EQ(readAll(riffWave(layout), out), 0u);
    EXPECT_EQ(format->samplesPerSec, 8000u);
    EXPECT_EQ(out, countingBytes(4));
}

TEST_F(ReadingWaveFiles, PcmFormatChunksLongerThan16BytesAreNotReadPastTheFields) {
    // 18 bytes with an extra size of 0, and 20 bytes whose extra size claims 2.
    Bytes eighteen = formatFields();
    appendLe16(eighteen, 0);
    Bytes twenty = formatFields();
    appendLe16(twenty, 2);
    appendLe16(twenty, 0xBEEF);
    for (const Bytes& body : {eighteen, twenty}) {
        Bytes out;
        ASSERT_EQ(readAll(riffWave(concat({chunk("fmt ", body), chunk("data", countingBytes(6))})), out), 0u);
        EXPECT_EQ(format->extraSize, 0);
        EXPECT_EQ(out, countingBytes(6));
        closeWaveFile(&file, &format);
    }
}

TEST_F(ReadingWaveFiles, FormatChunkShorterThan16BytesIsNotAWave) {
    Bytes fourteen = formatFields();
    fourteen.resize(14);
    EXPECT_EQ(open(riffWave(concat({chunk("fmt ", fourteen), chunk("data", countingBytes(4))}))), WaveErrorNotWave);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(format, nullptr);
}

TEST_F(ReadingWaveFiles, NonPcmFormatKeepsItsExtraBytesAfterThe18ByteHeader) {
    Bytes body = formatFields(1, 22050, 4, 0x11);
    appendLe16(body, 2);
    appendLe16(body, 0x01F9);
    ASSERT_EQ(open(riffWave(concat({chunk("fmt ", body), chunk("data", countingBytes(4))}))), 0u);
    EXPECT_EQ(format->formatTag, 0x11);
    EXPECT_EQ(format->bitsPerSample, 4);
    EXPECT_EQ(format->extraSize, 2);
    EXPECT_EQ(extraBytes()[0], 0xF9);
    EXPECT_EQ(extraBytes()[1], 0x01);
    EXPECT_EQ(findDataChunk(file, &riff, &data), 0u);
}

TEST_F(ReadingWaveFiles, NonPcmFormatWithoutRoomForAnExtraSizeHasNone) {
    // A 16-byte float format: the next chunk's id is not taken for a size.
    ASSERT_EQ(open(riffWave(concat({chunk("fmt ", formatFields(1, 44100, 32, 3)), chunk("data", countingBytes(8))}))),
              0u);
    EXPECT_EQ(format->formatTag, 3);
    EXPECT_EQ(format->extraSize, 0);
}

TEST_F(ReadingWaveFiles, ExtraSizeLargerThanTheFormatChunkHoldsIsNotAWave) {
    // The 3 announced bytes would come from the data chunk's header.
    Bytes body = formatFields(1, 22050, 4, 0x11);
    appendLe16(body, 3);
    appendLe16(body, 0);
    EXPECT_EQ(open(riffWave(concat({chunk("fmt ", body), chunk("data", countingBytes(8))}))), WaveErrorNotWave);
    EXPECT_EQ(format, nullptr);
}

TEST_F(ReadingWaveFiles, FilesThatAreNotRiffWaveAreRefused) {
    Bytes text;
    appendText(text, "This is a plain text file, long enough to hold a header.\n");
    Bytes aiff;
    appendText(aiff, "FORM");
    appendLe32(aiff, 4);
    appendText(aiff, "AIFF");
    Bytes avi = simpleWave(countingBytes(4));
    std::memcpy(avi.data() + 8, "AVI ", 4);
    for (const Bytes& bytes : {text, aiff, avi}) {
        EXPECT_EQ(open(bytes), WaveErrorNotWave);
        EXPECT_EQ(file, nullptr);
    }
}

TEST_F(ReadingWaveFiles, AFileOnDiskReadsExactlyAsItsBytesInMemory) {
    Bytes wave = riffWave(
        concat({chunk("LIST", countingBytes(7)), pcmFormatChunk(1, 22050, 8), chunk("data", countingBytes(70001))}));
    Bytes fromMemory;
    ASSERT_EQ(readAll(wave, fromMemory), 0u);
    closeWaveFile(&file, &format);

    ASSERT_EQ(openPath(files.write("disk.wav", wave)), 0u);
    ASSERT_EQ(findDataChunk(file, &riff, &data), 0u);
    Bytes fromDisk(1 << 20, 0xEE);
    ASSERT_EQ(readWaveData(file, 1 << 20, fromDisk.data(), &data, &copied), 0u);
    fromDisk.resize(copied);
    EXPECT_EQ(fromDisk, fromMemory);
    EXPECT_EQ(format->samplesPerSec, 22050u);
    // A file cut short in its data reads as corrupt from disk too.
    closeWaveFile(&file, &format);
    Bytes cut(wave.begin(), wave.end() - 1000);
    ASSERT_EQ(openPath(files.write("cut.wav", cut)), 0u);
    ASSERT_EQ(findDataChunk(file, &riff, &data), 0u);
    EXPECT_EQ(readWaveData(file, 1 << 20, fromDisk.data(), &data, &copied), WaveErrorCorrupt);
    EXPECT_EQ(copied, 0u);
}

TEST_F(ReadingWaveFiles, MissingEmptyAndHeadlessFilesFailToOpen) {
    EXPECT_EQ(openPath(files.folder + "/no such file.wav"), WaveErrorCannotOpen);
    EXPECT_EQ(open({}), WaveErrorChunkNotFound);
    EXPECT_EQ(open(Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A'}), WaveErrorChunkNotFound);
    EXPECT_EQ(open(riffWave({})), WaveErrorChunkNotFound);  // no "fmt " chunk
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(format, nullptr);
    EXPECT_EQ(riff.ckid, 0u);
}

TEST_F(ReadingWaveFiles, FilesCutInsideTheFormatChunkFail) {
    Bytes fields = riffWave(pcmFormatChunk());
    fields.resize(fields.size() - 6);  // inside the 16 fields
    EXPECT_EQ(open(fields), WaveErrorCannotRead);

    Bytes noExtraSize = formatFields(1, 22050, 4, 0x11);
    noExtraSize.push_back(0);  // one byte of the two
    Bytes cutSize = riffWave(chunk("fmt ", noExtraSize, 20));
    cutSize.pop_back();  // the pad byte
    EXPECT_EQ(open(cutSize), WaveErrorCannotRead);

    Bytes shortExtra = formatFields(1, 22050, 4, 0x11);
    appendLe16(shortExtra, 8);
    appendLe16(shortExtra, 0);
    EXPECT_EQ(open(riffWave(chunk("fmt ", shortExtra, 26))), WaveErrorNotWave);
    EXPECT_EQ(format, nullptr);
}

TEST_F(ReadingWaveFiles, MissingDataChunkIsReportedAsNotFound) {
    ASSERT_EQ(open(riffWave(concat({pcmFormatChunk(), chunk("LIST", Bytes(9, 'x'))}))), 0u);
    EXPECT_EQ(findDataChunk(file, &riff, &data), WaveErrorChunkNotFound);
}

TEST_F(ReadingWaveFiles, SearchStaysInsideTheRiffChunk) {
    // The RIFF size covers only "WAVE" and the format chunk.
    Bytes body = concat({pcmFormatChunk(), chunk("data", countingBytes(4))});
    ASSERT_EQ(open(riffWave(body, 4 + 24)), 0u);
    EXPECT_EQ(findDataChunk(file, &riff, &data), WaveErrorChunkNotFound);
}

TEST_F(ReadingWaveFiles, HugeAnnouncedSizesNeitherHangNorReadPastTheFile) {
    // A chunk claiming almost 4 GB hides everything after it.
    Bytes hiding =
        concat({pcmFormatChunk(), chunk("LIST", Bytes(4, 'x'), 0xFFFFFFF0), chunk("data", countingBytes(4))});
    ASSERT_EQ(open(riffWave(hiding, 0xFFFFFFFF)), 0u);
    EXPECT_EQ(findDataChunk(file, &riff, &data), WaveErrorChunkNotFound);
    closeWaveFile(&file, &format);

    // A huge format chunk: the fields load, the search then ends at the file's end.
    ASSERT_EQ(open(riffWave(chunk("fmt ", formatFields(), 0xFFFFFFFF))), 0u);
    EXPECT_EQ(waveBytesLeft(file), 0u);
    EXPECT_EQ(findDataChunk(file, &riff, &data), WaveErrorChunkNotFound);
}

TEST_F(ReadingWaveFiles, DataChunkAnnouncingMoreThanTheFileHoldsIsVisibleBeforeReadingAndFailsToRead) {
    Bytes cut = riffWave(concat({pcmFormatChunk(), chunk("data", countingBytes(100))}));
    cut.resize(cut.size() - 60);
    ASSERT_EQ(open(cut), 0u);
    ASSERT_EQ(findDataChunk(file, &riff, &data), 0u);
    EXPECT_EQ(data.cksize, 100u);
    EXPECT_EQ(waveBytesLeft(file), 40u);
    Bytes out(100);
    EXPECT_EQ(readWaveData(file, 100, out.data(), &data, &copied), WaveErrorCorrupt);
    EXPECT_EQ(copied, 0u);
}

TEST_F(ReadingWaveFiles, EmptyDataChunkReadsNothingSuccessfully) {
    Bytes out;
    EXPECT_EQ(readAll(simpleWave({}), out), 0u);
    EXPECT_EQ(copied, 0u);
}

TEST_F(ReadingWaveFiles, ClosingEmptyHandlesDoesNothing) {
    closeWaveFile(&file, &format);
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(waveBytesLeft(nullptr), 0u);
    EXPECT_EQ(readWaveData(nullptr, 4, nullptr, &data, &copied), WaveErrorNoBufferState);
}

}  // namespace
