// Reading exchange files as XML with pugixml: loading, walking the elements in document order
// without recursion (files may nest deeply), names without their namespace prefix, and text.
#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace vexa {

// Parses the bytes (UTF-8 with or without BOM, or UTF-16 with BOM). Entities declared in a
// DOCTYPE are never expanded. False when the text is not well-formed XML.
bool loadXml(pugi::xml_document& doc, std::string_view bytes);

// "gx:Track" → "Track".
std::string_view localName(const pugi::xml_node& node);

// The text of an element: its text and CDATA children joined, comments between them acting
// as line breaks.
std::string elementText(const pugi::xml_node& node);

// The first child element with that local name.
pugi::xml_node childNamed(const pugi::xml_node& node, std::string_view name);

// The text of the element's <name> child as a POI keeps it: well-formed UTF-8, at most 63
// characters (GPX waypoints, KML Placemarks).
std::string poiNameOf(const pugi::xml_node& node);

// Calls `visit` for every element below `root` in document order; `visit` returns false to
// skip the element's children.
template <typename Visit>
void forEachElement(const pugi::xml_node& root, Visit visit) {
    pugi::xml_node node = root.first_child();
    while (node && node != root) {
        bool descend = true;
        if (node.type() == pugi::node_element) descend = visit(node);
        if (descend && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && node != root && !node.next_sibling()) node = node.parent();
        if (!node || node == root) break;
        node = node.next_sibling();
    }
}

}  // namespace vexa
