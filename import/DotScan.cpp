// The pass over a DOT text before Graphviz parses it: DOT's tokens, and of its statements just
// enough to count the nodes and edges they make, the nesting of subgraphs and the chains.

#include "DotScan.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>
#include <unordered_map>
#include <vector>

namespace {

// Graphviz's parser takes time that grows with the square of a string's length, and longer still
// for a concatenation "..." + "...": each piece joined copies all before it. Strings are bounded:
// one quoted string (or name, or HTML string) at Graphviz's documented limit, a concatenation at
// 1 MiB and MaxDotPieces pieces, and all concatenations longer than one string at 16 MiB together.
constexpr std::size_t MaxDotString = 16384, MaxDotConcatenation = std::size_t(1) << 20,
                      MaxDotLongStrings = std::size_t(16) << 20;
// The bytes that joining copies (each join copies all that came before it): for one string, and
// for all strings of the file together.
constexpr std::size_t MaxDotJoined = std::size_t(64) << 20, MaxDotAllJoined = std::size_t(256) << 20;

std::uint64_t Add(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b ? std::numeric_limits<std::uint64_t>::max() : a + b;
}

std::uint64_t Times(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) return std::numeric_limits<std::uint64_t>::max();
    return a * b;
}

enum class TToken { End, Id, Open, Close, OpenBracket, CloseBracket, Equals, Colon, Separator, EdgeOp, Other };

class TLexer {
public:
    explicit TLexer(std::string_view text) : text_(text) {}

    // The next token; for an Id its text (quotes, escaped quotes and joins resolved) in Text().
    TToken Next() {
        if (peeked_) {
            const TToken t = *peeked_;
            peeked_.reset();
            text_of_ = std::move(peekedText_);
            keyword_ = peekedKeyword_;
            return t;
        }
        return Read();
    }
    TToken Peek() {
        if (!peeked_) {
            std::string saved = std::move(text_of_);
            const bool savedKeyword = keyword_;
            peeked_ = Read();
            peekedText_ = std::move(text_of_);
            peekedKeyword_ = keyword_;
            text_of_ = std::move(saved);
            keyword_ = savedKeyword;
        }
        return *peeked_;
    }
    const std::string& Text() const { return text_of_; }
    // An unquoted Id that is one of DOT's keywords (in any case).
    bool Keyword() const { return keyword_; }
    std::size_t Line() const {
        return static_cast<std::size_t>(std::count(text_.begin(), text_.begin() + static_cast<long>(start_), '\n')) + 1;
    }
    const std::string& Refusal() const { return refusal_; }
    // Just after the last token read (or peeked).
    std::size_t Offset() const { return i_; }

private:
    void SkipSpace() {
        const std::size_t n = text_.size();
        while (i_ < n) {
            const char c = text_[i_];
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
                ++i_;
            } else if (c == '/' && i_ + 1 < n && text_[i_ + 1] == '/') {
                while (i_ < n && text_[i_] != '\n') ++i_;
            } else if (c == '#' && (i_ == 0 || text_[i_ - 1] == '\n')) {
                while (i_ < n && text_[i_] != '\n') ++i_;
            } else if (c == '/' && i_ + 1 < n && text_[i_ + 1] == '*') {
                const std::size_t end = text_.find("*/", i_ + 2);
                i_ = end == std::string_view::npos ? n : end + 2;
            } else {
                return;
            }
        }
    }

    TToken Refuse(std::string why) {
        if (refusal_.empty()) refusal_ = std::move(why);
        i_ = text_.size();
        return TToken::End;
    }

    TToken Read() {
        keyword_ = false;
        text_of_.clear();
        SkipSpace();
        const std::size_t n = text_.size();
        start_ = i_;
        if (i_ >= n) return TToken::End;
        const char c = text_[i_];
        if (c == '"') return Quoted();
        if (c == '<') {
            const std::size_t from = i_;
            std::size_t depth = 0;
            for (; i_ < n; ++i_) {
                if (text_[i_] == '<')
                    ++depth;
                else if (text_[i_] == '>' && --depth == 0)
                    break;
            }
            i_ = std::min(i_ + 1, n);
            if (i_ - from > MaxDotString)
                return Refuse("it holds a name of " + std::to_string(i_ - from) +
                              " bytes (more than 16384), which is not read");
            text_of_.assign(text_.substr(from + 1, i_ - from >= 2 ? i_ - from - 2 : 0));
            return TToken::Id;
        }
        if (c == '-' && i_ + 1 < n && (text_[i_ + 1] == '>' || text_[i_ + 1] == '-')) {
            i_ += 2;
            return TToken::EdgeOp;
        }
        const auto word = [](unsigned char b) { return std::isalnum(b) || b == '_' || b == '.' || b >= 0x80; };
        if (word(static_cast<unsigned char>(c)) || c == '-') {
            const std::size_t from = i_++;
            while (i_ < n && word(static_cast<unsigned char>(text_[i_]))) ++i_;
            if (i_ - from > MaxDotString)
                return Refuse("it holds a name of " + std::to_string(i_ - from) +
                              " bytes (more than 16384), which is not read");
            text_of_.assign(text_.substr(from, i_ - from));
            std::string lower = text_of_;
            for (char& l : lower) l = static_cast<char>(std::tolower(static_cast<unsigned char>(l)));
            keyword_ = lower == "graph" || lower == "digraph" || lower == "subgraph" || lower == "node" ||
                       lower == "edge" || lower == "strict";
            if (keyword_) text_of_ = lower;
            return TToken::Id;
        }
        ++i_;
        switch (c) {
        case '{': return TToken::Open;
        case '}': return TToken::Close;
        case '[': return TToken::OpenBracket;
        case ']': return TToken::CloseBracket;
        case '=': return TToken::Equals;
        case ':': return TToken::Colon;
        case ';':
        case ',': return TToken::Separator;
        default: return TToken::Other;
        }
    }

    // "..." [+ "..."]...: one Id.
    TToken Quoted() {
        const std::size_t n = text_.size();
        std::size_t length = 0, pieces = 0, joined = 0; // joined: the bytes the joins copy, all told
        for (;;) {
            const std::size_t from = ++i_;
            while (i_ < n && text_[i_] != '"') i_ += text_[i_] == '\\' ? 2 : 1;
            const std::size_t piece = std::min(i_, n) - from;
            i_ = std::min(i_ + 1, n);
            if (piece > MaxDotString)
                return Refuse("it holds a quoted string of " + std::to_string(piece) +
                              " bytes (more than 16384), which is not read");
            length += piece;
            if (length > MaxDotConcatenation)
                return Refuse("it holds a concatenated string of more than 1 MiB, which is not read");
            if (++pieces > MaxDotPieces)
                return Refuse("it holds a string joined from more than " + std::to_string(MaxDotPieces) +
                              " pieces with +, which is not read");
            joined += length;
            text_of_.append(text_.substr(from, piece));
            const std::size_t after = i_;
            SkipSpace();
            if (i_ < n && text_[i_] == '+') {
                ++i_;
                SkipSpace();
                if (i_ < n && text_[i_] == '"') continue;
            }
            i_ = after;
            break;
        }
        if (pieces > 1 && length > MaxDotString) {
            longStrings_ += length;
            if (longStrings_ > MaxDotLongStrings)
                return Refuse("it holds more than 16 MiB of concatenated strings, which is not read");
        }
        if (pieces > 1) allJoined_ += joined;
        if (joined > MaxDotJoined || allJoined_ > MaxDotAllJoined)
            return Refuse("it holds strings joined from " + std::to_string(pieces) +
                          " pieces with + that take too long to join, which is not read");
        // The escapes that make two spellings one name: \" and a backslash before a line end.
        std::string name;
        for (std::size_t k = 0; k < text_of_.size(); ++k) {
            if (text_of_[k] == '\\' && k + 1 < text_of_.size() && (text_of_[k + 1] == '"' || text_of_[k + 1] == '\n')) {
                if (text_of_[++k] == '"') name += '"';
                continue;
            }
            name += text_of_[k];
        }
        text_of_ = std::move(name);
        return TToken::Id;
    }

    std::string_view text_;
    std::size_t i_ = 0, start_ = 0, longStrings_ = 0, allJoined_ = 0;
    std::string text_of_, peekedText_, refusal_;
    bool keyword_ = false, peekedKeyword_ = false;
    std::optional<TToken> peeked_;
};

// A body { ... } being read: the root graph's or a subgraph's.
struct TFrame {
    std::optional<std::string> name; // a named subgraph's
    std::uint64_t members = 0;       // node mentions in it, its subgraphs' included
    std::uint64_t previous = 0;      // the members of the operand before an edge operator
    bool hasPrevious = false, afterEdgeOp = false;
    std::size_t chain = 0;
    void EndStatement() { hasPrevious = afterEdgeOp = false, chain = 0; }
};

} // namespace

TDotScan ScanDot(std::string_view text) {
    TDotScan scan;
    TLexer lexer(text);
    std::vector<TFrame> frames;
    std::unordered_map<std::string, std::uint64_t> named; // a named subgraph's members, all its bodies told
    std::uint64_t edges = 0, mentions = 0;
    std::string refusal;
    const auto refuse = [&](std::string why) {
        if (refusal.empty()) refusal = std::move(why);
    };
    // An operand of an edge statement (a node, 1, or a subgraph's members) in the innermost body.
    const auto operand = [&](std::uint64_t count) {
        TFrame& f = frames.back();
        if (f.afterEdgeOp && f.hasPrevious) {
            edges = Add(edges, Times(f.previous, count));
            if (++f.chain > MaxDotChain)
                refuse("its edge statement on line " + std::to_string(lexer.Line()) + " chains more than " +
                       std::to_string(MaxDotChain) + " nodes or subgraphs (a -> b -> ...), which is not read");
        } else {
            f.chain = 1;
        }
        f.previous = count;
        f.hasPrevious = true;
        f.afterEdgeOp = false;
        f.members = Add(f.members, count);
    };
    const auto open = [&](std::optional<std::string> name) {
        frames.push_back(TFrame{std::move(name)});
        if (frames.size() > MaxDotNesting + 1)
            refuse("its subgraphs on line " + std::to_string(lexer.Line()) + " are nested more than " +
                   std::to_string(MaxDotNesting) + " deep, which is not read");
    };

    // [strict] (graph | digraph) [ID] {: whatever comes before the first brace is the header.
    TToken t;
    while ((t = lexer.Next()) != TToken::Open)
        if (t == TToken::End) return scan;
    open(std::nullopt);

    while (!frames.empty() && refusal.empty()) {
        t = lexer.Next();
        if (t == TToken::End) break;
        TFrame& f = frames.back();
        switch (t) {
        case TToken::Open: open(std::nullopt); break;
        case TToken::Close: {
            const TFrame closed = frames.back();
            frames.pop_back();
            if (frames.empty()) {
                scan.end = lexer.Offset();
                scan.moreGraphs = lexer.Next() != TToken::End;
                break;
            }
            std::uint64_t count = closed.members;
            if (closed.name) count = named[*closed.name] = Add(named[*closed.name], closed.members);
            operand(count);
            break;
        }
        case TToken::OpenBracket:
            f.EndStatement();
            while ((t = lexer.Next()) != TToken::End && t != TToken::CloseBracket) {
            }
            break;
        case TToken::EdgeOp: f.afterEdgeOp = true; break;
        case TToken::Id:
            if (lexer.Keyword()) {
                if (lexer.Text() != "subgraph") {
                    f.EndStatement(); // graph, node, edge [...]
                    break;
                }
                std::optional<std::string> name;
                if (lexer.Peek() == TToken::Id) {
                    lexer.Next();
                    name = lexer.Text();
                }
                if (lexer.Peek() == TToken::Open) {
                    lexer.Next();
                    open(std::move(name));
                } else if (name) {
                    const auto found = named.find(*name);
                    operand(found == named.end() ? 0 : found->second);
                }
                break;
            }
            if (lexer.Peek() == TToken::Equals) { // name = value
                lexer.Next();
                lexer.Next();
                f.EndStatement();
                break;
            }
            mentions = Add(mentions, 1);
            operand(1);
            while (lexer.Peek() == TToken::Colon) { // a port
                lexer.Next();
                if (lexer.Peek() == TToken::Id) lexer.Next();
            }
            break;
        default: f.EndStatement(); break;
        }
        if (mentions > MaxDotNodeMentions)
            refuse("it names nodes more than " + std::to_string(MaxDotNodeMentions) + " times, which is not read");
    }
    if (!lexer.Refusal().empty())
        scan.refusal = lexer.Refusal();
    else if (!refusal.empty())
        scan.refusal = refusal;
    else if (edges > MaxDotEdges)
        scan.refusal = "its edge statements make " + std::to_string(edges) +
                       " edges (every member of a subgraph joined to every member of the next), more than the " +
                       std::to_string(MaxDotEdges) + " that are read";
    return scan;
}
