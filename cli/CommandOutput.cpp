#include "CommandOutput.h"

#include "GraphSource.h"
#include "SafeFile.h"

#include <cstdio>

#include <sys/stat.h>

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

bool SameFile(const std::string& input, const std::string& output) {
    struct stat a, b;
    return ::stat(input.c_str(), &a) == 0 && ::stat(output.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

int Fail(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return 1;
}

std::unique_ptr<Tgraph> ReadCommandGraph(const std::string& file, const std::optional<TLayout>& layout) {
    auto g = std::make_unique<Tgraph>();
    TGraphSource source;
    if (!ReadGraphSource(file, layout, *g, source)) {
        Fail(SourceFailureText(file, source));
        return nullptr;
    }
    if (!source.damage.empty()) {
        Fail(DamageText(file, source.damage));
        return nullptr;
    }
    for (const std::string& note : source.notes) std::fprintf(stderr, "%s\n", note.c_str());
    return g;
}

int ExportFormatsOf(const std::vector<std::string>& paths, std::vector<TExportFormat>& formats) {
    for (const std::string& path : paths) {
        const std::optional<TExportFormat> format = ExportFormatOf(path);
        if (!format)
            return Fail("Cannot export to " + Quoted(path) + ": unknown ending; the known ones are " +
                        KnownEndings(TFormatUse::Export));
        formats.push_back(*format);
    }
    return 0;
}

int RefuseGraphFile(const std::string& file, const std::vector<std::string>& outputs) {
    for (const std::string& output : outputs)
        if (SameFile(file, output)) return Fail("Cannot write " + Quoted(output) + ": it is the graph file being read");
    return 0;
}

int WriteOutputs(const std::vector<std::string>& outputs, const std::vector<std::string>& bytes) {
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (const TFileFailure failure = AsFileFailure(ReplaceFile(outputs[i], bytes[i])))
            return Fail(WriteFailureText(outputs[i], failure));
    return 0;
}
