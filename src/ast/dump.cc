#include "ast/dump.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "common/escape.h"

namespace quorvix::ast {

namespace {

std::string char_form(char32_t c) {
  if (c >= 0x20 && c < 0x7F) {
    std::string out = "'";
    if (c == U'\'' || c == U'\\') out += '\\';
    out += static_cast<char>(c);
    return out + "'";
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
  return buf;
}

// Texts in double quotes; bytes from 0x80 up are kept as they are.
constexpr EscapeForm kDumpForm{};

std::string text_form(std::string_view text) { return quote_escaped(text, kDumpForm); }

// The kinds stored as codes show as their numeric value.
template <class Kind>
std::string code(Kind k) {
  return std::to_string(static_cast<unsigned>(k));
}

const char* style_name(StyleKind k) {
  switch (k) {
    case StyleKind::Display: return "Display";
    case StyleKind::Text: return "Text";
    case StyleKind::Script: return "Script";
    case StyleKind::ScriptScript: return "ScriptScript";
  }
  return "?";
}

const char* big_operator_name(BigOperatorKind k) {
  switch (k) {
    case BigOperatorKind::Sum: return "Sum";
    case BigOperatorKind::Prod: return "Prod";
    case BigOperatorKind::Coprod: return "Coprod";
    case BigOperatorKind::Bigcup: return "Bigcup";
    case BigOperatorKind::Bigcap: return "Bigcap";
  }
  return "?";
}

const char* integral_name(IntegralKind k) {
  switch (k) {
    case IntegralKind::Int: return "Int";
    case IntegralKind::Iint: return "Iint";
    case IntegralKind::Iiint: return "Iiint";
    case IntegralKind::Oint: return "Oint";
  }
  return "?";
}

const char* strike_name(StrikeKind k) {
  switch (k) {
    case StrikeKind::Sout: return "Sout";
    case StrikeKind::Cancel: return "Cancel";
    case StrikeKind::Bcancel: return "Bcancel";
    case StrikeKind::Xcancel: return "Xcancel";
  }
  return "?";
}

// One step of the rendering: either literal text or a subtree to render.
struct Piece {
  const Expr* expr = nullptr;
  std::string text;
};

// Lists the pieces of one node, in output order.
class Describer {
 public:
  explicit Describer(std::vector<Piece>& out) : out_(out) {}

  void operator()(const Sequence& n) {
    put("Seq[");
    list(n.items);
    put("]");
  }
  void operator()(const DefaultColor& n) { wrap("DefaultColor(", n.body); }
  void operator()(const Hybrid& n) {
    put("Hybrid[");
    bool first = true;
    for (const HybridPart& part : n.parts) {
      if (!first) put(", ");
      first = false;
      if (const auto* raw = std::get_if<HybridRaw>(&part)) {
        put("Raw(" + text_form(raw->text) + ")");
      } else {
        put("Visible(");
        child(std::get<HybridVisible>(part).expr);
        put(")");
      }
    }
    put("]");
  }
  void operator()(const Char& n) { put("Char(" + char_form(n.ch) + ")"); }
  void operator()(const SizedDelimiter& n) { put("SizedDelimiter(" + char_form(n.ch) + ")"); }
  void operator()(const Group& n) { wrap("Group(", n.body); }
  void operator()(const CommandSymbol& n) {
    put("CommandSymbol(" + text_form(n.name) + ", " + char_form(n.ch) + ")");
  }
  void operator()(const BigSymbol& n) { put("BigSymbol(" + char_form(n.ch) + ")"); }
  void operator()(const BigOperatorSymbol& n) { put("BigOperatorSymbol(" + char_form(n.ch) + ")"); }
  void operator()(const Empty&) { put("Empty"); }
  void operator()(const RawTex& n) { put("Raw(" + text_form(n.text) + ")"); }
  void operator()(const Space& n) { put("Space(" + std::to_string(n.width) + ")"); }
  void operator()(const FunctionName& n) { put("FunctionName(" + text_form(n.name) + ")"); }
  void operator()(const TextRun& n) { put("Text(" + text_form(n.text) + ")"); }
  void operator()(const Color& n) { wrap("Color(" + text_form(n.name) + ", ", n.body); }
  void operator()(const Style& n) { wrap(std::string("Style(") + style_name(n.style) + ", ", n.body); }
  void operator()(const Font& n) { wrap(std::string("Font(") + font_kind_name(n.font) + ", ", n.body); }
  void operator()(const Accent& n) {
    wrap(std::string("Accent(") + accent_kind_name(n.accent) + ", ", n.body);
  }
  void operator()(const ArrowAccent& n) {
    wrap("ArrowAccent(" + code(n.direction) + (n.under ? ", under, " : ", over, "), n.body);
  }
  void operator()(const OverUnderline& n) { wrap(n.under ? "Underline(" : "Overline(", n.body); }
  void operator()(const Strike& n) { wrap(std::string("Strike(") + strike_name(n.strike) + ", ", n.body); }
  void operator()(const Not& n) { wrap("Not(", n.body); }
  void operator()(const Fraction& n) {
    put("Frac(");
    child(n.numerator);
    put(", ");
    child(n.denominator);
    put(")");
  }
  void operator()(const Sqrt& n) { wrap("Sqrt(", n.radicand); }
  void operator()(const Root& n) {
    put("Root(");
    child(n.index);
    put(", ");
    child(n.radicand);
    put(")");
  }
  void operator()(const BigOperator& n) {
    put(std::string("BigOp(") + big_operator_name(n.op));
    optional("lower", n.lower);
    optional("upper", n.upper);
    optional("body", n.body);
    put(n.nolimits ? ", nolimits)" : ")");
  }
  void operator()(const BigOperatorBody& n) {
    wrap(std::string("BigOpBody(") + big_operator_name(n.op) + ", ", n.body);
  }
  void operator()(const Limit& n) {
    put("Limit(" + text_form(n.name));
    optional("lower", n.lower);
    optional("upper", n.upper);
    put(n.nolimits ? ", nolimits)" : ")");
  }
  void operator()(const MathOp& n) {
    put("MathOp(");
    child(n.body);
    optional("lower", n.lower);
    optional("upper", n.upper);
    if (n.nolimits) put(", nolimits");
    put(n.unbraced ? ", unbraced)" : ")");
  }
  void operator()(const IntegralSign& n) {
    put(std::string("IntegralSign(") + integral_name(n.integral) + ")");
  }
  void operator()(const Integral& n) {
    put(std::string("Integral(") + integral_name(n.integral));
    optional("lower", n.lower);
    optional("upper", n.upper);
    optional("body", n.body);
    put(n.nolimits ? ", nolimits)" : ")");
  }
  void operator()(const Binomial& n) {
    put("Binomial(" + code(n.kind) + ", ");
    child(n.upper);
    put(", ");
    child(n.lower);
    put(")");
  }
  void operator()(const Brace& n) {
    put("Brace(" + code(n.kind) + ", ");
    child(n.body);
    optional("label", n.label);
    put(")");
  }
  void operator()(const Stackrel& n) {
    put("Stackrel(");
    child(n.over);
    put(", ");
    child(n.base);
    put(")");
  }
  void operator()(const Underset& n) {
    put("Underset(");
    child(n.under);
    put(", ");
    child(n.base);
    put(")");
  }
  void operator()(const XArrow& n) {
    put("XArrow(" + code(n.kind) + ", ");
    child(n.over);
    optional("under", n.under);
    put(")");
  }
  void operator()(const Substack& n) {
    put("Substack");
    rows(n.rows);
  }
  void operator()(const Subarray& n) {
    put("Subarray(" + text_form(n.columns) + ")");
    rows(n.rows);
  }
  void operator()(const Matrix& n) {
    put("Matrix(" + code(n.kind) + ")");
    rows(n.rows);
  }
  void operator()(const Environment& n) {
    put("Environment(" + code(n.kind) + ")");
    rows(n.rows);
  }
  void operator()(const Delimited& n) {
    wrap("Delimited(" + char_form(n.left) + ", " + char_form(n.right) + ", ", n.body);
  }
  void operator()(const OneSidedDelimited& n) {
    wrap("OneSided(" + char_form(n.delimiter) + ", " + code(n.side) + ", ", n.body);
  }
  void operator()(const Script& n) {
    put("Script(");
    child(n.base);
    optional("sub", n.sub);
    optional("sup", n.sup);
    put(")");
  }

 private:
  void put(std::string text) { out_.push_back(Piece{nullptr, std::move(text)}); }
  void child(const Box& b) {
    if (b) {
      out_.push_back(Piece{b.get(), {}});
    } else {
      put("null");
    }
  }
  void wrap(std::string head, const Box& body) {
    put(std::move(head));
    child(body);
    put(")");
  }
  void optional(const char* name, const Box& b) {
    if (!b) return;
    put(std::string(", ") + name + "=");
    child(b);
  }
  void list(const ExprList& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (i > 0) put(", ");
      out_.push_back(Piece{&items[i], {}});
    }
  }
  void rows(const Rows& rows) {
    put("[");
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (r > 0) put(", ");
      put("[");
      list(rows[r]);
      put("]");
    }
    put("]");
  }

  std::vector<Piece>& out_;
};

}  // namespace

std::string dump(const Expr& expr) {
  std::string out;
  std::vector<Piece> stack;
  std::vector<Piece> pieces;
  stack.push_back(Piece{&expr, {}});
  while (!stack.empty()) {
    Piece piece = std::move(stack.back());
    stack.pop_back();
    if (piece.expr == nullptr) {
      out += piece.text;
      continue;
    }
    pieces.clear();
    std::visit(Describer(pieces), piece.expr->node);
    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) stack.push_back(std::move(*it));
  }
  return out;
}

}  // namespace quorvix::ast
