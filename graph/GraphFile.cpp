// The gf4 file: writer and tolerant reader.

#include "Graph_obj.h"

#include "FileFailure.h"
#include "Geometry.h"
#include "SafeFile.h"
#include "internal/EdgeIndex.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>
#include <new>
#include <string_view>

namespace {

// ---------------------------------------------------------------- writing

[[noreturn]] void ThrowIoError(int err) {
    switch (err) {
    case ENOENT: throw EInOutError(2, "File not found");
    case ENAMETOOLONG:
    case EINVAL: throw EInOutError(3, "Invalid filename");
    case EMFILE:
    case ENFILE: throw EInOutError(4, "Too many open files");
    case EACCES:
    case EPERM:
    case EROFS: throw EInOutError(5, "File access denied");
    case ENOSPC:
    case EDQUOT: throw EInOutError(101, "Disk full");
    default: throw EInOutError(err, "I/O error " + std::to_string(err));
    }
}

} // namespace

namespace {

// Why the file cannot hold a vertex's name or an edge's weight, or empty: a line feed ends the
// line, "*/" ends a name, "*/ " a weight.
std::string UnstorableText(const Tgraph& g) {
    const int count = geometry::HeldVertices(g);
    for (int i = 1; i <= count; ++i) {
        const std::string& name = g.vertices[i].name;
        if (name.find('\n') != std::string::npos || name.find("*/") != std::string::npos)
            return "The name of vertex " + std::to_string(i) + " holds a line break or \"*/\"";
        if (!g.weighted) continue;
        for (const Tedge* e = g.edgeLists[i].get(); e; e = e->next.get())
            if (e->weight.find('\n') != std::string::npos || e->weight.find("*/ ") != std::string::npos)
                return "The weight of the edge from vertex " + std::to_string(i) + " to vertex " +
                       std::to_string(e->target) + " holds a line break or \"*/ \"";
    }
    return {};
}

} // namespace

std::string GraphFileText(const Tgraph& g) {
    // What would read back as another graph is never written.
    if (const std::string why = UnstorableText(g); !why.empty())
        throw EInOutError(EINVAL, why + ", which a graph file cannot hold");
    std::string out;
    std::string name;
    auto line = [&out](std::string_view s) {
        out += s;
        out += "\r\n";
    };
    line(g.directed ? "[directed]" : "[undirected]");
    line(g.weighted ? "[weighted]" : "[unweighted]");
    name.clear();
    ColorName(g, g.baseColor, name);
    line("[" + name + "]");
    line(std::to_string(g.vertexCount) + " " + std::to_string(g.edgeCount));

    const int count = geometry::HeldVertices(g);
    for (int i = 1; i <= count; ++i) {
        const Tvertex& v = g.vertices[i];
        out += std::to_string(v.x);
        out += ' ';
        out += std::to_string(v.y);
        out += " /*";
        out += v.name;
        line("*/");
    }
    for (int i = 1; i <= count; ++i) {
        for (const Tedge* e = g.edgeLists[i].get(); e; e = e->next.get()) {
            if (!g.directed && e->target < i) continue; // an undirected edge is written from its lower end
            out += std::to_string(e->source);
            out += ' ';
            out += std::to_string(e->target);
            if (g.weighted) {
                out += " /*";
                out += e->weight;
                out += "*/";
            }
            if (e->color != g.baseColor) {
                name.clear();
                ColorName(g, e->color, name);
                if (!name.empty()) {
                    out += ' ';
                    out += name;
                }
            }
            out += "\r\n";
        }
    }
    return out;
}

namespace {

// ---------------------------------------------------------------- reading

class TReader {
public:
    explicit TReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    // Everything up to the line end (LF, or CR LF), without it; the line end is consumed.
    std::string_view Line() {
        std::string_view rest = RestOfLine();
        SkipLineEnd();
        return rest;
    }

    // Everything up to the line end, which is left in place.
    std::string_view RestOfLine() {
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) end = text_.size();
        std::size_t stop = end;
        if (stop > pos_ && stop < text_.size() && text_[stop - 1] == '\r') --stop;
        std::string_view s = text_.substr(pos_, stop - pos_);
        pos_ = stop;
        return s;
    }

    void SkipLineEnd() {
        if (pos_ < text_.size() && text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
            pos_ += 2;
        else if (pos_ < text_.size() && text_[pos_] == '\n')
            pos_ += 1;
    }

    // A signed decimal number after any control characters and spaces; 0 at the end of the text.
    // False for a token that is no 32-bit integer.
    bool Number(std::int32_t& value) {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
        const std::size_t start = pos_;
        tokenStart_ = start;
        while (pos_ < text_.size() && !IsBlank(text_[pos_]) && pos_ - start < 32) ++pos_;
        return ParseInt(text_.substr(start, pos_ - start), value);
    }

    // The line, counted from 1, on which the last number started (or where the reading stands,
    // for a number read at the end of the text). Counted when asked: only diagnoses ask.
    int TokenLine() const { return LineAt(tokenStart_); }
    int Here() const { return LineAt(pos_); }
    std::size_t TokenStart() const { return tokenStart_; }

    int LineAt(std::size_t pos) const {
        const std::size_t end = std::min(pos, text_.size());
        std::size_t lines = 1;
        for (std::size_t i = 0; i < end; ++i) lines += text_[i] == '\n';
        return lines > INT_MAX ? INT_MAX : static_cast<int>(lines);
    }

private:
    static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

    static bool ParseInt(std::string_view token, std::int32_t& value) {
        if (token.empty()) {
            value = 0;
            return true;
        }
        bool negative = false;
        std::size_t i = 0;
        if (token[0] == '-' || token[0] == '+') {
            negative = token[0] == '-';
            i = 1;
        }
        if (i == token.size()) return false;
        long long v = 0;
        for (; i < token.size(); ++i) {
            const char c = token[i];
            if (c < '0' || c > '9') return false;
            v = v * 10 + (c - '0');
            if (v > static_cast<long long>(INT_MAX) + 1) return false;
        }
        if (negative) v = -v;
        if (v > INT_MAX || v < INT_MIN) return false;
        value = static_cast<std::int32_t>(v);
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t tokenStart_ = 0;
};

std::string WithoutSpaces(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

// The name framed by "/*" and the first "*/" of a vertex line's text.
std::string VertexName(std::string_view text) {
    const std::size_t open = text.find("/*");
    const std::size_t close = text.find("*/");
    // With positions counted from 1 and 0 for a mark that is absent, the name is the
    // p2 - p1 - 2 characters from position p1 + 2, as far as the text reaches. Counting this way
    // keeps the file's quirks: without "/*" the name starts at the text's second character.
    const long long p1 = open == std::string_view::npos ? 0 : static_cast<long long>(open) + 1;
    const long long p2 = close == std::string_view::npos ? 0 : static_cast<long long>(close) + 1;
    const long long count = p2 - p1 - 2;
    if (count <= 0) return {};
    const std::size_t start = static_cast<std::size_t>(p1 + 1); // 0-based index of position p1 + 2
    if (start >= text.size()) return {};
    return std::string(text.substr(start, static_cast<std::size_t>(count)));
}

// What the reading found wrong, the first problem only: fatal ones make the file no graph file.
struct TReadProblem {
    bool fatal = false;
    std::string text; // empty: none
    void Note(bool isFatal, std::string what) {
        if (!text.empty() && (fatal || !isFatal)) return; // a fatal problem outweighs damage
        fatal = isFatal;
        text = std::move(what);
    }
};

std::string LineText(int line) { return "line " + std::to_string(line); }

// Fills g from the text; false on a read error (the caller then leaves it not created).
// An unknown direction, weight or colour tag ends the reading but is no read error: the reader
// is tolerant, so such a file opens as an empty graph of the kind read up to that tag. Only
// what cannot be read as the format says (a broken number, impossible counts) fails the load.
// problem receives the first thing that makes the file no graph file, or damaged.
bool ReadGraph(Tgraph& g, TReader& in, TReadProblem& problem) {
    const std::string direction = WithoutSpaces(in.Line());
    if (direction == "[directed]")
        g.directed = true;
    else if (direction != "[undirected]") {
        problem.Note(true, "line 1 is not \"[directed]\" or \"[undirected]\"");
        return true;
    }

    const std::string weight = WithoutSpaces(in.Line());
    if (weight == "[weighted]")
        g.weighted = true;
    else if (weight != "[unweighted]") {
        problem.Note(true, "line 2 is not \"[weighted]\" or \"[unweighted]\"");
        return true;
    }

    const std::string color = WithoutSpaces(in.Line());
    bool known = false;
    for (const TColorEntry& e : ColorTable) {
        if (color == std::string("[") + e.name + "]") {
            g.baseColor = e.value;
            known = true;
            break;
        }
    }
    if (!known) {
        problem.Note(true, "line 3 is not a colour name in brackets, such as \"[black]\"");
        return true;
    }

    if (in.AtEnd()) problem.Note(false, "the file ends before the counts line");
    std::int32_t n = 0, m = 0;
    const bool counted = in.Number(n) && in.Number(m);
    // Counts that the 100-vertex table cannot hold make the file unreadable.
    if (!counted || n < 0 || n > MaxVertices || m < 0 || m > MaxEdges) {
        problem.Note(true, LineText(in.TokenLine()) + " is not a vertex count of 0 to " + std::to_string(MaxVertices) +
                               " and an edge count of 0 to " + std::to_string(MaxEdges));
        return false;
    }
    g.vertexCount = n;
    g.edgeCount = m;
    in.RestOfLine();
    in.SkipLineEnd();

    for (int i = 1; i <= n; ++i) {
        Tvertex& v = g.vertices[i];
        v.name.clear();
        v.radius = geometry::VertexRadius;
        v.x = 0;
        v.y = 0;
        if (in.AtEnd() && problem.text.empty())
            problem.Note(false, LineText(in.Here()) + ": the file ends before vertex " + std::to_string(i) + " of " +
                                    std::to_string(n));
        if (!in.Number(v.x) || !in.Number(v.y)) {
            problem.Note(true, LineText(in.TokenLine()) + " does not begin with the two whole numbers of vertex " +
                                   std::to_string(i));
            return false;
        }
        v.name = VertexName(in.RestOfLine());
        in.SkipLineEnd();
    }

    auto index = std::make_unique<TEdgeIndex>();
    for (std::int32_t k = 0; k < m; ++k) {
        // Past the end every line reads as "0 0", which names no vertex: nothing more to add.
        if (in.AtEnd()) {
            if (problem.text.empty())
                problem.Note(false, LineText(in.Here()) + ": the file ends before edge line " + std::to_string(k + 1) +
                                        " of " + std::to_string(m));
            break;
        }
        std::int32_t source = 0, target = 0;
        if (!in.Number(source)) {
            problem.Note(true, LineText(in.TokenLine()) + " does not begin with the two vertex numbers of an edge");
            return false;
        }
        const std::size_t lineStart = in.TokenStart();
        if (!in.Number(target)) {
            problem.Note(true,
                         LineText(in.LineAt(lineStart)) + " does not begin with the two vertex numbers of an edge");
            return false;
        }
        const std::string_view text = in.RestOfLine();
        in.SkipLineEnd();
        if (source < 1 || source > n || target < 1 || target > n) { // no such vertex: skipped
            if (problem.text.empty())
                problem.Note(false, LineText(in.LineAt(lineStart)) + " names vertex " +
                                        std::to_string(source < 1 || source > n ? source : target) +
                                        ", which the file does not hold; the edge is left out");
            continue;
        }
        InsertEdge(g, source, target, text, index.get());
        if (!g.directed) InsertEdge(g, target, source, text, index.get());
    }
    return true;
}

} // namespace

void SaveGraph(const Tgraph& g, const std::string& path) {
    std::string bytes;
    try {
        bytes = GraphFileText(g);
    } catch (const EInOutError& e) {
        throw EInOutError(e.ErrorCode, "Cannot save \"" + path + "\". " + e.what() + ".");
    }
    SaveFileSafely(path, bytes);
}

void SaveFileSafely(const std::string& path, const std::string& bytes) {
    const TReplaceFailure failure = ReplaceFile(path, bytes);
    switch (failure.step) {
    case TReplaceStep::None: return;
    case TReplaceStep::NotRegular: {
        // "Cannot save "PATH". It is a FIFO (named pipe), not a regular file"
        throw EInOutError(failure.kind == TFileKind::Directory ? EISDIR : EINVAL,
                          "Cannot save \"" + path + "\". " + FailureSentence(AsFileFailure(failure)));
    }
    case TReplaceStep::Create:
    case TReplaceStep::Write: ThrowIoError(failure.error);
    }
}

namespace {

TLoadReport ReadIntoRecord(Tgraph& g, const std::string& text, const std::string& path) {
    InitGraph(g);
    TReader in(text);
    TReadProblem problem;
    TLoadReport report;
    if (ReadGraph(g, in, problem)) {
        g.fileName = path; // first: should the copy fail for want of memory, nothing is marked created
        g.created = true;
    }
    if (problem.fatal)
        report.failure = TFileFailure::NotGraphFile(problem.text);
    else
        report.damage = problem.text;
    return report;
}

} // namespace

void LoadGraphFromText(Tgraph& g, const std::string& text, const std::string& path) { ReadIntoRecord(g, text, path); }

TLoadReport LoadGraphTextReport(Tgraph& g, const std::string& text, const std::string& path) {
    return ReadIntoRecord(g, text, path);
}

TLoadReport LoadGraphReport(Tgraph& g, const std::string& path) noexcept {
    InitGraph(g);
    TLoadReport report;
    try {
        std::string text;
        // Only a regular file up to the size limit is read: anything else is a read error.
        report.failure = ReadWholeFile(path, text);
        if (report.failure) return report;
        report = ReadIntoRecord(g, text, path);
    } catch (const std::bad_alloc&) {
        g.created = false; // memory ran out while reading: a read error like any other
        report = TLoadReport();
        report.failure = TFileFailure::FromErrno(ENOMEM);
    }
    return report;
}

void LoadGraph(Tgraph& g, const std::string& path) noexcept { LoadGraphReport(g, path); }

std::string DamageText(const std::string& path, const std::string& damage) {
    return "The file \"" + path + "\" is damaged: " + damage;
}
