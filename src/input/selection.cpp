#include "input/selection.hpp"

#include <algorithm>

#include "console/run_stop.hpp"
#include "input/sample_table.hpp"
#include "input/text_fields.hpp"

namespace input {

namespace {

using console::ask_letter;
using console::Console;
using console::DialogueUnit;

// How a walk places its questions; the two variants differ only here.
struct WalkStyle {
  std::size_t clear_width;        // blanks that wipe the previous question
  std::string_view answers;       // follows the variable's name
  std::string_view log_question;  // asked on the same line
  std::size_t log_offset;         // columns right of the question's start
  int count_rows_below;           // where the running count stands
  bool count_ends_line;
};

constexpr WalkStyle text_walk{104, " (<Y>,N,S)   ", "LOGTRANSFORM? (Y,<N>,S)      ", 28, 1, false};
constexpr WalkStyle dbase_walk{81, " (<Y>,N,S) ", " LOGTRANSFORM? (Y,<N>,S) ", 24, 2, true};

// The one screen place where the walk asks, each question replacing the
// previous one. Output that is not a terminal cannot be overwritten, so
// there the questions follow each other line by line.
class QuestionPlace {
 public:
  QuestionPlace(Console& screen, const WalkStyle& style, bool line_open)
      : screen_(screen),
        style_(style),
        row_(screen.cursor_row() + (screen.cursor_column() > 1 ? 1 : 0)),
        line_open_(line_open) {}

  void ask_variable(const std::string& name) {
    std::string question(1, ' ');
    question += fixed_width(name, 10);
    question += style_.answers;
    if (screen_.is_terminal()) {
      if (refusal_shown_) {
        wipe_row(refusal_row());
        wipe_row(refusal_row() + 1);
        refusal_shown_ = false;
      }
      wipe_row(row_);
    } else if (line_open_) {
      screen_.write("\n");
    }
    screen_.write(question);
    written_ = question.size();
    line_open_ = true;
  }

  void ask_log() {
    if (screen_.is_terminal()) {
      screen_.set_cursor(row_, 1 + static_cast<int>(style_.log_offset));
    } else {
      screen_.write(std::string(style_.log_offset - written_, ' '));
    }
    screen_.write(style_.log_question);
  }

  void show_count(std::size_t count) {
    const std::string text =
        render_field("(' NUMBER OF SELECTED VARS = ',I2)", static_cast<int>(count));
    if (screen_.is_terminal()) {
      screen_.set_cursor(row_ + style_.count_rows_below, 1);
      screen_.write(text);
      if (style_.count_ends_line) screen_.write("\n");
    } else {
      screen_.write("\n");
      screen_.line(text);
      line_open_ = false;
    }
  }

  // A refused letter. On a terminal the refused answer is wiped from the
  // question's row, and the refusal and the prompt for a new answer stand on
  // two rows of their own below the count, wiped before they are written and
  // when the next question comes, so that they neither run into the count nor
  // stay behind.
  void show_refusal(std::string_view line, std::string_view prompt) {
    if (!screen_.is_terminal()) {
      screen_.line(line);
      screen_.write(prompt);
      return;
    }
    wipe_from(row_, answer_column_);
    wipe_row(refusal_row());
    screen_.write(line);
    wipe_row(refusal_row() + 1);
    screen_.write(prompt);
    refusal_shown_ = true;
  }

  char ask(DialogueUnit& dialogue, char default_letter, std::string_view allowed) {
    answer_column_ = screen_.cursor_column();
    return ask_letter(
        dialogue, default_letter, allowed,
        [this](std::string_view line, std::string_view prompt) { show_refusal(line, prompt); });
  }

 private:
  int refusal_row() const { return row_ + style_.count_rows_below + 1; }

  // Blanks the row from the column on and leaves the cursor there.
  void wipe_from(int row, int column) {
    const std::size_t before = static_cast<std::size_t>(column - 1);
    screen_.set_cursor(row, column);
    if (wipe_width() > before) screen_.write(std::string(wipe_width() - before, ' '));
    screen_.set_cursor(row, column);
  }

  void wipe_row(int row) { wipe_from(row, 1); }

  // Blanks that reach past the window's edge would wrap onto the line below
  // (and scroll the screen when the question stands on its last line).
  std::size_t wipe_width() const {
    const int columns = screen_.columns();
    if (columns <= 1) return style_.clear_width;
    return std::min(style_.clear_width, static_cast<std::size_t>(columns - 1));
  }

  Console& screen_;
  const WalkStyle& style_;
  int row_;
  bool line_open_;
  std::size_t written_ = 0;
  int answer_column_ = 1;  // where the answer to the last question was typed
  bool refusal_shown_ = false;
};

// The log question of a taken variable. S answers N for this variable and
// for every later one of the pass.
int ask_log_flag(DialogueUnit& dialogue, QuestionPlace& place, bool& log_stopped) {
  place.ask_log();
  const char answer = place.ask(dialogue, 'N', "YNS");
  if (answer == 'S') log_stopped = true;
  return answer == 'Y' ? 1 : 0;
}

void write_rule(Console& screen) {
  screen.line(std::string(1, ' ') + std::string(35, '-'));
}

void list_text_variables(Console& screen, const std::vector<std::string>& names,
                         const std::string* identifier_name) {
  format::Values entries;
  if (identifier_name) {
    entries.emplace_back(0);
    entries.emplace_back(fixed_width(*identifier_name, 10));
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    entries.emplace_back(static_cast<int>(i + 1));
    entries.emplace_back(fixed_width(names[i], 10));
  }
  screen.write("\n\n");
  if (!entries.empty()) {
    screen.write(format::write(
        identifier_name ? "(4(:2X,I2,3X,A10,3X))" : "(4(:' |',I2,3X,A10,' | '))", entries));
  }
  if (identifier_name) screen.line(" The first (character) variable is used as sample ID ");
}

void walk_text_variables(DialogueUnit& dialogue, const std::vector<std::string>& names,
                         Selection& selection, bool line_open) {
  QuestionPlace place(dialogue.screen(), text_walk, line_open);
  bool log_stopped = false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    place.ask_variable(names[i]);
    const char answer = place.ask(dialogue, 'Y', "YNS");
    if (answer == 'Y') {
      SelectedVariable taken{static_cast<int>(i + 1), fixed_width(names[i], 10), 0};
      if (!log_stopped) taken.log_flag = ask_log_flag(dialogue, place, log_stopped);
      selection.selected.push_back(taken);
    }
    place.show_count(selection.selected.size());
    if (answer == 'S') return;
  }
}

Selection run_text_pass(DialogueUnit& dialogue, const std::vector<std::string>& names,
                        const std::string* identifier_name) {
  Console& screen = dialogue.screen();
  screen.write("\n\n\n");
  write_rule(screen);
  list_text_variables(screen, names, identifier_name);
  screen.write("\n\n\n");
  write_rule(screen);
  Selection selection;
  if (!identifier_name) {
    screen.write(" Do you want extraction of a numeric sample ID variable (Y,<N>)? ");
    selection.numeric_id = ask_letter(dialogue, 'N', "YN");
  }
  walk_text_variables(dialogue, names, selection, identifier_name == nullptr);
  return selection;
}

// Shows the pass's result and asks whether it is right.
bool confirm_selection(DialogueUnit& dialogue, const Selection& selection) {
  Console& screen = dialogue.screen();
  console::clear_console(screen);
  screen.write("\n\n\n");
  screen.line(" The following numeric variables were selected:");
  int number = 0;
  for (const SelectedVariable& v : selection.selected) {
    ++number;
    screen.print(v.log_flag == 1 ? "(15X,I2,1X,A10,2X,'LOG')" : "(15X,I2,1X,A10)", number, v.name);
  }
  screen.line();
  screen.write(" Is this correct <Y>: ");
  return ask_letter(dialogue, 'Y', "YN") == 'Y';
}

// dBase variant -------------------------------------------------------------

void list_dbase_fields(Console& screen, const std::vector<DbaseField>& fields) {
  format::Values entries;
  for (std::size_t j = 0; j < fields.size(); ++j) {
    entries.emplace_back(static_cast<int>(j + 1));
    entries.emplace_back(fixed_width(fields[j].name, 10));
    entries.emplace_back(std::string(1, fields[j].type));
  }
  screen.write("\n\n");
  if (!entries.empty()) screen.write(format::write("(4(:1X,I2,1X,A10,1X,A1))", entries));
}

char ask_dbase_numeric_id(DialogueUnit& dialogue, const std::vector<DbaseField>& fields) {
  Console& screen = dialogue.screen();
  bool has_character = false;
  for (const DbaseField& f : fields) has_character = has_character || f.type == 'C';
  screen.line();
  if (has_character) {
    screen.line(" Only the first variable may be a character variable! (sample-ID)");
    screen.line();
    screen.write(" Or do you want a numeric sample ID variable?  (Y,<N>): ");
  } else {
    screen.write(" Do you want a numeric sample ID variable?  (Y,<N>): ");
  }
  return ask_letter(dialogue, 'N', "YN");
}

// A character field can only be the sample ID, and only the first field
// taken, when no numeric ID is wanted.
bool is_offered(const DbaseField& field, const DbaseSelection& selection) {
  if (field.is_numeric()) return true;
  return field.type == 'C' && selection.selected.empty() && selection.numeric_id == 'N' &&
         selection.character_field == 0;
}

void append_piece(std::string& layout, const std::string& piece) {
  if (layout.size() > 993) throw console::RunStop("ARRAY NOT LARGE ENOUGH FOR FORMAT");
  layout += piece;
}

void walk_dbase_fields(DialogueUnit& dialogue, const std::vector<DbaseField>& fields,
                       DbaseSelection& selection) {
  QuestionPlace place(dialogue.screen(), dbase_walk, true);
  bool log_stopped = false;
  selection.record_layout = "(1X,";
  for (std::size_t j = 0; j < fields.size(); ++j) {
    const DbaseField& field = fields[j];
    FieldUse use = FieldUse::skipped;
    char answer = 'N';
    if (is_offered(field, selection)) {
      place.ask_variable(field.name);
      answer = place.ask(dialogue, 'Y', "YNS");
      if (answer == 'Y' && field.is_numeric()) {
        SelectedVariable taken{static_cast<int>(j + 1), fixed_width(field.name, 10), 0};
        if (!log_stopped) taken.log_flag = ask_log_flag(dialogue, place, log_stopped);
        selection.selected.push_back(taken);
        use = FieldUse::numeric;
      } else if (answer == 'Y') {
        selection.character_field = static_cast<int>(j + 1);
        use = FieldUse::identifier;
      }
      place.show_count(selection.selected.size());
    }
    append_piece(selection.record_layout, record_layout_piece(field.length, use));
    if (answer == 'S') break;
  }
  selection.record_layout += ")";
}

DbaseSelection run_dbase_pass(DialogueUnit& dialogue, const std::vector<DbaseField>& fields) {
  list_dbase_fields(dialogue.screen(), fields);
  DbaseSelection selection;
  selection.numeric_id = ask_dbase_numeric_id(dialogue, fields);
  walk_dbase_fields(dialogue, fields, selection);
  return selection;
}

}  // namespace

Selection select_text_variables(DialogueUnit& dialogue, const std::vector<std::string>& names,
                                const std::string* identifier_name) {
  Selection selection;
  do {
    selection = run_text_pass(dialogue, names, identifier_name);
  } while (!confirm_selection(dialogue, selection));
  ask_id_column(dialogue, selection);
  return selection;
}

void ask_id_column(DialogueUnit& dialogue, Selection& selection) {
  selection.id_column = 0;
  if (selection.numeric_id != 'Y') return;
  Console& screen = dialogue.screen();
  const int count = static_cast<int>(selection.selected.size());
  if (count == 0) {
    screen.line(" NO VARIABLE SELECTED FOR THE SAMPLE ID: THE SAMPLE NUMBERS ARE USED");
    selection.numeric_id = 'N';
    return;
  }
  for (;;) {
    screen.write(" Give column nr ID variable <1>: ");
    const int column = console::ask_integer(dialogue, 1);
    if (column >= 1 && column <= count) {
      selection.id_column = column;
      return;
    }
    screen.line(" ID COLUMN MUST BE A NUMBER FROM 1 TO " + std::to_string(count) + ". REDO!");
  }
}

DbaseSelection select_dbase_fields(DialogueUnit& dialogue, const std::vector<DbaseField>& fields) {
  DbaseSelection selection;
  do {
    selection = run_dbase_pass(dialogue, fields);
  } while (!confirm_selection(dialogue, selection));
  return selection;
}

std::string record_layout_piece(int length, FieldUse use) {
  std::string width = std::to_string(length);
  if (width.size() < 2) width.insert(0, 1, ' ');
  std::string piece;
  switch (use) {
    case FieldUse::numeric:
      piece = std::string("F") + width + ".0,";
      break;
    case FieldUse::identifier:
      piece = std::string("A") + width + ",";
      break;
    case FieldUse::skipped:
      piece = width + "X,";
      break;
  }
  if (piece.size() < 6) piece.resize(6, ' ');
  return piece;
}

}  // namespace input
