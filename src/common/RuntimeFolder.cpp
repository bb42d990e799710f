#include "common/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

void EnsureRuntimeFolder()
{
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        return;
    const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-%1").arg(getuid());
    if (!QDir().mkpath(runtime))
        return;
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
}
