// The list of generator jobs and the output folder they write into.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace assetgen {

// Where generated files go. Paths given to it are game resource paths
// ("/texture/piece/bomb.png"), written below the output root.
class Output {
 public:
  explicit Output(std::string root, bool keepImages = false)
      : m_root(std::move(root)), m_source(m_root), m_keepImages(keepImages) {}

  // The data folder whose files some jobs read (the fonts read the language
  // files); the output folder unless set.
  void SetSource(std::string root) { m_source = std::move(root); }
  const std::string& Source() const { return m_source; }

  bool WritePng(const std::string& path, const Image& img);
  bool WriteJpg(const std::string& path, const Image& img, int quality = 90);
  bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
  bool WriteText(const std::string& path, const std::string& text);
  // Keeps a picture for the contact sheet without writing it (DDS tiles).
  void Keep(const std::string& label, const Image& img);

  struct Kept {
    std::string label;
    Image image;
  };
  const std::vector<Kept>& KeptImages() const { return m_kept; }
  const std::vector<std::string>& Written() const { return m_written; }
  int Failures() const { return m_failures; }
  std::string FullPath(const std::string& path) const;

 private:
  bool Prepare(const std::string& path);
  std::string m_root;
  std::string m_source;
  bool m_keepImages;
  std::vector<Kept> m_kept;
  std::vector<std::string> m_written;
  int m_failures = 0;
};

struct Job {
  const char* name;
  void (*run)(Output&);
};

// Every job in the order "assetgen" runs them.
const std::vector<Job>& AllJobs();
// Runs the named jobs (all when empty); returns false when a file failed.
bool RunJobs(Output& out, const std::vector<std::string>& names);

// Job entry points, one per family of files.
void GeneratePieces(Output& out);
void GeneratePlayfield(Output& out);
void GenerateEffects(Output& out);
void GenerateGui(Output& out);
void GenerateTreasures(Output& out);
void GenerateMap(Output& out);
void GenerateBackgrounds(Output& out);
void GenerateFonts(Output& out);
void GenerateSounds(Output& out);
void GenerateMusic(Output& out);
void GenerateNodes(Output& out);
void GenerateDialogs(Output& out);
void GenerateHud(Output& out);
void GenerateLevelComplete(Output& out);
void GenerateIntro(Output& out);
void GenerateMapFrame(Output& out);
void GenerateLevelIcons(Output& out);

// The application icon for the desktop. It is not game data, so no job writes
// it: "assetgen --icons DIR" puts every size below DIR as IconPath names it.
const std::vector<int>& IconSizes();
std::string IconPath(int size);  // "/hicolor/NxN/apps/<application id>.png"
Image ApplicationIcon(int size);
void GenerateIcons(Output& out);

// The sea chart's land: the height at a point in map units (land from
// ChartShoreHeight up), and a check of the level places of a map file.
float ChartLandHeight(float x, float y);
constexpr float ChartShoreHeight = 0.55f;
// The whole chart, one pixel per map unit from (-400, -980).
Image SeaChartImage();
// Prints every level of MAP_XML with its place and how far it lies from the
// shore; marks the chart into SHEET.png when given. False when a level lies
// out at sea.
bool CheckChartPlaces(const std::string& mapXml, const std::string& sheetPng);

// Lays every kept image out on one labelled sheet.
Image BuildContactSheet(const std::vector<Output::Kept>& images, int width = 1800);

}  // namespace assetgen
