#pragma once

#include <QString>

// The application title, derived from the program file's name: the folder removed,
// the name cut at its first period, every character after the first in lower case.
QString applicationTitleFrom(const QString& programPath);

// The title of the running program (notice and error boxes).
QString applicationTitle();
