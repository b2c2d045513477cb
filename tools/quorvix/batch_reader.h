// Reading the inputs of `quorvix batch`: one item per non-blank line, either
// a JSON object with "latex" and "id" members or, in TeX mode, the TeX text
// itself. A line that cannot be read becomes an item carrying its error.
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quorvix::tools {

enum class InputFormat : unsigned char {
  kJsonLines,  // {"latex": ..., "id": ...}; other members are ignored
  kTexLines,   // the whole line is the TeX text; the id is the line number
};

struct BatchItem {
  std::size_t line = 0;  // 1-based line number in the input
  std::string id_json;   // the id as compact JSON: the given one, else the line number
  std::string latex;
  // The name of the compound file under the output directory, when one is
  // written; empty otherwise.
  std::string ole_file_name;
  // Set when the line is not a usable input; nothing is converted then.
  std::optional<std::string> error;
};

// Reads `line` (without its line break) as item number `line_number`.
BatchItem read_batch_line(std::string_view line, std::size_t line_number, InputFormat format);

// The file name a compound file gets for `item`, or nullopt when its id
// cannot be one: a string id is used as it stands, a number id as its JSON
// text; the name must not be empty, "." or "..", nor hold '/' or NUL.
std::optional<std::string> ole_file_name_for(std::string_view id_json);

class BatchReader {
 public:
  // With `name_files`, each item also gets its compound file name; an id that
  // cannot name a file, or names one an earlier item already has, makes that
  // item an error so that no file is overwritten.
  BatchReader(std::istream& in, InputFormat format, bool name_files);

  // The next item, or nullopt at the end of the input (or on a read error,
  // which `failed` then tells). Blank lines are skipped.
  std::optional<BatchItem> next();
  bool failed() const { return in_.bad(); }

 private:
  void name_file(BatchItem& item);

  std::istream& in_;
  InputFormat format_;
  bool name_files_;
  std::size_t line_number_ = 0;
  std::string line_;
  std::unordered_set<std::string> file_names_;
};

// Counts the lines that BatchReader would turn into items, then rewinds
// `in`; nullopt when the stream cannot be rewound (a pipe).
std::optional<std::size_t> count_batch_lines(std::istream& in);

}  // namespace quorvix::tools
