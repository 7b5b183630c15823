// The line editor the menu types names, host addresses and course codes with.
#include <string>

#include <gtest/gtest.h>

#include "frontend/MenuItems.h"

namespace {

void typeText(LineEditor& editor, const std::string& text)
{
    for (char c : text)
        editor.typeCharacter(static_cast<unsigned char>(c));
}

TEST(LineEditor, TypingWithoutAnEntryModeChangesNothing)
{
    LineEditor editor;
    typeText(editor, "abc");
    EXPECT_EQ(editor.buffer(), "");
    EXPECT_EQ(editor.typeCharacter(LineEditor::enterKey).mode, LineEditor::None);
}

TEST(LineEditor, HoldsAtMostSixteenCharacters)
{
    LineEditor editor;
    editor.beginTextEntry(LineEditor::PlayerName);
    typeText(editor, "0123456789abcdef");
    typeText(editor, "X");
    EXPECT_EQ(editor.buffer(), "0123456789abcdef");
}

TEST(LineEditor, BackspaceRemovesTheLastCharacterOnly)
{
    LineEditor editor;
    editor.beginTextEntry(LineEditor::HostAddress);
    editor.typeCharacter(LineEditor::backspaceKey);
    EXPECT_EQ(editor.buffer(), "");
    EXPECT_TRUE(editor.active());
    typeText(editor, "10.0");
    editor.typeCharacter(LineEditor::backspaceKey);
    EXPECT_EQ(editor.buffer(), "10.");
}

TEST(LineEditor, EnterCommitsAndEscapeDiscards)
{
    LineEditor editor;
    editor.beginTextEntry(LineEditor::CourseCode);
    typeText(editor, "9-4660-1");
    const LineEditor::Committed committed = editor.typeCharacter(LineEditor::enterKey);
    EXPECT_EQ(committed.mode, LineEditor::CourseCode);
    EXPECT_EQ(committed.text, "9-4660-1");
    EXPECT_FALSE(editor.active());
    EXPECT_EQ(editor.buffer(), "");

    editor.beginTextEntry(LineEditor::PlayerName);
    typeText(editor, "gone");
    EXPECT_EQ(editor.typeCharacter(LineEditor::escapeKey).mode, LineEditor::None);
    EXPECT_FALSE(editor.active());
    EXPECT_EQ(editor.buffer(), "");
}

TEST(LineEditor, IgnoresCodesOutsideThePrintableRange)
{
    LineEditor editor;
    editor.beginTextEntry(LineEditor::PlayerName);
    for (unsigned code : {0u, 9u, 10u, 19u, 128u, 233u, 0x263Au})
        editor.typeCharacter(code);
    EXPECT_EQ(editor.buffer(), "");
    editor.typeCharacter(20);
    editor.typeCharacter(127);
    EXPECT_EQ(editor.buffer().size(), 2u);
}

}  // namespace
