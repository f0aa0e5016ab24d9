#include "engine/core/util/xml/xmlelement.h"

#include <cstdlib>

namespace tsv {

void XMLElement::AddChild(const std::string& name, const IntrusivePtr<XMLElement>& child)
{
    m_children.emplace_back(name, child);
    if (child) {
        child->m_parent = this;
    }
}

IntrusivePtr<XMLElement> XMLElement::FindChild(const std::string& name) const
{
    for (const Child& child : m_children) {
        if (child.first == name) {
            return child.second;
        }
    }
    return nullptr;
}

std::string XMLElement::GetAttribute(const std::string& name, const std::string& fallback) const
{
    auto it = m_attributes.find(name);
    return it == m_attributes.end() ? fallback : it->second;
}

int ParseInt(const std::string& text)
{
    return std::atoi(text.c_str());
}

float ParseFloat(const std::string& text)
{
    return static_cast<float>(std::strtod(text.c_str(), nullptr));
}

bool ParseBool(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower == "1" || lower == "on" || lower == "yes" || lower == "true";
}

} // namespace tsv
