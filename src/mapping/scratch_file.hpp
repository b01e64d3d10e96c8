#pragma once

// The distance scratch files NLMA.TMP (target distances) and NLMB.TMP (map
// distances). The program writes them for the user to look at and never
// reads them back.
//
// A dump holds every entry of a distance array, all dump_entries of them, as
// free-field text: the shortest decimal form that reads back to the same
// float (inf and nan for distances that overflowed), the repeat form
// r*value for a run of equal values (so the unused zero tail costs one
// item), eight items to a line, and a new line every chunk of 2^18 entries.
// Reading a dump back restores the array bit for bit.
//
// A dump replaces the whole file: the text goes to a file of this process's
// own beside it, which then takes the file's name. Two runs that dump the
// same file at the same time each leave a whole dump; the file ends as the
// one that came last.

#include <cstddef>
#include <span>
#include <string>

#include "parallel/team.hpp"

namespace mapping {

// Entries in one dump: the size of a packed distance array for the largest
// sample count the tables were laid out for.
inline constexpr std::size_t dump_entries = 32'000'000;

// Opens the file as every mapping does at its start: a file that exists
// keeps what it holds, a missing one is created empty.
void open_scratch_file(const std::string& name);

// Replaces the file by a dump of values followed by zeros up to
// dump_entries. The team formats chunks side by side; the text does not
// depend on the team's size.
void dump_scratch_file(const std::string& name, std::span<const float> values,
                       parallel::Team& team);

}  // namespace mapping
