// The generator paints from its own table; the scenes ask the archive from theirs. These tests make
// sure every picture a scene can ask for is painted, under the same name and at the size it is drawn at.
#include <gtest/gtest.h>

#include <string>

#include "content/catalogue.h"
#include "nature/ambient_sound.h"
#include "nature/nature_theme.h"
#include "nature/scene_catalogue.h"

namespace sylvora {
namespace {

const ContentItem* Painted(const std::string& name) {
  for (const ContentItem& item : kContent) {
    if (name == item.name) return &item;
  }
  return nullptr;
}

TEST(CatalogueAgreementTest, EverySceneLayerAndSkyIsPaintedAtItsSizeAndPlace) {
  for (int scene = 0; scene < kSceneCount; ++scene) {
    const SceneEntry& entry = kScenes[scene];
    const LayerPlacement layers[3] = {entry.back0, entry.back1, Back2Placement(scene)};
    const int layerCount = entry.hasBack2 ? 3 : 2;
    for (int layer = 0; layer < layerCount; ++layer) {
      const ContentItem* item = Painted(LayerPictureName(scene, layer));
      ASSERT_NE(item, nullptr) << LayerPictureName(scene, layer);
      EXPECT_EQ(item->archiveType, 1) << item->name;
      EXPECT_EQ(item->width, layers[layer].width) << item->name;
      EXPECT_EQ(item->height, layers[layer].height) << item->name;
      // The wide painting is centred on the frame by the screen column the scene draws the layer at.
      EXPECT_EQ(item->sceneX, layers[layer].x) << item->name;
      if (layer > 0) {
        EXPECT_EQ(item->blackThreshold, layer == 1 ? entry.back1Threshold : entry.back2Threshold) << item->name;
      }
    }
    EXPECT_EQ(Painted(LayerPictureName(scene, 2)) != nullptr, entry.hasBack2 != 0) << scene;
    EXPECT_EQ(SkyBand(scene), SkyBandOf(scene)) << scene;
    for (int sky = 0; sky < entry.skyCount; ++sky) {
      const ContentItem* item = Painted(entry.skies[sky]);
      ASSERT_NE(item, nullptr) << entry.skies[sky];
      EXPECT_EQ(item->width, 640) << item->name;
      EXPECT_EQ(item->height, 2 * SkyBandOf(scene)) << item->name;
    }
  }
}

TEST(CatalogueAgreementTest, EveryCreatureVariantMatchesItsSheet) {
  for (int scene = 0; scene < kSceneCount; ++scene) {
    for (int set = 0; set < NatureTheme::kSetCount; ++set) {
      const CreatureVariant* variants = SetVariants(scene, set);
      for (int v = 0; v < kScenes[scene].variantCounts[set]; ++v) {
        const CreatureVariant& variant = variants[v];
        const char* name = kSharedPictureNames[variant.sharedPicture];
        const ContentItem* item = Painted(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->archiveType, 0) << name;
        EXPECT_EQ(item->frameWidth, variant.frameWidth) << name;
        EXPECT_EQ(item->frameHeight, variant.frameHeight) << name;
        EXPECT_EQ(item->frames, variant.frames) << name;
        EXPECT_EQ(item->rows, variant.rows) << name;
        EXPECT_EQ(item->width, variant.sheetWidth) << name;
        EXPECT_EQ(item->height, variant.sheetHeight) << name;
      }
    }
  }
  for (const char* name : kSharedPictureNames) EXPECT_NE(Painted(name), nullptr) << name;
}

TEST(CatalogueAgreementTest, TheAmbientSoundsArePaintedWithEverySongsRenditions) {
  for (const char* name : {"backmain", "back0", "back1", "back2", "back3", "back4", "back5", "back6"}) {
    const ContentItem* item = Painted(name);
    ASSERT_NE(item, nullptr) << name;
    EXPECT_EQ(item->archiveType, kSoundEntryType) << name;
  }
  // The names the ambient sound looks for hold the renditions the generator sang for them.
  for (int song = 0; song < AmbientSound::kSongCount; ++song) {
    for (int rendition = 0; rendition < kSongRenditions; ++rendition) {
      const std::string name = SongRenditionName(song, rendition);
      const ContentItem* item = Painted(name);
      ASSERT_NE(item, nullptr) << name;
      EXPECT_EQ(item->role, ContentRole::Song) << name;
      EXPECT_EQ(item->variant, song) << name;
      EXPECT_EQ(item->rendition, rendition) << name;
    }
  }
}

}  // namespace
}  // namespace sylvora
