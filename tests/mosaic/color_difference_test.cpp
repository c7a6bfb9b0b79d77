// The perceptual match: CIEDE2000 against the published test pairs, the CIELAB colours of sRGB values, the
// bounds over boxes of colours, the matcher's answers against comparing every candidate, and the cache of
// matches.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <thread>

#include "mosaic/ciede2000.h"
#include "mosaic/ciede2000_bounds.h"
#include "mosaic/cielab.h"
#include "mosaic/perceptual_match.h"
#include "mosaic/perceptual_match_cache.h"
#include "reference_conversion.h"

namespace mozenta {
namespace {

struct DifferencePair {
  Lab first, second;
  double difference;
};

// Sharma, Wu and Dalal, "The CIEDE2000 color-difference formula: implementation notes, supplementary test
// data, and mathematical observations" (Color Research and Application 30, 2005), table 1: all 34 pairs,
// with the differences to four decimals. They include the pairs whose hues lie half a turn apart, where
// the mean hue's branch decides the result.
const DifferencePair kPublishedPairs[] = {
    {{50.0000, 2.6772, -79.7751}, {50.0000, 0.0000, -82.7485}, 2.0425},
    {{50.0000, 3.1571, -77.2803}, {50.0000, 0.0000, -82.7485}, 2.8615},
    {{50.0000, 2.8361, -74.0200}, {50.0000, 0.0000, -82.7485}, 3.4412},
    {{50.0000, -1.3802, -84.2814}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -1.1848, -84.8006}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, -0.9009, -85.5211}, {50.0000, 0.0000, -82.7485}, 1.0000},
    {{50.0000, 0.0000, 0.0000}, {50.0000, -1.0000, 2.0000}, 2.3669},
    {{50.0000, -1.0000, 2.0000}, {50.0000, 0.0000, 0.0000}, 2.3669},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0009}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0010}, 7.1792},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0011}, 7.2195},
    {{50.0000, 2.4900, -0.0010}, {50.0000, -2.4900, 0.0012}, 7.2195},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0009, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0010, -2.4900}, 4.8045},
    {{50.0000, -0.0010, 2.4900}, {50.0000, 0.0011, -2.4900}, 4.7461},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 0.0000, -2.5000}, 4.3065},
    {{50.0000, 2.5000, 0.0000}, {73.0000, 25.0000, -18.0000}, 27.1492},
    {{50.0000, 2.5000, 0.0000}, {61.0000, -5.0000, 29.0000}, 22.8977},
    {{50.0000, 2.5000, 0.0000}, {56.0000, -27.0000, -3.0000}, 31.9030},
    {{50.0000, 2.5000, 0.0000}, {58.0000, 24.0000, 15.0000}, 19.4535},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.1736, 0.5854}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2972, 0.0000}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 1.8634, 0.5757}, 1.0000},
    {{50.0000, 2.5000, 0.0000}, {50.0000, 3.2592, 0.3350}, 1.0000},
    {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
    {{63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}, 1.2630},
    {{61.2901, 3.7196, -5.3901}, {61.4292, 2.2480, -4.9620}, 1.8731},
    {{35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}, 1.8645},
    {{22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}, 2.0373},
    {{36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}, 1.4146},
    {{90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}, 1.4441},
    {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
    {{6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}, 0.6377},
    {{2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}, 0.9082},
};

TEST(Ciede2000, GivesThePublishedDifferencesOfAll34Pairs) {
  for (std::size_t i = 0; i < std::size(kPublishedPairs); ++i) {
    const DifferencePair& pair = kPublishedPairs[i];
    EXPECT_NEAR(Ciede2000(pair.first, pair.second), pair.difference, 0.00005) << "pair " << i + 1;
    EXPECT_NEAR(Ciede2000(pair.second, pair.first), pair.difference, 0.00005) << "pair " << i + 1;
  }
}

// The four-decimal matrix of the sRGB standard and its own white: greys have no chroma, and the primaries
// land where that arithmetic puts them.
TEST(LabFromSrgb, GreysAreNeutralAndThePrimariesLandWhereTheStandardMatrixPutsThem) {
  for (int v : {0, 1, 10, 11, 128, 200, 255}) {
    const Lab grey = LabFromSrgb(v, v, v);
    EXPECT_NEAR(grey.a, 0, 1e-9) << v;
    EXPECT_NEAR(grey.b, 0, 1e-9) << v;
  }
  EXPECT_NEAR(LabFromSrgb(255, 255, 255).L, 100, 1e-9);
  EXPECT_EQ(LabFromSrgb(0, 0, 0).L, 0);
  EXPECT_NEAR(LabFromSrgb(128, 128, 128).L, 53.5850, 0.00005);
  const struct {
    int r, g, b;
    Lab lab;
  } primaries[] = {{255, 0, 0, {53.2329, 80.1053, 67.2228}},
                   {0, 255, 0, {87.7370, -86.1884, 83.1861}},
                   {0, 0, 255, {32.3026, 79.1936, -107.8537}}};
  for (const auto& p : primaries) {
    const Lab lab = LabFromSrgb(p.r, p.g, p.b);
    EXPECT_NEAR(lab.L, p.lab.L, 0.00005) << p.r << "," << p.g << "," << p.b;
    EXPECT_NEAR(lab.a, p.lab.a, 0.00005) << p.r << "," << p.g << "," << p.b;
    EXPECT_NEAR(lab.b, p.lab.b, 0.00005) << p.r << "," << p.g << "," << p.b;
  }
}

Lab LabOfEntry(const Palette& palette, int i) {
  std::uint8_t rgb[3];
  SplitColor(palette.ExpandedColor(i), rgb);
  return LabFromSrgb(rgb[0], rgb[1], rgb[2]);
}

// Random boxes of every size the match tries, against the palette's colours, random colours and neutral
// ones: every colour of the box lies inside the box's CIELAB ranges and its difference inside the bounds.
TEST(Ciede2000Bounds, HoldEveryColourOfTheBox) {
  std::mt19937 random(5);
  const Palette palette;
  for (int trial = 0; trial < 1500; ++trial) {
    const int size = 1 << (random() % 6);
    SrgbBox box;
    for (int c = 0; c < 3; ++c) {
      box.lo[c] = static_cast<int>(random() % (257 - size)) & ~(size - 1);
      box.hi[c] = box.lo[c] + size - 1;
    }
    Lab entry;
    switch (trial % 3) {
      case 0:
        entry = LabOfEntry(palette, static_cast<int>(random() % 8));
        break;
      case 1:
        entry = LabFromSrgb(random(), random(), random());
        break;
      default:
        entry = LabFromSrgb(trial, trial, trial);
        break;
    }
    const LabBox labBox = LabBoxOf(box);
    const ValueRange bounds = Ciede2000Bounds(labBox, entry);
    const int step = size > 8 ? 3 : 1;
    for (int r = box.lo[0]; r <= box.hi[0]; r += step) {
      for (int g = box.lo[1]; g <= box.hi[1]; g += step) {
        for (int b = box.lo[2]; b <= box.hi[2]; b += step) {
          const Lab lab = LabFromSrgb(r, g, b);
          const double difference = Ciede2000(lab, entry);
          ASSERT_TRUE(lab.L >= labBox.L.lo && lab.L <= labBox.L.hi && lab.a >= labBox.a.lo &&
                      lab.a <= labBox.a.hi && lab.b >= labBox.b.lo && lab.b <= labBox.b.hi)
              << r << "," << g << "," << b;
          ASSERT_TRUE(difference >= bounds.lo && difference <= bounds.hi)
              << r << "," << g << "," << b << ": " << difference << " outside " << bounds.lo << ".."
              << bounds.hi;
        }
      }
    }
  }
}

// The matcher's answer for every colour of a coarse lattice and of random runs of neighbouring colours
// (where boxes are settled piecemeal), for palettes with disabled entries, repeated colours, entries
// beyond 7 and channels beyond four bits: the candidate comparing every entry picks. A second thread asks
// for the same colours meanwhile, the other way round, so that both settle boxes of the same match; its
// answers are checked as well.
TEST(PerceptualMatch, AnswersAsComparingEveryCandidate) {
  std::mt19937 random(17);
  std::vector<Palette> palettes(6);
  for (int i = 1; i < kPaletteColors; ++i)
    palettes[1].SetEnabled(i, i % 2 == 0);
  palettes[2].SetEntry(3, palettes[2].Entry(5));
  palettes[2].SetEntry(6, palettes[2].Entry(0));
  palettes[3].SetEntry(9, {7, 7, 7});
  palettes[3].SetEnabled(9, true);
  palettes[3].SetEnabled(0, false);
  palettes[4].SetEntry(5, {200, 3, 3});
  for (int i = 1; i < kPaletteColors; ++i) {
    palettes[5].SetEntry(i,
                         {static_cast<std::uint8_t>(random() % 16), static_cast<std::uint8_t>(random() % 16),
                          static_cast<std::uint8_t>(random() % 16)});
  }
  for (std::size_t p = 0; p < palettes.size(); ++p) {
    std::vector<std::array<int, 3>> colours;
    for (int r = 0; r < 256; r += 15) {
      for (int g = 0; g < 256; g += 17) {
        for (int b = 0; b < 256; b += 15)
          colours.push_back({r, g, b});
      }
    }
    for (int run = 0; run < 40; ++run) {
      std::array<int, 3> c = {static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                              static_cast<int>(random() % 256)};
      for (int k = 0; k < 300; ++k) {
        c[random() % 3] = std::clamp(c[random() % 3] + static_cast<int>(random() % 7) - 3, 0, 255);
        colours.push_back(c);
      }
    }
    PerceptualMatch match(palettes[p]);
    std::vector<int> otherAnswers(colours.size());
    std::thread other([&] {
      for (std::size_t k = colours.size(); k-- > 0;)
        otherAnswers[k] = match.Nearest(colours[k][0], colours[k][1], colours[k][2]);
    });
    std::vector<int> answers;
    for (const auto& [r, g, b] : colours)
      answers.push_back(match.Nearest(r, g, b));
    other.join();
    for (std::size_t k = 0; k < colours.size(); ++k) {
      const int expected = testing::ReferencePerceptualNearest(palettes[p], colours[k]);
      ASSERT_EQ(answers[k], expected) << "palette " << p << ": " << ::testing::PrintToString(colours[k]);
      ASSERT_EQ(otherAnswers[k], expected) << "palette " << p << ": " << ::testing::PrintToString(colours[k]);
    }
  }
}

// The cache hands out one match per set of candidate colours (a disabled entry's colour does not count), and
// keeps only the most recent few.
TEST(PerceptualMatchCache, KeepsOneMatchPerCandidateColoursForTheLastPalettes) {
  PerceptualMatchCache cache;
  Palette first;
  Palette sameCandidates = first;
  sameCandidates.SetEnabled(7, false);
  sameCandidates.SetEntry(7, {1, 2, 3});
  first.SetEnabled(7, false);
  const auto match = cache.MatchFor(first);
  EXPECT_EQ(cache.MatchFor(sameCandidates), match);
  EXPECT_EQ(match->Nearest(255, 0, 0), cache.MatchFor(first)->Nearest(255, 0, 0));
  for (std::size_t k = 1; k <= PerceptualMatchCache::kKept; ++k) {
    Palette other = first;
    other.SetEntry(1, {static_cast<std::uint8_t>(k), 0, 0});
    EXPECT_NE(cache.MatchFor(other), match);
  }
  // The first palette is the oldest: let go, made afresh, while the match handed out still answers.
  EXPECT_NE(cache.MatchFor(first), match);
  EXPECT_EQ(match->Nearest(255, 0, 0), 2);
  cache.Clear();
  EXPECT_NE(cache.MatchFor(first), match);
}

}  // namespace
}  // namespace mozenta
