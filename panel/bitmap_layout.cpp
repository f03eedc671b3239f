#include "panel/bitmap_layout.h"

namespace {

uint32_t read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint32_t UncompressedRgb = 0;

}  // namespace

int colourCountFor(uint16_t bitsPerPixel, uint32_t coloursUsed) {
    if (coloursUsed != 0) return coloursUsed > 0x7fffffffu ? 0x7fffffff : static_cast<int>(coloursUsed);
    switch (bitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

bool readBitmapLayout(const uint8_t* data, size_t size, BitmapLayout& layout) {
    if (!data || size < BitmapInfoHeaderSize) return false;
    BitmapLayout read;
    read.headerSize = read32(data);
    read.width = static_cast<int32_t>(read32(data + 4));
    read.height = static_cast<int32_t>(read32(data + 8));
    read.bitsPerPixel = read16(data + 14);
    uint32_t compression = read32(data + 16);
    uint32_t coloursUsed = read32(data + 32);

    if (read.headerSize < BitmapInfoHeaderSize || read.headerSize > size) return false;
    if (compression != UncompressedRgb) return false;
    switch (read.bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    // Drawn bottom-up, row 0 to height; top-down and empty bitmaps are not ours.
    if (read.width <= 0 || read.height <= 0) return false;
    if (read.bitsPerPixel <= 8 && coloursUsed > (1u << read.bitsPerPixel)) return false;
    if (coloursUsed > 256) return false;

    read.colourCount = colourCountFor(read.bitsPerPixel, coloursUsed);
    uint64_t pixelOffset = uint64_t{read.headerSize} + 4u * static_cast<uint64_t>(read.colourCount);
    uint64_t rowBytes = (static_cast<uint64_t>(read.width) * read.bitsPerPixel + 31) / 32 * 4;
    uint64_t pixelBytes = rowBytes * static_cast<uint64_t>(read.height);
    if (pixelOffset > size || pixelBytes > size - pixelOffset) return false;
    read.pixelOffset = static_cast<size_t>(pixelOffset);
    layout = read;
    return true;
}

PaletteColour bitmapColour(const uint8_t* data, const BitmapLayout& layout, int i) {
    const uint8_t* entry = data + layout.headerSize + 4 * static_cast<size_t>(i);
    return PaletteColour{entry[2], entry[1], entry[0]};
}
