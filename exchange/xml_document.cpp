#include "exchange/xml_document.h"

#include "routes/poi_record.h"
#include "util/text.h"

namespace vexa {

bool loadXml(pugi::xml_document& doc, std::string_view bytes) {
    // The default options: no DOCTYPE processing, so "billion laughs" entities stay text.
    const pugi::xml_parse_result result =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
    return static_cast<bool>(result);
}

std::string_view localName(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string elementText(const pugi::xml_node& node) {
    std::string text;
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata) continue;
        if (!text.empty()) text += '\n';
        text += child.value();
    }
    return text;
}

std::string poiNameOf(const pugi::xml_node& node) {
    return std::string(utf8Prefix(validUtf8(elementText(childNamed(node, "name"))), kPoiNameChars));
}

pugi::xml_node childNamed(const pugi::xml_node& node, std::string_view name) {
    for (const pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && localName(child) == name) return child;
    return {};
}

}  // namespace vexa
