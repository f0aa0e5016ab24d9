#include "game/progress/questmap.h"

#include "engine/core/log.h"
#include "engine/core/util/xml/xmlloader.h"

namespace bsh {

namespace {

// The chart is cut into pages at these lines.
constexpr float kPageSplitX = 400.0f;
constexpr float kPageSplitY = -300.0f;
constexpr float kPageWidth = 800.0f;
constexpr float kPageHeight = 600.0f;

bool IsCompleted(LevelState state) { return state == LevelState::Completed || state == LevelState::CompletedFast; }

bool EndsWith(const std::string& text, const std::string& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

bool QuestMap::Load(const std::string& path)
{
    m_levels.clear();
    m_lastPage = false;
    tsv::IntrusivePtr<tsv::XMLElement> document = tsv::LoadXMLFile(path);
    tsv::IntrusivePtr<tsv::XMLElement> root =
        tsv::RootElement(document.Get(), "map", "Error loading level map: first tag must be <map>");
    if (!root) {
        return false;
    }
    for (const auto& [name, element] : root->Children()) {
        if (name != "level") {
            continue;
        }
        QuestMapLevel level;
        for (const auto& [tag, child] : element->Children()) {
            if (tag == "source") {
                level.source = child->GetText();
            } else if (tag == "x") {
                level.x = tsv::ParseFloat(child->GetText());
            } else if (tag == "y") {
                level.y = tsv::ParseFloat(child->GetText());
            } else if (tag == "icon") {
                level.icon = child->GetText();
            } else if (tag == "mesh") {
                level.mesh = child;
            } else if (tag == "parent") {
                // Only a level earlier in the file can be a parent; others drop silently.
                const int parent = Find(child->GetText());
                if (parent >= 0) {
                    level.links.push_back(static_cast<size_t>(parent));
                }
            } else if (tag == "bonus") {
                level.bonus = true;
            }
        }
        m_levels.push_back(std::move(level));
    }
    return true;
}

void QuestMap::ApplyRecord(const ProgressRecord& record)
{
    for (QuestMapLevel& level : m_levels) {
        level.state = record.GetState(GameMode::Quest, level.source);
    }
    UpdateLastPage();
}

void QuestMap::UpdateLastPage()
{
    for (size_t i = 0; i < m_levels.size(); ++i) {
        if (IsShown(i) && PageOf(i) == 4) {
            m_lastPage = true;
        }
    }
}

int QuestMap::Find(const std::string& source) const
{
    for (size_t i = 0; i < m_levels.size(); ++i) {
        if (m_levels[i].source == source) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int32_t QuestMap::PageOf(float x, float y)
{
    if (x < kPageSplitX && y > kPageSplitY) {
        return 1;
    }
    if (x > kPageSplitX && y > kPageSplitY) {
        return 2;
    }
    if (x < kPageSplitX && y < kPageSplitY) {
        return 3;
    }
    if (x > kPageSplitX && y < kPageSplitY) {
        return 4;
    }
    return 0;
}

std::pair<float, float> QuestMap::PageOffset(int32_t page)
{
    if (page < 1 || page > kPageCount) {
        page = 1;
    }
    const int column = (page - 1) % 2;
    const int row = (page - 1) / 2; // row 1 lies above row 0 on the chart
    return {-kPageWidth * static_cast<float>(column), kPageHeight * static_cast<float>(row)};
}

int32_t QuestMap::PageToward(int32_t page, int dx, int dy)
{
    if (page < 1 || page > kPageCount) {
        return 0;
    }
    const int column = (page - 1) % 2 + dx;
    const int row = (page - 1) / 2 - dy; // up (dy < 0) leads to the row above
    if (column < 0 || column > 1 || row < 0 || row > 1) {
        return 0;
    }
    return row * 2 + column + 1;
}

bool QuestMap::ShowsBonusSign(size_t level) const
{
    const QuestMapLevel& entry = m_levels[level];
    if (!entry.bonus || entry.state != LevelState::Locked) {
        return false;
    }
    for (size_t link : entry.links) {
        const LevelState state = m_levels[link].state;
        if (state != LevelState::Locked && state != LevelState::CompletedFast) {
            return true;
        }
    }
    return false;
}

bool QuestMap::Pulses(size_t level) const { return !m_levels[level].bonus && m_levels[level].state == LevelState::Open; }

std::vector<size_t> QuestMap::TrailsTo(size_t level) const
{
    std::vector<size_t> trails;
    if (!IsShown(level)) {
        return trails;
    }
    for (size_t link : m_levels[level].links) {
        if (m_levels[link].state != LevelState::Locked) {
            trails.push_back(link);
        }
    }
    return trails;
}

QuestMapChanges QuestMap::OnLevelCompleted(const std::string& path, bool fast, ProgressRecord& record)
{
    QuestMapChanges changes;
    for (size_t i = 0; i < m_levels.size(); ++i) {
        QuestMapLevel& level = m_levels[i];
        if (level.source == path && !IsCompleted(level.state)) {
            level.state = fast ? LevelState::CompletedFast : LevelState::Completed;
            changes.completed = static_cast<int>(i);
            break;
        }
    }
    for (size_t i = 0; i < m_levels.size(); ++i) {
        QuestMapLevel& level = m_levels[i];
        if (level.state != LevelState::Locked) {
            continue;
        }
        bool opened = false;
        for (size_t link : level.links) {
            const LevelState linkState = m_levels[link].state;
            const bool qualifies = linkState == LevelState::CompletedFast || (linkState == LevelState::Completed && !level.bonus);
            if (!qualifies) {
                continue;
            }
            changes.trails.emplace_back(link, i);
            if (opened) {
                continue;
            }
            opened = true;
            changes.opened.push_back(i);
            level.state = LevelState::Open;
            record.SetState(GameMode::Quest, level.source, LevelState::Open);
            const int32_t page = PageOf(i);
            if (page == 4) {
                m_lastPage = true;
            }
            if (page != 0 && page != record.GetMapPage()) {
                changes.scrollTo = page;
                record.SetMapPage(page);
            }
        }
    }
    return changes;
}

int QuestMap::SuggestedLevel(const std::function<int(int)>& random) const
{
    for (size_t i = 0; i < m_levels.size(); ++i) {
        if (m_levels[i].state == LevelState::Open && !m_levels[i].bonus) {
            return static_cast<int>(i);
        }
    }
    for (size_t i = 0; i < m_levels.size(); ++i) {
        const QuestMapLevel& level = m_levels[i];
        if (level.state == LevelState::Open) {
            return static_cast<int>(i);
        }
        if (level.bonus && level.state == LevelState::Locked) {
            // Replaying a completed parent fast would open the bonus level.
            for (size_t link : level.links) {
                if (m_levels[link].state == LevelState::Completed) {
                    return static_cast<int>(link);
                }
            }
        }
    }
    if (m_levels.empty()) {
        return -1;
    }
    const int count = static_cast<int>(m_levels.size());
    const int drawn = random ? random(count) : 0;
    return drawn >= 0 && drawn < count ? drawn : 0;
}

void QuestMap::OpenAll(const std::vector<QuestMapLevel>& levels, ProgressRecord& record)
{
    for (const QuestMapLevel& level : levels) {
        record.SetState(GameMode::Quest, level.source, EndsWith(level.source, kBonusSuffix) ? LevelState::Open : LevelState::Completed);
        if (!record.GetEntry(GameMode::Arcade, level.source)) {
            record.SetState(GameMode::Arcade, level.source, LevelState::Open);
        }
    }
}

} // namespace bsh
