// vellumite-pack: turns a game's numbered scenario files into the single
// scrambled file the loader also accepts, and back.
//
//   vellumite-pack pack [--secret | --plain] [-o OUT] DIR
//   vellumite-pack unpack [--secret | --plain] [--force] [-o OUT] FILE
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/script/labels.h"
#include "platform/headless/headless_platform.h"
#include "resources/game_files.h"
#include "script/scenario_encoding.h"
#include "script/scenario_text.h"
#include "script/script_state.h"

namespace fs = std::filesystem;
using namespace vellumite;

namespace {

constexpr const char* kPlainName = "velmtxt.dat";
constexpr const char* kSecretName = "velm_sec.dat";

// Exit codes, as the program itself uses them.
constexpr int kUsageError = 64;
constexpr int kDataError = 65;
constexpr int kNoInput = 66;
constexpr int kCannotCreate = 73;

constexpr const char* kUsage =
    "usage: vellumite-pack pack [--secret | --plain] [-o OUT] DIR\n"
    "       vellumite-pack unpack [--secret | --plain] [--force] [-o OUT] FILE\n"
    "\n"
    "pack    joins the scenario files 0.txt ... 99.txt of DIR into DIR/velmtxt.dat\n"
    "        (or DIR/velm_sec.dat with --secret, or OUT). The game loads the packed\n"
    "        file exactly as it loads the numbered files. Files in UTF-8 (with a\n"
    "        byte-order mark, or all of them when DIR/config.txt has the line\n"
    "        'encoding utf-8') are packed as Shift-JIS.\n"
    "unpack  turns velmtxt.dat or velm_sec.dat back into text: 0.txt next to FILE,\n"
    "        or OUT. The file name says which form FILE is; --secret and --plain\n"
    "        override it. An existing output file is kept unless --force is given.\n";

class Failure {
 public:
  Failure(int code, std::string message) : code_(code), message_(std::move(message)) {}
  int code() const { return code_; }
  const std::string& message() const { return message_; }

 private:
  int code_;
  std::string message_;
};

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

void scramble(std::string& bytes, bool secret) {
  scramble_scenario(bytes.data(), bytes.size(), secret);
}

void append_text_mode(std::string& out, std::string_view raw) {
  size_t at = out.size();
  out.resize(at + raw.size());
  out.resize(at + copy_text_mode(raw, out.data() + at, raw.size()));
}

// A file in UTF-8 (config.txt says so, or it starts with a byte-order mark)
// becomes Shift-JIS as the game's loader makes it.
void decode_if_utf8(std::string& raw, const std::string& name, bool utf8_config) {
  if (!utf8_config && !(starts_with_utf8_bom(raw) && valid_utf8(raw))) return;
  ScenarioDecoding decoded = decode_utf8_scenario(raw);
  if (!decoded.ok) throw Failure(kDataError, describe_decoding_failure(name, decoded));
  raw = std::move(decoded.sjis);
}

// What the game's buffer holds after loading the numbered files of the
// current directory: each file's text followed by a line feed. Fails like
// the loader when it does not fit.
std::string read_numbered_files(Platform& files, const fs::path& dir) {
  std::string text;
  int found = 0;
  std::optional<std::string> config = read_game_file(files, "config.txt");
  const bool utf8_config = config && config_says_utf8(*config);
  for (int n = 0; n < kScenarioFileCount; ++n) {
    // Text mode at most halves a file, so twice the buffer is all that can
    // matter; whatever lies beyond that is too long anyway.
    std::optional<std::string> raw = read_game_file(files, std::to_string(n) + ".txt",
                                                    2 * static_cast<size_t>(kScriptBufferSize) + 2);
    if (!raw) continue;
    ++found;
    decode_if_utf8(*raw, std::to_string(n) + ".txt", utf8_config);
    append_text_mode(text, *raw);
    text += '\n';
    if (text.size() >= static_cast<size_t>(kScriptBufferSize)) {
      throw Failure(kDataError, "the scenario in " + quoted(dir) +
                                    " is too long: with the line feed after " +
                                    "each file it needs at least " + std::to_string(text.size()) +
                                    " bytes, and the game's buffer holds " +
                                    std::to_string(kScriptBufferSize - 1) + " (stopped at " +
                                    std::to_string(n) + ".txt)");
    }
  }
  if (found == 0) {
    throw Failure(kNoInput, quoted(dir) + " holds no scenario files (0.txt ... 99.txt)");
  }
  return text;
}

std::string read_whole_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure(kNoInput, "cannot read " + quoted(path));
  std::string data;
  char chunk[65536];
  while (in) {
    in.read(chunk, sizeof chunk);
    data.append(chunk, static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) throw Failure(kNoInput, "cannot read " + quoted(path));
  return data;
}

void write_file(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out) out.close();
  if (!out) throw Failure(kCannotCreate, "cannot write " + quoted(path));
}

// A dangling link counts too: writing through it would create its target.
bool path_taken(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

std::string lowercase(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

struct Arguments {
  std::string command;
  std::string input;
  std::string output;
  bool secret = false;
  bool plain = false;
  bool force = false;
};

Arguments parse(int argc, char** argv) {
  Arguments args;
  if (argc < 2) throw Failure(kUsageError, "");
  args.command = argv[1];
  if (args.command != "pack" && args.command != "unpack") {
    throw Failure(kUsageError, "unknown command '" + args.command + "'");
  }
  bool unpack = args.command == "unpack";
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--secret") {
      args.secret = true;
    } else if (arg == "--plain") {
      args.plain = true;
    } else if (arg == "--force" && unpack) {
      args.force = true;
    } else if (arg == "-o" || arg == "--output") {
      if (i + 1 >= argc) throw Failure(kUsageError, arg + " needs a file name");
      args.output = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      throw Failure(kUsageError, "unknown option '" + arg + "' for " + args.command);
    } else if (args.input.empty()) {
      args.input = arg;
    } else {
      throw Failure(kUsageError,
                    "only one " + std::string(unpack ? "file" : "folder") + " may be given");
    }
  }
  if (args.input.empty()) {
    throw Failure(kUsageError, args.command + " needs a " + (unpack ? "file" : "folder"));
  }
  if (args.secret && args.plain)
    throw Failure(kUsageError, "--secret and --plain exclude each other");
  return args;
}

int pack(const Arguments& args) {
  fs::path dir = args.input;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) throw Failure(kNoInput, quoted(dir) + " is not a folder");
  fs::path output =
      args.output.empty() ? dir / (args.secret ? kSecretName : kPlainName) : fs::path(args.output);
  output = fs::absolute(output).lexically_normal();
  fs::path original = fs::current_path();
  // The loader looks the numbered files up in the current directory, with
  // its own rules for letter case; read them the same way.
  fs::current_path(dir, ec);
  if (ec) throw Failure(kNoInput, "cannot enter " + quoted(dir) + ": " + ec.message());
  // The headless platform gives the file calls without opening anything.
  HeadlessPlatform files{PlatformOptions{}};
  std::string text = read_numbered_files(files, dir);
  bool has_first = !resolve_game_path(files, "0.txt").empty();
  bool stale_secret = !args.secret && !resolve_game_path(files, kSecretName).empty();
  std::optional<std::string> config = read_game_file(files, "config.txt");
  bool utf8_config = config && config_says_utf8(*config);
  fs::current_path(original, ec);

  // The loader appends a line feed after a single file itself.
  text.pop_back();
  scramble(text, args.secret);
  write_file(output, text);
  std::cout << "vellumite-pack: wrote " << output.string() << " (" << text.size() << " bytes)\n";
  if (utf8_config) {
    std::cerr
        << "vellumite-pack: note: the packed file is Shift-JIS; ship it without the "
           "line 'encoding utf-8' in config.txt, which would make the game read it as UTF-8\n";
  }
  if (args.output.empty()) {
    if (has_first) {
      std::cerr << "vellumite-pack: note: the game in " << quoted(dir)
                << " still reads 0.txt while it is there; ship the packed file without the "
                   "numbered files\n";
    } else if (stale_secret) {
      std::cerr << "vellumite-pack: note: " << quoted(dir / kSecretName)
                << " is also there and the game prefers it over " << kPlainName << "\n";
    }
  }
  return 0;
}

int unpack(const Arguments& args) {
  fs::path input = args.input;
  bool secret = args.secret;
  if (!args.secret && !args.plain) {
    std::string name = lowercase(input.filename().string());
    if (name == kSecretName) {
      secret = true;
    } else if (name != kPlainName) {
      throw Failure(kUsageError, "cannot tell from the name " + quoted(input.filename()) +
                                     " which form it is; give --plain (" + kPlainName +
                                     ") or --secret (" + kSecretName + ")");
    }
  }
  fs::path output = args.output.empty() ? input.parent_path() / "0.txt" : fs::path(args.output);
  if (!args.force && path_taken(output)) {
    throw Failure(kCannotCreate, quoted(output) + " exists; give --force to overwrite it");
  }
  std::string text = read_whole_file(input);
  scramble(text, secret);
  write_file(output, text);
  std::cout << "vellumite-pack: wrote " << output.string() << " (" << text.size() << " bytes)\n";
  // The game reads a numbered file in text mode, a single file as it stands.
  if (text.find("\r\n") != std::string::npos || text.find('\x1a') != std::string::npos) {
    std::cerr << "vellumite-pack: note: the text holds CR LF or 0x1A bytes, which the game "
                 "reads differently from a numbered file\n";
  }
  if (text.size() + 1 >= static_cast<size_t>(kScriptBufferSize)) {
    std::cerr << "vellumite-pack: note: the scenario is too long for the game (" << text.size()
              << " bytes, at most " << kScriptBufferSize - 2 << ")\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return 0;
  }
  try {
    Arguments args = parse(argc, argv);
    return args.command == "pack" ? pack(args) : unpack(args);
  } catch (const Failure& failure) {
    if (!failure.message().empty()) std::cerr << "vellumite-pack: " << failure.message() << "\n";
    if (failure.code() == kUsageError) std::cerr << kUsage;
    return failure.code();
  } catch (const std::exception& error) {
    std::cerr << "vellumite-pack: " << error.what() << "\n";
    return 1;
  }
}
