#include "game/audio/player_volume.h"

#include <algorithm>
#include <charconv>

#include "shell/player_settings.h"

namespace vellumite {
namespace {

constexpr std::array<std::string_view, kVolumeGroupCount> kGroupNames = {"music", "sound", "film"};
constexpr int kVolumeStep = 10;

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// The mixer's channels follow the percentages (a CD fade scales from them).
void apply_volumes(Engine& e) {
  const VolumePercents& v = e.audio.volume_percent;
  auto level = [&v](VolumeGroup g) {
    return static_cast<float>(v[static_cast<size_t>(g)]) / 100.0F;
  };
  Mixer& mixer = e.audio.mixer;
  for (Channel c : {Channel::Midi, Channel::Cd, Channel::Mp3}) {
    mixer.set_volume(c, level(VolumeGroup::Music));
  }
  mixer.set_volume(Channel::Wave, level(VolumeGroup::Sound));
  mixer.set_volume(Channel::Film, level(VolumeGroup::Film));
}

void trace_volume(Engine& e, size_t group) {
  if (!e.automation.tracing()) return;
  e.automation.trace("volume", std::string(kGroupNames[group]) + ' ' +
                                   std::to_string(e.audio.volume_percent[group]));
}

}  // namespace

void parse_volume_settings(std::string_view text, VolumePercents& volumes) {
  bool in_volume = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      in_volume = line == "[volume]";
      continue;
    }
    size_t eq = line.find('=');
    if (!in_volume || eq == std::string_view::npos) continue;
    std::string_view key = trim(line.substr(0, eq));
    std::string_view value = trim(line.substr(eq + 1));
    const auto* name = std::find(kGroupNames.begin(), kGroupNames.end(), key);
    if (name == kGroupNames.end()) continue;
    int percent = 0;
    auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), percent);
    if (ec == std::errc::result_out_of_range) {
      percent = value.front() == '-' ? 0 : 100;
    } else if (ec != std::errc{} || ptr != value.data() + value.size()) {
      continue;
    }
    volumes[static_cast<size_t>(name - kGroupNames.begin())] = std::clamp(percent, 0, 100);
  }
}

std::string format_volume_settings(const VolumePercents& volumes) {
  std::string text = "[volume]\n";
  for (size_t g = 0; g < kVolumeGroupCount; ++g) {
    text += std::string(kGroupNames[g]) + '=' + std::to_string(volumes[g]) + '\n';
  }
  return text;
}

void load_player_volumes(Engine& e) {
  std::optional<std::string> text = e.platform.read_settings();
  if (text) parse_volume_settings(*text, e.audio.volume_percent);
  apply_volumes(e);
  if (!text) return;
  for (size_t g = 0; g < kVolumeGroupCount; ++g) trace_volume(e, g);
}

bool volume_key(Engine& e, uint32_t key) {
  if (key < kKeyF3 || key > kKeyF8) return false;
  const size_t group = key <= kKeyF4   ? static_cast<size_t>(VolumeGroup::Film)
                       : key <= kKeyF6 ? static_cast<size_t>(VolumeGroup::Music)
                                       : static_cast<size_t>(VolumeGroup::Sound);
  const bool up = (key - kKeyF3) % 2 == 1;
  int& percent = e.audio.volume_percent[group];
  const int changed = std::clamp(percent + (up ? kVolumeStep : -kVolumeStep), 0, 100);
  if (changed == percent) return true;
  percent = changed;
  apply_volumes(e);
  trace_volume(e, group);
  // The file's other sections (the player's switches) stay as they are.
  const std::string others = without_section(e.platform.read_settings().value_or(""), "volume");
  e.platform.write_settings(format_volume_settings(e.audio.volume_percent) + others);
  return true;
}

}  // namespace vellumite
