#pragma once
// Texts shown for AVI failures and the frame label of AVI documents.
//
// The error codes are the Video for Windows AVIERR_* values, so messages read
// the same as users know them; AviWriter reports its failures with these
// codes too (AviWriter::lastErrorCode()).

#include <QString>
#include <cstdint>

namespace AviError {
// MAKE_AVIERR(n) = 0x80044000 + n (severity error, facility ITF).
constexpr uint32_t make(uint32_t n) { return 0x80044000u + n; }

constexpr uint32_t Ok = 0;
constexpr uint32_t Unsupported = make(101);
constexpr uint32_t BadFormat = make(102);
constexpr uint32_t Memory = make(103);
constexpr uint32_t Internal = make(104);
constexpr uint32_t BadFlags = make(105);
constexpr uint32_t BadParam = make(106);
constexpr uint32_t BadSize = make(107);
constexpr uint32_t BadHandle = make(108);
constexpr uint32_t FileRead = make(109);
constexpr uint32_t FileWrite = make(110);
constexpr uint32_t FileOpen = make(111);
constexpr uint32_t Compressor = make(112);
constexpr uint32_t NoCompressor = make(113);
constexpr uint32_t ReadOnly = make(114);
constexpr uint32_t NoData = make(115);
constexpr uint32_t BufferTooSmall = make(116);
constexpr uint32_t CantCompress = make(117);
constexpr uint32_t UserAbort = make(198);
constexpr uint32_t Error = make(199);
} // namespace AviError

// "AVIERR_FILEWRITE" etc. for a known code; an empty string otherwise.
QString AviErrorName(uint32_t code);

// The message for a failed AVI step: empty for code 0 (nothing to report),
// else step + " : " + the code's name, or step + " : Unknown Error " + the
// code in upper-case hex ("Write Frame : Unknown Error 80004005").
// The caller shows a non-empty text in a message box.
QString ReportAviErrorText(const QString& step, uint32_t code);

// The `FrameLabel` of an AVI document after frame n was loaded: frames 0..999
// give five digits with leading zeros ("00042"); any other n leaves the
// previous label unchanged.
QString AviFrameLabel(int n, const QString& previousLabel);
