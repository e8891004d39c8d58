// Reading a file leaves the C libraries as it found them: libxml2's global error function and
// Graphviz's error level are given back after every GraphML and DOT file, read or refused.

#include "ImportGraph.h"

#include <graphviz/cgraph.h>
#include <libxml/xmlerror.h>

#include <gtest/gtest.h>

namespace {

void Collect(void* context, const char*, ...) { ++*static_cast<int*>(context); }

TEST(ImportLibraries, ErrorHandlersAreGivenBack) {
    int calls = 0;
    xmlSetGenericErrorFunc(&calls, Collect);
    const agerrlevel_t level = agseterr(AGWARN);
    for (const auto& [format, text] : std::initializer_list<std::pair<TImportFormat, const char*>>{
             {TImportFormat::GraphML, "<graphml><graph edgedefault=\"directed\"><node id=\"a\"/></graph></graphml>"},
             {TImportFormat::GraphML, "<graphml><graph><node id=\"\xC3\"/></graph></graph"},
             {TImportFormat::Dot, "digraph { a -> b }"},
             {TImportFormat::Dot, "digraph { a -> }"}}) {
        SCOPED_TRACE(text);
        Tgraph g;
        TImportResult result;
        ImportGraphText(text, format, g, result);
        EXPECT_EQ(xmlGenericErrorContext, &calls);
        EXPECT_EQ(xmlGenericError, &Collect);
        EXPECT_EQ(agseterr(AGWARN), AGWARN);
    }
    agseterr(level);
    xmlSetGenericErrorFunc(nullptr, nullptr);
}

} // namespace
