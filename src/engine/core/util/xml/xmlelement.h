#pragma once
// One parsed XML element: name-tagged children in document order, attributes
// ordered by name, and the untrimmed concatenation of its own character data.

#include "engine/core/intrusiveptr.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tsv {

class XMLElement : public RefCounted {
public:
    using Child = std::pair<std::string, IntrusivePtr<XMLElement>>;

    XMLElement() = default;
    explicit XMLElement(std::string name) : m_name(std::move(name)) {}

    void AddChild(const std::string& name, const IntrusivePtr<XMLElement>& child);

    const std::string& GetName() const { return m_name; }
    const std::string& GetText() const { return m_text; }
    void AppendText(const std::string& text) { m_text += text; }
    void SetText(const std::string& text) { m_text = text; }

    std::vector<Child>& Children() { return m_children; }
    const std::vector<Child>& Children() const { return m_children; }
    std::map<std::string, std::string>& Attributes() { return m_attributes; }
    const std::map<std::string, std::string>& Attributes() const { return m_attributes; }
    XMLElement* GetParent() const { return m_parent; }

    // The first child with this name, or null.
    IntrusivePtr<XMLElement> FindChild(const std::string& name) const;
    // The attribute's value, or `fallback` when it is absent.
    std::string GetAttribute(const std::string& name, const std::string& fallback = {}) const;
    bool HasAttribute(const std::string& name) const { return m_attributes.count(name) != 0; }

private:
    std::string m_name;
    std::vector<Child> m_children;
    std::map<std::string, std::string> m_attributes;
    std::string m_text;
    XMLElement* m_parent = nullptr;
};

// Value conversions every loader uses on texts and attributes.
int ParseInt(const std::string& text);     // leading blanks, sign, digits; 0 when none
float ParseFloat(const std::string& text); // string-to-double, stored as float
bool ParseBool(const std::string& text);   // "1", "on", "yes", "true" in any ASCII case

} // namespace tsv
