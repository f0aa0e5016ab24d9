#include "game/board/levelloader.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/xml/xmlloader.h"
#include "game/board/playfield.h"

#include <map>
#include <optional>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

LevelMeshLoader& MeshLoaderSlot()
{
    static LevelMeshLoader s_loader;
    return s_loader;
}

// What a character of the "playfield" text stands for.
struct Alias {
    char character = '.';
    int32_t colour = 0; // 0: drawn when the piece is made
    PieceType type = PieceType::Jewel;
    std::string style;
    std::string texture;
    std::optional<tsv::Mesh> mesh;
    float angle = 0.0f;
};

constexpr const char* kDisableTags[kDisableableSpecials] = {
    "disablebomb", "disabledynamite", "disablecannonleft", "disablecannonright",
    "disablecannontop", "disablecannonbottom", "disablerainbow",
};

Alias ReadAlias(const tsv::XMLElement& element)
{
    Alias alias;
    for (const auto& [tag, child] : element.Children()) {
        const std::string& text = child->GetText();
        if (tag == "char") {
            if (!text.empty()) {
                alias.character = text[0];
            }
        } else if (tag == "color") {
            alias.colour = text != "random" && !text.empty() && text[0] >= '1' && text[0] <= '8' ? text[0] - '0' : 0;
        } else if (tag == "type") {
            alias.type = PieceTypeFromName(text);
        } else if (tag == "style") {
            alias.style = text;
        } else if (tag == "texture") {
            alias.texture = text;
        } else if (tag == "angle") {
            alias.angle = tsv::ParseFloat(text);
        } else if (tag == "mesh") {
            tsv::Mesh mesh;
            if (MeshLoaderSlot() && MeshLoaderSlot()(text, mesh)) {
                alias.mesh = mesh;
            }
        }
    }
    return alias;
}

// Walks a block of board text: the first line break only starts the text (the
// rows begin on the line after the tag), every later one starts the next row;
// other control characters are skipped; characters beyond the board are ignored.
template <class Fn>
void WalkBoardText(const std::string& text, Fn&& cell)
{
    int row = 0, column = 0;
    bool firstBreak = true;
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (ch == '\n') {
            if (!firstBreak) {
                ++row;
            }
            firstBreak = false;
            column = 0;
            continue;
        }
        if (byte < 32) {
            continue;
        }
        if (row < kBoardRows && column < kBoardColumns) {
            cell(column, row, ch);
        }
        ++column;
    }
}

} // namespace

bool LoadLevel(const std::string& path, PlayField& board, LevelInfo* info)
{
    tsv::IntrusivePtr<tsv::XMLElement> document = tsv::LoadXMLFile(tsv::ResolveResourcePath(path));
    tsv::IntrusivePtr<tsv::XMLElement> root = tsv::RootElement(
        document.Get(), "level", path + ": Error generating level objects: first tag must be <level>");
    if (!root) {
        return false;
    }
    for (int i = 0; i < kDisableableSpecials; ++i) {
        board.SetSpecialDisabled(i, false);
    }
    std::map<char, Alias> aliases;
    int64_t time = 0;
    for (const auto& [tag, child] : root->Children()) {
        const std::string& text = child->GetText();
        bool disable = false;
        for (int i = 0; i < kDisableableSpecials; ++i) {
            if (tag == kDisableTags[i]) {
                board.SetSpecialDisabled(i, true);
                disable = true;
            }
        }
        if (disable) {
            continue;
        }
        if (tag == "name") {
            if (info) {
                info->name = text;
            }
        } else if (tag == "time") {
            time = tsv::ParseInt(text);
        } else if (tag == "artuncover") {
            if (info) {
                info->awardKey = text;
            }
        } else if (tag == "colors") {
            // Only the colour digits count; the layout of the file around them does not.
            std::string colours;
            for (char ch : text) {
                if (ch >= '1' && ch <= '8') {
                    colours += ch;
                }
            }
            board.SetColours(colours);
        } else if (tag == "jewelsrequired") {
            board.SetJewelsRequired(tsv::ParseInt(text));
        } else if (tag == "node") {
            if (info) {
                info->nodes.push_back(text);
            }
        } else if (tag == "alias") {
            Alias alias = ReadAlias(*child);
            // A later alias for the same character replaces the earlier one.
            if (alias.character != '.') {
                aliases[alias.character] = alias;
            }
        } else if (tag == "playfield") {
            board.Clear();
            WalkBoardText(text, [&](int column, int row, char ch) {
                auto found = aliases.find(ch);
                if (found == aliases.end()) {
                    return;
                }
                const Alias& a = found->second;
                board.CreatePieceAt(column, row, a.colour, a.type, a.style, a.texture, a.mesh ? &*a.mesh : nullptr,
                                    a.angle);
            });
        } else if (tag == "fill") {
            WalkBoardText(text, [&](int column, int row, char ch) {
                board.SetCellKind(column, row,
                                  ch == '0'   ? CellKind::Normal
                                  : ch == '1' ? CellKind::Wood
                                  : ch == '2' ? CellKind::Iron
                                              : CellKind::None);
            });
        }
    }

    board.CountObjectives();
    board.SetTimeLimit(time);
    if (info) {
        info->time = time;
    }
    return true;
}

void SetLevelMeshLoader(LevelMeshLoader loader) { MeshLoaderSlot() = std::move(loader); }

bool ReadLevelInfo(const std::string& path, LevelInfo& info)
{
    BoardEvents unseen;
    tsv::IntrusivePtr<PlayField> layout = tsv::MakeIntrusive<PlayField>(unseen, [] { return int64_t{0}; });
    return LoadLevel(path, *layout, &info);
}

} // namespace bsh
