#include "script/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace vellumite {
namespace {

void handler(Engine&) {}

TEST(CommandTable, HoldsEachWordOnceAndRefusesASecondHandler) {
  size_t count = 0;
  const CommandEntry* all = all_commands(count);
  std::set<std::string_view> words;
  for (size_t i = 0; i < count; ++i) words.insert(all[i].name);
  EXPECT_EQ(count, 134u);
  EXPECT_EQ(words.size(), 134u);

  CommandEntry entries[] = {{"mov", CommandClass::Shared, nullptr}};
  bind_command(entries, "mov", handler);
  EXPECT_EQ(entries[0].handler, &handler);
  EXPECT_THROW(bind_command(entries, "mov", handler), std::logic_error);
  EXPECT_THROW(bind_command(entries, "movv", handler), std::logic_error);
}

}  // namespace
}  // namespace vellumite
