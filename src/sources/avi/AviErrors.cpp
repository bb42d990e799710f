#include "sources/avi/AviErrors.h"

#include <array>
#include <utility>

QString AviErrorName(uint32_t code)
{
    static const std::array<std::pair<uint32_t, const char*>, 19> names{{
        {AviError::Unsupported, "AVIERR_UNSUPPORTED"},
        {AviError::BadFormat, "AVIERR_BADFORMAT"},
        {AviError::Memory, "AVIERR_MEMORY"},
        {AviError::Internal, "AVIERR_INTERNAL"},
        {AviError::BadFlags, "AVIERR_BADFLAGS"},
        {AviError::BadParam, "AVIERR_BADPARAM"},
        {AviError::BadSize, "AVIERR_BADSIZE"},
        {AviError::BadHandle, "AVIERR_BADHANDLE"},
        {AviError::FileRead, "AVIERR_FILEREAD"},
        {AviError::FileWrite, "AVIERR_FILEWRITE"},
        {AviError::FileOpen, "AVIERR_FILEOPEN"},
        {AviError::Compressor, "AVIERR_COMPRESSOR"},
        {AviError::NoCompressor, "AVIERR_NOCOMPRESSOR"},
        {AviError::ReadOnly, "AVIERR_READONLY"},
        {AviError::NoData, "AVIERR_NODATA"},
        {AviError::BufferTooSmall, "AVIERR_BUFFERTOOSMALL"},
        {AviError::CantCompress, "AVIERR_CANTCOMPRESS"},
        {AviError::UserAbort, "AVIERR_USERABORT"},
        {AviError::Error, "AVIERR_ERROR"},
    }};
    for (const auto& [value, name] : names) {
        if (value == code)
            return QString::fromLatin1(name);
    }
    return QString();
}

QString ReportAviErrorText(const QString& step, uint32_t code)
{
    if (code == AviError::Ok)
        return QString();
    QString name = AviErrorName(code);
    if (name.isEmpty())
        name = QStringLiteral("Unknown Error ") + QString::number(code, 16).toUpper();
    return step + QStringLiteral(" : ") + name;
}

QString AviFrameLabel(int n, const QString& previousLabel)
{
    if (n < 0 || n >= 1000)
        return previousLabel;
    return QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0'));
}
