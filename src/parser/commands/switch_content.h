// Where the content of a switch ends (see Parser::parse_switch_content).
#pragma once

#include <cstddef>

namespace quorvix::parser {

class Parser;

// True when the input at `at` ends the group a switch stands in: the end of
// the input, `&`, `}`, \right (not followed by a letter) or a row break.
bool switch_content_ends_at(const Parser& p, std::size_t at);

}  // namespace quorvix::parser
