// The expression tree shared by the parser and the equation writer.
//
// `Expr` is a closed sum of 43 node kinds held in a std::variant. Children are
// owned outright: a required child is a non-null `Box`, an optional child is a
// `Box` that may be null, and lists hold `Expr` by value. Copies are deep.
// Copying never recurses on the machine stack and destroying recurses a
// bounded number of levels, so arbitrarily deep trees are safe to copy and
// drop; destroying allocates nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "ast/node_pool.h"
#include "ast/out_of_line.h"

namespace quorvix::ast {

class Expr;

// Owning pointer to a child expression with deep-copy semantics. The
// expression lives in a block of the node pool.
class Box {
 public:
  Box() = default;
  Box(std::nullptr_t) {}  // NOLINT
  // Takes the expression over: moved once, into its block.
  explicit Box(Expr&& e);
  Box(const Box& other);
  Box(Box&&) noexcept = default;
  Box& operator=(const Box& other);
  Box& operator=(Box&&) noexcept = default;
  ~Box() = default;

  explicit operator bool() const { return p_ != nullptr; }
  Expr& operator*() const { return *p_; }
  Expr* operator->() const { return p_.get(); }
  Expr* get() const { return p_.get(); }
  void reset() { p_.reset(); }

 private:
  // Destroys the expression and gives its block back to the pool.
  struct Release {
    void operator()(Expr* e) const noexcept;
  };
  std::unique_ptr<Expr, Release> p_;
};

enum class FontKind : std::uint8_t {
  Bold,
  RomanText,
  TypewriterText,
  MathCal,
  MathSf,
  MathBb,
  MathScr,
  MathFrak,
};

enum class AccentKind : std::uint8_t {
  Bar,
  Hat,
  WideHat,
  Breve,
  Dot,
  Ddot,
  Dddot,
  Ddddot,
  Tilde,
  Utilde,
  Acute,
  Grave,
  Check,
};

enum class StyleKind : std::uint8_t { Display = 0, Text = 1, Script = 2, ScriptScript = 3 };
enum class BigOperatorKind : std::uint8_t { Sum = 0, Prod = 1, Coprod = 2, Bigcup = 3, Bigcap = 4 };
enum class IntegralKind : std::uint8_t { Int = 0, Iint = 1, Iiint = 2, Oint = 3 };
enum class StrikeKind : std::uint8_t { Sout = 0, Cancel = 1, Bcancel = 2, Xcancel = 3 };

// Where the arrow of an `ArrowAccent` points.
enum class ArrowDirection : std::uint8_t { Left = 0, Right = 1, Both = 2 };

// The piles of the `Binomial` family.
enum class BinomialKind : std::uint8_t {
  Pile = 0,    // a bare two-row pile, without fences
  Choose = 1,  // the infix \choose: a pile in parentheses
  Binom = 2,   // \binom, \dbinom, \tbinom
};

// A horizontal brace or bracket above (`Over`) or below (`Under`) its body.
enum class BraceKind : std::uint8_t { Over = 0, Under = 1 };

// The extensible arrows, one per command.
enum class XArrowKind : std::uint8_t {
  Left = 0,          // \xleftarrow
  Right = 1,         // \xrightarrow
  DoubleLeft = 2,    // \xLeftarrow
  DoubleRight = 3,   // \xRightarrow
  HookLeft = 4,      // \xhookleftarrow
  HookRight = 5,     // \xhookrightarrow
  TwoHeadLeft = 6,   // \xtwoheadleftarrow
  TwoHeadRight = 7,  // \xtwoheadrightarrow
  MapsTo = 8,        // \xmapsto
  LongEqual = 9,     // \xlongequal
  ToFrom = 10,       // \xtofrom
};

// The matrix environments, named by the fence drawn around them.
enum class MatrixKind : std::uint8_t {
  Plain = 0,       // matrix
  Small = 1,       // smallmatrix (always inside a script-level `Style`)
  Parens = 2,      // pmatrix
  Brackets = 3,    // bmatrix
  Braces = 4,      // Bmatrix
  Bars = 5,        // vmatrix
  DoubleBars = 6,  // Vmatrix
};

// The other supported environments.
enum class EnvironmentKind : std::uint8_t {
  Array = 0,
  Align = 1,
  Split = 2,
  Aligned = 3,
  Alignat = 4,   // its column-count argument is not kept
  Reserved = 5,  // produced by no environment; written like `Alignat`
  Cases = 6,     // cases, dcases
  Rcases = 7,    // rcases, drcases
  Gather = 8,
  Gathered = 9,
};

// Which delimiter of a `OneSidedDelimited` is visible.
enum class DelimiterSide : std::uint8_t {
  Left = 0,   // the \right side was `.`
  Right = 1,  // the \left side was `.`
};

// Declared after the kinds, whose enumerators (StyleKind::Text) would
// otherwise shadow it.
using Text = std::string;  // UTF-8
// A list of children. Its buffer, like every boxed child, is a block of the
// node pool.
using ExprList = std::vector<Expr, node_pool::NodeAllocator<Expr>>;
using Rows = std::vector<ExprList, node_pool::NodeAllocator<ExprList>>;

const char* font_kind_name(FontKind k);
const char* accent_kind_name(AccentKind k);

// The text of the failure marker.
inline constexpr std::string_view kTranslationFailed = "(Tex translation failed)";

struct HybridRaw {
  Text text;
};
struct HybridVisible {
  Box expr;
};
using HybridPart = std::variant<HybridRaw, HybridVisible>;

struct EnvironmentRowAnnotation {
  Box label;  // optional
  std::optional<Text> no_number_command;
  bool has_label = false;
  bool no_number = false;
};

// The trivia's lists, like the tree's, keep their buffers in the node pool:
// an environment adds to them once per row and cell.
using TextList = std::vector<Text, node_pool::NodeAllocator<Text>>;
using RowAnnotations =
    std::vector<EnvironmentRowAnnotation, node_pool::NodeAllocator<EnvironmentRowAnnotation>>;

struct EnvironmentTrivia {
  std::optional<Text> opening_raw;
  TextList row_leading_space;
  std::vector<TextList, node_pool::NodeAllocator<TextList>> cell_leading_space;
  Text trailing_space;
  RowAnnotations row_annotations;
};

// The 43 node kinds, in their canonical order. The trivia of an `Environment`
// is held out of line: it is large and most environments carry little of it.
struct Sequence {
  ExprList items;
};
struct DefaultColor {
  Box body;
};
struct Hybrid {
  std::vector<HybridPart> parts;
};
struct Char {
  char32_t ch = 0;
};
struct SizedDelimiter {
  char32_t ch = 0;
};
struct Group {
  Box body;
};
struct CommandSymbol {
  Text name;
  char32_t ch = 0;
};
struct BigSymbol {
  char32_t ch = 0;
};
struct BigOperatorSymbol {
  char32_t ch = 0;
};
struct Empty {};
// Made only by make_raw, which counts the raw leaves a parse makes.
struct RawTex {
  Text text;

 private:
  explicit RawTex(Text t) : text(std::move(t)) {}
  friend Expr make_raw(Text t);
};
struct Space {
  std::uint8_t width = 0;
};
struct FunctionName {
  Text name;
};
struct TextRun {
  Text text;
};  // the `Text` alternative
struct Color {
  Text name;
  Box body;
};
struct Style {
  Box body;
  StyleKind style = StyleKind::Display;
};
struct Font {
  Box body;
  FontKind font = FontKind::Bold;
};
struct Accent {
  Box body;
  AccentKind accent = AccentKind::Bar;
};
struct ArrowAccent {
  Box body;
  ArrowDirection direction = ArrowDirection::Left;
  bool under = false;
};
struct OverUnderline {
  Box body;
  bool under = false;
};
struct Strike {
  Box body;
  StrikeKind strike = StrikeKind::Sout;
};
struct Not {
  Box body;
};
struct Fraction {
  Box numerator;
  Box denominator;
};
struct Sqrt {
  Box radicand;
};
struct Root {
  Box index;
  Box radicand;
};
struct BigOperator {
  Box lower;
  Box upper;
  Box body;
  BigOperatorKind op = BigOperatorKind::Sum;
  bool nolimits = false;
};
struct BigOperatorBody {
  Box body;
  BigOperatorKind op = BigOperatorKind::Sum;
};
struct Limit {
  Text name;
  Box lower;
  Box upper;
  bool nolimits = false;
};
struct MathOp {
  Box body;
  Box lower;
  Box upper;
  bool nolimits = false;
  bool unbraced = false;
};
struct IntegralSign {
  IntegralKind integral = IntegralKind::Int;
};
struct Integral {
  Box lower;
  Box upper;
  Box body;
  IntegralKind integral = IntegralKind::Int;
  bool nolimits = true;
};
struct Binomial {
  Box upper;
  Box lower;
  BinomialKind kind = BinomialKind::Pile;
};
struct Brace {
  Box body;
  Box label;
  BraceKind kind = BraceKind::Over;
};
struct Stackrel {
  Box over;
  Box base;
};
struct Underset {
  Box under;
  Box base;
};
struct XArrow {
  Box over;
  Box under;
  XArrowKind kind = XArrowKind::Left;
};
struct Substack {
  Rows rows;
};
struct Subarray {
  Text columns;
  Rows rows;
};
struct Matrix {
  Rows rows;
  MatrixKind kind = MatrixKind::Plain;
};
struct Environment {
  Rows rows;
  OutOfLine<EnvironmentTrivia> trivia;
  EnvironmentKind kind = EnvironmentKind::Array;
};
struct Delimited {
  Box body;
  char32_t left = 0;
  char32_t right = 0;
};
struct OneSidedDelimited {
  Box body;
  char32_t delimiter = 0;
  DelimiterSide side = DelimiterSide::Left;
};
struct Script {
  Box base;
  Box sub;
  Box sup;
};

using Node =
    std::variant<Sequence, DefaultColor, Hybrid, Char, SizedDelimiter, Group, CommandSymbol, BigSymbol,
                 BigOperatorSymbol, Empty, RawTex, Space, FunctionName, TextRun, Color, Style, Font, Accent,
                 ArrowAccent, OverUnderline, Strike, Not, Fraction, Sqrt, Root, BigOperator, BigOperatorBody,
                 Limit, MathOp, IntegralSign, Integral, Binomial, Brace, Stackrel, Underset, XArrow, Substack,
                 Subarray, Matrix, Environment, Delimited, OneSidedDelimited, Script>;

static_assert(std::variant_size_v<Node> == 43);

namespace detail {

// Whether a node of each kind, indexed by the variant index plus one (so that
// a valueless node reads entry 0), has anything to destroy. Most nodes of a
// tree are characters, spaces and the like, which have not.
template <std::size_t... I>
constexpr std::array<bool, sizeof...(I) + 1> make_kinds_to_destroy(std::index_sequence<I...>) {
  return {false, !std::is_trivially_destructible_v<std::variant_alternative_t<I, Node>>...};
}

inline constexpr std::array<bool, std::variant_size_v<Node> + 1> kKindToDestroy =
    make_kinds_to_destroy(std::make_index_sequence<std::variant_size_v<Node>>());

}  // namespace detail

class Expr {
 public:
  Expr() : node() {}  // an empty Sequence
  template <class T, class = std::enable_if_t<!std::is_same_v<std::decay_t<T>, Expr> &&
                                              std::is_constructible_v<Node, T&&>>>
  Expr(T&& alternative) : node(std::forward<T>(alternative)) {}  // NOLINT

  Expr(const Expr& other);
  Expr(Expr&& other) noexcept : node(std::move(other.node)) {}
  Expr& operator=(const Expr& other);
  Expr& operator=(Expr&& other) noexcept;
  // A node of a kind with nothing to destroy ends with its storage: its
  // variant's own destructor would only dispatch to a no-op.
  ~Expr() {
    if (detail::kKindToDestroy[node.index() + 1] && !is_unowned_sequence()) destroy();
  }

  template <class T>
  bool is() const {
    return std::holds_alternative<T>(node);
  }
  template <class T>
  T* get_if() {
    return std::get_if<T>(&node);
  }
  template <class T>
  const T* get_if() const {
    return std::get_if<T>(&node);
  }
  template <class T>
  T& as() {
    return std::get<T>(node);
  }
  template <class T>
  const T& as() const {
    return std::get<T>(node);
  }

  // Held in a union so that the destructor above decides whether the
  // variant's destructor runs.
  union {
    Node node;
  };

 private:
  void copy_from(const Expr& other);
  // Destroys the children without deep recursion, then the node itself.
  void destroy() noexcept;
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
// g++ at -O2 and -Os loses track of a temporary's kind once the temporary has
// been moved from, and then takes the read below for one of storage that a
// smaller kind left unset.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
  // A sequence that owns no buffer, which is what every tree moved from
  // holds: it has nothing to give back.
  bool is_unowned_sequence() const noexcept {
    const auto* seq = std::get_if<Sequence>(&node);
    return seq != nullptr && seq->items.capacity() == 0;
  }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
  // Takes the subtree apart without recursion or allocation; see expr_teardown.cc.
  void tear_down() noexcept;
};

// Every leaf and every list element is an `Expr`; bulky members live behind
// pointers so that this stays at one cache line.
static_assert(sizeof(Expr) <= 64, "an alternative of Node has grown: box its large members");

namespace detail {
// How many raw TeX leaves this thread has made; see raw_leaves_made.
extern constinit thread_local std::uint64_t tl_raw_leaves_made;
}  // namespace detail

// A count that grows with every raw TeX leaf made on this thread. A parse
// during which it did not change made none, so its tree holds no raw pieces
// to join.
inline std::uint64_t raw_leaves_made() noexcept { return detail::tl_raw_leaves_made; }

// Convenience constructors for the common leaves.
inline Expr make_char(char32_t c) { return Expr(Char{c}); }
inline Expr make_raw(Text t) {
  ++detail::tl_raw_leaves_made;
  return Expr(RawTex{std::move(t)});
}
inline Expr make_text(Text t) { return Expr(TextRun{std::move(t)}); }
Expr make_sequence(ExprList items);
inline Box box(Expr&& e) { return Box(std::move(e)); }

// True when the node has at least one child (environment row labels count).
bool has_children(const Expr& e);

// True when the subtree holds verbatim TeX that the writer emits as such.
bool contains_raw_tex(const Expr& e);

// A one-item Sequence becomes its item; anything else is returned unchanged.
Expr collapse_single_sequence(Expr&& e);

// A Sequence without items (what a vanishing command gives).
inline bool is_empty_sequence(const Expr& e) {
  const auto* seq = e.get_if<Sequence>();
  return seq != nullptr && seq->items.empty();
}

// True for a `Text` whose content is exactly the failure marker.
bool is_failure_text(const Expr& e);
// The failure marker, looking through one-item Sequences and Style wrappers.
bool is_translation_failed_marker(const Expr& e);
Expr make_translation_failed();

// Calls f(Expr&) for every direct child, in field order. `with_trivia`
// also visits environment row labels (needed by copy and destruction).
template <class E, class F>
void for_each_child(E& e, F&& f, bool with_trivia = true);

}  // namespace quorvix::ast

#include "ast/expr_children.inl"
