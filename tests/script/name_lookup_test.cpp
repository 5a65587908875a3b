// The two lookups every statement makes: the command word and, for a jump,
// the label name.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "script/command_table.h"
#include "script/name_index.h"

namespace vellumite {
namespace {

TEST(CommandLookup, FindsEachBuiltWordInItsPhasesOnly) {
  size_t count = 0;
  const CommandEntry* all = all_commands(count);
  for (size_t i = 0; i < count; ++i) {
    const CommandEntry& entry = all[i];
    if (entry.handler == nullptr) continue;
    EXPECT_EQ(find_command(entry.name, true) == &entry,
              entry.command_class != CommandClass::GameOnly)
        << entry.name;
    EXPECT_EQ(find_command(entry.name, false) == &entry,
              entry.command_class != CommandClass::DefineOnly)
        << entry.name;
  }
  using namespace std::string_view_literals;
  for (std::string_view word :
       {""sv, "ad"sv, "addd"sv, "ADD"sv, "add\0"sv, "\0add"sv, "menu_click_pag"sv,
        "menu_click_pagex"sv, "menu_click_pagexy"sv, "btnwait3"sv, "mov55"sv}) {
    EXPECT_EQ(find_command(word, false), nullptr) << word;
    EXPECT_EQ(find_command(word, true), nullptr) << word;
  }
}

TEST(NameIndex, KeepsTheFirstValueOfEveryName) {
  NameIndex index;
  EXPECT_EQ(index.find("a"), -1);
  // Enough names to grow the table several times, short and long ones.
  const int names = 5000;
  auto name = [](int i) { return (i % 3 == 0 ? "scene_long_name_" : "l") + std::to_string(i); };
  for (int i = 0; i < names; ++i) EXPECT_TRUE(index.insert(name(i), i));
  EXPECT_TRUE(index.insert("", names));
  EXPECT_FALSE(index.insert("l1", 99));
  EXPECT_FALSE(index.insert("", 99));
  EXPECT_EQ(index.size(), 5001u);
  for (int i = 0; i < names; ++i) ASSERT_EQ(index.find(name(i)), i) << name(i);
  EXPECT_EQ(index.find(""), names);
  for (std::string_view missing : {"l", "l5000", "L1", "scene_long_name_1", "l1 ", "scene"}) {
    EXPECT_EQ(index.find(missing), -1) << missing;
  }
  index.clear();
  EXPECT_EQ(index.find("l1"), -1);
  EXPECT_TRUE(index.insert("l1", 7));
  EXPECT_EQ(index.find("l1"), 7);
}

}  // namespace
}  // namespace vellumite
