// GoogleTest entry for the window tests: one application object for the whole run, on the
// offscreen platform unless another was asked for, with a state folder of its own, so that the
// recovery files of the windows under test never mix with the user's.

#include "ErrorHandler.h"
#include "Files.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const TempFolder state;
    if (state.path.empty()) return 1;
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(state.path));
    TApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
