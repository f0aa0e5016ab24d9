#include "registry.h"

#include <filesystem>
#include <fstream>

namespace assetgen {

std::string Output::FullPath(const std::string& path) const {
  return m_root + (path.empty() || path[0] != '/' ? "/" : "") + path;
}

bool Output::Prepare(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(FullPath(path)).parent_path(), ec);
  m_written.push_back(path);
  return !ec;
}

bool Output::WritePng(const std::string& path, const Image& img) {
  if (m_keepImages) Keep(path, img);
  const bool ok = Prepare(path) && SavePng(img, FullPath(path));
  if (!ok) ++m_failures;
  return ok;
}

bool Output::WriteJpg(const std::string& path, const Image& img, int quality) {
  if (m_keepImages) Keep(path, img);
  const bool ok = Prepare(path) && SaveJpg(img, FullPath(path), quality);
  if (!ok) ++m_failures;
  return ok;
}

bool Output::WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  bool ok = Prepare(path);
  if (ok) {
    std::ofstream f(FullPath(path), std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ok = bool(f);
  }
  if (!ok) ++m_failures;
  return ok;
}

bool Output::WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void Output::Keep(const std::string& label, const Image& img) {
  if (m_keepImages) m_kept.push_back({label, img});
}

const std::vector<Job>& AllJobs() {
  static const std::vector<Job> jobs = {
      {"pieces", GeneratePieces},   {"playfield", GeneratePlayfield},
      {"effects", GenerateEffects}, {"gui", GenerateGui},
      {"treasures", GenerateTreasures}, {"map", GenerateMap},
      {"backgrounds", GenerateBackgrounds}, {"fonts", GenerateFonts},
      {"sounds", GenerateSounds},   {"music", GenerateMusic},
      {"nodes", GenerateNodes},     {"dialogs", GenerateDialogs},
      {"hud", GenerateHud},
      {"levelcomplete", GenerateLevelComplete},
      {"intro", GenerateIntro},
      {"mapframe", GenerateMapFrame},
      {"levelicons", GenerateLevelIcons},
  };
  return jobs;
}

bool RunJobs(Output& out, const std::vector<std::string>& names) {
  bool found = names.empty();
  for (const Job& job : AllJobs()) {
    bool wanted = names.empty();
    for (const std::string& n : names) wanted = wanted || n == job.name;
    if (!wanted) continue;
    found = true;
    job.run(out);
  }
  return found && out.Failures() == 0;
}

}  // namespace assetgen
