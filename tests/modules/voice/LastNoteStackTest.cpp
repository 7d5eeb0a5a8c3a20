#include <gtest/gtest.h>

#include "engine/Event.h"
#include "modules/voice/QX_LastNoteStack.h"

namespace {

TEST(ModulesLastNoteStack, RemovesTheLowestMatchAndDropsPushesWhenFull) {
    QX_LastNoteStack stack;
    stack.push(packMidi(0x90, 60, 1));
    stack.push(packMidi(0x90, 64, 2));
    stack.push(packMidi(0x90, 60, 3));
    stack.push(packMidi(0x90, 67, 4));
    stack.removeNote(60);
    stack.removeNote(127);  // held by no entry: removes nothing, not even an empty slot read as 127
    ASSERT_EQ(stack.size(), 3);
    EXPECT_EQ(stack.pop(), packMidi(0x90, 67, 4));
    EXPECT_EQ(stack.pop(), packMidi(0x90, 60, 3));
    EXPECT_EQ(stack.pop(), packMidi(0x90, 64, 2));
    EXPECT_EQ(stack.pop(), QX_LastNoteStack::kEmpty);
    for (int i = 0; i < QX_LastNoteStack::kCapacity + 10; ++i) {
        stack.push(packMidi(0x90, i & 0x7F, 100));
    }
    EXPECT_EQ(stack.size(), QX_LastNoteStack::kCapacity);
    EXPECT_EQ(stack.pop(), packMidi(0x90, (QX_LastNoteStack::kCapacity - 1) & 0x7F, 100));
}

}  // namespace
