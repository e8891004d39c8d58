// GraphML through libxml2's streaming reader: no entity is expanded (a file that uses one of its
// own is refused), nothing is fetched from the network, and no text node grows beyond libxml2's
// own limit of 10 MB. Nodeloom's keys, yEd's node geometry and line colours, Gephi's viz
// positions and colours.

#include "ImportModel.h"

#include "FormatWriters.h"
#include "TextExport.h"

#include <libxml/xmlreader.h>

#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

struct TKey {
    std::string forWhat, name; // for= and attr.name= (the id when there is no name)
};

struct TRawNode {
    std::string id;
    std::map<std::string, std::string> data; // by key id
    std::string yedLabel;
    bool hasYed = false, hasViz = false;
    double yedX = 0, yedY = 0, yedW = 0, yedH = 0, vizX = 0, vizY = 0;
};

struct TRawEdge {
    std::string source, target;
    std::map<std::string, std::string> data;
    std::optional<TColor> drawnColor; // yEd's line or Gephi's viz colour
};

using TReaderPtr = std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)>;

std::optional<std::string> Attribute(xmlTextReaderPtr reader, const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(reader, reinterpret_cast<const xmlChar*>(name));
    if (!value) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

double Number(const std::optional<std::string>& text) {
    double v = 0;
    return text && IsDecimal(*text, &v) ? v : 0;
}

void IgnoreError(void*, const char*, ...) {}

void KeepFirstError(void* arg, const char* message, xmlParserSeverities severity, xmlTextReaderLocatorPtr locator) {
    auto* error = static_cast<std::string*>(arg);
    if (severity != XML_PARSER_SEVERITY_ERROR && severity != XML_PARSER_SEVERITY_VALIDITY_ERROR) return;
    if (!error->empty()) return;
    std::string text = message ? message : "malformed XML";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    *error = "line " + std::to_string(xmlTextReaderLocatorLineNumber(locator)) + ": " + text;
}

// What the keys mean, by id: the Nodeloom and common attribute names.
struct TKeyRoles {
    std::unordered_map<std::string, TKey> keys;
    const std::string& Role(const std::string& id) const {
        const auto k = keys.find(id);
        return k == keys.end() ? id : k->second.name;
    }
};

class TGraphMLReader {
public:
    TGraphMLReader(const std::string& bytes, TImportedGraph& graph, std::string& error)
        : bytes_(bytes), graph_(graph), error_(error) {}

    bool Read();

private:
    bool Walk(xmlTextReaderPtr reader);
    bool Map();

    const std::string& bytes_;
    TImportedGraph& graph_;
    std::string& error_;
    TKeyRoles roles_;
    std::vector<TRawNode> nodes_; // the first MaxVertices + 1
    std::size_t nodeCount_ = 0, edgeCount_ = 0, repeats_ = 0;
    std::vector<TRawEdge> edges_; // each ordered pair of ids once, up to MaxEdges + 1
    std::unordered_set<std::string> pairs_;
    bool tooManyEdges_ = false;
    std::optional<bool> directed_;
    bool weightedSaid_ = false, weightedValue_ = false;
    std::optional<std::string> base_, countedEdges_;
};

bool TGraphMLReader::Read() {
    if (bytes_.size() > static_cast<std::size_t>(INT32_MAX)) {
        error_ = "it is too large for an XML file";
        return false;
    }
    // libxml2 reports some faults (of encodings, for one) only to its global error function,
    // which would print them: the reader's own handler below says what is wrong instead. The
    // function before is given back when the reading ends.
    struct TQuietLibxml {
        xmlGenericErrorFunc function = xmlGenericError;
        void* context = xmlGenericErrorContext;
        TQuietLibxml() { xmlSetGenericErrorFunc(nullptr, IgnoreError); }
        ~TQuietLibxml() { xmlSetGenericErrorFunc(context, function); }
    } const quiet;
    TReaderPtr reader(xmlReaderForMemory(bytes_.data(), static_cast<int>(bytes_.size()), nullptr, nullptr,
                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
                      xmlFreeTextReader);
    if (!reader) {
        error_ = "it cannot be read as XML";
        return false;
    }
    std::string xmlError;
    xmlTextReaderSetErrorHandler(reader.get(), KeepFirstError, &xmlError);
    const bool walked = Walk(reader.get());
    if (!walked) {
        if (error_.empty()) error_ = xmlError.empty() ? "it is not well-formed XML" : xmlError;
        return false;
    }
    return Map();
}

bool TGraphMLReader::Walk(xmlTextReaderPtr reader) {
    enum class TOwner { None, Graph, Node, Edge };
    struct TOpen {
        std::string name;
        TOwner owner;
    };
    std::vector<TOpen> open; // the elements around the reader's position
    bool sawRoot = false;
    int graphDepth = 0;
    std::string* text = nullptr; // where the current data element's own text goes
    int textDepth = -1;
    TRawNode* node = nullptr;
    TRawEdge* edge = nullptr;
    std::map<std::string, std::string> skipped; // data of nodes and edges that are only counted
    TRawNode spareNode;
    TRawEdge spareEdge;
    int status;
    while ((status = xmlTextReaderRead(reader)) == 1) {
        const int type = xmlTextReaderNodeType(reader);
        const int depth = xmlTextReaderDepth(reader);
        if (type == XML_READER_TYPE_ENTITY_REFERENCE) {
            const xmlChar* name = xmlTextReaderConstName(reader);
            error_ = std::string("it uses the entity &") + (name ? reinterpret_cast<const char*>(name) : "") +
                     ";, and entities are not expanded";
            return false;
        }
        if (type == XML_READER_TYPE_TEXT || type == XML_READER_TYPE_CDATA ||
            type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE || type == XML_READER_TYPE_WHITESPACE) {
            const xmlChar* value = xmlTextReaderConstValue(reader);
            if (text && depth == textDepth && value) *text += reinterpret_cast<const char*>(value);
            if (node && !open.empty() && open.back().name == "NodeLabel" && value && node->yedLabel.size() < (1u << 24))
                node->yedLabel += reinterpret_cast<const char*>(value);
            continue;
        }
        if (type == XML_READER_TYPE_END_ELEMENT) {
            if (text && depth == textDepth - 1) text = nullptr, textDepth = -1;
            if (!open.empty()) {
                const TOwner owner = open.back().owner;
                open.pop_back();
                if (owner == TOwner::Node) node = nullptr;
                if (owner == TOwner::Edge) edge = nullptr;
                if (owner == TOwner::Graph) --graphDepth;
            }
            continue;
        }
        if (type != XML_READER_TYPE_ELEMENT) continue;

        const std::string local = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
        const bool empty = xmlTextReaderIsEmptyElement(reader) == 1;
        TOwner owner = TOwner::None;
        // A graph, node or edge inside a data element ends that element's text: the text's home
        // may not outlive what starts here.
        if (local == "graph" || local == "node" || local == "edge") text = nullptr, textDepth = -1;
        if (!sawRoot) {
            sawRoot = true;
            if (local != "graphml") {
                error_ = "it is XML, but not GraphML (its root element is <" + local + ">)";
                return false;
            }
        } else if (local == "key") {
            const std::string id = Attribute(reader, "id").value_or("");
            TKey key{Attribute(reader, "for").value_or("all"), Attribute(reader, "attr.name").value_or("")};
            if (key.name.empty()) key.name = Attribute(reader, "yfiles.type").value_or(id);
            roles_.keys[id] = key;
        } else if (local == "graph") {
            owner = TOwner::Graph;
            if (++graphDepth == 1) directed_ = Attribute(reader, "edgedefault").value_or("directed") == "directed";
        } else if (local == "node") {
            owner = TOwner::Node;
            ++nodeCount_;
            if (nodes_.size() <= static_cast<std::size_t>(MaxVertices)) {
                nodes_.emplace_back();
                node = &nodes_.back();
            } else {
                spareNode = TRawNode();
                node = &spareNode;
            }
            node->id = Attribute(reader, "id").value_or("");
            edge = nullptr;
        } else if (local == "edge") {
            owner = TOwner::Edge;
            ++edgeCount_;
            spareEdge = TRawEdge();
            spareEdge.source = Attribute(reader, "source").value_or("");
            spareEdge.target = Attribute(reader, "target").value_or("");
            if (Attribute(reader, "directed").value_or("") == "true") directed_ = true;
            const std::string pair = spareEdge.source + '\0' + spareEdge.target;
            if (pairs_.count(pair)) {
                ++repeats_;
                edge = &spareEdge;
            } else if (edges_.size() > static_cast<std::size_t>(MaxEdges)) {
                tooManyEdges_ = true;
                edge = &spareEdge;
            } else {
                pairs_.insert(pair);
                edges_.push_back(std::move(spareEdge));
                edge = &edges_.back();
            }
            node = nullptr;
        } else if (local == "data" && !empty) {
            const std::string key = Attribute(reader, "key").value_or("");
            std::map<std::string, std::string>* data = &skipped;
            if (edge)
                data = &edge->data;
            else if (node)
                data = &node->data;
            else if (graphDepth == 1) {
                const std::string role = roles_.Role(key);
                if (role == "nodeloom.weighted") weightedSaid_ = true;
                data = &skipped;
                skipped[role].clear();
                text = &skipped[role];
                textDepth = depth + 1;
            }
            if (!text) {
                (*data)[key].clear();
                text = &(*data)[key];
                textDepth = depth + 1;
            }
        } else if (local == "Geometry" && node) {
            node->hasYed = true;
            node->yedX = Number(Attribute(reader, "x"));
            node->yedY = Number(Attribute(reader, "y"));
            node->yedW = Number(Attribute(reader, "width"));
            node->yedH = Number(Attribute(reader, "height"));
        } else if (local == "position" && node) {
            node->hasViz = true;
            node->vizX = Number(Attribute(reader, "x"));
            node->vizY = Number(Attribute(reader, "y"));
        } else if (local == "LineStyle" && edge) {
            if (const auto c = Attribute(reader, "color")) edge->drawnColor = ColorOfText(*c);
        } else if (local == "color" && edge) {
            const double r = Number(Attribute(reader, "r")), g = Number(Attribute(reader, "g")),
                         b = Number(Attribute(reader, "b"));
            auto channel = [](double v) { return static_cast<unsigned>(v < 0 ? 0 : v > 255 ? 255 : v); };
            edge->drawnColor = NearestColor(channel(r), channel(g), channel(b));
        }
        if (!empty)
            open.push_back({local, owner});
        else if (owner == TOwner::Node)
            node = nullptr;
        else if (owner == TOwner::Edge)
            edge = nullptr;
        if (owner == TOwner::Graph && empty) --graphDepth;
    }
    if (status != 0) return false;
    if (!sawRoot) {
        error_ = "it holds no XML element";
        return false;
    }
    weightedValue_ = skipped["nodeloom.weighted"] == "true";
    if (skipped.count("nodeloom.base")) base_ = skipped["nodeloom.base"];
    if (skipped.count("nodeloom.edges")) countedEdges_ = skipped["nodeloom.edges"];
    return true;
}

// The first of the keys named so (by attr.name, then by id) that the data holds.
const std::string* Find(const std::map<std::string, std::string>& data, const TKeyRoles& roles,
                        std::initializer_list<const char*> names) {
    for (const char* name : names) {
        for (const auto& [id, value] : data)
            if (roles.Role(id) == name) return &value;
        const auto byId = data.find(name);
        if (byId != data.end()) return &byId->second;
    }
    return nullptr;
}

bool TGraphMLReader::Map() {
    graph_.directed = directed_.value_or(true);
    if (nodeCount_ > static_cast<std::size_t>(MaxVertices)) {
        error_ = TooLargeText(nodeCount_, edgeCount_);
        return false;
    }
    std::unordered_map<std::string, int> byId;
    for (const TRawNode& n : nodes_) {
        if (byId.count(n.id)) {
            error_ = "the node id \"" + n.id + "\" is given twice";
            return false;
        }
        std::string name = n.id;
        std::string exact;
        if (const std::string* e = Find(n.data, roles_, {"nodeloom.name"}); e && PercentDecoded(*e, exact))
            name = exact;
        else if (const std::string* s = Find(n.data, roles_, {"name", "label", "Label"}))
            name = *s;
        else if (n.hasYed && !n.yedLabel.empty())
            name = n.yedLabel;
        const int v = graph_.AddVertex(name);
        byId[n.id] = v;
        TImportedVertex& vertex = graph_.At(v);
        const std::string* x = Find(n.data, roles_, {"x"});
        const std::string* y = Find(n.data, roles_, {"y"});
        double px = 0, py = 0;
        if (x && y && IsDecimal(*x, &px) && IsDecimal(*y, &py)) {
            vertex = {name, true, px, py};
        } else if (n.hasYed) {
            vertex = {name, true, n.yedX + n.yedW / 2, n.yedY + n.yedH / 2};
        } else if (n.hasViz) {
            vertex = {name, true, n.vizX, -n.vizY}; // Gephi's y grows upwards
        }
    }
    if (tooManyEdges_) {
        error_ = "its edges join nodes that it does not declare, or there are too many of them";
        return false;
    }
    bool weighted = false;
    if (weightedSaid_)
        weighted = weightedValue_;
    else
        for (const TRawEdge& e : edges_) weighted = weighted || Find(e.data, roles_, {"weight", "Weight"});
    graph_.weighted = weighted;
    if (base_) graph_.base = ColorOfText(*base_);
    double counted = 0;
    if (countedEdges_ && IsDecimal(*countedEdges_, &counted)) graph_.countedEdges = static_cast<long long>(counted);
    for (TRawEdge& e : edges_) {
        const auto s = byId.find(e.source), t = byId.find(e.target);
        if (s == byId.end() || t == byId.end()) {
            error_ =
                "an edge joins \"" + e.source + "\" and \"" + e.target + "\", which are not both nodes of the graph";
            return false;
        }
        std::string weight;
        std::string exact;
        if (const std::string* x = Find(e.data, roles_, {"nodeloom.weight"}); x && PercentDecoded(*x, exact))
            weight = exact;
        else if (const std::string* w = Find(e.data, roles_, {"weight", "Weight"}))
            weight = *w;
        std::optional<TColor> color = e.drawnColor;
        if (const std::string* c = Find(e.data, roles_, {"color", "Color"})) color = ColorOfText(*c);
        graph_.AddEdge(s->second, t->second, weight, color);
    }
    graph_.AddUncounted(repeats_, 0);
    return true;
}

} // namespace

bool ReadGraphML(const std::string& bytes, TImportedGraph& graph, std::string& error) {
    return TGraphMLReader(bytes, graph, error).Read();
}

// ---------------------------------------------------------------- the writer

namespace {

// A weight that GraphML's double type reads: an optional sign, digits with an optional
// fraction, an optional exponent.
bool IsDecimalNumber(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        std::size_t exponent = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && exponent < 3) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == s.size();
}

} // namespace

std::string GraphMLText(const Tgraph& g) {
    bool numeric = g.weighted;
    ForEachFileEdge(g, [&](int, const Tedge& e) { numeric = numeric && IsDecimalNumber(e.weight); });
    std::string base;
    ColorName(g, g.baseColor, base);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\" "
                      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                      "xsi:schemaLocation=\"http://graphml.graphdrawing.org/xmlns "
                      "http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd\">\n"
                      "  <key id=\"weighted\" for=\"graph\" attr.name=\"nodeloom.weighted\" attr.type=\"boolean\"/>\n"
                      "  <key id=\"base\" for=\"graph\" attr.name=\"nodeloom.base\" attr.type=\"string\"/>\n"
                      "  <key id=\"edges\" for=\"graph\" attr.name=\"nodeloom.edges\" attr.type=\"int\"/>\n"
                      "  <key id=\"name\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n"
                      "  <key id=\"label\" for=\"node\" attr.name=\"label\" attr.type=\"string\"/>\n"
                      "  <key id=\"exactname\" for=\"node\" attr.name=\"nodeloom.name\" attr.type=\"string\"/>\n"
                      "  <key id=\"x\" for=\"node\" attr.name=\"x\" attr.type=\"int\"/>\n"
                      "  <key id=\"y\" for=\"node\" attr.name=\"y\" attr.type=\"int\"/>\n"
                      "  <key id=\"weight\" for=\"edge\" attr.name=\"weight\" attr.type=\"string\"/>\n";
    if (numeric) out += "  <key id=\"value\" for=\"edge\" attr.name=\"weight_value\" attr.type=\"double\"/>\n";
    out += "  <key id=\"exactweight\" for=\"edge\" attr.name=\"nodeloom.weight\" attr.type=\"string\"/>\n"
           "  <key id=\"color\" for=\"edge\" attr.name=\"color\" attr.type=\"string\"/>\n";
    out += std::string("  <graph id=\"G\" edgedefault=\"") + (g.directed ? "directed" : "undirected") + "\">\n";
    out += std::string("    <data key=\"weighted\">") + (g.weighted ? "true" : "false") + "</data><data key=\"base\">" +
           base + "</data><data key=\"edges\">" + std::to_string(g.edgeCount) + "</data>\n";
    for (int v = 1; v <= geometry::HeldVertices(g); ++v) {
        const Tvertex& c = g.vertices[v];
        const std::string name = XmlEscaped(PrintableUtf8(c.name));
        out += "    <node id=\"n" + std::to_string(v) + "\"><data key=\"name\">" + name +
               "</data><data key=\"label\">" + name + "</data>";
        if (!ShownExactly(c.name)) out += "<data key=\"exactname\">" + PercentEncoded(c.name) + "</data>";
        out += "<data key=\"x\">" + std::to_string(c.x) + "</data><data key=\"y\">" + std::to_string(c.y) +
               "</data></node>\n";
    }
    int id = 0;
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        out += "    <edge id=\"e" + std::to_string(++id) + "\" source=\"n" + std::to_string(s) + "\" target=\"n" +
               std::to_string(e.target) + "\">";
        if (g.weighted) {
            out += "<data key=\"weight\">" + XmlEscaped(PrintableUtf8(e.weight)) + "</data>";
            if (numeric) out += "<data key=\"value\">" + e.weight + "</data>";
            if (!ShownExactly(e.weight)) out += "<data key=\"exactweight\">" + PercentEncoded(e.weight) + "</data>";
        }
        out += "<data key=\"color\">" + HexColor(e.color) + "</data></edge>\n";
    });
    return out + "  </graph>\n</graphml>\n";
}
