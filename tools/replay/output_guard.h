#pragma once

#include <string>
#include <vector>

namespace vz {

// Different spellings of one file ("x.csv", "./x.csv", a symbolic link, a
// hard link) compare equal.
bool sameFile(const std::string& a, const std::string& b);

// The names an output writes under: itself and its temporary ".partial"
// name, which is opened for writing too and so can clobber just as well.
std::vector<std::string> namesWritten(const std::string& output);

// The 42 history files and 14 real-time files a run reads from `folder`.
std::vector<std::string> filesReadFrom(const std::string& folder);

// "" when no output of the run is one of the files it reads; otherwise the
// one-line description of the first clash. Checked before anything is
// written, so a refused run leaves every input as it was.
std::string checkOutputsSpareInputs(const std::string& folder,
                                    const std::vector<std::string>& outputs);

} // namespace vz
