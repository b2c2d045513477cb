// Converting one batch item into its output line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "quorvix/batch_pool.h"
#include "quorvix/batch_reader.h"

namespace quorvix::tools {

struct BatchConvertOptions {
  std::optional<std::string> prefs_file;  // passed on to every conversion
  // Where the compound files go; unset: they stay in the line as hex.
  std::optional<std::filesystem::path> ole_dir;
};

// Converts `item` with the library's conversion (the one behind the C entry,
// failures and internal faults reported alike) and builds its line:
//   {"id":<id>,"result":{"ole":<hex>,"qvf":<hex>,"normalized_latex":<text>}}
//   {"id":<id>,"result":{"ole_file":<path>,"qvf":<hex>,"normalized_latex":<text>}}  (with ole_dir)
//   {"id":<id>,"error":<message>}
// An item that arrived with an error is not converted. With an output
// directory the compound file is written to ole_dir / item.ole_file_name
// here, on the calling thread; failing to write it is the item's error.
BatchOutcome convert_batch_item(const BatchItem& item, const BatchConvertOptions& options);

}  // namespace quorvix::tools
