#include <gtest/gtest.h>
#include <turbojpeg.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "archive/high_resolution.h"
#include "archive/resource_index.h"
#include "archive/wide_picture.h"
#include "content/catalogue.h"
#include "content/generator.h"
#include "content/painters.h"
#include "content/random.h"
#include "platform/files.h"
#include "report/report.h"
#include "tests/content/sound_analysis.h"
#include "video/video_system.h"

namespace sylvora {
namespace {

const std::string kDir = SYLVORA_CONTENT_DIR;
// The generated data file is read whole; it is far below this.
constexpr size_t kDataFileReadLimit = size_t{1} << 30;

// A decoded picture, rows from the top, red-green-blue.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  int Sum(int x, int y) const {
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return p[0] + p[1] + p[2];
  }
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

uint32_t U32At(const std::string& bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
         static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

// The loader's view of a BMP: 54 header bytes, then bottom-up padded 24-bit rows to the end.
::testing::AssertionResult ReadBmp(const std::string& bytes, Picture& out) {
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return ::testing::AssertionFailure() << "no BM header";
  const int width = static_cast<int>(U32At(bytes, 18));
  const int height = static_cast<int>(U32At(bytes, 22));
  const int bits = static_cast<uint8_t>(bytes[28]) | static_cast<uint8_t>(bytes[29]) << 8;
  if (U32At(bytes, 10) != 54 || bits != 24 || U32At(bytes, 30) != 0 || width <= 0 || height <= 0) {
    return ::testing::AssertionFailure() << "not a plain 24-bit bottom-up BMP";
  }
  const size_t row = (3u * width + 3u) & ~3u;
  if (bytes.size() - 54 != row * height) return ::testing::AssertionFailure() << "pixel bytes do not match the size";
  out = {width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (int y = 0; y < height; ++y) {
    const char* src = bytes.data() + 54 + row * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &out.rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(src[3 * x + 2]);
      p[1] = static_cast<uint8_t>(src[3 * x + 1]);
      p[2] = static_cast<uint8_t>(src[3 * x]);
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ReadJpeg(const std::string& bytes, Picture& out) {
  tjhandle decoder = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  bool ok = tjDecompressHeader3(decoder, data, bytes.size(), &width, &height, &subsampling, &colourspace) == 0;
  if (ok) {
    out = {width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    ok = tjDecompress2(decoder, data, bytes.size(), out.rgb.data(), width, width * 3, height, TJPF_RGB, 0) == 0;
  }
  tjDestroy(decoder);
  return ok ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "JPEG does not decode";
}

// Decoded sound: interleaved float samples.
struct Sound {
  int channels = 0;
  long rate = 0;
  std::vector<float> samples;
  size_t Frames() const { return channels ? samples.size() / channels : 0; }
};

struct MemoryStream {
  const std::string* bytes;
  size_t at = 0;
};

size_t ReadStream(void* to, size_t size, size_t count, void* source) {
  auto* s = static_cast<MemoryStream*>(source);
  const size_t n = std::min(size * count, s->bytes->size() - s->at);
  std::memcpy(to, s->bytes->data() + s->at, n);
  s->at += n;
  return size ? n / size : 0;
}

::testing::AssertionResult ReadOgg(const std::string& bytes, Sound& out) {
  MemoryStream stream{&bytes};
  OggVorbis_File file;
  const ov_callbacks callbacks = {ReadStream, nullptr, nullptr, nullptr};
  if (ov_open_callbacks(&stream, &file, nullptr, 0, callbacks) != 0) {
    return ::testing::AssertionFailure() << "not an Ogg Vorbis stream";
  }
  const vorbis_info* info = ov_info(&file, -1);
  out.channels = info->channels;
  out.rate = info->rate;
  float** pcm = nullptr;
  int section = 0;
  long frames = 0;
  while ((frames = ov_read_float(&file, &pcm, 4096, &section)) > 0) {
    for (long i = 0; i < frames; ++i) {
      for (int c = 0; c < out.channels; ++c) out.samples.push_back(pcm[c][i]);
    }
  }
  ov_clear(&file);
  return frames == 0 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "decoding failed";
}

// The archive the build wrote, read once for every test.
class ContentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    report_ = new Report(1, kDir + "\\");
    pictures_ = new ArchiveTable();
    sounds_ = new ArchiveTable();
    pictureResult_ = pictures_->Load(*report_, kDir + "\\", kGraphicArchive);
    soundResult_ = sounds_->Load(*report_, kDir + "\\", kSoundArchive);
  }
  static void TearDownTestSuite() {
    delete pictures_;
    delete sounds_;
    delete report_;
  }

  // The bytes of a named resource, through the entry's file, offset and length.
  static std::string Bytes(const std::string& name) {
    const ArchiveTable* table = pictures_;
    int index = 0;
    if (table->Find(name, index) != 0) {
      table = sounds_;
      if (table->Find(name, index) != 0) return {};
    }
    const ArchiveEntry& entry = table->Entry(index);
    std::string whole;
    if (!ReadWholeFile(kDir + "/" + entry.fileName, kDataFileReadLimit, whole) ||
        entry.offset + entry.length > whole.size())
      return {};
    return whole.substr(entry.offset, entry.length);
  }

  static Picture Decode(const ContentItem& item) {
    Picture picture;
    const std::string bytes = Bytes(item.name);
    EXPECT_TRUE(item.archiveType == kBmpPicture ? ReadBmp(bytes, picture) : ReadJpeg(bytes, picture)) << item.name;
    return picture;
  }

  static Picture DecodeJpegNamed(const std::string& name) {
    Picture p;
    EXPECT_TRUE(ReadJpeg(Bytes(name), p)) << name;
    return p;
  }

  static Report* report_;
  static ArchiveTable* pictures_;
  static ArchiveTable* sounds_;
  static int pictureResult_, soundResult_;
};

Report* ContentTest::report_ = nullptr;
ArchiveTable* ContentTest::pictures_ = nullptr;
ArchiveTable* ContentTest::sounds_ = nullptr;
int ContentTest::pictureResult_ = -1;
int ContentTest::soundResult_ = -1;

// Every name the screensaver asks for, spelled out independently of the catalogue.
std::set<std::string> NamesTheProgramAsksFor() {
  std::set<std::string> names;
  for (int scene = 0; scene < 6; ++scene) {
    for (int layer = 0; layer < 3; ++layer) {
      if (scene != 1 || layer != 2) names.insert("back" + std::to_string(scene) + "_" + std::to_string(layer));
    }
  }
  const int skies[6] = {2, 2, 1, 4, 1, 1};
  for (int scene = 0; scene < 6; ++scene) {
    for (int i = 0; i < skies[scene]; ++i) names.insert("sky" + std::to_string(scene) + "_" + std::to_string(i));
  }
  for (const char* n : {"seed0_0", "seed1_0", "bird0_0", "lbird0_0", "lbird0_1", "lbird0_2", "lbird1_0", "lbird1_1",
                        "lbird1_2", "backmain"}) {
    names.insert(n);
  }
  for (int i = 0; i < 8; ++i) names.insert("bfly0_" + std::to_string(i));
  for (int i = 0; i < 4; ++i) names.insert("bfly1_" + std::to_string(i));
  for (int i = 0; i < 7; ++i) {
    names.insert("back" + std::to_string(i));
    for (int r = 1; r < 4; ++r) names.insert("back" + std::to_string(i) + "r" + std::to_string(r));
  }
  return names;
}

TEST_F(ContentTest, BothReadersFindEveryNameWithItsType) {
  ASSERT_EQ(pictureResult_, 0);
  ASSERT_EQ(soundResult_, 0);
  std::set<std::string> catalogued;
  for (const ContentItem& item : kContent) catalogued.insert(item.name);
  EXPECT_EQ(catalogued, NamesTheProgramAsksFor());
  // Every picture at two scales, the 17 scene layers at both again, painted wide, and every picture at
  // the finest scale, the layers wide only.
  EXPECT_EQ(pictures_->Count(), 2 * 49 + 2 * 17 + 49);
  EXPECT_EQ(sounds_->Count(), 29);
  for (const ContentItem& item : kContent) {
    const bool sound = item.role == ContentRole::Ambience || item.role == ContentRole::Song;
    const ArchiveTable& table = sound ? *sounds_ : *pictures_;
    const ArchiveTable& other = sound ? *pictures_ : *sounds_;
    int index = -1;
    EXPECT_EQ(other.Find(item.name, index), 1) << item.name;
    ASSERT_EQ(table.Find(item.name, index), 0) << item.name;
    int expectedType = 1;
    if (item.role == ContentRole::Sheet) expectedType = 0;
    if (sound) expectedType = 2;
    EXPECT_EQ(table.Entry(index).type, expectedType) << item.name;
    EXPECT_EQ(table.Entry(index).fileName, "data.dat");
    EXPECT_GT(table.Entry(index).length, 0u);
  }
}

TEST_F(ContentTest, EveryPictureDecodesToItsCatalogueSize) {
  for (const ContentItem& item : kContent) {
    if (item.width == 0) continue;
    const Picture p = Decode(item);
    EXPECT_EQ(p.width, item.width) << item.name;
    EXPECT_EQ(p.height, item.height) << item.name;
  }
  // Skies are exactly twice their scene's sky band high.
  for (const ContentItem& item : kContent) {
    if (item.role == ContentRole::Sky) {
      EXPECT_EQ(item.height, 2 * SkyBand(item.scene)) << item.name;
    }
  }
  EXPECT_EQ(SkyBand(2), 130);
  EXPECT_EQ(SkyBand(3), 280);
}

TEST_F(ContentTest, OverlaysAreKeyedOnExactBlackAndTheirSubjectsStayAboveTheThreshold) {
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Overlay) continue;
    const Picture p = Decode(item);
    ASSERT_EQ(p.width, item.width);
    // The painting before compression tells subject from background exactly; a summed-area table of
    // its subject pixels answers "is there subject within r pixels" at once.
    const Image painted = PaintSceneLayer(item, 1);
    const int w = painted.width, h = painted.height;
    std::vector<int> table(static_cast<size_t>(w + 1) * (h + 1), 0);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint8_t* c = painted.At(x, y);
        table[(y + 1) * (w + 1) + x + 1] = (c[0] + c[1] + c[2] != 0) + table[y * (w + 1) + x + 1] +
                                           table[(y + 1) * (w + 1) + x] - table[y * (w + 1) + x];
      }
    }
    auto subjectWithin = [&](int x, int y, int r) {
      const int x0 = std::max(0, x - r), y0 = std::max(0, y - r);
      const int x1 = std::min(w, x + r + 1), y1 = std::min(h, y + r + 1);
      return table[y1 * (w + 1) + x1] - table[y0 * (w + 1) + x1] - table[y1 * (w + 1) + x0] + table[y0 * (w + 1) + x0];
    };
    const int threshold = item.blackThreshold;
    int subject = 0, darkInside = 0, keptOutside = 0, farBackground = 0, exactFarBackground = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (subjectWithin(x, y, 0)) {
          ++subject;
          // Inside the subject no pixel may be dark enough for the loader to key it out.
          if (subjectWithin(x, y, 2) == 25 && p.Sum(x, y) < threshold) ++darkInside;
        } else if (subjectWithin(x, y, 2) == 0 && p.Sum(x, y) >= threshold) {
          ++keptOutside;  // compression ringing that would survive the key as a stray speck
        }
        // Farther from the subject than one compression block, the background is pure black.
        if (subjectWithin(x, y, 8) == 0) {
          ++farBackground;
          exactFarBackground += p.Sum(x, y) == 0;
        }
      }
    }
    EXPECT_GT(subject, w * h / 20) << item.name;
    EXPECT_EQ(darkInside, 0) << item.name;
    EXPECT_EQ(keptOutside, 0) << item.name;
    EXPECT_GT(farBackground, 0) << item.name;
    EXPECT_EQ(exactFarBackground, farBackground) << item.name;
  }
}

// Mean colour difference between two panorama columns of a sky.
double ColumnStep(const Picture& sky, int a, int b) {
  const int band = sky.height / 2;
  auto at = [&](int column, int y) { return column < 640 ? sky.At(column, y) : sky.At(column - 640, y + band); };
  double sum = 0;
  for (int y = 0; y < band; ++y) {
    for (int c = 0; c < 3; ++c) sum += std::abs(at(a, y)[c] - at(b, y)[c]);
  }
  return sum / band;
}

TEST_F(ContentTest, EachSkyWrapsAsOnePanoramaWithoutSeams) {
  std::set<std::string> looks;
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Sky) continue;
    const Picture sky = Decode(item);
    ASSERT_EQ(sky.width, 640);
    double typical = 0;
    for (int x = 0; x < 1279; ++x) {
      if (x != 639) typical += ColumnStep(sky, x, x + 1);
    }
    typical /= 1278;
    EXPECT_LE(ColumnStep(sky, 639, 640), 2.5 * typical + 2.0) << item.name << " at 639|640";
    EXPECT_LE(ColumnStep(sky, 1279, 0), 2.5 * typical + 2.0) << item.name << " at 1279|0";
    // The two halves are different parts of the panorama, not one picture twice.
    EXPECT_GT(ColumnStep(sky, 100, 740), typical) << item.name;
    looks.insert(Bytes(item.name));
  }
  EXPECT_EQ(looks.size(), 11u);
}

TEST_F(ContentTest, EverySheetCellHoldsASubjectInsideABlackBorder) {
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Sheet) continue;
    const Picture p = Decode(item);
    ASSERT_EQ(p.width, item.frameWidth * item.frames) << item.name;
    ASSERT_EQ(p.height, item.frameHeight * item.rows) << item.name;
    for (int row = 0; row < item.rows; ++row) {
      for (int frame = 0; frame < item.frames; ++frame) {
        int border = 0, painted = 0;
        for (int y = 0; y < item.frameHeight; ++y) {
          for (int x = 0; x < item.frameWidth; ++x) {
            const uint8_t* c = p.At(frame * item.frameWidth + x, row * item.frameHeight + y);
            if (c[0] + c[1] + c[2] == 0) continue;
            const bool edge = x == 0 || y == 0 || x == item.frameWidth - 1 || y == item.frameHeight - 1;
            border += edge;
            ++painted;
            // Reduced to 5-6-5 bits the colour must not become the black key.
            EXPECT_NE((c[0] >> 3) | (c[1] >> 2) | (c[2] >> 3), 0) << item.name << " at " << x << "," << y;
          }
        }
        EXPECT_EQ(border, 0) << item.name << " cell " << frame << "," << row;
        EXPECT_GE(painted, item.frameWidth * item.frameHeight / 25) << item.name << " cell " << frame << "," << row;
      }
    }
  }
}

TEST(HighResolutionNameTest, TheSuffixRuleRoundTripsAndNeverNamesACataloguedResource) {
  std::set<std::string> catalogued;
  for (const ContentItem& item : kContent) catalogued.insert(item.name);
  for (const std::string& name : catalogued) {
    const std::string high = HighResolutionName(name);
    EXPECT_EQ(BaseResolutionName(high), name);
    EXPECT_EQ(BaseResolutionName(name), "") << name << " reads as a high-resolution name";
    EXPECT_EQ(catalogued.count(high), 0u) << high;
    // A wide name is no catalogued name either, and its twin's name reads back to it.
    EXPECT_EQ(catalogued.count(WidePictureName(name)), 0u) << WidePictureName(name);
    EXPECT_EQ(BaseResolutionName(HighResolutionName(WidePictureName(name))), WidePictureName(name));
    EXPECT_EQ(BaseResolutionName(WidePictureName(name)), "") << WidePictureName(name);
  }
  const struct {
    const char* name;
    const char* base;
  } kCases[] = {{"sky3_2x3", "sky3_2"}, {"x3", ""}, {"", ""}, {"back0_1x", ""}, {"lbird0_0x3x3", "lbird0_0x3"}};
  for (const auto& c : kCases) EXPECT_EQ(BaseResolutionName(c.name), c.base) << c.name;
}

// A picture and its high-resolution twin compared at the logical size: the twin's colour box-filtered
// down, and for keyed pictures how much of each box the key keeps.
struct TwinComparison {
  double meanDifference = 0;  // mean |R + G + B| difference over pixels both pictures show whole
  double farOff = 0;          // share of those pixels more than 60 apart in R + G + B
  double keyDisagrees = 0;    // share of pixels one keeps and the other keys out (box all in or all out)
  double coverageRatio = 1;   // the twin's kept area over the picture's
};

TwinComparison CompareTwins(const Picture& low, const Picture& high, int s, int lowThreshold, int highThreshold) {
  TwinComparison result;
  double compared = 0, lowKept = 0, highKept = 0;
  for (int y = 0; y < low.height; ++y) {
    for (int x = 0; x < low.width; ++x) {
      int kept = 0, sum = 0;
      for (int dy = 0; dy < s; ++dy) {
        for (int dx = 0; dx < s; ++dx) {
          const int cell = high.Sum(x * s + dx, y * s + dy);
          kept += cell >= highThreshold;
          sum += cell;
        }
      }
      const bool lowIn = low.Sum(x, y) >= lowThreshold;
      lowKept += lowIn;
      highKept += kept / double(s * s);
      result.keyDisagrees += (lowIn && kept == 0) || (!lowIn && kept == s * s);
      if (!lowIn || kept < s * s) continue;
      const double difference = std::abs(sum / double(s * s) - low.Sum(x, y));
      ++compared;
      result.meanDifference += difference;
      result.farOff += difference > 60;
    }
  }
  result.meanDifference /= std::max(1.0, compared);
  result.farOff /= std::max(1.0, compared);
  result.keyDisagrees /= double(low.width) * low.height;
  result.coverageRatio = highKept / std::max(1.0, lowKept);
  return result;
}

// How far a twin may stray from its picture, by kind, from what the generator measures: mottle and
// grass painted at the finer grid, JPEG noise at both sizes, and hairlines that stay one output pixel
// wide (so tiny sprites made of them keep under half their area at three times, and less the finer).
struct TwinTolerance {
  ContentRole role;
  int minimumFrameWidth;  // sheets: applies to cells at least this wide
  double meanDifference, farOff, keyDisagrees, minimumCoverage;
  bool hairlines;  // minimumCoverage is at three times and falls as the scale grows
};
constexpr TwinTolerance kTwinTolerances[] = {
    {ContentRole::Ground, 0, 15, 0.006, 0, 1, false},  {ContentRole::Overlay, 0, 8, 0.01, 0.001, 0.98, false},
    {ContentRole::Sky, 0, 3, 0, 0, 1, false},          {ContentRole::Sheet, 20, 12, 0.04, 0.002, 0.85, false},
    {ContentRole::Sheet, 0, 45, 0.3, 0.02, 0.4, true},
};

const TwinTolerance& ToleranceOf(const ContentItem& item) {
  for (const TwinTolerance& t : kTwinTolerances) {
    if (t.role == item.role && item.frameWidth >= t.minimumFrameWidth) return t;
  }
  return kTwinTolerances[0];
}

// The twin `high` (named name, scale times finer) within the loaders' pixel budget and, against its
// picture `low`, within item's tolerances.
void ExpectTwinOf(const ContentItem& item, const Picture& low, const Picture& high, int scale, int lowThreshold,
                  int highThreshold, const std::string& name) {
  EXPECT_LE(int64_t{high.width} * high.height, VideoSystem::kMaxPicturePixels)
      << name << " is over the loaders' budget";
  const TwinComparison c = CompareTwins(low, high, scale, lowThreshold, highThreshold);
  const TwinTolerance& t = ToleranceOf(item);
  EXPECT_LE(c.meanDifference, t.meanDifference) << name;
  EXPECT_LE(c.farOff, t.farOff) << name;
  EXPECT_LE(c.keyDisagrees, t.keyDisagrees) << name;
  EXPECT_GE(c.coverageRatio, t.minimumCoverage * (t.hairlines ? double{kHighResolutionScale} / scale : 1)) << name;
  EXPECT_LE(c.coverageRatio, 1.02) << name;
}

// Every output pixel of a keyed twin that the key keeps lies in its cell, inside the cell's border of
// one logical pixel; and every cell keeps something.
void ExpectCellsKeptInPlace(const ContentItem& item, const Picture& high, int s) {
  const int w = item.frameWidth * s, h = item.frameHeight * s;
  for (int row = 0; row < item.rows; ++row) {
    for (int frame = 0; frame < item.frames; ++frame) {
      int border = 0, kept = 0;
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          if (high.Sum(frame * w + x, row * h + y) < kHighResolutionSheetThreshold) continue;
          ++kept;
          border += x < s || y < s || x >= w - s || y >= h - s;
        }
      }
      EXPECT_EQ(border, 0) << item.name << " cell " << frame << "," << row;
      EXPECT_GT(kept, 0) << item.name << " cell " << frame << "," << row;
    }
  }
}

TEST_F(ContentTest, EveryPictureHasATwinThreeTimesFinerThatBoxFiltersDownToIt) {
  for (const ContentItem& item : kContent) {
    if (item.width == 0) continue;
    const std::string name = HighResolutionName(item.name);
    int index = 0;
    ASSERT_EQ(pictures_->Find(name, index), 0) << name;
    const bool sheet = item.role == ContentRole::Sheet;
    EXPECT_EQ(pictures_->Entry(index).type, sheet ? kJpegPicture : item.archiveType) << name;
    Picture high;
    ASSERT_TRUE(ReadJpeg(Bytes(name), high)) << name;
    ASSERT_EQ(high.width, kHighResolutionScale * item.width) << name;
    ASSERT_EQ(high.height, kHighResolutionScale * item.height) << name;
    const int lowThreshold = sheet ? 1 : item.blackThreshold;
    const int highThreshold = sheet ? kHighResolutionSheetThreshold : lowThreshold;
    ExpectTwinOf(item, Decode(item), high, kHighResolutionScale, lowThreshold, highThreshold, name);
    if (sheet) ExpectCellsKeptInPlace(item, high, kHighResolutionScale);
  }
}

// The scene layers, which are painted wide as well: the grounds and the overlays.
bool IsSceneLayer(const ContentItem& item) {
  return item.role == ContentRole::Ground || item.role == ContentRole::Overlay;
}

// The wide painting's column that shows the classic picture's column 0.
int WideColumnOf(const ContentItem& item) { return item.sceneX - kWideFieldLeft; }

TEST_F(ContentTest, EverySceneLayerIsPaintedWideWithATwinThatBoxFiltersDownToIt) {
  int layers = 0;
  for (const ContentItem& item : kContent) {
    if (!IsSceneLayer(item)) continue;
    ++layers;
    const std::string wide = WidePictureName(item.name), high = HighResolutionName(wide);
    for (const std::string& name : {wide, high}) {
      int index = 0;
      ASSERT_EQ(pictures_->Find(name, index), 0) << name;
      EXPECT_EQ(pictures_->Entry(index).type, kJpegPicture) << name;
    }
    const Picture low = DecodeJpegNamed(wide), fine = DecodeJpegNamed(high);
    ASSERT_EQ(low.width, kWideLayerWidth) << wide;
    ASSERT_EQ(low.height, item.height) << wide;
    ASSERT_EQ(fine.width, kHighResolutionScale * kWideLayerWidth) << high;
    ASSERT_EQ(fine.height, kHighResolutionScale * item.height) << high;
    ExpectTwinOf(item, low, fine, kHighResolutionScale, item.blackThreshold, item.blackThreshold, high);
  }
  EXPECT_EQ(layers, 17);
}

// What the native path shows on a display taller than the three-times pictures cover: every layer
// painted wide, every sky and every sheet, five times finer.
TEST_F(ContentTest, EveryPictureTheNativePathShowsHasAFiveTimesTwinThatBoxFiltersDownToIt) {
  for (const ContentItem& item : kContent) {
    if (item.width == 0) continue;
    const bool layer = IsSceneLayer(item), sheet = item.role == ContentRole::Sheet;
    const std::string name = layer ? WidePictureName(item.name) : item.name;
    const std::string fine = HighResolutionName(name, kFinestPictureScale);
    int index = 0;
    ASSERT_EQ(pictures_->Find(fine, index), 0) << fine;
    EXPECT_EQ(pictures_->Entry(index).type, kJpegPicture) << fine;
    const Picture low = layer ? DecodeJpegNamed(name) : Decode(item), high = DecodeJpegNamed(fine);
    ASSERT_EQ(high.width, kFinestPictureScale * low.width) << fine;
    ASSERT_EQ(high.height, kFinestPictureScale * low.height) << fine;
    const int lowThreshold = sheet ? 1 : item.blackThreshold;
    const int highThreshold = sheet ? kHighResolutionSheetThreshold : lowThreshold;
    ExpectTwinOf(item, low, high, kFinestPictureScale, lowThreshold, highThreshold, fine);
    if (sheet) ExpectCellsKeptInPlace(item, high, kFinestPictureScale);
  }
}

// The brightness (R + G + B) of a picture's strip of columns x0..x0 + width, each row less its own mean
// over the strip: what is left is the detail along the rows, with the far-to-near shading taken out.
std::vector<double> RowDetail(const Picture& p, int x0, int width, int (*column)(int x0, int i) = nullptr) {
  std::vector<double> detail;
  for (int y = 0; y < p.height; ++y) {
    double mean = 0;
    const size_t start = detail.size();
    for (int i = 0; i < width; ++i) {
      detail.push_back(p.Sum(column ? column(x0, i) : x0 + i, y));
      mean += detail.back() / width;
    }
    for (size_t i = start; i < detail.size(); ++i) detail[i] -= mean;
  }
  return detail;
}

double Energy(const std::vector<double>& v) {
  double sum = 0;
  for (double d : v) sum += d * d;
  return sum / std::max<size_t>(1, v.size());
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
  double ab = 0;
  for (size_t i = 0; i < a.size(); ++i) ab += a[i] * b[i];
  return ab / a.size() / std::sqrt(std::max(1e-9, Energy(a) * Energy(b)));
}

// Ways to fill the 240 columns left of the frame from the frame itself, each as the column that shows
// what side column i (0 at the picture's left edge) would show. Right of the frame the same, turned round.
constexpr int kSide = -kWideFieldLeft;
const struct {
  const char* name;
  int (*column)(int frame, int i);  // frame: the wide column of the frame's left edge
} kShortcuts[] = {
    {"mirrored about the frame's edge", [](int frame, int i) { return frame + (kSide - 1 - i); }},
    {"the frame's edge stretched twice", [](int frame, int i) { return frame + i / 2; }},
    {"the whole frame stretched to the wide width", [](int frame, int i) { return frame + i * 640 / kWideLayerWidth; }},
};

// A wide picture turned round left to right, so its right side is looked at like its left one.
Picture Turned(const Picture& p) {
  Picture t = p;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) std::memcpy(&t.rgb[(size_t(y) * p.width + x) * 3], p.At(p.width - 1 - x, y), 3);
  }
  return t;
}

// The median of one colour channel over columns x0..x0 + width: the tone most of them have, which a
// river or a rock in part of them does not move.
int MedianChannel(const Picture& p, int x0, int width, int channel) {
  std::vector<uint8_t> values;
  for (int y = 0; y < p.height; ++y) {
    for (int x = x0; x < x0 + width; ++x) values.push_back(p.At(x, y)[channel]);
  }
  std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
  return values[values.size() / 2];
}

// The left side of a wide ground against what one shortcut would have put there.
double ShortcutCorrelation(const Picture& wide, int shortcut) {
  return Correlation(RowDetail(wide, 0, kSide), RowDetail(wide, kSide, kSide, kShortcuts[shortcut].column));
}

TEST_F(ContentTest, TheWideGroundsGoOnPastTheFrameInTheSameLightWithoutMirroringOrStretchingIt) {
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Ground) continue;
    const Picture wide = DecodeJpegNamed(WidePictureName(item.name));
    ASSERT_EQ(wide.width, kWideLayerWidth);
    const Picture sides[2] = {wide, Turned(wide)};
    for (const Picture& p : sides) {
      const char* side = &p == &sides[0] ? "left" : "right";
      // As much detail along the rows as the frame has beside it (a flat fill, or the frame's edge
      // column repeated, has none), and about the frame's mean colour.
      const double detail = Energy(RowDetail(p, 0, kSide)), frameDetail = Energy(RowDetail(p, kSide, kSide));
      EXPECT_GT(detail, 0.4 * frameDetail) << item.name << " " << side;
      EXPECT_LT(detail, 2.5 * frameDetail) << item.name << " " << side;
      for (int c = 0; c < 3; ++c) {
        const int difference = std::abs(MedianChannel(p, 0, kSide, c) - MedianChannel(p, kSide, 640, c));
        EXPECT_LE(difference, 12) << item.name << " " << side << " channel " << c;
      }
      for (int s = 0; s < static_cast<int>(std::size(kShortcuts)); ++s) {
        EXPECT_LT(ShortcutCorrelation(p, s), 0.25) << item.name << " " << side << ": " << kShortcuts[s].name;
      }
    }
  }
}

TEST_F(ContentTest, TheShortcutsAreCaughtWhenASideIsMadeFromTheFrame) {
  const Picture ground = DecodeJpegNamed(WidePictureName("back0_0"));
  ASSERT_EQ(ground.width, kWideLayerWidth);
  for (int s = 0; s < static_cast<int>(std::size(kShortcuts)); ++s) {
    Picture faked = ground;
    for (int y = 0; y < faked.height; ++y) {
      for (int i = 0; i < kSide; ++i) {
        std::memcpy(&faked.rgb[(size_t(y) * faked.width + i) * 3], ground.At(kShortcuts[s].column(kSide, i), y), 3);
      }
    }
    EXPECT_GT(ShortcutCorrelation(faked, s), 0.9) << kShortcuts[s].name;
  }
  // The frame's edge column repeated outwards leaves the rows no detail at all.
  Picture repeated = ground;
  for (int y = 0; y < repeated.height; ++y) {
    for (int i = 0; i < kSide; ++i)
      std::memcpy(&repeated.rgb[(size_t(y) * repeated.width + i) * 3], ground.At(kSide, y), 3);
  }
  EXPECT_LT(Energy(RowDetail(repeated, 0, kSide)), 1e-9);
}

// Mean difference per channel between a picture and the columns x0.. of another, both averaged over
// blocks of kBlock x kBlock pixels: what the eye takes in of the composition, not each blade of grass.
constexpr int kBlock = 8;
// Below this the two show one composition. The wide layers' centres measure 0.2 at most against the
// classic pictures (the painters draw the same features there; JPEG blocks fall alike); the same
// pictures 40 columns out of place measure 3.1 at least (the lake's far ridge, the smoothest layer).
constexpr double kSameComposition = 1.5;

double BlockDifference(const Picture& classic, const Picture& wide, int x0) {
  double sum = 0;
  int blocks = 0;
  for (int by = 0; by + kBlock <= classic.height; by += kBlock) {
    for (int bx = 0; bx + kBlock <= classic.width; bx += kBlock) {
      for (int c = 0; c < 3; ++c) {
        double a = 0, b = 0;
        for (int y = by; y < by + kBlock; ++y) {
          for (int x = bx; x < bx + kBlock; ++x) {
            a += classic.At(x, y)[c];
            b += wide.At(x0 + x, y)[c];
          }
        }
        sum += std::abs(a - b) / (kBlock * kBlock);
      }
      ++blocks;
    }
  }
  return sum / (3.0 * blocks);
}

TEST_F(ContentTest, TheWidePicturesShowTheClassicCompositionWhereTheClassicOnesStand) {
  for (const ContentItem& item : kContent) {
    if (!IsSceneLayer(item)) continue;
    const Picture classic = Decode(item);
    const Picture wide = DecodeJpegNamed(WidePictureName(item.name));
    ASSERT_EQ(wide.width, kWideLayerWidth);
    const int x0 = WideColumnOf(item);
    EXPECT_LT(BlockDifference(classic, wide, x0), kSameComposition) << item.name;
    // The measure tells the composition 40 columns out of place.
    EXPECT_GT(BlockDifference(classic, wide, x0 + 40), kSameComposition) << item.name;
    // In the frame's columns the classic picture leaves empty, the wide one shows only what runs on
    // past the classic picture's edges (a blade of grass the edge cut off): within kRunOn columns of an
    // edge and kRunOn rows of something the classic picture shows at that edge. A 4:3 display shows the
    // scene as it always has.
    constexpr int kRunOn = 16;
    const int threshold = std::max(1, item.blackThreshold);
    auto reachesEdge = [&](int edge, int y) {
      for (int dy = -kRunOn; dy <= kRunOn; ++dy) {
        if (y + dy >= 0 && y + dy < classic.height && classic.Sum(edge, y + dy) >= threshold) return true;
      }
      return false;
    };
    int strays = 0;
    for (int x = kSide; x < kSide + 640; ++x) {
      if (x >= x0 && x < x0 + item.width) continue;
      const int edge = x < x0 ? 0 : item.width - 1, distance = x < x0 ? x0 - x : x - (x0 + item.width - 1);
      for (int y = 0; y < wide.height; ++y) {
        strays += wide.Sum(x, y) >= threshold && (distance > kRunOn || !reachesEdge(edge, y));
      }
    }
    EXPECT_EQ(strays, 0) << item.name;
  }
}

// The screen row of each overlay's top edge, where the scene does not place it at the top of the screen.
const std::map<std::string, int> kSceneRows = {{"back2_2", 260}, {"back3_1", 208}, {"back3_2", 332}, {"back4_2", 28}};
int SceneRowOf(const ContentItem& item) { return kSceneRows.contains(item.name) ? kSceneRows.at(item.name) : 0; }

// How deep a subject must be behind its outline, in logical pixels, for the outline to be the end of a
// mass; a blade, a stem or a twig is thinner and grows straight.
constexpr int kSolidDepth = 4;

// The longest straight stretch of a keyed picture's outline, in output pixels: the boundary between kept
// and keyed pixels along one row or one column, where a mass ends. Beyond its own border the picture
// counts as keyed, except where the layer stands at the frame's edge or on the ground's top edge, which
// it is meant to reach.
int LongestStraightRun(const Picture& p, const ContentItem& item, bool wide) {
  const int top = SceneRowOf(item), bottom = top + item.height;
  // Whether the picture counts as keyed beyond its left, right, top and bottom border; where it does not,
  // its edge pixels go on.
  const bool left = !wide && item.sceneX > 0, right = !wide && item.sceneX + item.width < 640;
  const bool above = top > 0, below = bottom != 480 && bottom != SkyBand(item.scene);
  auto kept = [&](int x, int y) {
    if ((x < 0 && left) || (x >= p.width && right) || (y < 0 && above) || (y >= p.height && below)) return false;
    return p.Sum(std::clamp(x, 0, p.width - 1), std::clamp(y, 0, p.height - 1)) >= item.blackThreshold;
  };
  // +1 where the subject ends at (x, y) with keyed pixels beyond, at (x + dx, y + dy); -1 where it ends
  // there the other way round; 0 elsewhere, or where the subject is too thin to be a mass.
  const int depth = kSolidDepth * kHighResolutionScale;
  auto SolidSide = [&](int x, int y, int dx, int dy) {
    const bool here = kept(x, y), there = kept(x + dx, y + dy);
    if (here == there) return 0;
    const int side = here ? 1 : -1;
    const int sx = here ? x : x + dx, sy = here ? y : y + dy;
    for (int d = 1; d < depth; ++d) {
      if (!kept(sx - side * dx * d, sy - side * dy * d)) return 0;
    }
    return side;
  };
  int longest = 0;
  // Along rows (a boundary between row y and y + 1), then along columns: a run goes on while the boundary
  // does and keeps its side.
  for (const bool alongRows : {true, false}) {
    const int lines = alongRows ? p.height : p.width, length = alongRows ? p.width : p.height;
    for (int line = -1; line < lines; ++line) {
      int run = 0, side = 0;
      for (int t = 0; t < length; ++t) {
        const int here = alongRows ? SolidSide(t, line, 0, 1) : SolidSide(line, t, 1, 0);
        run = here != 0 && here == side ? run + 1 : here != 0;
        side = here;
        longest = std::max(longest, run);
      }
    }
  }
  return longest;
}

// Longest straight stretch of a keyed layer's outline allowed, in logical pixels: longer, it shows as a
// cut rather than the end of a tuft, a leaf or a post.
constexpr int kLongestStraightOutline = 9;

TEST_F(ContentTest, NoKeyedLayerEndsInAStraightCut) {
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Overlay) continue;
    for (const bool wide : {true, false}) {
      const std::string name = HighResolutionName(wide ? WidePictureName(item.name) : item.name);
      EXPECT_LE(LongestStraightRun(DecodeJpegNamed(name), item, wide), kLongestStraightOutline * kHighResolutionScale)
          << name;
    }
  }
}

// Where an overlay's subject ends over the ground of its scene: the lowest subject pixel of each column
// (down) or the rightmost of each row, within the overlay's logical columns x0..x1 and rows y0..y1.
struct Seam {
  const char* overlay;
  bool down;
  int x0, x1, y0, y1;
};
constexpr Seam kSeams[] = {
    {"back0_1", true, 0, 640, 0, 249}, {"back0_2", true, 20, 230, 380, 480}, {"back1_1", true, 0, 640, 0, 222},
    {"back2_1", true, 0, 640, 0, 130}, {"back3_1", true, 0, 640, 0, 72},     {"back3_2", true, 0, 320, 110, 148},
    {"back4_1", true, 0, 640, 0, 220}, {"back4_2", false, 0, 624, 380, 452}, {"back5_1", true, 0, 640, 0, 153},
};
// Pixels sampled on either side of a seam, in logical pixels.
constexpr int kSeamDepth = 2;
// Largest mean step in brightness (per channel) allowed across a seam.
constexpr double kLargestSeamStep = 4;

// The mean step in brightness from an overlay's subject to the ground just beyond where it ends (ground
// less overlay, per channel), both as the scene shows them; the three-times pictures.
double SeamStep(const Picture& overlay, const ContentItem& item, const Picture& ground, const Seam& seam) {
  constexpr int s = kHighResolutionScale;
  const int depth = kSeamDepth * s;
  const int groundX = item.sceneX * s, groundY = (SceneRowOf(item) - SkyBand(item.scene)) * s;
  const int first = (seam.down ? seam.x0 : seam.y0) * s, last = (seam.down ? seam.x1 : seam.y1) * s;
  const int near = (seam.down ? seam.y0 : seam.x0) * s, far = (seam.down ? seam.y1 : seam.x1) * s;
  double sum = 0;
  int count = 0;
  for (int line = first; line < last; ++line) {
    auto x = [&](int t) { return seam.down ? line : t; };
    auto y = [&](int t) { return seam.down ? t : line; };
    int end = far - 1;  // along the line, the subject's last pixel
    while (end >= near && overlay.Sum(x(end), y(end)) < item.blackThreshold) --end;
    const int gx = groundX + x(end + 1), gy = groundY + y(end + 1);
    if (end < near || gx < 0 || gy < 0 || groundX + x(end + depth) >= ground.width ||
        groundY + y(end + depth) >= ground.height)
      continue;
    double subject = 0, beyond = 0;
    int inSubject = 0;
    for (int d = 0; d < depth && end - d >= 0; ++d) {
      const int value = overlay.Sum(x(end - d), y(end - d));
      if (value >= item.blackThreshold) subject += value, ++inSubject;
    }
    for (int d = 0; d < depth; ++d) beyond += ground.Sum(groundX + x(end + 1 + d), groundY + y(end + 1 + d));
    sum += beyond / depth - subject / inSubject;
    ++count;
  }
  return sum / count / 3;  // no seam found at all: not a number, which no bound accepts
}

TEST_F(ContentTest, WhereALayerEndsOverTheGroundItsToneGoesOnAcrossTheSeam) {
  for (const Seam& seam : kSeams) {
    const auto item =
        std::find_if(kContent.begin(), kContent.end(), [&](auto& i) { return seam.overlay == std::string(i.name); });
    ASSERT_NE(item, kContent.end()) << seam.overlay;
    const std::string ground = "back" + std::to_string(item->scene) + "_0";
    const double step = SeamStep(DecodeJpegNamed(HighResolutionName(item->name)), *item,
                                 DecodeJpegNamed(HighResolutionName(ground)), seam);
    EXPECT_LT(std::abs(step), kLargestSeamStep) << seam.overlay << (seam.down ? " below" : " on its right");
  }
}

// How far the mean autocorrelation of the brightness along rows y0..y1 climbs back, at lags up to maxLag,
// after it has fallen: trees standing at a regular spacing make it climb back at that spacing.
double AutocorrelationRebound(const Picture& p, int y0, int y1, int maxLag) {
  std::vector<double> mean(maxLag + 1, 0.0);
  std::vector<double> row(p.width);
  for (int y = y0; y < y1; ++y) {
    double average = 0;
    for (int x = 0; x < p.width; ++x) {
      row[x] = p.Sum(x, y);
      average += row[x] / p.width;
    }
    double energy = 0;
    for (double& v : row) {
      v -= average;
      energy += v * v;
    }
    for (int lag = 1; lag <= maxLag && energy > 0; ++lag) {
      double sum = 0;
      for (int x = 0; x + lag < p.width; ++x) sum += row[x] * row[x + lag];
      mean[lag] += sum / energy * p.width / (p.width - lag) / (y1 - y0);
    }
  }
  double lowest = mean[1], rebound = 0;
  for (int lag = 1; lag <= maxLag; ++lag) {
    lowest = std::min(lowest, mean[lag]);
    rebound = std::max(rebound, mean[lag] - lowest);
  }
  return rebound;
}

TEST_F(ContentTest, TheForestWallsTreesStandAtNoRegularSpacing) {
  // The crowns against the sky and the trunks below them, in rows of the scale-1 picture; lags up to
  // twice the widest crown.
  const struct {
    const char* name;
    int y0, y1;
  } kBands[] = {{"back2_1", 30, 130}, {"back2_0", 10, 130}};
  for (const auto& band : kBands) {
    for (const int scale : {1, kHighResolutionScale}) {
      const std::string name = scale == 1 ? band.name : HighResolutionName(band.name);
      Picture p;
      ASSERT_TRUE(ReadJpeg(Bytes(name), p)) << name;
      EXPECT_LT(AutocorrelationRebound(p, band.y0 * scale, band.y1 * scale, 50 * scale), 0.11) << name;
    }
  }
}

// How closely the water's rows y0..y1 follow the shore row as far above the water line (the shore's
// last row stands on it) as each is below: the correlation of their brightness across, each row less its
// own mean, so a water that only darkens with distance as the shore does gives nothing.
double MirrorCorrelation(const Picture& water, const Picture& shore, int y0, int y1) {
  double product = 0, waterEnergy = 0, shoreEnergy = 0;
  std::vector<double> w(water.width), s(water.width);
  for (int y = y0; y < y1; ++y) {
    double wMean = 0, sMean = 0;
    for (int x = 0; x < water.width; ++x) {
      w[x] = water.Sum(x, y);
      s[x] = shore.Sum(x, shore.height - 1 - y);
      wMean += w[x] / water.width;
      sMean += s[x] / water.width;
    }
    for (int x = 0; x < water.width; ++x) {
      product += (w[x] - wMean) * (s[x] - sMean);
      waterEnergy += (w[x] - wMean) * (w[x] - wMean);
      shoreEnergy += (s[x] - sMean) * (s[x] - sMean);
    }
  }
  return product / std::sqrt(waterEnergy * shoreEnergy);
}

TEST_F(ContentTest, TheLakeMirrorsTheTreesOfItsFarShore) {
  // Rows 8..60 below the shore mirror the firs and the slope's crowns, seen through ripples; the
  // rows above them mirror the shore's dark edge, which is the same all across.
  for (const bool fine : {false, true}) {
    const auto named = [&](const std::string& name) { return fine ? HighResolutionName(name) : name; };
    const Picture lake = DecodeJpegNamed(named("back1_0")), ridge = DecodeJpegNamed(named("back1_1"));
    ASSERT_EQ(lake.width, ridge.width);
    const int scale = fine ? kHighResolutionScale : 1;
    EXPECT_GT(MirrorCorrelation(lake, ridge, 8 * scale, 60 * scale), 0.5) << named("back1_0");
  }
}

// How many 8-connected regions the pixels (x, y) of a width x height grid for which in(x, y) holds form.
template <typename In>
int RegionCount(int width, int height, In in) {
  std::vector<bool> seen(static_cast<size_t>(width) * height, false);
  int regions = 0;
  for (int start = 0; start < width * height; ++start) {
    if (seen[start] || !in(start % width, start / width)) continue;
    ++regions;
    std::vector<int> stack = {start};
    seen[start] = true;
    while (!stack.empty()) {
      const int at = stack.back();
      stack.pop_back();
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const int x = at % width + dx, y = at / width + dy;
          if (x < 0 || y < 0 || x >= width || y >= height || seen[y * width + x] || !in(x, y)) continue;
          seen[y * width + x] = true;
          stack.push_back(y * width + x);
        }
      }
    }
  }
  return regions;
}

TEST(ContentPaintingTest, TheBirchRisesIntoACrownOfLeavesOnItsBoughs) {
  const ContentItem* birch = nullptr;
  for (const ContentItem& item : kContent) {
    if (std::string(item.name) == "back5_2") birch = &item;
  }
  ASSERT_NE(birch, nullptr);
  for (const int scale : {1, kHighResolutionScale}) {
    const Image painted = PaintSceneLayer(*birch, scale);
    const int width = painted.width, crownHeight = painted.height / 2;  // the half above the meadow
    auto leaf = [&](int x, int y) {
      const uint8_t* c = painted.At(x, y);
      return c[1] > c[0] + 15 && c[1] > c[2] + 30;
    };
    int leaves = 0, atSides = 0, onTop = 0;
    for (int y = 0; y < crownHeight; ++y) {
      for (int x = 0; x < width; ++x) {
        if (!leaf(x, y)) continue;
        ++leaves;
        atSides += x == 0 || x == width - 1;
        onTop += y == 0;
      }
    }
    // A crown, not a few tufts: broad, and running on above the screen where the trunk enters it.
    EXPECT_GT(leaves, width * crownHeight / 6) << "scale " << scale;
    EXPECT_GT(onTop, width / 2) << "scale " << scale;
    // No leaf is cut by the picture's sides, and every one hangs on the tree.
    EXPECT_EQ(atSides, 0) << "scale " << scale;
    const auto subject = [&](int x, int y) {
      const uint8_t* c = painted.At(x, y);
      return c[0] + c[1] + c[2] > 0;
    };
    EXPECT_EQ(RegionCount(width, crownHeight, subject), 1) << "scale " << scale;
  }
}

// R + G + B of a painted pixel; 0 is the key.
int SumAt(const Image& p, int x, int y) {
  const uint8_t* c = p.At(x, y);
  return c[0] + c[1] + c[2];
}

// Share of a cell's edge pixels (subject beside the key, with flat subject behind) that are graded to
// between 45% and 90% of the subject next to them, as an anti-aliased edge keyed without a fringe of
// key colour is. A key cut hard through the painting leaves them as bright as the inside.
double GradedEdgeShare(const Image& p, int x0, int y0, int w, int h) {
  constexpr int kSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  int edges = 0, graded = 0;
  for (int y = y0 + 3; y < y0 + h - 3; ++y) {
    for (int x = x0 + 3; x < x0 + w - 3; ++x) {
      const int here = SumAt(p, x, y);
      for (const auto& d : kSteps) {
        const int inside = SumAt(p, x - d[0], y - d[1]), deeper = SumAt(p, x - 2 * d[0], y - 2 * d[1]);
        const bool flat = SumAt(p, x - 3 * d[0], y - 3 * d[1]) != 0 && std::abs(deeper - inside) < 0.1 * inside;
        if (here == 0 || SumAt(p, x + d[0], y + d[1]) != 0 || inside == 0 || !flat) continue;
        ++edges;
        graded += here < 0.9 * inside && here > 0.45 * inside;
        break;
      }
    }
  }
  return graded / std::max(1.0, double(edges));
}

// Mean R + G + B by which the cell at (ax, ay) outshines the one at (bx, by) mirrored, on its left half,
// less the same on its right half. For one creature facing either way and lit from the left of the
// screen this is well above 0; unshaded, or shaded in the creature's own frame, it is about 0.
double LeftLitBy(const Image& p, int ax, int ay, int bx, int by, int w, int h) {
  double total = 0;
  int both = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int a = SumAt(p, ax + x, ay + y), b = SumAt(p, bx + w - 1 - x, by + y);
      if (a == 0 || b == 0) continue;
      ++both;
      total += (2 * x + 1 < w ? 1 : 2 * x + 1 > w ? -1 : 0) * (a - b);
    }
  }
  return total / std::max(1, both);
}

TEST(ContentPaintingTest, GlidersAndButterfliesHaveSmoothEdgesAndAreShadedFromOneLight) {
  for (const ContentItem& item : kContent) {
    const std::string name = item.name;
    if (item.role != ContentRole::Sheet || (name.rfind("lbird", 0) != 0 && name.rfind("bfly", 0) != 0)) continue;
    const Image sheet = PaintSheet(item, kHighResolutionScale);
    const int w = item.frameWidth * kHighResolutionScale, h = item.frameHeight * kHighResolutionScale;
    double graded = 0, lit = 0;
    // Rows r and r + rows / 2 hold the same creature flying either way.
    const int half = item.rows / 2;
    for (int row = 0; row < item.rows; ++row) {
      for (int frame = 0; frame < item.frames; ++frame) {
        graded += GradedEdgeShare(sheet, frame * w, row * h, w, h) / (item.rows * item.frames);
        if (row >= half) continue;
        lit += LeftLitBy(sheet, frame * w, (row + half) * h, frame * w, row * h, w, h) / (half * item.frames);
      }
    }
    // Measured: hard keyed and unlit, at most 0.41 and 0.07; shaded rims and one light, at least 0.51 and 10.
    EXPECT_GT(graded, 0.47) << name;
    EXPECT_GT(lit, 5) << name;
  }
}

TEST_F(ContentTest, SoundsDecodeWithinTheirShapeAndNeverClip) {
  std::set<std::string> songs;
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Ambience && item.role != ContentRole::Song) continue;
    Sound s;
    ASSERT_TRUE(ReadOgg(Bytes(item.name), s)) << item.name;
    EXPECT_GE(s.rate, 22050) << item.name;
    const double seconds = static_cast<double>(s.Frames()) / s.rate;
    float peak = 0;
    for (float v : s.samples) peak = std::max(peak, std::abs(v));
    EXPECT_LT(peak, 0.98f) << item.name;
    EXPECT_GT(peak, 0.2f) << item.name;
    if (item.role == ContentRole::Ambience) {
      EXPECT_EQ(s.channels, 2);
      EXPECT_GE(seconds, 180.0);
      EXPECT_LE(seconds, 200.0);
      continue;
    }
    EXPECT_EQ(s.channels, 1) << item.name;
    songs.insert(Bytes(item.name));
  }
  EXPECT_EQ(songs.size(), 28u);
}

// A check of a measured sound, by name.
template <typename Measure>
struct Check {
  const char* what;
  bool (*holds)(const Measure&);
};

// What every song must be (the first kEverySong checks) and what only some songs are (the rest).
constexpr int kEverySong = 5;
constexpr const char* kHarmonicSeries = "has a harmonic series: the 2nd harmonic 8-35 dB down, the 3rd 15-60 dB";
constexpr const char* kSweeps = "sweeps in half its syllables";
constexpr const char* kTrills = "trills";
constexpr const char* kNoisy = "rasps or buzzes: a fortieth of its voiced power between the harmonics";
constexpr const char* kVariedRepeats = "repeats a note, each time a little different";
const Check<SongMeasure> kSongChecks[] = {
    {"lasts 1.5 to 4 s", [](const SongMeasure& m) { return m.seconds >= 1.5 && m.seconds <= 4; }},
    {"has four syllables or more", [](const SongMeasure& m) { return m.syllables.size() >= 4; }},
    {kHarmonicSeries,
     [](const SongMeasure& m) {
       return m.harmonicDb <= -8 && m.harmonicDb >= -35 && m.thirdDb <= -15 && m.thirdDb >= -60;
     }},
    {"does not clip", [](const SongMeasure& m) { return m.peak < 0.98f; }},
    {"is silent at both ends", [](const SongMeasure& m) { return m.edgeDb <= -40; }},
    {kSweeps,
     [](const SongMeasure& m) {
       return !m.syllables.empty() && 2 * m.Sweeping() >= static_cast<int>(m.syllables.size());
     }},
    {kTrills, [](const SongMeasure& m) { return m.trill; }},
    {kNoisy, [](const SongMeasure& m) { return m.noiseDb >= -16; }},
    // Onsets are found to the analysis hop (1.45 ms), so a steady repeat shows at most that.
    {kVariedRepeats,
     [](const SongMeasure& m) { return m.repeatRuns > 0 && m.timingJitterMs >= 1 && m.pitchJitterCents >= 15; }},
};
const Check<AmbienceMeasure> kAmbienceChecks[] = {
    {"gusts: one-second levels vary by 4 dB", [](const AmbienceMeasure& m) { return m.gustDb >= 4; }},
    {"a tenth of its power below 500 Hz", [](const AmbienceMeasure& m) { return m.lowDb >= -10; }},
    {"a hundredth of its power above 4 kHz", [](const AmbienceMeasure& m) { return m.highDb >= -20; }},
    {"lasts three minutes", [](const AmbienceMeasure& m) { return m.seconds >= 180; }},
    {"nothing in it comes round again: band levels shifted 10 s or more correlate below 0.5",
     [](const AmbienceMeasure& m) { return m.repeatCorrelation < 0.5; }},
};
// Two songs are told apart when their sonograms correlate less than this; two renditions of one song are
// not the same samples when theirs correlate less than kDifferentRenditions.
constexpr double kDistinctSongs = 0.5;
constexpr double kDifferentRenditions = 0.9;

template <typename Measure, size_t N>
std::set<std::string> Holding(const Check<Measure> (&checks)[N], const Measure& m) {
  std::set<std::string> holding;
  for (const Check<Measure>& check : checks) {
    if (check.holds(m)) holding.insert(check.what);
  }
  return holding;
}

std::string Describe(const SongMeasure& m) {
  char text[300];
  std::snprintf(text, sizeof text,
                "%.2f s, %zu syllables (%d sweeping), harmonics %.1f and %.1f dB, noise %.1f dB, edges %.0f dB, "
                "%.0f-%.0f Hz%s, %d repeat runs varying %.1f ms and %.0f cents",
                m.seconds, m.syllables.size(), m.Sweeping(), m.harmonicDb, m.thirdDb, m.noiseDb, m.edgeDb, m.lowHz,
                m.highHz, m.trill ? ", trill" : "", m.repeatRuns, m.timingJitterMs, m.pitchJitterCents);
  return text;
}

// One decoded song and what it is.
struct SungSong {
  const ContentItem* item;
  Sound sound;
  SongMeasure measure;
};

TEST_F(ContentTest, TheSongsSoundLikeDifferentBirdsAndNoRenditionRepeatsAnother) {
  std::vector<SungSong> songs;
  for (const ContentItem& item : kContent) {
    if (item.role != ContentRole::Song) continue;
    SungSong song{&item, {}, {}};
    ASSERT_TRUE(ReadOgg(Bytes(item.name), song.sound)) << item.name;
    song.measure = MeasureSong(song.sound.samples, static_cast<int>(song.sound.rate));
    songs.push_back(song);
  }
  ASSERT_EQ(songs.size(), 28u);
  // Species whose every rendition holds a check.
  std::map<std::string, std::set<int>> holdingSpecies, failingSpecies;
  double lowest = 1e9, highest = 0;
  for (const SungSong& song : songs) {
    const SongMeasure& m = song.measure;
    const std::set<std::string> holding = Holding(kSongChecks, m);
    for (int k = 0; k < kEverySong; ++k) {
      EXPECT_TRUE(holding.count(kSongChecks[k].what))
          << song.item->name << " " << kSongChecks[k].what << ": " << Describe(m);
    }
    // A note sung again is never sung the same.
    EXPECT_TRUE(m.repeatRuns == 0 || holding.count(kVariedRepeats)) << song.item->name << ": " << Describe(m);
    for (const Check<SongMeasure>& check : kSongChecks) {
      (holding.count(check.what) ? holdingSpecies : failingSpecies)[check.what].insert(song.item->variant);
    }
    lowest = std::min(lowest, m.lowHz);
    highest = std::max(highest, m.highHz);
  }
  const struct {
    const char* what;
    size_t species;
  } kSomeSongs[] = {{kSweeps, 3}, {kTrills, 2}, {kNoisy, 2}, {kVariedRepeats, 5}};
  for (const auto& some : kSomeSongs) {
    std::set<int> always;
    for (int species : holdingSpecies[some.what]) {
      if (!failingSpecies[some.what].count(species)) always.insert(species);
    }
    EXPECT_GE(always.size(), some.species) << some.what;
  }
  EXPECT_LT(lowest, 1800);
  EXPECT_GT(highest, 7000);
  for (size_t a = 0; a < songs.size(); ++a) {
    for (size_t b = a + 1; b < songs.size(); ++b) {
      const bool sameSpecies = songs[a].item->variant == songs[b].item->variant;
      const double correlation =
          SpectralCorrelation(songs[a].sound.samples, songs[b].sound.samples, static_cast<int>(songs[a].sound.rate));
      EXPECT_LT(correlation, sameSpecies ? kDifferentRenditions : kDistinctSongs)
          << songs[a].item->name << " and " << songs[b].item->name;
    }
  }
}

TEST_F(ContentTest, TheAmbienceGustsAndSpansLowAndHighBands) {
  Sound s;
  ASSERT_TRUE(ReadOgg(Bytes("backmain"), s));
  const AmbienceMeasure m = MeasureAmbience(s.samples, s.channels, static_cast<int>(s.rate));
  EXPECT_EQ(Holding(kAmbienceChecks, m).size(), std::size(kAmbienceChecks))
      << "gusts " << m.gustDb << " dB, low " << m.lowDb << " dB, high " << m.highDb << " dB, " << m.seconds
      << " s, repeats correlate " << m.repeatCorrelation;
}

// A note with a second and third harmonic, falling from 4 to 3 kHz, sung at `at` seconds.
void AddNote(std::vector<float>& to, double at, int rate) {
  constexpr double kSeconds = 0.06;
  double phase = 0;
  for (int i = 0; i < kSeconds * rate; ++i) {
    const double u = i / (kSeconds * rate);
    phase += 2 * M_PI * 4000 * std::pow(0.75, u) / rate;
    const double tone = std::sin(phase) + 0.15 * std::sin(2 * phase) + 0.03 * std::sin(3 * phase);
    to[static_cast<size_t>(at * rate) + i] += static_cast<float>(0.5 * std::sin(M_PI * u) * tone);
  }
}

// The analysis tells a bird from a plain tone, a hiss or a copied note: these pass only the checks listed.
TEST(SoundAnalysisTest, APlainSineWhiteNoiseAndCopiedNotesAreNeitherSongsNorAmbience) {
  constexpr int kRate = 44100;
  std::vector<float> sine(2 * kRate), noise(2 * kRate), copies(2 * kRate);
  Rng hiss(7);
  for (size_t i = 0; i < sine.size(); ++i) {
    sine[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 3000 * i / kRate));
    noise[i] = static_cast<float>(hiss.Range(-0.3, 0.3));
  }
  for (int k = 0; k < 18; ++k) AddNote(copies, 0.1 + 0.09 * k, kRate);
  struct Probe {
    const char* name;
    const std::vector<float>& samples;
    std::set<std::string> songChecks, ambienceChecks;
  };
  const Probe probes[] = {
      {"sine", sine, {"lasts 1.5 to 4 s", "does not clip"}, {}},
      {"white noise", noise, {"lasts 1.5 to 4 s", "does not clip", kNoisy}, {"a hundredth of its power above 4 kHz"}},
      {"copied notes",
       copies,
       {"lasts 1.5 to 4 s", "has four syllables or more", kHarmonicSeries, "does not clip", "is silent at both ends",
        kSweeps, kTrills},
       {"a hundredth of its power above 4 kHz"}},
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(Holding(kSongChecks, MeasureSong(p.samples, kRate)), p.songChecks) << p.name;
    EXPECT_EQ(Holding(kAmbienceChecks, MeasureAmbience(p.samples, 1, kRate)), p.ambienceChecks) << p.name;
    // A sound is not distinct from itself.
    EXPECT_GT(SpectralCorrelation(p.samples, p.samples, kRate), 0.99) << p.name;
  }
  EXPECT_LT(SpectralCorrelation(sine, noise, kRate), kDistinctSongs);
}

// Three minutes of wind whose gusts come round every 40 s, or of a cricket chirping like a metronome, do
// not pass for an ambience that never repeats; the same wind with its gusts at random does.
TEST(SoundAnalysisTest, AnAmbienceThatComesRoundAgainIsCaught) {
  constexpr int kRate = 22050;
  constexpr double kSeconds = 184;
  const size_t frames = static_cast<size_t>(kSeconds * kRate);
  std::vector<float> looped(frames), metronome(frames), random(frames);
  Rng rng(11);
  std::vector<double> gusts(static_cast<size_t>(kSeconds) + 2);
  for (double& g : gusts) g = rng.Range(0.1, 1.0);
  for (size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / kRate, hiss = rng.Gauss() * 0.1;
    // Gust strength steps once a second, eased between; the looped take reuses the first 40 s.
    const auto gust = [&](double at) {
      const size_t s = static_cast<size_t>(at);
      return gusts[s] + (at - s) * (gusts[s + 1] - gusts[s]);
    };
    random[i] = static_cast<float>(hiss * gust(t));
    looped[i] = static_cast<float>(hiss * gust(std::fmod(t, 40.0)));
    const double inChirp = std::fmod(t, 0.625);
    metronome[i] = static_cast<float>(0.02 * hiss + (inChirp < 0.05 ? 0.2 * std::sin(2 * M_PI * 4700 * t) : 0));
  }
  EXPECT_GT(MeasureAmbience(looped, 1, kRate).repeatCorrelation, 0.9);
  EXPECT_GT(MeasureAmbience(metronome, 1, kRate).repeatCorrelation, 0.9);
  EXPECT_LT(MeasureAmbience(random, 1, kRate).repeatCorrelation, 0.5);
}

TEST_F(ContentTest, TheAmbienceLoopsWithoutAClick) {
  Sound s;
  ASSERT_TRUE(ReadOgg(Bytes("backmain"), s));
  ASSERT_EQ(s.channels, 2);
  const size_t frames = s.Frames();
  for (int c = 0; c < 2; ++c) {
    std::vector<float> steps;
    for (size_t i = 1; i < frames; ++i) steps.push_back(std::abs(s.samples[i * 2 + c] - s.samples[(i - 1) * 2 + c]));
    std::sort(steps.begin(), steps.end());
    const float usual = steps[steps.size() * 999 / 1000];
    // Wrapping from the last frame to the first is a step like any other in the loop.
    EXPECT_LE(std::abs(s.samples[c] - s.samples[(frames - 1) * 2 + c]), usual) << "channel " << c;
    // And the level around the loop point matches: no dip or swell in the last and first 50 ms.
    auto rms = [&](size_t from, size_t count) {
      double sum = 0;
      for (size_t i = from; i < from + count; ++i) sum += s.samples[i * 2 + c] * s.samples[i * 2 + c];
      return std::sqrt(sum / count);
    };
    const size_t span = static_cast<size_t>(s.rate / 20);
    const double end = rms(frames - span, span), start = rms(0, span);
    EXPECT_LT(std::max(end, start) / std::min(end, start), 2.0) << "channel " << c;
  }
}

TEST(ContentGeneratorTest, MakesTheSameBytesWhateverTheThreadCount) {
  std::string written;
  ASSERT_TRUE(ReadWholeFile(kDir + "/" + kDataFileName, kDataFileReadLimit, written));
  const std::vector<MadeResource> made = MakeAllResources(1);
  std::string again;
  for (const MadeResource& m : made) again += m.bytes;
  EXPECT_TRUE(again == written) << "single-threaded output differs from the build's";
}

}  // namespace
}  // namespace sylvora
