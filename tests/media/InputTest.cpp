// The six actions from the first joystick and the key table.
#include <gtest/gtest.h>

#include "tests/media/TestSupport.h"

namespace zarp::test {
namespace {

namespace vk = platform::vk;

struct Keys {
    int32_t action;
    std::vector<int> keys;
};
const Keys kKeyTable[] = {
    {ActLeft, {vk::Numpad4, vk::Left, vk::OemPlus}},
    {ActRight, {vk::Numpad6, vk::Right, vk::Oem6}},
    {ActUp, {vk::Numpad8, vk::Up, vk::Oem3}},
    {ActDown, {vk::Numpad2, vk::Down, vk::Oem2}},
    {ActA, {vk::Space, 'Z', 'Z'}},
    {ActB, {vk::Return, 'X', 'X'}},
};

TEST(IsPressed, KeysOfEachActionInOrder) {
    for (const Keys& row : kKeyTable) {
        MediaFixture f;
        EXPECT_FALSE(f.media.IsPressed(row.action));
        EXPECT_EQ(f.fake.keyboard.queried, row.keys) << "action " << row.action;
        for (int key : row.keys) {
            MediaFixture g;
            g.fake.keyboard.down = {key};
            EXPECT_TRUE(g.media.IsPressed(row.action)) << "key " << key;
            // The search ends at the first key that counts.
            EXPECT_EQ(g.fake.keyboard.queried.back(), key);
        }
    }
    // A key of one action presses no other.
    MediaFixture f;
    f.fake.keyboard.down = {vk::Left, vk::Space};
    EXPECT_FALSE(f.media.IsPressed(ActRight));
    EXPECT_FALSE(f.media.IsPressed(ActB));
    EXPECT_FALSE(f.media.IsPressed(6));
    EXPECT_FALSE(f.media.IsPressed(-1));
}

struct Stick {
    uint32_t min, max, x, y, buttons;
};

std::vector<bool> Actions(const Stick& s, std::set<int> keys = {}) {
    FakePlatform fake;
    fake.joystick.present = true;
    fake.joystick.caps = {s.min, s.max, s.min, s.max};
    fake.joystick.info = {s.x, s.y, s.buttons};
    fake.keyboard.down = std::move(keys);
    Random random;
    MediaDevices media(fake.platform, random, "");
    std::vector<bool> pressed;
    for (int32_t action = 0; action < 6; ++action)
        pressed.push_back(media.IsPressed(action));
    return pressed;
}

TEST(IsPressed, Joystick) {
    using V = std::vector<bool>;
    // Order: left, right, up, down, A, B.
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 0}), V(6, false));
    EXPECT_EQ(Actions({0, 65535, 16383, 49151, 0}), (V{true, false, false, true, false, false}));
    EXPECT_EQ(Actions({0, 65535, 49151, 16383, 0}), (V{false, true, true, false, false, false}));
    EXPECT_EQ(Actions({0, 65535, 16384, 49150, 0}), V(6, false));  // just inside the thresholds
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 1}), (V{false, false, false, false, true, false}));
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 4}), (V{false, false, false, false, true, false}));
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 2}), (V{false, false, false, false, false, true}));
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 8}), (V{false, false, false, false, false, true}));
    // Buttons 1 and 2 together: neither through the joystick, Space still gives A.
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 3}), V(6, false));
    EXPECT_EQ(Actions({0, 65535, 32767, 32767, 3}, {vk::Space}),
              (V{false, false, false, false, true, false}));
    // An axis range of 1000 to 2000: centre 1500, thresholds 750 and 2250, no direction at all.
    EXPECT_EQ(Actions({1000, 2000, 1000, 2000, 0}), V(6, false));
    EXPECT_EQ(Actions({1000, 2000, 2000, 1000, 0}), V(6, false));
}

TEST(IsPressed, JoystickAnswerSkipsTheKeysAndItsAbsenceLeavesThemAlone) {
    FakePlatform fake;
    fake.joystick.present = true;
    fake.joystick.caps = {0, 65535, 0, 65535};
    fake.joystick.info = {0, 32767, 0};
    Random random;
    MediaDevices media(fake.platform, random, "");
    EXPECT_TRUE(media.IsPressed(ActLeft));
    EXPECT_TRUE(fake.keyboard.queried.empty());
    // The pad goes away: the keyboard alone decides, nothing else happens.
    fake.joystick.present = false;
    EXPECT_FALSE(media.IsPressed(ActLeft));
    fake.keyboard.down = {vk::Left};
    EXPECT_TRUE(media.IsPressed(ActLeft));
    EXPECT_EQ(media.joyCaps.wXmax, 65535u);
}

}  // namespace
}  // namespace zarp::test
