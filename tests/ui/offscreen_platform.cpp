// The widget tests run without a display: the offscreen platform is chosen before the
// application object exists, also when the test list is read at build time.
#include <QByteArray>
#include <QtGlobal>

namespace {
const bool offscreenPlatform = [] {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    return true;
}();
} // namespace
