#include "game/board/levelsession.h"

#include "engine/core/log.h"

#include <algorithm>
#include <cstdio>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

} // namespace

std::string FormatResultJson(const BoardResult& result, uint32_t seed)
{
    std::string out = "{\"level\": ";
    AppendJsonString(out, result.level);
    char rest[256];
    std::snprintf(rest, sizeof rest,
                  ", \"won\": %s, \"score\": %lld, \"time_played_ms\": %lld, \"time_left_ms\": %lld, "
                  "\"moves\": %d, \"reshuffles\": %d, \"stars\": %d, \"time_used_pct\": %d, \"points\": %lld, "
                  "\"seed\": %u}",
                  result.won ? "true" : "false", static_cast<long long>(result.score),
                  static_cast<long long>(result.timePlayedMs), static_cast<long long>(result.timeLeftMs), result.moves,
                  result.reshuffles, result.stars, result.timeUsedPct, static_cast<long long>(result.points), seed);
    return out + rest;
}

LevelSession::LevelSession(PlayField& board, SessionCues& cues, Player player, int64_t hintDelayMs)
    : m_board(board), m_cues(cues), m_player(player), m_hintDelay(hintDelayMs)
{
}

void LevelSession::Start(std::string level)
{
    const int64_t now = m_board.Now();
    m_result.level = std::move(level);
    m_board.SetLastMatchTime(now);
    m_nextDoneCheck = now + kDoneCheckMs;
}

bool LevelSession::IsInputAllowed() const
{
    return m_completionTime == 0 && m_gameOverTime == 0 && m_noMovesStart == 0 && !m_handedOver;
}

int32_t LevelSession::TimeUsedPercent() const
{
    const int64_t limit = m_board.GetTimeLimit();
    const double fraction =
        limit > 0 ? std::clamp(static_cast<double>(m_board.GetTimeLeft()) / static_cast<double>(limit), 0.0, 1.0)
                  : 0.0;
    return static_cast<int32_t>((1.0 - fraction) * 100.0);
}

bool LevelSession::Frame()
{
    if (m_handedOver) {
        return false;
    }
    m_board.Step();
    const int64_t now = m_board.Now();
    UpdateLevelEnd(now);
    if (m_handedOver) {
        return false;
    }
    if (m_completionTime == 0) {
        UpdateHints(now);
        UpdateNoMoves(now);
    }
    if (m_player == Player::Bot) {
        UpdateBot(now);
    }
    return true;
}

void LevelSession::UpdateLevelEnd(int64_t now)
{
    // Time up: the level is lost, whatever the board is still doing.
    if (m_board.GetTimeLeft() == 0 && m_completionTime == 0) {
        if (m_gameOverTime == 0) {
            m_gameOverTime = now;
            GetLog() << tsv::Hint << "Game over: the time is up" << EndL;
            m_cues.OnTimeUp();
            m_cues.OnInputStopped();
        } else if (now - m_gameOverTime >= kGameOverDelayMs) {
            Finish(false);
        }
        return;
    }
    if (m_completionTime == 0) {
        if (!m_openEnded && now >= m_nextDoneCheck) {
            m_nextDoneCheck = now + kDoneCheckMs;
            if (m_board.IsLevelDone()) {
                m_completionTime = now;
                GetLog() << tsv::Hint << "Level complete" << EndL;
                m_cues.OnLevelComplete();
                m_cues.OnInputStopped();
            }
        }
        return;
    }
    if (now - m_completionTime >= kCompleteDelayMs) {
        Finish(true);
    }
}

void LevelSession::UpdateHints(int64_t now)
{
    if (now > m_board.GetLastMatchTime() + m_hintDelay && m_board.IsSettled() && IsInputAllowed()) {
        GiveHint(now);
        m_board.SetLastMatchTime(now);
    }
}

void LevelSession::GiveHint(int64_t now)
{
    std::vector<std::pair<int, int>> work;
    for (int x = 0; x < kBoardColumns; ++x) {
        for (int y = 0; y < kBoardRows; ++y) {
            const CellKind kind = m_board.CellAt(x, y).kind;
            if (kind == CellKind::Wood || kind == CellKind::Iron || m_board.TypeAt(x, y) == PieceType::Block) {
                work.emplace_back(x, y);
            }
        }
    }
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    HintRecord hint;
    const bool found = m_board.FindMove(x1, y1, x2, y2, &hint);
    if (!found) {
        m_cues.OnHint(-1, -1, -1, -1, hint, work);
        StartNoMoves(now);
        return;
    }
    m_noMovesStart = 0;
    m_noMovesNoticeShown = false;
    m_cues.OnHint(x1, y1, x2, y2, hint, work);
}

void LevelSession::StartNoMoves(int64_t now)
{
    if (m_noMovesStart == 0) {
        m_noMovesStart = now;
        m_noMovesNoticeShown = false;
        m_cues.OnInputStopped();
    }
}

void LevelSession::UpdateNoMoves(int64_t now)
{
    if (m_noMovesStart == 0) {
        return;
    }
    if (!m_noMovesNoticeShown && now - m_noMovesStart >= kNoMovesNoticeMs) {
        m_noMovesNoticeShown = true;
        GetLog() << tsv::Hint << "No more moves: the board reshuffles" << EndL;
        m_cues.OnNoMovesNotice();
        m_board.ShakeSwappables();
    }
    if (now - m_noMovesStart >= kNoMovesReshuffleMs) {
        m_noMovesStart = 0;
        m_noMovesNoticeShown = false;
        m_board.Reshuffle();
        ++m_result.reshuffles;
    }
}

void LevelSession::UpdateBot(int64_t now)
{
    if (!m_board.IsSettled() || !IsInputAllowed()) {
        m_settledSince = 0;
        return;
    }
    if (m_settledSince == 0) {
        m_settledSince = now;
        return;
    }
    if (now - m_settledSince < kBotThinkMs) {
        return;
    }
    m_settledSince = 0;
    const std::vector<BoardMove> moves = m_board.ListMoves();
    if (moves.empty()) {
        StartNoMoves(now);
        return;
    }
    const BoardMove& best = moves[PickBotMove(m_board, moves)];
    TrySwap(best.x1, best.y1, best.x2, best.y2);
}

size_t PickBotMove(PlayField& board, const std::vector<BoardMove>& moves)
{
    // The bot plays for the level's objectives: runs over worn cells and next
    // to blocks of their colour first, then long runs (specials) and runs low
    // on the board (they stir up cascades); ties go to the board's random
    // source, so a seed replays the same game.
    const bool jewels = board.GetJewelsLeft() > 0;
    int bestScore = -1;
    size_t best = 0;
    int ties = 0;
    for (size_t i = 0; i < moves.size(); ++i) {
        const BoardMove& move = moves[i];
        int score = static_cast<int>(move.cells.size()) * (jewels ? 4 : 1);
        if (move.cells.empty()) {
            score += 12; // a rainbow pulls in a whole colour
        }
        for (size_t cell : move.cells) {
            const int x = static_cast<int>(cell) / kBoardRows;
            const int y = static_cast<int>(cell) % kBoardRows;
            const CellKind kind = board.CellAt(x, y).kind;
            score += kind == CellKind::Iron ? 24 : kind == CellKind::Wood ? 16 : 0;
            score += y / 4;
            const int32_t colour = board.ColourAt(x, y);
            for (const auto& [dx, dy] : {std::pair(1, 0), std::pair(-1, 0), std::pair(0, 1), std::pair(0, -1)}) {
                const PieceType type = board.TypeAt(x + dx, y + dy);
                if ((type == PieceType::Block || type == PieceType::FixedBlock) && board.ColourAt(x + dx, y + dy) == colour) {
                    score += 20;
                }
            }
            if (IsFixedType(board.TypeAt(x, y)) || board.TypeAt(x, y) == PieceType::Artifact) {
                score += 20;
            }
        }
        if (move.cells.size() >= 4) {
            score += 6;
        }
        if (score > bestScore) {
            bestScore = score;
            best = i;
            ties = 1;
        } else if (score == bestScore && board.Random().Below(++ties) == 0) {
            best = i;
        }
    }
    return best;
}

void LevelSession::TrySwap(int x1, int y1, int x2, int y2)
{
    ++m_result.moves;
    m_board.Swap(x1, y1, x2, y2);
    m_cues.OnMove(x1, y1, x2, y2);
}

void LevelSession::Finish(bool won)
{
    m_handedOver = true;
    m_result.won = won;
    m_result.timePlayedMs = m_board.GetTimePlayed();
    m_result.timeLeftMs = m_board.GetTimeLeft();
    GetLog() << tsv::Hint << (won ? "Level won: " : "Level lost: ") << m_result.level << EndL;
    m_cues.OnFinished(m_result);
}

} // namespace bsh
