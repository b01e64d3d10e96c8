#include "input/dbase_reader.hpp"

#include <array>
#include <cmath>
#include <fstream>

#include "console/printable.hpp"
#include "console/run_stop.hpp"
#include "format/layout.hpp"
#include "input/file_names.hpp"
#include "input/listing.hpp"
#include "input/storing.hpp"

namespace input {

namespace {

using console::RunStop;

constexpr std::size_t header_size = 32;
constexpr std::size_t descriptor_size = 32;
constexpr char header_terminator = 13;
constexpr int buffer_size = 10000;
constexpr char end_of_file_byte = 26;

int little_endian(unsigned char low, unsigned char high) {
  return low | (high << 8);
}

void read_bytes(std::istream& file, char* into, std::size_t count, const std::string& name) {
  file.read(into, static_cast<std::streamsize>(count));
  if (static_cast<std::size_t>(file.gcount()) != count) {
    throw RunStop("DBASE FILE " + name + " ENDS INSIDE ITS HEADER");
  }
}

// The name is cut at its first zero byte.
std::string clean_name(const char* bytes) {
  std::string name(bytes, 10);
  const std::size_t zero = name.find('\0');
  if (zero != std::string::npos) name.replace(zero, std::string::npos, 10 - zero, ' ');
  return name;
}

DbaseField read_descriptor(std::istream& file, char first, const std::string& name) {
  std::array<char, descriptor_size> d{};
  d[0] = first;
  read_bytes(file, d.data() + 1, descriptor_size - 1, name);
  DbaseField field;
  field.name = clean_name(d.data());
  field.type = d[11];
  field.length = static_cast<unsigned char>(d[16]);
  return field;
}

void count_field(DbaseHeader& header, const DbaseField& field) {
  header.fields.push_back(field);
  header.record_length += field.length;
  if (field.type == 'C') ++header.character_fields;
  if (field.is_numeric()) ++header.numeric_fields;
}

// Later dBase versions and other writers put bytes between the terminator and
// the first record; the header says where the records begin.
void move_to_first_record(std::istream& file, int stored_offset, std::size_t read,
                          const std::string& name) {
  if (static_cast<std::size_t>(stored_offset) < read) {
    throw RunStop("DBASE FILE " + name + ": ITS HEADER LENGTH DOES NOT FIT ITS FIELD DESCRIPTORS");
  }
  file.ignore(static_cast<std::streamsize>(stored_offset - read));
}

void check_record_length(const DbaseHeader& header, int stored, const std::string& name) {
  if (stored == header.record_length) return;
  throw RunStop("DBASE FILE " + name + ": RECORD LENGTH " + std::to_string(stored) +
                " IN THE HEADER, BUT ITS FIELDS TAKE " + std::to_string(header.record_length));
}

bool only(std::string_view text, char c) {
  return text.find_first_not_of(c) == std::string_view::npos;
}

// Cuts the records of one chunk into the table's rows.
class DbaseRecords {
 public:
  DbaseRecords(const DbaseSelection& selection, SampleTable& table, console::Console& screen)
      : layout_(format::Layout::parse(selection.record_layout)),
        selection_(selection),
        table_(table),
        screen_(screen),
        first_(selection.character_field > 0 ? 1 : 0) {}

  void store(int k, std::string_view bytes) {
    format::StringLines record(std::vector<std::string>{std::string(bytes)});
    format::read(layout_, record, static_cast<int>(selection_.selected.size()) + first_, fields_);
    if (first_ == 1) table_.ids[k - 1] = character_id(fields_[0].text);
    for (std::size_t i = 0; i < selection_.selected.size(); ++i) {
      table_.value(k, static_cast<int>(i + 1)) = value(fields_[first_ + i].text, k, i);
    }
  }

 private:
  float value(const std::string& text, int k, std::size_t i) {
    float v = 0.0f;
    if (read_dbase_number(text, table_.missing_code, v)) return v;
    warn_not_a_number(screen_, "RECORD " + std::to_string(k), selection_.selected[i].name, text);
    return table_.missing_code;
  }

  format::Layout layout_;
  const DbaseSelection& selection_;
  SampleTable& table_;
  console::Console& screen_;
  int first_;
  std::vector<format::Field> fields_;
};

// The largest number of whole records that fits the buffer, and at least one
// record however long it is.
std::size_t chunk_size(int record_length) {
  const int records = std::max(1, buffer_size / record_length);
  return static_cast<std::size_t>(records) * static_cast<std::size_t>(record_length);
}

void set_identifiers(console::DialogueUnit& dialogue, DbaseSelection& selection,
                     SampleTable& table) {
  ask_id_column(dialogue, selection);
  if (selection.id_column > 0) {
    take_numeric_id_column(table, selection.id_column);
  } else if (selection.character_field == 0) {
    for (int k = 1; k <= table.sample_count; ++k) table.ids[k - 1] = sample_number_id(k);
  }
}

// A record cut short by the end of the file is not read, and so is told.
void warn_cut_record(console::Console& screen, const std::string& name, int records,
                     std::size_t rest) {
  screen.line(" DBASE FILE " + console::printable(name) + " ENDS INSIDE RECORD " +
              std::to_string(records + 1) + ": ITS " + std::to_string(rest) +
              " BYTES ARE NOT READ");
}

}  // namespace

DbaseHeader read_dbase_header(std::istream& file, const std::string& name) {
  std::array<char, header_size> head{};
  read_bytes(file, head.data(), header_size, name);
  DbaseHeader header;
  std::size_t read = header_size;
  for (;;) {
    char first = 0;
    read_bytes(file, &first, 1, name);
    ++read;
    if (first == header_terminator) break;
    count_field(header, read_descriptor(file, first, name));
    read += descriptor_size - 1;
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(head.data());
  move_to_first_record(file, little_endian(bytes[8], bytes[9]), read, name);
  check_record_length(header, little_endian(bytes[10], bytes[11]), name);
  return header;
}

bool read_dbase_number(std::string_view field, float missing_code, float& value) {
  const std::size_t first = field.find_first_not_of(' ');
  if (first == std::string_view::npos ||
      only(field.substr(first, field.find_last_not_of(' ') - first + 1), '*')) {
    value = missing_code;
    return true;
  }
  return format::read_real(field, 0, value) && std::isfinite(value);
}

long long read_dbase_records(std::istream& file, const DbaseHeader& header,
                             const DbaseSelection& selection, SampleTable& table,
                             console::Console& screen) {
  DbaseRecords records(selection, table, screen);
  const std::size_t length = static_cast<std::size_t>(header.record_length);
  std::vector<char> buffer(chunk_size(header.record_length));
  long long total = 0;
  int k = 0;
  // The end-of-file byte where a record would begin ends the records: no
  // record starts with it, and what a writer leaves behind it is no sample.
  bool marked_end = false;
  for (;;) {
    file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const std::size_t got = static_cast<std::size_t>(file.gcount());
    total += static_cast<long long>(got);
    std::size_t at = 0;
    for (; !marked_end && at + length <= got; at += length) {
      if (buffer[at] == end_of_file_byte) {
        marked_end = true;
        break;
      }
      if (++k > limits::max_samples) throw RunStop("TOO MANY OBJECTS FOR PROGRAM");
      records.store(k, std::string_view(buffer.data() + at, length));
    }
    if (got < buffer.size()) {
      if (!marked_end && at < got && buffer[at] != end_of_file_byte) {
        warn_cut_record(screen, table.data_file, k, got - at);
      }
      break;
    }
  }
  table.sample_count = k;
  return total;
}

void read_dbase(console::DialogueUnit& dialogue, SampleTable& table) {
  console::Console& screen = dialogue.screen();
  std::ifstream file;
  const FileNames names = open_first_file(dialogue, DataKind::dbase, file);
  table.data_file = names.data;
  screen.line(" Enter a one line description of data:");
  table.title = fixed_width(dialogue.read_line(), 80);
  screen.write(" Enter missing value <-999>: ");
  table.missing_code = console::ask_real(dialogue, -999.0f);
  console::clear_console(screen);

  const DbaseHeader header = read_dbase_header(file, names.data);
  screen.print("(' File contains',I5,' numeric variables.')", header.numeric_fields);
  screen.line();
  DbaseSelection selection = select_dbase_fields(dialogue, header.fields);
  show_wait(screen);
  place_selected_columns(table, selection, 0);
  DbaseCounts counts{read_dbase_records(file, header, selection, table, screen),
                     header.character_fields, header.numeric_fields};
  set_identifiers(dialogue, selection, table);
  log_transform_columns(table, screen);

  console::clear_console(screen);
  write_data_listing(screen, table);
  write_dbase_summary(screen, table, counts, selection.numeric_id);
  wait_for_return(dialogue);
}

}  // namespace input
