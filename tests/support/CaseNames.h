#pragma once
// Names for the cases of parameterised suites, so that test lists read "Suite/Test/Name" rather
// than an index or a dump of the case's bytes. Every INSTANTIATE_TEST_SUITE_P passes a generator.

#include <cctype>
#include <string>

// The text as a test name: letters and digits kept, each run of anything else one '_', none at
// the end; "Empty" for a text with nothing left.
inline std::string TestName(const std::string& text) {
    std::string name;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            name += c;
        else if (name.empty() || name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_') name.pop_back();
    return name.empty() ? "Empty" : name;
}
