// Animation: one index per update once more than its time has passed, looping or
// stopping at the last index, and index ranges its lists do not cover.
#include "components/animation.h"

#include <gtest/gtest.h>

#include "graphics/sprite.h"
#include "objects/game_object.h"

namespace {

// An object with a Sprite and an Animation over frames 4, 5, 6 of 0.1 s each.
struct Animated {
  objects::GameObject object{"Bird"};
  graphics::Sprite* sprite = new graphics::Sprite();
  components::Animation* animation = new components::Animation();

  explicit Animated(bool looping) {
    object.AddComponent(sprite);
    animation->frames = {4, 5, 6};
    animation->frameTimes = {0.1f, 0.1f, 0.1f};
    animation->maxFrame = 2;
    animation->isLooping = looping;
    object.AddComponent(animation);
    EXPECT_TRUE(animation->Initialize());
  }

  // The sprite's frame after each of `count` updates of dt.
  std::vector<int> Run(int count, float dt) {
    std::vector<int> shown;
    for (int i = 0; i < count; ++i) {
      animation->Update(dt);
      shown.push_back(sprite->frameIndex);
    }
    return shown;
  }
};

TEST(AnimationTest, LoopingAndOnceThroughStepping) {
  Animated looping(true);
  EXPECT_EQ(looping.animation->currentFrame, 4);  // the sprite is not touched yet
  EXPECT_EQ(looping.Run(6, 0.06f), (std::vector<int>{0, 5, 5, 6, 6, 4}));
  Animated once(false);
  EXPECT_EQ(once.Run(6, 0.06f), (std::vector<int>{0, 5, 5, 6, 6, 6}));
  EXPECT_FALSE(once.animation->isPlaying);
  EXPECT_EQ(once.animation->currentIndex, 2);
  once.animation->isPlaying = true;  // started again, it is past its end at once
  once.animation->Update(0.2f);
  EXPECT_FALSE(once.animation->isPlaying);
  // Exactly the frame time does not advance; a long frame steps once, the rest dropped.
  Animated bird(true);
  EXPECT_EQ(bird.Run(3, 0.1f), (std::vector<int>{0, 5, 5}));
  bird.animation->Update(5.0f);
  EXPECT_EQ(bird.animation->currentIndex, 2);
  EXPECT_EQ(bird.animation->elapsed, 0.0f);
  bird.animation->isPaused = true;
  EXPECT_EQ(bird.Run(3, 1.0f), (std::vector<int>{6, 6, 6}));
}

TEST(AnimationTest, RangeOutsideTheListsIsReportedAndNeverRead) {
  objects::GameObject object{"Broken"};
  auto* animation = new components::Animation();
  animation->frames = {1, 2};
  animation->frameTimes = {0.1f};  // one time short of MaxFrame 1
  animation->maxFrame = 1;
  object.AddComponent(animation);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(animation->Initialize());
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("object Broken"), std::string::npos);
  EXPECT_NE(errors.find("MaxFrame 1"), std::string::npos);
  for (int i = 0; i < 5; ++i) animation->Update(1.0f);
  EXPECT_EQ(animation->currentIndex, 0);
  // A script moving the index out of the lists makes the animation start over.
  Animated bird(true);
  bird.animation->currentIndex = 40;
  bird.animation->Update(0.2f);
  EXPECT_EQ(bird.sprite->frameIndex, 4);
}

}  // namespace
