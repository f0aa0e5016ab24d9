#pragma once
// Named icons of the current language: small node trees that screens and
// texts ("#{name}") create by name.

#include "engine/core/intrusiveptr.h"
#include "engine/core/util/xml/xmlelement.h"
#include "engine/scene/scenenode.h"

#include <string>
#include <vector>

namespace tsv {

class Icon : public RefCounted {
public:
    std::string name;
    bool fixedSize = false;  // keeps its size in scaled captions
    bool fixedColor = false; // keeps its colours in coloured text
    SceneNodePtr node;       // the prototype; every use gets a deep copy
};

using IconPtr = IntrusivePtr<Icon>;

class IconSet {
public:
    // Appends the icons of the file; false (logged) when it is no icon set.
    bool Load(const std::string& path);
    void Clear() { m_icons.clear(); }

    // The first icon of that name, or null.
    const Icon* Find(const std::string& name) const;
    // A fresh copy of the icon's node at `position`; null, with a Warning,
    // for a name the set does not hold.
    SceneNodePtr CreateIcon(const std::string& name, const Vec3& position = {}) const;
    size_t Count() const { return m_icons.size(); }

private:
    IconPtr BuildIcon(const XMLElement& element, const std::string& path) const;

    std::vector<IconPtr> m_icons;
};

} // namespace tsv
