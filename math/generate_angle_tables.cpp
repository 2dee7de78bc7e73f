// Writes the C++ source of the two angle tables, kSineTable and kAtanTable, so that they are
// constant program data. Runs on the build machine at build time:
//
//   generate_angle_tables OUTPUT.cpp
//
// Plain C++ with no project dependencies, so that a cross build can compile it with the build
// machine's own compiler. The tables are computed in long double and every rounding decision is
// checked for a safe margin; the program also checks a set of known entries and writes nothing
// (and exits non-zero) if anything is off, so a faulty toolchain fails the build loudly.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kSineEntries = 65536;
constexpr int kAtanEntries = 8193;
// One table unit, 2 pi / 65536, as the single-precision value the angles are built from.
constexpr std::uint32_t kUnitBits = 0x38C90FDB;
constexpr long double kPi = 3.141592653589793238462643383279502884L;

float FloatFromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint32_t BitsOfFloat(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Rounds to single precision through memory, so that no wider register value survives even on
// an x87 build machine.
float RoundToFloat(long double value) {
  volatile float rounded = static_cast<float>(value);
  return rounded;
}

// True when `exact` lies so close to the midpoint between two floats that long double accuracy
// cannot tell which way it rounds.
bool NearRoundingMidpoint(long double exact, float rounded) {
  const long double here = rounded;
  const long double up = std::nextafter(rounded, 2.0f);
  const long double down = std::nextafter(rounded, -2.0f);
  const long double distance =
      std::fmin(std::fabs(exact - (here + up) / 2), std::fabs(exact - (here + down) / 2));
  return distance < (up - here) * 1e-9L;
}

bool BuildSineTable(std::vector<float>& table) {
  const float unit = FloatFromBits(kUnitBits);
  table.resize(kSineEntries);
  for (int i = 0; i < kSineEntries; ++i) {
    // The angle is rounded to single precision before its sine is taken.
    const float theta = RoundToFloat(static_cast<long double>(i) * unit);
    const long double exact = std::sin(static_cast<long double>(theta));
    table[i] = RoundToFloat(exact);
    if (NearRoundingMidpoint(exact, table[i])) {
      std::fprintf(stderr, "sine entry %d is too close to a rounding midpoint\n", i);
      return false;
    }
  }
  return true;
}

bool BuildAtanTable(std::vector<std::uint32_t>& table) {
  table.resize(kAtanEntries);
  for (int i = 0; i < kAtanEntries; ++i) {
    const long double exact = std::atan(i / 8192.0L) * (32768.0L / kPi);
    const long double whole = std::floor(exact + 0.5L);
    // atan(i / 8192) / pi is rational only at i = 0 and i = 8192 (0 and 1/4); every other entry
    // stays at least 1.8e-5 away from an integer, far beyond long double error.
    if (i == 0 || i == 8192) {
      table[i] = static_cast<std::uint32_t>(whole);
    } else if (std::fabs(exact - whole) < 1e-9L) {
      std::fprintf(stderr, "atan entry %d is too close to an integer\n", i);
      return false;
    } else {
      table[i] = static_cast<std::uint32_t>(std::floor(exact));
    }
  }
  // These three entries are one below the floor; the table has always been this way.
  table[1269] -= 1;
  table[6638] -= 1;
  table[8192] -= 1;
  return true;
}

bool CheckKnownEntries(const std::vector<float>& sine, const std::vector<std::uint32_t>& atan) {
  struct SineEntry {
    int index;
    std::uint32_t bits;
  };
  // 0.0, 0.70710677, 1.0, -8.742278e-08 (the sine of single-precision pi), -1.0.
  const SineEntry sineEntries[] = {
      {0, 0x00000000}, {8192, 0x3F3504F3}, {16384, 0x3F800000},
      {32768, 0xB3BBBD2E}, {49152, 0xBF800000}};
  const std::uint32_t atanEntries[][2] = {{1, 1},       {4, 5},       {4096, 4836},
                                          {8191, 8191}, {8192, 8191}, {1269, 1602},
                                          {6638, 7102}};
  bool good = true;
  for (const SineEntry& entry : sineEntries) {
    if (BitsOfFloat(sine[entry.index]) != entry.bits) {
      std::fprintf(stderr, "sine entry %d is 0x%08X, expected 0x%08X\n", entry.index,
                   static_cast<unsigned>(BitsOfFloat(sine[entry.index])),
                   static_cast<unsigned>(entry.bits));
      good = false;
    }
  }
  for (const auto& entry : atanEntries) {
    if (atan[entry[0]] != entry[1]) {
      std::fprintf(stderr, "atan entry %u is %u, expected %u\n", static_cast<unsigned>(entry[0]),
                   static_cast<unsigned>(atan[entry[0]]), static_cast<unsigned>(entry[1]));
      good = false;
    }
  }
  return good;
}

bool WriteSource(const char* path, const std::vector<float>& sine,
                 const std::vector<std::uint32_t>& atan) {
  std::FILE* out = std::fopen(path, "w");
  if (out == nullptr) {
    std::perror(path);
    return false;
  }
  std::fprintf(out,
               "// Generated by math/generate_angle_tables.cpp at build time. Do not edit.\n"
               "#include \"math/vela_math.h\"\n\n"
               "namespace vela::math {\n\n"
               "// Hexadecimal float literals, so that every entry is exact.\n"
               "const float kSineTable[kSineTableSize] = {\n");
  for (int i = 0; i < kSineEntries; ++i) {
    std::fprintf(out, "%s%af,%s", i % 6 == 0 ? "    " : " ", static_cast<double>(sine[i]),
                 i % 6 == 5 || i + 1 == kSineEntries ? "\n" : "");
  }
  std::fprintf(out, "};\n\nconst std::uint32_t kAtanTable[kAtanTableSize] = {\n");
  for (int i = 0; i < kAtanEntries; ++i) {
    std::fprintf(out, "%s%u,%s", i % 12 == 0 ? "    " : " ", static_cast<unsigned>(atan[i]),
                 i % 12 == 11 || i + 1 == kAtanEntries ? "\n" : "");
  }
  std::fprintf(out, "};\n\n}  // namespace vela::math\n");
  const bool written = std::ferror(out) == 0;
  if (std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "%s: write failed\n", path);
    std::remove(path);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.cpp\n", argv[0]);
    return 2;
  }
  std::vector<float> sine;
  std::vector<std::uint32_t> atan;
  if (!BuildSineTable(sine) || !BuildAtanTable(atan) || !CheckKnownEntries(sine, atan)) {
    std::fprintf(stderr, "angle tables not written: the build machine's arithmetic is off\n");
    return 1;
  }
  return WriteSource(argv[1], sine, atan) ? 0 : 1;
}
