#include "engine/scene/nodeloader.h"

#include "engine/core/log.h"
#include "engine/core/textformat.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/runtime/application.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tsv {

namespace {

std::string NodeRootError(const std::string& path)
{
    return "Error loading file \"" + path + "\" - root item must be <node>";
}

float ChildFloat(const XMLElement& element, const char* name, float fallback)
{
    IntrusivePtr<XMLElement> child = element.FindChild(name);
    return child ? ParseFloat(child->GetText()) : fallback;
}

// Position-like: missing components are 0.
Vec3 ParseVector(const XMLElement& element)
{
    return {ChildFloat(element, "x", 0), ChildFloat(element, "y", 0), ChildFloat(element, "z", 0)};
}

// Scale-like: missing components are 1.
Vec2 ParsePair(const XMLElement& element) { return {ChildFloat(element, "x", 1), ChildFloat(element, "y", 1)}; }

// A float text sets the x component alone.
Vec3 ParseVectorOrFloat(const XMLElement& element)
{
    if (element.Children().empty()) {
        return {ParseFloat(element.GetText()), 0, 0};
    }
    return ParseVector(element);
}

// A path (element with text only) or an inline description.
bool Expand(int64_t count, const std::string& from);
int64_t CountNodes(const HierarchyNode& node);

SceneNodePtr BuildChild(const XMLElement& element, const std::string& path)
{
    if (!element.Children().empty()) {
        return ParseNode(element, nullptr, path);
    }
    SceneNodePtr made = NodeLibrary::Instance().CreateNode(Trim(element.GetText()));
    // A copy of a file read before counts as much as reading it again.
    return made && Expand(CountNodes(*made), path) ? made : nullptr;
}

void ParseMesh(const XMLElement& element, Mesh& mesh)
{
    for (const auto& [name, child] : element.Children()) {
        const std::string& text = child->GetText();
        if (name == "width") {
            mesh.width = mesh.boundWidth = ParseFloat(text);
            mesh.anchorX = mesh.width * 0.5f;
        } else if (name == "height") {
            mesh.height = mesh.boundHeight = ParseFloat(text);
            mesh.anchorY = mesh.height * 0.5f;
        } else if (name == "boundwidth") {
            mesh.boundWidth = ParseFloat(text);
        } else if (name == "boundheight") {
            mesh.boundHeight = ParseFloat(text);
        } else if (name == "colorappliestochild") {
            mesh.colorAppliesToChild = ParseBool(text);
        } else if (name == "textureoffsetx") {
            mesh.textureOffsetX = ParseFloat(text);
        } else if (name == "textureoffsety") {
            mesh.textureOffsetY = ParseFloat(text);
        } else if (name == "anchorx") {
            mesh.anchorX = ParseFloat(text);
        } else if (name == "anchory") {
            mesh.anchorY = ParseFloat(text);
        } else if (name == "fliphorizontal") {
            mesh.flipHorizontal = ParseBool(text);
        } else if (name == "flipvertical") {
            mesh.flipVertical = ParseBool(text);
        } else if (name.size() == 7 && name.compare(0, 6, "vertex") == 0 && name[6] >= '1' && name[6] <= '4') {
            mesh.vertices[name[6] - '1'] = ParseVector(*child);
        } else if (name == "color") {
            const uint32_t color = ParseColor(text);
            for (uint32_t& c : mesh.colors) {
                c = color;
            }
        } else if (name.size() == 6 && name.compare(0, 5, "color") == 0 && name[5] >= '1' && name[5] <= '4') {
            mesh.colors[name[5] - '1'] = ParseColor(text);
        }
    }
}

// Beyond the frames any texture's strip could hold; sums of frame numbers
// this size overflow, so a file giving more is read with the nearest one.
constexpr int32_t kMaxFrameNumber = 1 << 20;

int32_t FrameNumber(const std::string& text)
{
    const int32_t frame = ParseInt(text);
    const int32_t kept = std::clamp(frame, -kMaxFrameNumber, kMaxFrameNumber);
    if (kept != frame) {
        GetLog() << Warning << "Animation frame " << frame << " is out of range; using " << kept << EndL;
    }
    return kept;
}

void ParseAnimation(const XMLElement& element, FrameAnimationDesc& a)
{
    for (const auto& [name, child] : element.Children()) {
        const std::string& text = child->GetText();
        if (name == "enabled") {
            a.enabled = ParseBool(text);
        } else if (name == "framebegin") {
            a.frameBegin = FrameNumber(text);
        } else if (name == "frameend") {
            a.frameEnd = FrameNumber(text);
        } else if (name == "currentframe") {
            a.currentFrame = FrameNumber(text);
        } else if (name == "fps") {
            a.fps = ParseInt(text);
        } else if (name == "isplaying") {
            a.playing = ParseBool(text);
        } else if (name == "islooped") {
            a.looped = ParseBool(text);
        } else if (name == "isforward") {
            a.forward = ParseBool(text);
        }
    }
}

// Null when the keyframe is invalid: "time" must come first.
KeyframePtr ParseKeyframe(const XMLElement& element)
{
    const auto& children = element.Children();
    if (children.empty() || children.front().first != "time") {
        return nullptr;
    }
    KeyframePtr keyframe = MakeIntrusive<Keyframe>(ParseInt(children.front().second->GetText()));
    for (size_t i = 1; i < children.size(); ++i) {
        const auto& [name, child] = children[i];
        if (name == "position") {
            keyframe->position = ParseVector(*child);
            keyframe->hasPosition = true;
        } else if (name == "rotation") {
            keyframe->rotation = ParseFloat(child->GetText());
            keyframe->hasRotation = true;
        } else if (name == "scale") {
            keyframe->scale = ParsePair(*child);
            keyframe->hasScale = true;
        } else if (name == "color") {
            keyframe->color = ParseColor(child->GetText());
            keyframe->hasColor = true;
        }
    }
    return keyframe;
}

// An emitter asks for at most this much; beyond it a file would flood the scene.
constexpr int32_t kMaxParticlesPerSpawn = 256;
constexpr int32_t kMinSpawnRateMs = 10;

EmitterDesc ParseEmitter(const XMLElement& element, const std::string& path)
{
    EmitterDesc e;
    for (const auto& [name, child] : element.Children()) {
        const std::string text = Trim(child->GetText());
        if (name == "count") {
            e.count = ParseInt(text);
        } else if (name == "optional") {
            e.optional = true;
        } else if (name == "attached") {
            e.attached = true;
        } else if (name == "spawnrate") {
            e.spawnRateMs = ParseInt(text);
        } else if (name == "randomvelocity") {
            e.randomVelocity = true;
            e.randomVelocityAmount = text.empty() ? 0 : ParseInt(text);
        } else if (name == "randomacceleration") {
            e.randomAcceleration = true;
            e.randomAccelerationAmount = text.empty() ? 0 : ParseInt(text);
        } else if (name == "sound") {
            e.sound = text;
        } else if (name == "playlist") {
            e.playlist = text;
        }
    }
    if (e.count < 0 || e.count > kMaxParticlesPerSpawn) {
        GetLog() << Warning << path << ": an emitter's count of " << e.count << " is taken as "
                 << std::clamp(e.count, 0, kMaxParticlesPerSpawn) << EndL;
        e.count = std::clamp(e.count, 0, kMaxParticlesPerSpawn);
    }
    if (e.spawnRateMs > 0 && e.spawnRateMs < kMinSpawnRateMs) {
        GetLog() << Warning << path << ": an emitter's spawn rate of " << e.spawnRateMs << " ms is taken as "
                 << kMinSpawnRateMs << " ms" << EndL;
        e.spawnRateMs = kMinSpawnRateMs;
    }
    return e;
}

Noise ParseNoise(const XMLElement& element)
{
    Noise n;
    for (const auto& [name, child] : element.Children()) {
        if (name == "timebegin") {
            n.timeBegin = ParseInt(child->GetText());
        } else if (name == "timeend") {
            n.timeEnd = ParseInt(child->GetText());
        } else if (name == "frequency") {
            n.period = ParseInt(child->GetText());
        } else if (name == "position") {
            n.positionAmplitude = ParseVector(*child);
        } else if (name == "scale") {
            // An amplitude: missing components add nothing.
            n.scaleAmplitude = {ChildFloat(*child, "x", 0), ChildFloat(*child, "y", 0)};
        }
    }
    return n;
}

struct ParseState {
    SceneNodePtr node;
    bool textureGiven = false;
    bool meshGiven = false;
};

// Node files reach other node files ("apply", "replace", nested "node"
// elements); these guard the loader against cycles and runaway depth.
constexpr int kMaxNesting = 64;
// Nodes and files one node file may expand to, counted over everything it
// applies and includes: a handful of files that each apply the next twice
// would otherwise grow without end.
constexpr int64_t kMaxExpansion = 20000;

struct LoadGuard {
    std::vector<std::string> files; // being read, outermost first, normalised
    int depth = 0;
    int64_t expansion = 0; // of the outermost file being read
    bool overBudget = false;
};



LoadGuard& Guard()
{
    static LoadGuard s_guard;
    return s_guard;
}

// Enters `file` (empty: a nested element of the file being read); false, with
// an Error, when that would loop or nest too deeply.
class Nesting {
public:
    Nesting(const std::string& file, const std::string& from)
    {
        LoadGuard& guard = Guard();
        if (guard.depth >= kMaxNesting) {
            GetLog() << Error << "Error loading file \"" << from << "\" - nodes nested deeper than " << kMaxNesting
                     << EndL;
            return;
        }
        const std::string normalised = NormaliseResourcePath(file);
        if (!file.empty() &&
            std::find(guard.files.begin(), guard.files.end(), normalised) != guard.files.end()) {
            GetLog() << Error << "Error loading file \"" << from << "\" - \"" << file << "\" applies itself" << EndL;
            return;
        }
        if (guard.depth == 0) {
            guard.expansion = 0;
            guard.overBudget = false;
        }
        if (!Expand(1, from)) {
            return;
        }
        m_entered = true;
        m_file = !file.empty();
        ++guard.depth;
        if (m_file) {
            guard.files.push_back(normalised);
        }
    }
    ~Nesting()
    {
        if (m_entered) {
            --Guard().depth;
            if (m_file) {
                Guard().files.pop_back();
            }
        }
    }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;
    bool Entered() const { return m_entered; }

private:
    bool m_entered = false;
    bool m_file = false;
};

// Counts `count` more nodes into the outermost file's expansion; false (with
// one Error for that file) once it passes kMaxExpansion.
bool Expand(int64_t count, const std::string& from)
{
    LoadGuard& guard = Guard();
    guard.expansion += count;
    if (guard.expansion <= kMaxExpansion) {
        return true;
    }
    if (!guard.overBudget) {
        guard.overBudget = true;
        GetLog() << Error << "Error loading file \"" << from << "\" - it expands to more than " << kMaxExpansion
                 << " nodes; the rest is left out" << EndL;
    }
    return false;
}

int64_t CountNodes(const HierarchyNode& node)
{
    int64_t count = 1;
    if (node.GetChildren()) {
        for (const auto& child : node.GetChildren()->nodes) {
            count += CountNodes(*child);
        }
    }
    return count;
}

void ApplyElements(const XMLElement& element, ParseState& state, const std::string& path);

void ApplyFile(const std::string& file, ParseState& state, const std::string& from)
{
    Nesting nesting(file, from);
    if (!nesting.Entered()) {
        return;
    }
    IntrusivePtr<XMLElement> root = LoadXMLFile(ResolveResourcePath(file));
    if (!root) {
        return;
    }
    IntrusivePtr<XMLElement> top = RootElement(root.Get(), "node", NodeRootError(file));
    if (!top) {
        return;
    }
    ApplyElements(*top, state, file);
}

void ApplyElements(const XMLElement& element, ParseState& state, const std::string& path)
{
    for (const auto& [name, child] : element.Children()) {
        SceneNode& node = *state.node;
        const std::string& text = child->GetText();
        if (name == "apply") {
            ApplyFile(Trim(text), state, path);
        } else if (name == "replace") {
            SceneNodePtr replacement = NodeLibrary::Instance().CreateNode(Trim(text));
            if (replacement && Expand(CountNodes(*replacement), path)) {
                state.node = replacement;
                state.meshGiven = replacement->GetMesh().width != 0 || replacement->GetMesh().height != 0;
                state.textureGiven = false;
            }
        } else if (name == "node") {
            if (SceneNodePtr built = BuildChild(*child, path)) {
                node.AddChild(built);
            }
        } else if (name == "timer") {
            const std::string which = Trim(text);
            Application& app = Application::Instance();
            if (which == "system") {
                node.SetTimer(IntrusivePtr<Timer>(&app.GetSystemTimer()), Scope::Subtree, Reassign::Quiet);
            } else if (which == "game") {
                node.SetTimer(IntrusivePtr<Timer>(&app.GetTimer()), Scope::Subtree, Reassign::Quiet);
            }
        } else if (name == "lifetime") {
            node.SetExpiry(ParseInt(text));
        } else if (name == "position") {
            node.SetPosition(ParseVector(*child), Transform::Now);
        } else if (name == "rotation") {
            node.SetRotation(ParseFloat(text), Transform::Now);
        } else if (name == "scale") {
            const Vec2 scale = ParsePair(*child);
            node.SetScale(scale.x, scale.y, Transform::Now);
        } else if (name == "layer") {
            node.SetLayer(ParseInt(text), Scope::Node);
        } else if (name == "visible") {
            node.SetVisible(ParseBool(text), Scope::Node);
        } else if (name == "texture") {
            node.SetTexture(Trim(text));
            state.textureGiven = true;
        } else if (name == "material") {
            node.SetMaterial(ParseInt(text), Scope::Node);
        } else if (name == "mesh") {
            Mesh mesh = node.GetMesh();
            ParseMesh(*child, mesh);
            node.SetMesh(mesh);
            state.meshGiven = true;
        } else if (name == "animation") {
            FrameAnimationDesc animation = node.GetAnimation();
            ParseAnimation(*child, animation);
            node.SetAnimation(animation);
        } else if (name == "keyframe") {
            if (KeyframePtr keyframe = ParseKeyframe(*child)) {
                node.AddKeyframe(keyframe);
            } else {
                GetLog() << Error << "Error loading file \"" << path << "\" - keyframe parameters are invalid"
                         << EndL;
            }
        } else if (name == "velocity") {
            node.SetVelocity(ParseVectorOrFloat(*child));
        } else if (name == "acceleration") {
            node.SetAcceleration(ParseVectorOrFloat(*child));
        } else if (name == "rotatetodirection") {
            const std::string value = Trim(text);
            node.SetRotateToDirection(value.empty() || ParseBool(value));
        } else if (name == "prototype") {
            node.SetEmitter(ParseEmitter(*child, path));
        } else if (name == "noise") {
            node.SetNoise(ParseNoise(*child));
        } else if (name == "trail") {
            SceneNodePtr trailNode;
            float length = 400;
            for (const auto& [part, value] : child->Children()) {
                if (part == "node") {
                    trailNode = BuildChild(*value, path);
                } else if (part == "length") {
                    length = ParseFloat(value->GetText());
                }
            }
            node.SetTrail(trailNode, length);
        }
    }
}

} // namespace

bool LoadMeshFile(const std::string& path, Mesh& mesh)
{
    IntrusivePtr<XMLElement> document = LoadXMLFile(ResolveResourcePath(path));
    if (!document || document->Children().empty()) {
        GetLog() << Error << path << ": cannot read the mesh" << EndL;
        return false;
    }
    ParseMesh(*document->Children().front().second, mesh);
    return true;
}

uint32_t ParseColor(const std::string& text)
{
    return static_cast<uint32_t>(std::strtoul(Trim(text).c_str(), nullptr, 0));
}

SceneNodePtr LoadNodeFile(const std::string& path, const SceneNodePtr& target)
{
    Nesting nesting(path, path);
    if (!nesting.Entered()) {
        return nullptr;
    }
    IntrusivePtr<XMLElement> root = LoadXMLFile(ResolveResourcePath(path));
    if (!root) {
        return nullptr;
    }
    IntrusivePtr<XMLElement> top = RootElement(root.Get(), "node", NodeRootError(path));
    if (!top) {
        return nullptr;
    }
    return ParseNode(*top, target, path);
}

SceneNodePtr ParseNode(const XMLElement& element, const SceneNodePtr& target, const std::string& path)
{
    Nesting nesting({}, path);
    if (!nesting.Entered()) {
        return nullptr;
    }
    ParseState state;
    state.node = target ? target : MakeIntrusive<SceneNode>();
    ApplyElements(element, state, path);

    SceneNode& node = *state.node;
    if (node.IsEmitter()) {
        node.StartEmitter();
    }
    if (state.textureGiven && !state.meshGiven) {
        // The whole texture at its own size.
        node.SetMesh(Mesh(1, 1));
        if (Sprite* sprite = node.GetSprite(); sprite && sprite->GetTexture()) {
            Platform* platform = FrameLoop::Instance().GetPlatform();
            const auto w = static_cast<float>(platform->TextureGetWidth(sprite->GetTexture()));
            const auto h = static_cast<float>(platform->TextureGetHeight(sprite->GetTexture()));
            Mesh mesh = node.GetMesh();
            mesh.width = mesh.boundWidth = w;
            mesh.height = mesh.boundHeight = h;
            mesh.anchorX = w * 0.5f;
            mesh.anchorY = h * 0.5f;
            node.SetMesh(mesh);
        }
    }
    return state.node;
}

} // namespace tsv
