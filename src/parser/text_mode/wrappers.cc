// Wrappers: commands whose arguments are shown while the command itself has
// no translation. Colour boxes, the HTML-style commands, \phase and the
// overlaps keep their name as raw TeX in front of their arguments; \vcenter
// leaves no trace and shows its content alone. Each argument is a raw group
// parsed as math on its own. When an argument group cannot be read, the
// command stays raw TeX alone and what follows it is read as ordinary input.
#include <string>
#include <utility>
#include <vector>

#include "parser/commands/command_arguments.h"
#include "parser/helpers.h"
#include "parser/text_mode/arguments.h"
#include "parser/text_mode/text_commands.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

// Reads each labelled raw group and parses it, keeping the command raw in
// front of them. A group that cannot be read leaves the command alone as raw
// TeX (the parser back after its name); a failing parse is the command's
// failure.
[[gnu::noinline]] Result<Expr> raw_prefixed_groups(Parser& p, std::string_view name,
                                                   std::initializer_list<std::string_view> labels) {
  const std::size_t after_name = p.pos();
  std::vector<TextSpan> spans;
  spans.reserve(labels.size());
  for (const std::string_view label : labels) {
    Result<TextSpan> span = read_raw_group_span(p, label);
    if (!span.ok()) {
      p.set_pos(after_name);
      return raw_command_expr(name);
    }
    spans.push_back(span.value());
  }
  ExprList parts;
  parts.reserve(spans.size());
  for (const TextSpan span : spans) {
    Result<Expr> part = p.parse_text_range(span.begin, span.end);
    if (!part.ok()) return part;
    parts.push_back(std::move(part.value()));
  }
  return raw_prefix_sequence(name, std::move(parts));
}

[[gnu::noinline]] std::string html_label(std::string_view name, std::string_view what) {
  std::string label(name);
  label += ' ';
  label += what;
  return label;
}

[[gnu::noinline]] void finish_overlap(Parser& p, Result<Expr>& content, std::size_t after_name,
                                      std::string_view name) {
  if (!content.ok()) {
    recover_as_raw_command(p, content, after_name, name);
    return;
  }
  ExprList parts;
  parts.push_back(std::move(content.value()));
  // A group written right after the overlapped content is shown with it.
  const std::size_t after_content = p.pos();
  p.skip_ws();
  if (p.peek() == U'{') {
    Result<TextSpan> span = read_raw_group_span(p, "overlap trailing content");
    if (!span.ok()) {
      p.set_pos(after_content);  // unclosed: ordinary input after the command
    } else {
      Result<Expr> trailing = p.parse_text_range(span.value().begin, span.value().end);
      if (!trailing.ok()) {
        content = std::move(trailing);
        return;
      }
      parts.push_back(std::move(trailing.value()));
    }
  } else {
    p.set_pos(after_content);
  }
  content = raw_prefix_sequence(name, std::move(parts));
}

}  // namespace

Result<Expr> color_box_command(Parser& p, const NamedCommand& command) {
  if (command.code == 2)
    return raw_prefixed_groups(p, command.name,
                               {"fcolorbox frame color", "colorbox background color", "colorbox content"});
  return raw_prefixed_groups(p, command.name, {"colorbox background color", "colorbox content"});
}

Result<Expr> html_wrapper_command(Parser& p, const NamedCommand& command) {
  const std::string attribute = html_label(command.name, "attribute");
  const std::string content = html_label(command.name, "content");
  return raw_prefixed_groups(p, command.name, {attribute, content});
}

Result<Expr> overlap_wrapper_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<Expr> content = parse_recoverable_group(p, "overlap content");
  finish_overlap(p, content, after_name, command.name);
  return content;
}

Result<Expr> raw_prefix_wrapper_command(Parser& p, const NamedCommand& command) {
  return raw_prefixed_groups(p, command.name, {"phase content"});
}

Result<Expr> visible_wrapper_command(Parser& p, const NamedCommand& command) {
  const std::size_t after_name = p.pos();
  Result<TextSpan> span = read_raw_group_span(p, "vcenter content");
  if (!span.ok()) {
    p.set_pos(after_name);
    return raw_command_expr(command.name);
  }
  return p.parse_text_range(span.value().begin, span.value().end);
}

}  // namespace quorvix::parser
