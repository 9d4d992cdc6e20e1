// The game's data files: every picture and sound that the code names, that the level
// and menu files place, or that the asset list promises exists, loads through the
// engine's own loaders and has the size and sheet layout the list gives.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include "audio/sdl_mixer/sdl_mixer_backend.h"
#include "graphics/image_decoder.h"

namespace {

namespace fs = std::filesystem;
const fs::path kData = VELMARIS_SOURCE_DIR "/data";

// One row of the asset list: path, pixel size and sheet layout (1 x 1 for single pictures).
struct ListedPicture {
  std::string path;
  unsigned width = 0, height = 0;
  unsigned rows = 1, columns = 1;
};

std::vector<ListedPicture> ReadAssetList() {
  std::ifstream list(kData / "ASSETS.md");
  std::vector<ListedPicture> pictures;
  // | `path` | W x H | R x C: ... or a single picture | ...
  const std::regex row(R"(^\| `([^`]+)` \| (\d+) x (\d+) \| (?:(\d+) x (\d+):)?)");
  std::string line;
  while (std::getline(list, line)) {
    std::smatch match;
    if (!std::regex_search(line, match, row)) continue;
    ListedPicture picture;
    picture.path = match[1];
    picture.width = static_cast<unsigned>(std::stoul(match[2]));
    picture.height = static_cast<unsigned>(std::stoul(match[3]));
    if (match[4].matched) {
      picture.rows = static_cast<unsigned>(std::stoul(match[4]));
      picture.columns = static_cast<unsigned>(std::stoul(match[5]));
    }
    pictures.push_back(picture);
  }
  return pictures;
}

// Every "image" value in the level, menu and prefab files.
std::set<std::string> ImagesNamedByDataFiles() {
  std::set<std::string> images;
  const std::regex image(R"re("image"\s*:\s*"([^"]+)")re");
  for (const char* folder : {"Levels", "Menu", "Prefabs"}) {
    if (!fs::is_directory(kData / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(kData / folder)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream file(entry.path());
      const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      for (std::sregex_iterator it(text.begin(), text.end(), image), end; it != end; ++it) {
        images.insert((*it)[1]);
      }
    }
  }
  return images;
}

// The pictures and sounds the code itself names.
const std::vector<std::string> kImagesNamedByCode = {"images/Counter_1.bmp",
                                                     "images/Counter_2.bmp",
                                                     "images/Counter_3.bmp",
                                                     "images/Counter_4.bmp",
                                                     "images/Counter_5.bmp",
                                                     "images/Counter_6.bmp",
                                                     "images/PauseMenus/Credits/pause_credits_Page0.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page1.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page2.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page3.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page4.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page5.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page6.png",
                                                     "images/PauseMenus/Credits/pause_credits_Page7.png",
                                                     "Flex.png"};
const std::vector<std::string> kSoundsNamedByCode = {
    "Audio/AltStarCollect.ogg", "Audio/ButtonClick.ogg", "Audio/Rizoz ed Udavovi Vivid.ogg",
    "Audio/LevelEndSound.ogg",  "Audio/BirdSmack.ogg",   "Audio/Alt2StarCollect.ogg"};
const char* const kMusic = "Audio/Rizoz ed Udavovi Vivid.ogg";

TEST(AssetsTest, EveryListedPictureDecodesWithItsSizeAndSheet) {
  const std::vector<ListedPicture> pictures = ReadAssetList();
  ASSERT_GE(pictures.size(), 60u) << "the asset list could not be read";
  for (const ListedPicture& listed : pictures) {
    SCOPED_TRACE(listed.path);
    graphics::DecodedImage image;
    ASSERT_EQ(graphics::DecodeImageFile((kData / listed.path).string(), image), graphics::ImageResult::kOk);
    EXPECT_EQ(image.width, listed.width);
    EXPECT_EQ(image.height, listed.height);
    EXPECT_EQ(image.width % listed.columns, 0u) << "cells of equal width";
    EXPECT_EQ(image.height % listed.rows, 0u) << "cells of equal height";
  }
}

TEST(AssetsTest, EveryPictureNamedByCodeOrDataIsListedAndDecodes) {
  std::set<std::string> listed;
  for (const ListedPicture& picture : ReadAssetList()) listed.insert(picture.path);
  std::set<std::string> named(kImagesNamedByCode.begin(), kImagesNamedByCode.end());
  const std::set<std::string> fromData = ImagesNamedByDataFiles();
  named.insert(fromData.begin(), fromData.end());
  for (const std::string& path : named) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(listed.count(path)) << "not in data/ASSETS.md";
    graphics::DecodedImage image;
    EXPECT_EQ(graphics::DecodeImageFile((kData / path).string(), image), graphics::ImageResult::kOk);
  }
}

TEST(AssetsTest, CounterPicturesAreTwentyFourBitBitmaps) {
  for (int amount = 1; amount <= 6; ++amount) {
    graphics::DecodedImage image;
    const std::string path = "images/Counter_" + std::to_string(amount) + ".bmp";
    ASSERT_EQ(graphics::DecodeImageFile((kData / path).string(), image), graphics::ImageResult::kOk) << path;
    EXPECT_EQ(image.format, graphics::PixelFormat::k24bppBGR) << path;
  }
}

// Decoded samples of an Ogg file, interleaved, in -1..1.
struct Pcm {
  int channels = 0;
  long rate = 0;
  std::vector<float> samples;
};

Pcm Decode(const fs::path& path) {
  Pcm pcm;
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) return pcm;
  const vorbis_info* info = ov_info(&file, -1);
  pcm.channels = info->channels;
  pcm.rate = info->rate;
  char buffer[8192];
  int section = 0;
  long read = 0;
  while ((read = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer);
    for (long i = 0; i < read / 2; ++i) pcm.samples.push_back(samples[i] / 32768.0f);
  }
  ov_clear(&file);
  return pcm;
}

TEST(AssetsTest, SoundsLoadThroughTheMixerAndStayBelowFullScale) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  audio::SdlMixerBackend mixer;
  ASSERT_EQ(mixer.Create(), audio::kOk);
  ASSERT_EQ(mixer.Initialize(32), audio::kOk);
  ASSERT_EQ(mixer.LoadDecoders(), audio::kOk);
  for (const std::string& path : kSoundsNamedByCode) {
    SCOPED_TRACE(path);
    audio::SoundHandle sound{};
    EXPECT_EQ(mixer.CreateSound((kData / path).string(), 0x89, &sound), audio::kOk);
    const Pcm pcm = Decode(kData / path);
    ASSERT_FALSE(pcm.samples.empty());
    EXPECT_TRUE(pcm.rate == 44100 || pcm.rate == 48000) << pcm.rate;
    float peak = 0.0f;
    for (float sample : pcm.samples) peak = std::max(peak, std::abs(sample));
    EXPECT_LE(peak, 0.8913f) << "peaks at or below -1 dBFS";
    EXPECT_GT(peak, 0.1f) << "audible";
  }
}

TEST(AssetsTest, EffectsFadeAndTheMusicLoopsWithoutAJump) {
  for (const std::string& path : kSoundsNamedByCode) {
    SCOPED_TRACE(path);
    const Pcm pcm = Decode(kData / path);
    ASSERT_GE(pcm.samples.size(), static_cast<size_t>(2 * pcm.channels));
    if (path == kMusic) {
      EXPECT_GE(pcm.samples.size() / pcm.channels, static_cast<size_t>(60 * pcm.rate)) << "at least 60 s";
      // Played as a loop, the last sample frame runs into the first.
      for (int channel = 0; channel < pcm.channels; ++channel) {
        const float last = pcm.samples[pcm.samples.size() - pcm.channels + channel];
        EXPECT_LT(std::abs(last - pcm.samples[channel]), 0.05f) << "channel " << channel;
      }
    } else {
      // A one-shot sound starts and ends near silence: no click.
      EXPECT_LT(std::abs(pcm.samples.front()), 0.01f);
      EXPECT_LT(std::abs(pcm.samples.back()), 0.01f);
    }
  }
}

}  // namespace
