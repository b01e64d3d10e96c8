#include "input/storing.hpp"

#include <cmath>

#include "console/printable.hpp"
#include "input/text_fields.hpp"

namespace input {

std::string sample_number_id(int k) {
  return render_field("(I10)", k);
}

std::string numeric_id_two_decimals(float value) {
  return render_field("(F10.2)", value);
}

std::string numeric_id_no_decimals(float value) {
  return render_field("(F10.0)", value);
}

std::string character_id(std::string_view field) {
  const std::size_t end = field.find_last_not_of(' ');
  const std::string_view value = end == std::string_view::npos ? "" : field.substr(0, end + 1);
  return fixed_width(value.size() > 10 ? value.substr(value.size() - 10) : value, 10);
}

float apply_log_rule(float value, float missing_code, console::Console& screen) {
  if (value == missing_code) return missing_code;
  if (value > 0.0f) return std::log10(value);
  screen.line("ATTEMPTING TO TAKE LOG FROM NEGATIVE. CHECK!");
  return missing_code;
}

namespace {

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return text.substr(0, 0);
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void warn_not_a_number(console::Console& screen, std::string_view place, std::string_view variable,
                       std::string_view text) {
  std::string message(1, ' ');
  message += place;
  message += ", ";
  message += console::printable(trimmed(variable));
  message += ": '";
  message += console::printable(trimmed(text));
  message += "' IS NOT A NUMBER, MISSING-VALUE CODE STORED";
  screen.line(message);
}

void place_selected_columns(SampleTable& table, const Selection& selection, int left_out) {
  int column = 0;
  for (std::size_t i = 0; i < selection.selected.size(); ++i) {
    if (static_cast<int>(i + 1) == left_out) continue;
    table.names[column] = selection.selected[i].name;
    table.log_flags[column] = selection.selected[i].log_flag;
    ++column;
  }
  table.variable_count = column;
  for (std::size_t j = column; j < table.names.size(); ++j) {
    table.names[j] = std::string(10, ' ');
    table.log_flags[j] = 0;
  }
}

RowStore::RowStore(SampleTable& table, const Selection& selection, console::Console& screen,
                   bool character_id)
    : table_(table), selection_(selection), screen_(screen), character_id_(character_id) {
  place_selected_columns(table, selection, selection.id_column);
}

void RowStore::store(int k, std::span<const float> values) {
  const int c = selection_.id_column;
  if (c > 0) {
    table_.ids[k - 1] = numeric_id_two_decimals(values[c - 1]);
  } else if (!character_id_) {
    table_.ids[k - 1] = sample_number_id(k);
  }
  int column = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (static_cast<int>(i + 1) == c) continue;
    ++column;
    table_.value(k, column) = table_.log_flags[column - 1] == 1
                                  ? apply_log_rule(values[i], table_.missing_code, screen_)
                                  : values[i];
  }
}

void take_numeric_id_column(SampleTable& table, int c) {
  for (int k = 1; k <= table.sample_count; ++k) {
    table.ids[k - 1] = numeric_id_no_decimals(table.value(k, c));
  }
  const int last = table.variable_count;
  table.remove_column(c);
  table.names[last - 1] = std::string(10, ' ');
  table.log_flags[last - 1] = 0;
}

void log_transform_columns(SampleTable& table, console::Console& screen) {
  for (int j = 1; j <= table.variable_count; ++j) {
    if (table.log_flags[j - 1] != 1) continue;
    for (int k = 1; k <= table.sample_count; ++k) {
      table.value(k, j) = apply_log_rule(table.value(k, j), table.missing_code, screen);
    }
  }
}

}  // namespace input
