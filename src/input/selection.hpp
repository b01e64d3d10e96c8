#pragma once

// The selection dialogue: the user walks once through the variables of a
// file, in file order, takes or leaves each one, chooses its log transform
// and the sample identifier.

#include <string>
#include <vector>

#include "console/dialogue.hpp"

namespace input {

struct SelectedVariable {
  int position = 0;  // number of the variable (or dBase field) in the file, from 1
  std::string name;  // 10 characters
  int log_flag = 0;  // 1 = stored as base-10 logarithms
};

struct Selection {
  std::vector<SelectedVariable> selected;  // in the order taken
  char numeric_id = 'N';                   // Y: one selected variable is the sample ID
  int id_column = 0;                       // its number in the selected list; 0 = none
};

// Fixed-layout and comma-separated data. names are the numeric variables in
// file order; identifier_name is the character identifier of a fixed-layout
// record, or null when the records have none. Repeats whole passes until the
// user confirms one, then asks the ID column when a numeric ID was wanted.
Selection select_text_variables(console::DialogueUnit& dialogue,
                                const std::vector<std::string>& names,
                                const std::string* identifier_name);

// " Give column nr ID variable <1>: ", asked again until the number is one
// of the selected_count variables. With nothing selected there is no ID
// variable to take: numeric_id becomes N and the column 0.
void ask_id_column(console::DialogueUnit& dialogue, Selection& selection);

// One field of a dBase table as the selection sees it.
struct DbaseField {
  std::string name;  // 10 characters
  char type = ' ';   // N numeric, F float, C character, others never offered
  int length = 0;    // bytes
  // dBase IV float fields hold their numbers as text, like numeric fields.
  bool is_numeric() const { return type == 'N' || type == 'F'; }
};

struct DbaseSelection : Selection {
  int character_field = 0;    // number of the field taken as sample ID; 0 = none
  std::string record_layout;  // cuts a record into the taken values
};

// The dBase variant: every field is listed, numeric fields are offered, and a
// character field while nothing is taken yet. The ID column is asked after
// the records are read, not here.
DbaseSelection select_dbase_fields(console::DialogueUnit& dialogue,
                                   const std::vector<DbaseField>& fields);

// The piece of the record layout text for one field visited by the walk.
enum class FieldUse { skipped, numeric, identifier };
std::string record_layout_piece(int length, FieldUse use);

}  // namespace input
