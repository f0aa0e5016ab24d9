#include "game/screens/preloader.h"

#include "engine/core/log.h"
#include "engine/core/util/file/directory.h"
#include "engine/core/util/file/filestream.h"
#include "engine/sound/soundmanager.h"

#include <chrono>
#include <sys/stat.h>

namespace bsh {

namespace {

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Reads the file through, so the system's file cache holds it when a screen
// first asks for the texture. Textures are decoded only then: decoding them
// all here kept every picture of every screen in memory for the whole run.
bool WarmFile(const std::string& path)
{
    std::string bytes;
    return tsv::ReadFileBytes(path, bytes);
}

int64_t FileSize(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : 0;
}

} // namespace

Preloader::Preloader(std::string soundList, std::string textureFolder, TextureLoader loader)
    : m_soundList(std::move(soundList)), m_textureFolder(std::move(textureFolder)),
      m_loader(loader ? loader : &WarmFile)
{
}

void Preloader::Collect(const std::string& folder, const std::string& extension, std::vector<std::string>& paths)
{
    tsv::Directory directory;
    if (!directory.Open(folder) || !directory.FindFirstEntry()) {
        return;
    }
    do {
        if (directory.GetEntryType() == tsv::BaseDirectory::EEntryType::Directory) {
            Collect(directory.GetEntryFullName(), extension, paths);
        } else if (directory.GetEntryType() == tsv::BaseDirectory::EEntryType::File &&
                   EndsWith(directory.GetEntryName(), extension)) {
            paths.push_back(directory.GetEntryFullName());
        }
    } while (directory.FindNextEntry());
}

bool Preloader::Step(int64_t budgetMs)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    do {
        DoOneStep();
    } while (!IsDone() && Clock::now() - start < std::chrono::milliseconds(budgetMs));
    m_busyMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return IsDone();
}

void Preloader::DoOneStep()
{
    switch (m_phase) {
    case Phase::Sounds:
        tsv::SoundManager::Instance().Preload(m_soundList);
        tsv::GetLog() << tsv::Hint << "Sound preloaded" << tsv::EndL;
        m_phase = Phase::Collect;
        break;
    case Phase::Collect:
        Collect(m_textureFolder, ".png", m_paths);
        Collect(m_textureFolder, ".dds", m_paths);
        m_phase = Phase::Textures;
        break;
    case Phase::Textures:
        if (m_next < m_paths.size()) {
            const std::string& path = m_paths[m_next++];
            if (m_loader(path)) {
                ++m_loaded;
                m_bytes += FileSize(path);
            } else {
                tsv::GetLog() << tsv::Error << "Can't load texture: " << path << tsv::EndL;
            }
        }
        if (m_next >= m_paths.size()) {
            tsv::GetLog() << tsv::Hint << "Textures loaded (total: " << m_loaded << ")" << tsv::EndL;
            m_phase = Phase::Done;
        }
        break;
    case Phase::Done:
        break;
    }
}

float Preloader::Progress() const
{
    switch (m_phase) {
    case Phase::Sounds:
        return 0.0f;
    case Phase::Collect:
        return 0.1f;
    case Phase::Textures:
        if (m_paths.empty()) {
            break;
        }
        return 0.1f + 0.9f * static_cast<float>(m_next) / static_cast<float>(m_paths.size());
    case Phase::Done:
        break;
    }
    return 1.0f;
}

} // namespace bsh
