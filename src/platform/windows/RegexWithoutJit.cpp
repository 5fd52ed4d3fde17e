#include <QByteArray>
#include <QtGlobal>

// Qt keeps the stack of its regular expressions' just-in-time compiler in a thread_local. MinGW's
// runtime frees a thread_local's storage before running its destructor when a thread other than the
// main one ends, so every such thread that matched an expression left the heap damaged, and the
// program later crashed or never ended. The expressions here are few and short: they match without
// the compiler, set before the first one is compiled, which is when Qt reads the setting.
namespace {

[[maybe_unused]] const bool jitOff = qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));

} // namespace
