// assetgen: writes every texture, font, sound, music track and effect file of
// the game into a data folder. The output is byte-identical on every run.
//
//   assetgen [--only job,job...] [--contact-sheet SHEET.png] [--source DATA_DIR] [OUTPUT_DIR]
//   assetgen --icons ICON_DIR
//   assetgen --check-map MAP_XML [--contact-sheet CHART.png]
//
// --check-map lists the levels of a map file with how far each lies from the
// chart's land, and fails when one lies out at sea; with --contact-sheet it
// also draws them on the chart.
//
// --icons writes only the application icon, at every size, into ICON_DIR (a
// hicolor theme tree); it is packaging, not game data.
//
// With --contact-sheet and no output folder the files go to a scratch folder
// and only the sheet is kept.
//
// The fonts of the double-byte code pages hold only the characters that the
// language files use: they are read from DATA_DIR/language (default: the
// output folder, or "data" when writing to a scratch folder).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "registry.h"

int main(int argc, char** argv) {
  std::string outDir, sheetPath, sourceDir;
  std::vector<std::string> only;
  std::string iconDir, mapCheck;
  int zoom = 1;  // review aid: enlarges the sheet by a whole factor
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--check-map") && i + 1 < argc) {
      mapCheck = argv[++i];
    } else if (!std::strcmp(argv[i], "--icons") && i + 1 < argc) {
      iconDir = argv[++i];
    } else if (!std::strcmp(argv[i], "--contact-sheet") && i + 1 < argc) {
      sheetPath = argv[++i];
    } else if (!std::strcmp(argv[i], "--source") && i + 1 < argc) {
      sourceDir = argv[++i];
    } else if (!std::strcmp(argv[i], "--zoom") && i + 1 < argc) {
      zoom = std::max(1, std::atoi(argv[++i]));
    } else if (!std::strcmp(argv[i], "--only") && i + 1 < argc) {
      std::stringstream list(argv[++i]);
      for (std::string name; std::getline(list, name, ',');) only.push_back(name);
    } else if (argv[i][0] == '-') {
      std::fprintf(stderr, "usage: %s [--only job,...] [--contact-sheet PATH] [--source DATA_DIR] [OUTPUT_DIR]\n"
                           "       %s --icons ICON_DIR\n"
                           "       %s --check-map MAP_XML [--contact-sheet CHART.png]\n", argv[0], argv[0], argv[0]);
      return 2;
    } else {
      outDir = argv[i];
    }
  }
  if (!mapCheck.empty()) return assetgen::CheckChartPlaces(mapCheck, sheetPath) ? 0 : 1;
  if (!iconDir.empty()) {
    assetgen::Output icons(iconDir);
    assetgen::GenerateIcons(icons);
    if (icons.Failures() > 0) {
      std::fprintf(stderr, "assetgen: %d icon file(s) could not be written\n", icons.Failures());
      return 1;
    }
    std::printf("assetgen: %zu icons written to %s\n", icons.Written().size(), iconDir.c_str());
    return 0;
  }
  const bool scratch = outDir.empty();
  if (scratch && sheetPath.empty()) outDir = "data";
  if (scratch && !sheetPath.empty()) {
    outDir = (std::filesystem::temp_directory_path() / "assetgen-sheet").string();
    if (only.empty())
      only = {"pieces", "playfield", "effects", "gui", "treasures", "map", "backgrounds", "fonts"};
  }
  assetgen::Output out(outDir, !sheetPath.empty());
  if (sourceDir.empty() && scratch) sourceDir = "data";
  if (!sourceDir.empty()) out.SetSource(sourceDir);
  if (!assetgen::RunJobs(out, only)) {
    std::fprintf(stderr, "assetgen: %d file(s) could not be written (or unknown job)\n", out.Failures());
    return 1;
  }
  if (!sheetPath.empty()) {
    assetgen::Image sheet = assetgen::BuildContactSheet(out.KeptImages(), zoom > 1 ? 1800 / zoom : 1800);
    if (zoom > 1) {
      assetgen::Image big(sheet.Width() * zoom, sheet.Height() * zoom);
      for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x) big.At(x, y) = sheet.At(x / zoom, y / zoom);
      sheet = big;
    }
    if (!assetgen::SavePng(sheet, sheetPath)) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", sheetPath.c_str());
      return 1;
    }
  }
  if (scratch && !sheetPath.empty()) std::filesystem::remove_all(outDir);
  std::printf("assetgen: %zu files written to %s\n", out.Written().size(), outDir.c_str());
  return 0;
}
