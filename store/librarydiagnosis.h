#pragma once

#include <QString>

#include <atomic>

// What is wrong with a library file, told in words the user reads: a file that is not there, a
// header that was overwritten, a file cut short, damaged pages and the part of the library they
// belong to, or tables that are missing.
namespace LibraryDiagnosis {

// Empty when nothing is found within `checkLimitMs` (a page check not finished in time finds
// nothing). Never throws.
QString problemOf(const QString& path, int checkLimitMs, const std::atomic_bool* cancel = nullptr);

// The words for the complaint of a page check on that file, for a check already made.
QString describeCheck(const QString& path, const QString& complaint);

} // namespace LibraryDiagnosis
