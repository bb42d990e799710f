#pragma once
// The spreadsheet export of a graph window: all its channels side by side on
// one sheet "Qor Player Data" of a new .xlsx workbook.
//
//   row 1      "Qor Player Export"
//   row 2      "Title" | the graph's main title
//   row 8      channel c's Title in column 2c+1
//   row 9      XUnits in column 2c+1, YUnits in column 2c+2
//   row 10+r   the r-th written X and Y sample of channel c, fixed notation
//              with 7 significant digits and 5 decimals, stored as numbers
//
// Only about one sample per millisecond is written (see GraphSheetStep). Y is
// written as stored: no sign change for inverted channels, -1 as a number.

#include "graphs/Channel.h"

#include <QString>
#include <vector>

// Every step-th sample of a channel is written: Round(rate / 1000) with
// rate = 1 / SampleInterval. Below about 500 samples per second that rounds
// to 0, which names no sample at all; such channels (and channels without a
// usable interval) have every sample written instead.
int GraphSheetStep(const TABChannel& channel);

// Writes the workbook to `path` (replacing it only on success). Returns false
// with a message in `error` when the file cannot be written or a channel has
// more rows than a sheet holds.
bool WriteGraphSpreadsheet(const QString& path, const QString& mainTitle,
                           const std::vector<const TABChannel*>& channels, QString* error);
