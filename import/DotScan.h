#pragma once
// Internal to the DOT reader: a pass over a DOT text before Graphviz's parser sees it, which
// measures what the parser would build. Graphviz builds every edge of a statement between
// subgraphs (the product of their members), joins a concatenation "a" + "b" + ... piece by
// piece, and keeps nested subgraphs and edge chains on a bounded stack: a small file can ask for
// gigabytes, minutes, or a crash. The pass is linear in the text and keeps a few counters a
// subgraph; what it finds beyond the bounds below is refused before the parser runs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The edges the statements of a file may make (10 times what the record holds: parallel edges are
// merged later), the nodes they may name, the nesting of subgraphs and the length of one chain
// a -> b -> c ... that the parser's stack takes, and the pieces of one concatenated string.
constexpr std::uint64_t MaxDotEdges = 100000, MaxDotNodeMentions = 1000000;
constexpr std::size_t MaxDotNesting = 100, MaxDotChain = 1000, MaxDotPieces = 1000;

struct TDotScan {
    std::string refusal;     // what is beyond the bounds, as "it ..."; empty when the text is within them
    bool moreGraphs = false; // another graph follows the first, which is all Graphviz reads
    // Where the first graph ends (after its closing brace), when it does: what follows is not for
    // Graphviz's parser, whose reader would keep it for the next text it is given.
    std::size_t end = std::string_view::npos;
};

TDotScan ScanDot(std::string_view text);
