// The script engine's hot paths: loading a full-size scenario and collecting
// its labels (what every cycle start costs), and the interpreter's pace on
// a loop that never waits.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <string>

#include "base/sjis.h"
#include "game/engine.h"
#include "game/script/interpreter.h"
#include "game/script/labels.h"
#include "platform/headless/headless_platform.h"
#include "script/scenario_text.h"

// Every allocation through operator new is counted, so that the
// interpreter's figure shows whether a statement costs heap work. Out of
// line, so that the compiler does not pair an inlined malloc with a delete.
namespace {
std::atomic<uint64_t> allocations{0};
}  // namespace

[[gnu::noinline]] void* operator new(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size != 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace vellumite {
namespace {
namespace fs = std::filesystem;

constexpr int kFiles = 50;
constexpr size_t kScenarioBytes = 5'000'000;  // of the 5,242,880 the buffer holds
// *define and *start plus these fill the label table to its limit of 5000.
constexpr int kGeneratedLabels = kMaxLabels - 2;

// A scenario the size of a long commercial game: 50 numbered files, the
// label table full, a mix of text lines, commands and comments with CR LF
// line ends as authors' editors write them.
class BigScenario {
 public:
  BigScenario() {
    dir_ = fs::temp_directory_path() / ("vellumite-bench-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "numbered");
    fs::create_directories(dir_ / "packed");
    const std::string text_line = to_sjis("「今日はいい天気ですね」と彼女は言った。\r\n");
    const std::string command_line = "mov %10,%11:add %12,5\r\n";
    const std::string comment_line = ";---- comment ----\r\n";
    const size_t per_file = kScenarioBytes / kFiles;
    const int labels_per_file = (kGeneratedLabels + kFiles - 1) / kFiles;
    int label = 0;
    std::string joined;
    for (int n = 0; n < kFiles; ++n) {
      std::string file;
      if (n == 0) file = "*define\r\ngame\r\n*start\r\nend\r\n";
      for (int i = 0; i < labels_per_file && label < kGeneratedLabels; ++i, ++label) {
        file += "*scene_" + std::to_string(label) + "\r\n";
        // Spread the labels evenly over the file.
        size_t until = per_file * static_cast<size_t>(i + 1) / labels_per_file;
        for (int line = 0; file.size() < until; ++line) {
          file += line % 5 == 4 ? command_line : line % 7 == 6 ? comment_line : text_line;
        }
      }
      write(dir_ / "numbered" / (std::to_string(n) + ".txt"), file);
      for (size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == '\r' && file[i + 1] == '\n') continue;
        joined += file[i];
      }
      joined += file.back();
      joined += '\n';
    }
    joined.pop_back();
    for (size_t i = 0; i < joined.size(); ++i) joined[i] = static_cast<char>(joined[i] ^ kPlainKey);
    write(dir_ / "packed" / "velmtxt.dat", joined);
  }
  ~BigScenario() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path numbered() const { return dir_ / "numbered"; }
  fs::path packed() const { return dir_ / "packed"; }

 private:
  static void write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  fs::path dir_;
};

const BigScenario& big_scenario() {
  static BigScenario scenario;
  return scenario;
}

PlatformOptions bench_options() {
  PlatformOptions options;
  options.quiet = true;
  options.timeout_ms = UINT32_MAX;
  return options;
}

// The game's loading step in `dir`: the scenario, then its labels.
void load_and_label(benchmark::State& state, const fs::path& dir) {
  HeadlessPlatform platform(bench_options());
  auto engine = std::make_unique<Engine>(platform);
  fs::path before = fs::current_path();
  fs::current_path(dir);
  for (auto _ : state) {
    try {
      load_scenario(*engine);
      build_label_table(*engine);
    } catch (const ProgramExit&) {
      state.SkipWithError("the scenario did not load");
      break;
    }
    benchmark::DoNotOptimize(engine->script.label_count);
  }
  fs::current_path(before);
  if (engine->script.label_count != kMaxLabels) state.SkipWithError("labels missing");
  state.SetBytesProcessed(state.iterations() * engine->script.script_length);
  state.counters["labels"] = engine->script.label_count;
}

// 0.txt ... 49.txt from disk (warm page cache) with text-mode reading, then
// the label table.
void BM_LoadNumberedFiles(benchmark::State& state) {
  load_and_label(state, big_scenario().numbered());
}
BENCHMARK(BM_LoadNumberedFiles)->Unit(benchmark::kMillisecond);

// The same scenario as one velmtxt.dat.
void BM_LoadPackedFile(benchmark::State& state) { load_and_label(state, big_scenario().packed()); }
BENCHMARK(BM_LoadPackedFile)->Unit(benchmark::kMillisecond);

// The label table alone over the loaded 5 MB buffer.
void BM_BuildLabelTable(benchmark::State& state) {
  HeadlessPlatform platform(bench_options());
  auto engine = std::make_unique<Engine>(platform);
  fs::path before = fs::current_path();
  fs::current_path(big_scenario().numbered());
  load_scenario(*engine);
  fs::current_path(before);
  for (auto _ : state) {
    build_label_table(*engine);
    benchmark::DoNotOptimize(engine->script.label_count);
  }
  if (engine->script.label_count != kMaxLabels) state.SkipWithError("labels missing");
  state.SetBytesProcessed(state.iterations() * engine->script.script_length);
}
BENCHMARK(BM_BuildLabelTable)->Unit(benchmark::kMillisecond);

// The interpreter on a loop of three statements that never waits:
//   *l / add %0,1 / if %0<N goto *l
// `if` lets the rest of its line run, so add, if and goto are each one
// statement. Items are statements.
constexpr int kLoopRounds = 1'000'000;
constexpr int kStatementsPerRound = 3;

void BM_InterpreterLoop(benchmark::State& state) {
  const std::string scenario = "*define\ngame\n*start\nmov %0,0\n*l\nadd %0,1\nif %0<" +
                               std::to_string(kLoopRounds) + " goto *l\nend\n";
  uint64_t loop_allocations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto platform = std::make_unique<HeadlessPlatform>(bench_options());
    auto engine = std::make_unique<Engine>(*platform);
    Engine& e = *engine;
    int exit_code = -1;
    bool timing = false;
    uint64_t allocated_before = 0;
    try {
      e.shell.menu.build();
      load_scenario_from_bytes(e, scenario);
      build_label_table(e);
      run_interpreter(e, true);
      game_reset(e);
      state.ResumeTiming();
      timing = true;
      allocated_before = allocations.load();
      run_interpreter(e, false);
    } catch (const ProgramExit& exit) {
      exit_code = exit.code;
    }
    if (timing) {
      state.PauseTiming();
      loop_allocations += allocations.load() - allocated_before;
    }
    bool complete = exit_code == 0 && e.vars.num_vars[0] == kLoopRounds;
    engine.reset();
    platform.reset();
    if (!complete) {
      state.SkipWithError("the loop did not run to its end (are add, if and goto built?)");
      break;
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * int64_t{kLoopRounds} * kStatementsPerRound);
  // Heap allocations of one run of the loop, from *start to its `end`.
  state.counters["allocations"] =
      benchmark::Counter(static_cast<double>(loop_allocations), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_InterpreterLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vellumite

BENCHMARK_MAIN();
