#pragma once
// File-name helpers shared by every save dialog and the range exporter.

#include <QString>

// Zero-padded frame number for exported file names. The width is the larger
// digit count of |first| and |last|; negative frames get a leading "-". In
// name order the non-negative frames sort in frame order, but the negative
// ones come first and backwards ("-001" after "-002", then "000"): tools that
// read a sequence by name want the range-index numbering of the exporter.
// NumberText(7, -100, 5000) == "0007", NumberText(-7, -100, 5000) == "-0007".
QString NumberText(int n, int first, int last);

// True when the name part (after the last folder separator) has 1 to 255
// characters and none of \ / : * ? < > | or a double quote, and the folder
// part names an existing folder. With mustExist the file itself must exist
// too. A name that is itself an existing folder is never valid: nothing
// could be written under it.
bool IsValidFileName(const QString& fileName, bool mustExist);

// The extension of a file name taken from the last "." of its name part,
// dot included ("a/b.c.tif" -> ".tif", "a.b/c" -> ""). A name without a dot
// has no extension.
QString FileExtension(const QString& fileName);

// The folder part of a file name, separator included ("a/b/c.tif" -> "a/b/").
QString FileFolder(const QString& fileName);

// The file name without its extension ("a/b.c.tif" -> "a/b.c").
QString FileBaseName(const QString& fileName);
