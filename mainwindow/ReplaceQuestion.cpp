// The question before a save writes over a file that is not the graph's own, and the name Save
// proposes for an imported graph.

#include "TForm1.h"

#include "QuestionBox.h"
#include "TextCodec.h"

#include <sys/stat.h>

bool TForm1::ConfirmReplace(const std::string& path, bool own) {
    struct stat st;
    if (own || stat(path.c_str(), &st) != 0) return true;
    const std::size_t slash = path.rfind('/');
    const QString question = QStringLiteral("\"%1\" already exists. Replace it?")
                                 .arg(DecodeText(slash == std::string::npos ? path : path.substr(slash + 1)));
    if (AskReplace) return AskReplace(question);
    return AskQuestion(this, question,
                       {{QStringLiteral("&Replace"), QMessageBox::AcceptRole},
                        {QStringLiteral("Cancel"), QMessageBox::RejectRole}},
                       1, 1) == 0;
}

std::string GraphFileBeside(const std::string& source) {
    const std::size_t nameStart = source.rfind('/') == std::string::npos ? 0 : source.rfind('/') + 1;
    const std::size_t dot = source.rfind('.');
    // A dot that starts the name is no ending: ".graphml" becomes ".graphml.gf4".
    const std::size_t end = dot != std::string::npos && dot > nameStart ? dot : source.size();
    return source.substr(0, end) + ".gf4";
}
