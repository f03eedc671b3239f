// Reading the panel bitmaps' headers: colour tables, pixel offsets, sizes,
// and refusing bytes that would be drawn out of bounds.
#include "panel/bitmap_layout.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "support/program_test.h"

namespace {

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A packed bitmap: 40-byte header, colour table, then exactly the pixel rows.
std::vector<uint8_t> packedBitmap(int32_t width, int32_t height, uint16_t bits, uint32_t coloursUsed) {
    int colours = colourCountFor(bits, coloursUsed);
    size_t rowBytes = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
    size_t rows = height > 0 ? static_cast<size_t>(height) : 0;
    std::vector<uint8_t> b(40 + 4 * static_cast<size_t>(colours) + rowBytes * rows, 0);
    put32(b, 0, 40);
    put32(b, 4, static_cast<uint32_t>(width));
    put32(b, 8, static_cast<uint32_t>(height));
    b[12] = 1;
    b[14] = static_cast<uint8_t>(bits);
    put32(b, 32, coloursUsed);
    return b;
}

BitmapLayout layoutOf(const std::vector<uint8_t>& bytes) {
    BitmapLayout layout;
    EXPECT_TRUE(readBitmapLayout(bytes.data(), bytes.size(), layout));
    return layout;
}

bool accepted(const std::vector<uint8_t>& bytes) {
    BitmapLayout layout;
    return readBitmapLayout(bytes.data(), bytes.size(), layout);
}

class BitmapHeader : public ProgramTest {};

}  // namespace

TEST_F(BitmapHeader, ColoursUsedFieldGivesTheTableAndPixelsFollowIt) {
    BitmapLayout pitchUp = layoutOf(packedBitmap(25, 30, 8, 44));
    EXPECT_EQ(pitchUp.colourCount, 44);
    EXPECT_EQ(pitchUp.pixelOffset, 216u);
    EXPECT_EQ(pitchUp.width, 25);
    EXPECT_EQ(pitchUp.height, 30);
}

TEST_F(BitmapHeader, EmptyColoursUsedFieldFollowsTheDepth) {
    EXPECT_EQ(layoutOf(packedBitmap(604, 327, 8, 0)).colourCount, 256);
    EXPECT_EQ(layoutOf(packedBitmap(604, 327, 8, 0)).pixelOffset, 40u + 1024u);
    EXPECT_EQ(layoutOf(packedBitmap(30, 30, 4, 0)).colourCount, 16);
    EXPECT_EQ(layoutOf(packedBitmap(30, 30, 4, 0)).pixelOffset, 104u);
    EXPECT_EQ(layoutOf(packedBitmap(8, 8, 1, 0)).colourCount, 2);
    EXPECT_EQ(layoutOf(packedBitmap(8, 8, 24, 0)).colourCount, 0);
    EXPECT_EQ(layoutOf(packedBitmap(8, 8, 24, 0)).pixelOffset, 40u);
}

TEST_F(BitmapHeader, PaletteColoursAreStoredBlueGreenRed) {
    std::vector<uint8_t> bytes = packedBitmap(4, 4, 8, 3);
    bytes[40 + 8] = 10;   // entry 2: blue
    bytes[40 + 9] = 20;   // green
    bytes[40 + 10] = 30;  // red
    BitmapLayout layout = layoutOf(bytes);
    PaletteColour c = bitmapColour(bytes.data(), layout, 2);
    EXPECT_EQ(c.red, 30);
    EXPECT_EQ(c.green, 20);
    EXPECT_EQ(c.blue, 10);
}

TEST_F(BitmapHeader, RowsArePaddedToFourBytesAndMustAllBePresent) {
    // 25 pixels of 4 bits are 13 bytes, padded to 16: 30 rows of 16 bytes.
    std::vector<uint8_t> bytes = packedBitmap(25, 30, 4, 0);
    EXPECT_EQ(bytes.size(), 40u + 64u + 480u);
    EXPECT_TRUE(accepted(bytes));
    bytes.pop_back();
    EXPECT_FALSE(accepted(bytes));
}

TEST_F(BitmapHeader, DamagedHeadersAreRefused) {
    std::vector<uint8_t> tooShort(39, 0);
    EXPECT_FALSE(accepted(tooShort));

    std::vector<uint8_t> bytes = packedBitmap(4, 4, 8, 0);
    put32(bytes, 0, 12);  // an old-style core header is not ours
    EXPECT_FALSE(accepted(bytes));
    put32(bytes, 0, 0xFFFFFFF0u);  // header past the end
    EXPECT_FALSE(accepted(bytes));

    std::vector<uint8_t> compressed = packedBitmap(4, 4, 8, 0);
    put32(compressed, 16, 1);
    EXPECT_FALSE(accepted(compressed));

    EXPECT_FALSE(accepted(packedBitmap(4, -4, 8, 0)));
    EXPECT_FALSE(accepted(packedBitmap(0, 4, 8, 0)));
    EXPECT_FALSE(accepted(packedBitmap(4, 4, 7, 0)));

    std::vector<uint8_t> hugeTable = packedBitmap(4, 4, 8, 0);
    put32(hugeTable, 32, 0x40000000u);  // would put the pixels far past the end
    EXPECT_FALSE(accepted(hugeTable));
    std::vector<uint8_t> tooManyFor4Bits = packedBitmap(4, 4, 4, 0);
    put32(tooManyFor4Bits, 32, 17);
    EXPECT_FALSE(accepted(tooManyFor4Bits));
}

TEST_F(BitmapHeader, HugeDimensionsDoNotWrapIntoASmallPixelSize) {
    std::vector<uint8_t> bytes = packedBitmap(4, 4, 32, 0);
    put32(bytes, 4, 0x7FFFFFFFu);
    put32(bytes, 8, 0x7FFFFFFFu);
    EXPECT_FALSE(accepted(bytes));
}
