#include "runtime/keyboard.h"
#include "runtime/keyboard_state.h"
#include "runtime/testing.h"
#include <gtest/gtest.h>

TEST(KeyboardState, HitsCountPressTransitionsOnly) {
    KeyboardState keys;
    keys.press(KEY_ENTER);
    keys.press(KEY_ENTER); // auto-repeat while held
    keys.press(KEY_ENTER);
    EXPECT_EQ(keys.down(KEY_ENTER), 1);
    EXPECT_EQ(keys.hits(KEY_ENTER), 1);
    EXPECT_EQ(keys.hits(KEY_ENTER), 0);
    keys.release(KEY_ENTER);
    keys.press(KEY_ENTER);
    keys.release(KEY_ENTER);
    keys.press(KEY_ENTER);
    EXPECT_EQ(keys.hits(KEY_ENTER), 2);
    EXPECT_EQ(keys.hits(KEY_SPACE), 0);
    // Codes outside the table are ignored instead of writing past it.
    keys.press(-1);
    keys.press(256);
    EXPECT_EQ(keys.down(256), 0);
    EXPECT_EQ(keys.hits(-1), 0);
}

TEST(KeyboardState, FlushForgetsHeldKeysUntilPressedAgain) {
    KeyboardState keys;
    keys.press(KEY_LEFT);
    keys.typed('a');
    keys.requestClose();
    keys.flush();
    EXPECT_EQ(keys.down(KEY_LEFT), 0);
    EXPECT_EQ(keys.hits(KEY_LEFT), 0);
    EXPECT_EQ(keys.nextChar(), 0);
    keys.press(KEY_LEFT); // still physically held: a repeat, not a new press
    EXPECT_EQ(keys.down(KEY_LEFT), 1);
    EXPECT_EQ(keys.hits(KEY_LEFT), 1);
    keys.release(KEY_LEFT);
    keys.press(KEY_UP);
    keys.focusChanged();
    EXPECT_EQ(keys.down(KEY_UP), 0);
    EXPECT_EQ(keys.hits(KEY_UP), 0);
    // The close request is not a key state: it survives a flush and is taken once.
    EXPECT_EQ(keys.takeClose(), 1);
    EXPECT_EQ(keys.takeClose(), 0);
}

TEST(KeyboardState, CharacterQueueHolds256) {
    KeyboardState keys;
    for (int i = 0; i < 257; ++i) keys.typed(1000 + i);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(keys.nextChar(), 1000 + i);
    EXPECT_EQ(keys.nextChar(), 0);
}

TEST(Keyboard, QueriesPumpEventsFirst) {
    int pumps = 0;
    TestOnEvents([&] {
        if (++pumps == 1) TestKeyDown(KEY_P), TestTypeChar('p');
    });
    EXPECT_EQ(KeyHits(KEY_P), 1);
    EXPECT_EQ(KeyDown(KEY_P), 1);
    EXPECT_EQ(GetChar(), 'p');
    EXPECT_EQ(CloseRequested(), 0);
    FlushKeys();
    EXPECT_EQ(KeyDown(KEY_P), 0);
    EXPECT_EQ(pumps, 6);
    TestOnEvents(nullptr);
}
