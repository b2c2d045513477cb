// \begin{name}: the supported environments by name, the starred forms, and
// the fall back to the environment kept as raw TeX.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/sorted_table.h"
#include "parser/commands/named_commands.h"
#include "parser/environments/environments.h"

namespace quorvix::parser {

using ast::Expr;
using ast::ExprList;

namespace {

enum class Family : std::uint8_t { Matrix, SmallMatrix, Array, Grid, Subarray, Equation };

struct SupportedEnvironment {
  std::string_view name;
  Family family;
  std::uint8_t kind = 0;  // the MatrixKind or EnvironmentKind
};

constexpr std::uint8_t code(ast::MatrixKind k) { return static_cast<std::uint8_t>(k); }
constexpr std::uint8_t code(ast::EnvironmentKind k) { return static_cast<std::uint8_t>(k); }

using ast::EnvironmentKind;
using ast::MatrixKind;

constexpr SupportedEnvironment kSupportedEnvironments[] = {
    {"matrix", Family::Matrix, code(MatrixKind::Plain)},
    {"pmatrix", Family::Matrix, code(MatrixKind::Parens)},
    {"bmatrix", Family::Matrix, code(MatrixKind::Brackets)},
    {"Bmatrix", Family::Matrix, code(MatrixKind::Braces)},
    {"vmatrix", Family::Matrix, code(MatrixKind::Bars)},
    {"Vmatrix", Family::Matrix, code(MatrixKind::DoubleBars)},
    {"smallmatrix", Family::SmallMatrix, code(MatrixKind::Small)},
    {"array", Family::Array, code(EnvironmentKind::Array)},
    {"align", Family::Grid, code(EnvironmentKind::Align)},
    {"split", Family::Grid, code(EnvironmentKind::Split)},
    {"aligned", Family::Grid, code(EnvironmentKind::Aligned)},
    {"alignat", Family::Grid, code(EnvironmentKind::Alignat)},
    {"cases", Family::Grid, code(EnvironmentKind::Cases)},
    {"dcases", Family::Grid, code(EnvironmentKind::Cases)},
    {"rcases", Family::Grid, code(EnvironmentKind::Rcases)},
    {"drcases", Family::Grid, code(EnvironmentKind::Rcases)},
    {"gather", Family::Grid, code(EnvironmentKind::Gather)},
    {"gathered", Family::Grid, code(EnvironmentKind::Gathered)},
    {"subarray", Family::Subarray},
    {"equation", Family::Equation},
};

constexpr auto environment_name = [](const SupportedEnvironment& e) { return e.name; };
constexpr auto kSupportedIndex = table_index(kSupportedEnvironments, environment_name);

const SupportedEnvironment* find_supported(std::string_view name) {
  return find_in_table(kSupportedEnvironments, kSupportedIndex, environment_name, name);
}

// The name stays on the stack of open environments while the body is read
// (the script reader looks at the innermost one).
class OpenEnvironment {
 public:
  OpenEnvironment(Parser& p, const std::string& name) : p_(p), size_(p.environment_stack().own_size()) {
    p_.environment_stack().push(name);
  }
  ~OpenEnvironment() { p_.environment_stack().truncate(size_); }
  OpenEnvironment(const OpenEnvironment&) = delete;
  OpenEnvironment& operator=(const OpenEnvironment&) = delete;

 private:
  Parser& p_;
  std::size_t size_;
};

[[gnu::noinline]] Expr grid_expr(const SupportedEnvironment& env, GridBody& body) {
  switch (env.family) {
    case Family::Matrix: return Expr(ast::Matrix{std::move(body.rows), static_cast<MatrixKind>(env.kind)});
    case Family::SmallMatrix:
      return Expr(ast::Style{ast::box(Expr(ast::Matrix{std::move(body.rows), MatrixKind::Small})),
                             ast::StyleKind::Script});
    default: break;
  }
  return Expr(
      ast::Environment{std::move(body.rows), std::move(body.trivia), static_cast<EnvironmentKind>(env.kind)});
}

// The column count of alignat is read and dropped.
[[gnu::noinline]] Status skip_alignat_columns(Parser& p) {
  const std::size_t start = p.pos();
  p.skip_ws();
  if (p.peek() != U'{') {
    p.set_pos(start);
    return Status();
  }
  Result<std::string> columns = p.parse_raw_group("alignat column count");
  if (!columns.ok()) return std::move(columns).error();
  return Status();
}

// Matrices, alignments, gathers and cases.
Result<Expr> parse_grid_environment(Parser& p, const SupportedEnvironment& env, const std::string& name) {
  const RowRules rules = env.family == Family::Grid && (env.kind == code(EnvironmentKind::Align) ||
                                                        env.kind == code(EnvironmentKind::Alignat))
                             ? RowRules::Align
                             : RowRules::Plain;
  if (env.family == Family::Grid && env.kind == code(EnvironmentKind::Alignat)) {
    Status columns = skip_alignat_columns(p);
    if (!columns.ok()) return std::move(columns).error();
  }
  const ast::node_pool::PooledPtr<GridBody> body = ast::node_pool::make_pooled<GridBody>();
  Status rows = parse_environment_rows(p, name, rules, *body);
  if (!rows.ok()) return std::move(rows).error();
  return grid_expr(env, *body);
}

[[gnu::noinline]] Result<Expr> equation_items(ExprList& items) {
  return ast::make_sequence(std::move(items));
}

// What an \end met in an equation body does: end the body (its own name),
// or stay as a raw piece (another name).
enum class EquationEnd : std::uint8_t { Own, Other, Failed };

[[gnu::noinline]] EquationEnd read_equation_end(Parser& p, ExprList& items, Result<Expr>& failure) {
  p.set_pos(p.pos() + 4);  // `\end`
  Result<std::string> name = p.parse_raw_group("mismatched environment end name");
  if (!name.ok()) {
    failure = std::move(name).error();
    return EquationEnd::Failed;
  }
  if (name.value() == "equation") return EquationEnd::Own;
  items.push_back(ast::make_raw("\\end{" + name.value() + "}"));
  return EquationEnd::Other;
}

// The body of an equation, atom by atom up to its \end (or the end of the
// input); an \end of another environment stays as a raw piece.
Result<Expr> parse_equation_body(Parser& p) {
  ExprList items;
  Result<Expr> atom = Expr();
  for (;;) {
    p.skip_ws();
    p.pending_space().clear();
    if (p.at_end()) return equation_items(items);
    if (control_word_follows(p, U"end")) {
      switch (read_equation_end(p, items, atom)) {
        case EquationEnd::Own: return equation_items(items);
        case EquationEnd::Failed: return atom;
        case EquationEnd::Other: continue;
      }
    }
    atom = p.parse_complete_atom();
    if (!atom.ok()) return atom;
    if (!ast::is_empty_sequence(atom.value())) items.push_back(std::move(atom.value()));
  }
}

Result<Expr> parse_supported_environment(Parser& p, const SupportedEnvironment& env, const std::string& name,
                                         bool paired) {
  const OpenEnvironment open(p, name);
  switch (env.family) {
    case Family::Array: return parse_array_environment(p, paired);
    case Family::Subarray: return parse_subarray_environment(p);
    case Family::Equation: return parse_equation_body(p);
    default: return parse_grid_environment(p, env, name);
  }
}

// The optional [..] after an accepted star is read and dropped.
[[gnu::noinline]] Status skip_star_option(Parser& p) {
  Result<std::optional<Expr>> option = p.parse_optional_bracket_group();
  if (!option.ok()) return std::move(option).error();
  return Status();
}

// Rows end only at their own \end{name}; an equation also ends with the
// input, and an array with a bare column specifier at the end of the input is
// kept as it is (the array looks at the pairing itself).
bool needs_closing(const SupportedEnvironment& env) {
  return env.family != Family::Equation && env.family != Family::Array;
}

}  // namespace

bool supports_starred_environment_base(std::string_view base) {
  const SupportedEnvironment* env = find_supported(base);
  return env != nullptr && (env->family == Family::Matrix || env->family == Family::SmallMatrix ||
                            env->family == Family::Equation);
}

Result<Expr> parse_environment(Parser& p, const std::string& name) {
  const Parser::Checkpoint start = p.save();
  const SupportedEnvironment* env = nullptr;
  if (!name.empty() && name.back() == '*') {
    const std::string_view base = std::string_view(name).substr(0, name.size() - 1);
    if (supports_starred_environment_base(base)) {
      Status option = skip_star_option(p);
      if (!option.ok() && option.error().fatal) return option.error();
      // A starred equation is still kept raw.
      if (option.ok() && base != "equation") env = find_supported(base);
    }
  } else {
    env = find_supported(name);
  }
  // Rows cannot be read up to an \end that is not there: such an
  // environment goes to the raw form at once, and the environments around it
  // that fail for the same reason never read it again through their retries.
  const bool paired = p.environment_has_end(start.pos);
  if (env != nullptr && needs_closing(*env) && !paired) env = nullptr;
  EnvironmentShellMode mode = shell_mode_of_name(name);
  if (env != nullptr) {
    Result<Expr> tree = p.attempt_once(Construct::Environment,
                                       [&] { return parse_supported_environment(p, *env, name, paired); });
    if (tree.ok() || tree.error().fatal) return tree;
    if (env->family == Family::Array) mode = EnvironmentShellMode::BracedRaw;
  }
  p.restore(start);
  return p.parse_unsupported_environment_with_shell(name, mode);
}

Result<Expr> begin_environment_command(Parser& p, const NamedCommand& /*command*/) {
  Result<std::string> name = p.parse_raw_group("environment name");
  if (!name.ok()) return std::move(name).error();
  return parse_environment(p, name.value());
}

}  // namespace quorvix::parser
