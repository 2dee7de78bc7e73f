// BMP, TGA and DDS reading: hand-built files for the variants our savers do not write (palettes,
// run-length encoding, bit fields, corner orders, the archive reader's DDS header), and
// truncated or lying headers.
#include "imagecodec/image_readers.h"
#include "tests/unit/imagecodec_test_support.h"

namespace vela::codec::testing {
namespace {

void Le16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Le32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Le16(out, v & 0xFFFF);
  Le16(out, v >> 16);
}

// A BMP with an info header of `infoSize` bytes. Bit-field masks go inside a longer header, or
// right after a version-1 one; then the palette and the pixels.
std::vector<std::uint8_t> Bmp(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
                              const std::vector<std::uint8_t>& palette, const std::vector<std::uint8_t>& pixels,
                              std::uint32_t infoSize = 40, const std::vector<std::uint32_t>& masks = {}) {
  std::vector<std::uint8_t> header;
  Le32(header, infoSize);
  Le32(header, static_cast<std::uint32_t>(width));
  Le32(header, static_cast<std::uint32_t>(height));
  Le16(header, 1);
  Le16(header, static_cast<std::uint32_t>(bits));
  Le32(header, compression);
  for (int i = 0; i < 5; ++i) Le32(header, 0);
  for (std::uint32_t mask : masks) Le32(header, mask);
  if (infoSize > 40) header.resize(infoSize, 0);
  std::vector<std::uint8_t> out = {'B', 'M'};
  const auto offset = static_cast<std::uint32_t>(14 + header.size() + palette.size());
  Le32(out, offset + static_cast<std::uint32_t>(pixels.size()));
  Le32(out, 0);
  Le32(out, offset);
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

const std::vector<std::uint8_t> kFourColourPalette = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

TEST(ImageCodecBmp, PalettedBottomUpAndTopDown) {
  // 3 x 2, 8-bit indices, rows padded to 4 bytes; the file's first row is the bottom one.
  const std::vector<std::uint8_t> rows = {0, 1, 2, 0, 3, 2, 1, 0};
  const auto bottomUp = Bmp(3, 2, 8, 0, kFourColourPalette, rows);
  EXPECT_EQ(InfoOf(bottomUp).format, PixelFormat::kP8);
  Pixels out;
  ASSERT_EQ(LoadNative(bottomUp, out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kWhite, kBlue, kGreen, kRed, kGreen, kBlue}));
  ASSERT_EQ(LoadNative(Bmp(3, -2, 8, 0, kFourColourPalette, rows), out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kRed, kGreen, kBlue, kWhite, kBlue, kGreen}));
}

TEST(ImageCodecBmp, OneAndFourBitIndices) {
  Pixels out;
  ASSERT_EQ(LoadNative(Bmp(10, 1, 1, 0, {0, 0, 0, 0, 255, 255, 255, 0}, {0xA5, 0xC0, 0, 0}), out), Result::kOk);
  const std::vector<std::uint32_t> bits = {1, 0, 1, 0, 0, 1, 0, 1, 1, 1};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(out.argb[x], bits[x] ? kWhite : 0xFF000000u) << x;
  ASSERT_EQ(LoadNative(Bmp(3, 1, 4, 0, kFourColourPalette, {0x32, 0x10, 0, 0}), out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kWhite, kBlue, kGreen}));
}

TEST(ImageCodecBmp, RunLengthEncodedEightBit) {
  // 4 x 3, bottom row first: run of 4 x index 1; literal 2, 3, 0 then run 1 x 2; delta to the
  // top row's second pixel; end of bitmap. Skipped pixels take palette entry 0.
  const std::vector<std::uint8_t> rle = {4, 1, 0, 0, 0, 3, 2, 3, 0, 0, 1, 2, 0, 0, 0, 2, 1, 0, 1, 3, 0, 1};
  Pixels out;
  ASSERT_EQ(LoadNative(Bmp(4, 3, 8, 1, kFourColourPalette, rle), out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kRed, kWhite, kRed, kRed, kBlue, kWhite, kRed, kBlue,
                                                  kGreen, kGreen, kGreen, kGreen}));
}

TEST(ImageCodecBmp, BitFieldsSixteenAndThirtyTwoBit) {
  Pixels out;
  // R5G6B5 through bit fields after a version-1 header.
  const auto rgb565 = Bmp(2, 1, 16, 3, {}, {0x00, 0xF8, 0x1F, 0x00}, 40, {0xF800, 0x07E0, 0x001F});
  ASSERT_EQ(LoadNative(rgb565, out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kRed, kBlue}));
  // A version-5 header with an alpha mask keeps alpha; plain 32-bit ignores the fourth byte.
  const std::vector<std::uint8_t> pixel = {0x30, 0x20, 0x10, 0x40};
  const auto withAlpha = Bmp(1, 1, 32, 3, {}, pixel, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
  ASSERT_EQ(LoadNative(withAlpha, out), Result::kOk);
  EXPECT_EQ(out.argb[0], 0x40102030u);
  // Masks that are not one run of bits are refused.
  EXPECT_EQ(ReadInfo(Bmp(1, 1, 16, 3, {}, {0, 0, 0, 0}, 40, {0xF00F, 0x07E0, 0x001F})), Result::kInvalidData);
}

// The reading for image editors' files: a BI_RGB bitmap's fourth bytes are alpha, and an image
// whose alpha is 0 everywhere (declared or not) is opaque.
TEST(ImageCodecBmp, StoredAlphaReadsUndeclaredFourthBytes) {
  const auto decode = [](const std::vector<std::uint8_t>& file) {
    ArgbImage image;
    EXPECT_EQ(DecodeBmp(ByteSpan(file.data(), file.size()), image, UndeclaredAlpha::kStored), Result::kOk);
    return std::vector<std::uint32_t>(image.pixels(), image.pixels() + image.pixelCount());
  };
  const std::vector<std::uint8_t> pixels = {0x30, 0x20, 0x10, 0x40, 0x30, 0x20, 0x10, 0x00};
  EXPECT_EQ(decode(Bmp(2, 1, 32, 0, {}, pixels)), (std::vector<std::uint32_t>{0x40102030u, 0x00102030u}));
  const std::vector<std::uint8_t> noAlpha = {0x30, 0x20, 0x10, 0x00, 0x30, 0x20, 0x10, 0x00};
  EXPECT_EQ(decode(Bmp(2, 1, 32, 0, {}, noAlpha)), (std::vector<std::uint32_t>{0xFF102030u, 0xFF102030u}));
  const auto declaredZero = Bmp(2, 1, 32, 3, {}, noAlpha, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
  EXPECT_EQ(decode(declaredZero), (std::vector<std::uint32_t>{0xFF102030u, 0xFF102030u}));
}

TEST(ImageCodecBmp, TruncatedAndLyingHeadersFail) {
  const auto file = Bmp(3, 2, 24, 0, {}, std::vector<std::uint8_t>(24, 0x55));
  Pixels out;
  ASSERT_EQ(LoadNative(file, out), Result::kOk);
  for (std::size_t length : {std::size_t{2}, std::size_t{20}, std::size_t{53}, file.size() - 1}) {
    const std::vector<std::uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_EQ(Load(cut, 3, 2, out), Result::kInvalidData) << length;
  }
  EXPECT_EQ(ReadInfo(Bmp(100000, 100000, 24, 0, {}, std::vector<std::uint8_t>(24, 0))), Result::kInvalidData);
  EXPECT_EQ(ReadInfo(Bmp(1, 1, 24, 4, {}, std::vector<std::uint8_t>(4, 0))), Result::kInvalidData);
}

// --- TGA ---

std::vector<std::uint8_t> Tga(int type, int width, int height, int bits, int descriptor,
                              const std::vector<std::uint8_t>& body, const std::vector<std::uint8_t>& map = {},
                              int mapEntryBits = 0) {
  std::vector<std::uint8_t> out = {0, static_cast<std::uint8_t>(map.empty() ? 0 : 1), static_cast<std::uint8_t>(type)};
  Le16(out, 0);
  Le16(out, map.empty() ? 0 : static_cast<std::uint32_t>(map.size() / (mapEntryBits / 8)));
  out.push_back(static_cast<std::uint8_t>(mapEntryBits));
  Le32(out, 0);
  Le16(out, static_cast<std::uint32_t>(width));
  Le16(out, static_cast<std::uint32_t>(height));
  out.push_back(static_cast<std::uint8_t>(bits));
  out.push_back(static_cast<std::uint8_t>(descriptor));
  out.insert(out.end(), map.begin(), map.end());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

TEST(ImageCodecTga, RunLengthTrueColourInEveryCornerOrder) {
  // 3 x 2, 32 bits: a run of three red pixels, then a raw packet of green, blue, white.
  const std::vector<std::uint8_t> body = {0x82, 0, 0, 255, 255, 0x02, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255};
  Pixels out;
  const auto topDown = Tga(10, 3, 2, 32, 0x28, body);
  EXPECT_EQ(InfoOf(topDown).format, PixelFormat::kA8R8G8B8);
  ASSERT_EQ(LoadNative(topDown, out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kRed, kRed, kRed, kGreen, kBlue, kWhite}));
  ASSERT_EQ(LoadNative(Tga(10, 3, 2, 32, 0x38, body), out), Result::kOk);  // top-down, right to left
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kRed, kRed, kRed, kWhite, kBlue, kGreen}));
}

TEST(ImageCodecTga, GreyColourMappedAndSixteenBit) {
  Pixels out;
  ASSERT_EQ(LoadNative(Tga(3, 2, 1, 8, 0x20, {0x10, 0xF0}), out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{0xFF101010u, 0xFFF0F0F0u}));
  const std::vector<std::uint8_t> map = {0, 0, 255, 255, 0, 0};  // red, blue (24-bit B, G, R)
  ASSERT_EQ(LoadNative(Tga(1, 3, 1, 8, 0x20, {1, 0, 7}, map, 24), out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kBlue, kRed, 0xFF000000u}));  // 7 is outside the map
  // A1R5G5B5 with one alpha bit: 0x7C00 is red and transparent, 0x801F blue and opaque.
  ASSERT_EQ(LoadNative(Tga(2, 2, 1, 16, 0x21, {0x00, 0x7C, 0x1F, 0x80}), out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{0x00FF0000u, kBlue}));
}

TEST(ImageCodecTga, StoredAlphaReadsThirtyTwoBitPixelsWithoutAlphaBits) {
  // Descriptor 0x20: top-down, no alpha bits. Direct3D's reading is opaque; the stored reading
  // keeps each fourth byte, 0 included.
  const auto file = Tga(2, 2, 1, 32, 0x20, {0x30, 0x20, 0x10, 0x40, 0x30, 0x20, 0x10, 0x00});
  const ByteSpan bytes(file.data(), file.size());
  ArgbImage image;
  ASSERT_EQ(DecodeTga(bytes, image), Result::kOk);
  EXPECT_EQ(std::vector<std::uint32_t>(image.pixels(), image.pixels() + 2),
            (std::vector<std::uint32_t>{0xFF102030u, 0xFF102030u}));
  ASSERT_EQ(DecodeTga(bytes, image, UndeclaredAlpha::kStored), Result::kOk);
  EXPECT_EQ(std::vector<std::uint32_t>(image.pixels(), image.pixels() + 2),
            (std::vector<std::uint32_t>{0x40102030u, 0x00102030u}));
}

TEST(ImageCodecTga, InconsistentOrShortFilesFail) {
  Pixels out;
  EXPECT_EQ(ReadInfo(Tga(5, 2, 1, 8, 0x20, {0, 0})), Result::kInvalidData);
  EXPECT_EQ(LoadNative(Tga(2, 2, 2, 24, 0x20, std::vector<std::uint8_t>(11, 0)), out), Result::kInvalidData);
  // A run-length file that ends inside a packet, and one that claims 65535 x 65535 pixels.
  EXPECT_EQ(Load(Tga(10, 4, 1, 24, 0x20, {0x03, 1, 2, 3, 4, 5}), 4, 1, out), Result::kInvalidData);
  EXPECT_EQ(ReadInfo(Tga(10, 65535, 65535, 24, 0x20, {0xFF, 1, 2, 3})), Result::kInvalidData);
}

// --- DDS ---

// A DDS file: the header with the given flags and pixel format words (from its flags on), then `body`.
std::vector<std::uint8_t> Dds(std::uint32_t width, std::uint32_t height, std::uint32_t flags,
                              const std::vector<std::uint32_t>& pixelFormat, const std::vector<std::uint8_t>& body) {
  std::vector<std::uint8_t> out = {'D', 'D', 'S', ' '};
  for (std::uint32_t word : {124u, flags, height, width}) Le32(out, word);
  out.resize(76, 0);
  Le32(out, 32);
  for (std::uint32_t word : pixelFormat) Le32(out, word);
  out.resize(108, 0);
  Le32(out, 0x1000);
  out.resize(128, 0);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// The header that the QPK reader writes for A8R8G8B8 images, followed by the pixels.
std::vector<std::uint8_t> ArchiveDds(std::uint32_t width, std::uint32_t height, const std::vector<std::uint32_t>& argb) {
  std::vector<std::uint8_t> pixels;
  for (std::uint32_t p : argb) Le32(pixels, p);
  return Dds(width, height, 0x1007, {0x41, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, pixels);
}

std::vector<std::uint8_t> FourCCDds(std::uint32_t width, std::uint32_t height, const char* fourCC,
                                    const std::vector<std::uint8_t>& blocks) {
  std::uint32_t code = 0;
  for (int i = 3; i >= 0; --i) code = code << 8 | static_cast<std::uint8_t>(fourCC[i]);
  return Dds(width, height, 0x81007, {0x4, code}, blocks);
}

TEST(ImageCodecDds, ArchiveHeaderReadsAsArgb) {
  const std::vector<std::uint32_t> argb = {0x80FF0000u, 0x0000FF00u, 0xFF0000FFu, 0x12345678u, 0xFFFFFFFFu, 0};
  const auto file = ArchiveDds(3, 2, argb);
  EXPECT_EQ(InfoOf(file).format, PixelFormat::kA8R8G8B8);
  Pixels out;
  ASSERT_EQ(LoadNative(file, out), Result::kOk);
  EXPECT_EQ(out.argb, argb);
  const std::vector<std::uint8_t> cut(file.begin(), file.end() - 1);
  EXPECT_EQ(Load(cut, 3, 2, out), Result::kInvalidData);
}

TEST(ImageCodecDds, DxtBlocksIncludingAPartialOne) {
  // One DXT1 block: colour0 white, colour1 black (four-colour mode); rows of indices 0, 1, 2, 3.
  const std::vector<std::uint8_t> block = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x55, 0xAA, 0xFF};
  const auto file = FourCCDds(3, 3, "DXT1", block);  // 3 x 3 lives in one 4 x 4 block
  Pixels out;
  ASSERT_EQ(LoadNative(file, out), Result::kOk);
  EXPECT_EQ(out.argb, (std::vector<std::uint32_t>{kWhite, kWhite, kWhite, 0xFF000000u, 0xFF000000u, 0xFF000000u,
                                                  0xFFAAAAAAu, 0xFFAAAAAAu, 0xFFAAAAAAu}));
  const auto truncated = FourCCDds(5, 4, "DXT1", block);  // needs two blocks
  EXPECT_EQ(ReadInfo(truncated), Result::kInvalidData);
  EXPECT_EQ(ReadInfo(FourCCDds(4, 4, "ATI2", std::vector<std::uint8_t>(16, 0))), Result::kNotImplemented);
}

}  // namespace
}  // namespace vela::codec::testing
