// Arbitrary bytes as a whole scenario: the label table is built from them,
// the *define block runs, then the game from *start, headless with scripted
// clicks and answers. Each run is bounded by the virtual clock: every
// statement costs game time, so a scenario that loops forever hits the
// timeout after a few thousand statements. Anything but a ProgramExit
// escaping, or a sanitizer report, is a bug.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/script/interpreter.h"
#include "game/script/labels.h"
#include "platform/headless/headless_platform.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELLUMITE_KEEP_LARGE_BLOCKS 1
#include <sanitizer/allocator_interface.h>
#include <sanitizer/asan_interface.h>
#endif
#endif

using namespace vellumite;

namespace {

// 50 ms of game time: about 5000 statements when nothing waits.
constexpr uint32_t kTimeoutMs = 50;
constexpr uint32_t kTimerPeriod = 100;

// Clicks and keys for the waits, answers for the boxes and the input dialogs.
// Once it is used up, the next wait for the player ends the run.
constexpr std::string_view kInput =
    "click 320 240\n"
    "answer yes\n"
    "click 320 240\n"
    "key enter\n"
    "type 42\n"
    "click 100 400\n"
    "answer no\n"
    "rclick 320 240\n"
    "key space\n"
    "answer ok\n"
    "click 320 240\n";

std::vector<InputEvent>* scripted_input = nullptr;
std::string* scratch_folder = nullptr;
int home_fd = -1;
int scratch_fd = -1;

[[noreturn]] void give_up(const char* what) {
  std::fprintf(stderr, "vellumite fuzz: %s: %s\n", what, std::strerror(errno));
  std::abort();
}

// The game writes its save, global-variable and preference files into the
// current directory. Each run happens in a scratch folder of its own, emptied
// afterwards, so runs do not see each other's files and nothing lands where
// the fuzzer was started (corpus and artifact paths stay relative to there).
void enter_scratch() {
  if (fchdir(scratch_fd) != 0) give_up("enter the scratch folder");
}

void leave_scratch() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(".", ec)) {
    std::filesystem::remove_all(entry.path(), ec);
  }
  if (fchdir(home_fd) != 0) give_up("leave the scratch folder");
}

// The parts of a program start and a cycle start that the engine needs
// before a scenario runs; the rest is the fresh engine's defaults.
void prepare(Engine& e) {
  ShellState& shell = e.shell;
  shell.default_font_face = to_sjis("ＭＳ ゴシック");
  shell.font_face = shell.default_font_face;
  shell.version_text = "Vellumite fuzz";
  shell.temp_folder = *scratch_folder;
  shell.menu.build();
  seed_random(e.vars, 0);
  clear_global_variables(e.vars);
  reset_variable_tables(e.vars);
}

// A crash is written while the run is inside the scratch folder; unless told
// otherwise, put it where the fuzzer was started, as usual.
void default_artifact_prefix(int* argc, char*** argv) {
  for (int i = 1; i < *argc; ++i) {
    if (std::strncmp((*argv)[i], "-artifact_prefix=", 17) == 0) return;
  }
  std::error_code ec;
  std::string home = std::filesystem::current_path(ec).string();
  if (ec) return;
  static std::string flag = "-artifact_prefix=" + home + "/";
  static std::vector<char*> args;
  args.assign(*argv, *argv + *argc);
  args.insert(args.begin() + 1, flag.data());
  args.push_back(nullptr);
  *argc += 1;
  *argv = args.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  default_artifact_prefix(argc, argv);
  home_fd = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (home_fd < 0) give_up("open the current folder");
  std::string name = (std::filesystem::temp_directory_path() / "vellumite-fuzz-XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) give_up("create a scratch folder");
  scratch_fd = open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (scratch_fd < 0) give_up("open the scratch folder");
  scratch_folder = new std::string(name + "/");
  // Removed again at the end when nothing was left in it.
  std::atexit([] { rmdir(scratch_folder->c_str()); });

  InputParseResult input = parse_input_script(kInput);
  if (!input.error.empty()) {
    std::fprintf(stderr, "vellumite fuzz: input: %s\n", input.error.c_str());
    std::abort();
  }
  scripted_input = new std::vector<InputEvent>(std::move(input.events));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch();
  {
    PlatformOptions options;
    options.quiet = true;
    options.timeout_ms = kTimeoutMs;
    options.input = *scripted_input;
    HeadlessPlatform platform(std::move(options));
    auto engine = std::make_unique<Engine>(platform);
    Engine& e = *engine;
    try {
      prepare(e);
      load_scenario_from_bytes(e, std::string_view(reinterpret_cast<const char*>(data), size));
      build_label_table(e);
      run_interpreter(e, true);
      platform.start_timer(kTimerPeriod);
      e.shell.timer_running = true;
      platform.show_window();
      // One pass of the game; a restart (definereset) ends the run.
      game_reset(e);
      run_interpreter(e, false);
    } catch (const ProgramExit&) {
    }
  }
  leave_scratch();
  return 0;
}

// Every run builds a fresh platform and engine: the window surface, the 5 MB
// script buffer, the engine itself. Under AddressSanitizer each large block
// is freshly mapped memory with fresh shadow, and the page faults cost many
// times what the run itself does. So large blocks are kept after delete and
// handed out again for the same size. A kept block is poisoned, so a use
// after free is still reported (as use-after-poison); what is lost is the
// check that new[] is paired with delete[].
#ifdef VELLUMITE_KEEP_LARGE_BLOCKS
namespace {

constexpr size_t kKeepFrom = 64 * 1024;
constexpr size_t kKeepUpTo = 8 * 1024 * 1024;

struct KeptBlock {
  size_t size;
  void* block;
};
KeptBlock kept_blocks[16];
size_t next_victim = 0;

void* allocate(size_t size) {
  if (size >= kKeepFrom && size <= kKeepUpTo) {
    for (KeptBlock& kept : kept_blocks) {
      if (kept.block != nullptr && kept.size == size) {
        void* block = kept.block;
        kept.block = nullptr;
        ASAN_UNPOISON_MEMORY_REGION(block, size);
        return block;
      }
    }
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void release(void* block) noexcept {
  if (block == nullptr) return;
  size_t size = __sanitizer_get_allocated_size(block);
  if (size < kKeepFrom || size > kKeepUpTo) {
    std::free(block);
    return;
  }
  KeptBlock* slot = nullptr;
  for (KeptBlock& kept : kept_blocks) {
    if (kept.block == nullptr) {
      slot = &kept;
      break;
    }
  }
  if (slot == nullptr) {
    slot = &kept_blocks[next_victim++ % std::size(kept_blocks)];
    ASAN_UNPOISON_MEMORY_REGION(slot->block, slot->size);
    std::free(slot->block);
  }
  ASAN_POISON_MEMORY_REGION(block, size);
  *slot = KeptBlock{size, block};
}

}  // namespace

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* block) noexcept { release(block); }
void operator delete[](void* block) noexcept { release(block); }
void operator delete(void* block, size_t) noexcept { release(block); }
void operator delete[](void* block, size_t) noexcept { release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { release(block); }

#endif
