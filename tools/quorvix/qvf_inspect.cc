#include "quorvix/qvf_inspect.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "common/bytes.h"
#include "quorvix/qvf_names.h"
#include "quorvix/text_format.h"

namespace quorvix::tools {

namespace {

// Tags of the records this inspector decodes.
enum Tag : std::uint8_t {
  kEnd = 0,
  kLine = 1,
  kChar = 2,
  kTmpl = 3,
  kPile = 4,
  kMatrix = 5,
  kEmbell = 6,
  kRuler = 7,
  kFontStyleDef = 8,
  kSize = 9,
  kFull = 10,
  kSubSym = 14,
  kColor = 15,
  kColorDef = 16,
  kFontDef = 17,
  kEqnPrefs = 18,
  kEncodingDef = 19,
  kTexSource = 102,
};

// CHAR option bits.
constexpr std::uint8_t kCharEmbellished = 0x01;
constexpr std::uint8_t kCharFunctionStart = 0x02;
constexpr std::uint8_t kCharPosition = 0x04;
constexpr std::uint8_t kCharRawTex = 0x80;
constexpr std::uint8_t kCharKnownOptions =
    kCharEmbellished | kCharFunctionStart | kCharPosition | kCharRawTex;

constexpr std::uint8_t kLineNull = 0x01;

// Typeface bytes with a fixed meaning.
constexpr std::uint8_t kTypefaceExpandingGlyph = 150;
constexpr std::uint8_t kTypefaceSpace = 152;
// Encoding definitions are numbered from this index in stream order.
constexpr std::size_t kFirstEncodingDefIndex = 5;

// The Far-East font name the writer stores in GBK.
constexpr std::uint8_t kSimSunGbk[] = {0xCB, 0xCE, 0xCC, 0xE5};

enum class ContainerKind : std::uint8_t { kStream, kLine, kPile, kMatrix, kTmpl, kEmbellishments };

struct Container {
  ContainerKind kind;
  std::size_t start;
  std::size_t children = 0;  // slots, rows or cells seen so far
  std::uint8_t selector = 0;
  std::uint8_t variation = 0;
  std::size_t rows = 0;
  std::size_t columns = 0;
};

std::string_view container_name(ContainerKind kind) {
  switch (kind) {
    case ContainerKind::kStream: return "stream";
    case ContainerKind::kLine: return "LINE";
    case ContainerKind::kPile: return "PILE";
    case ContainerKind::kMatrix: return "MATRIX";
    case ContainerKind::kTmpl: return "TMPL";
    case ContainerKind::kEmbellishments: return "embellishments";
  }
  return "?";
}

std::string tag_label(std::uint8_t tag) {
  std::string out = "tag " + std::to_string(tag);
  if (std::string_view name = record_tag_name(tag); !name.empty()) out += " (" + std::string(name) + ")";
  return out;
}

std::string plural(std::size_t n, std::string_view word) {
  return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

class Decoder {
 public:
  explicit Decoder(std::span<const std::uint8_t> stream) : s_(stream) {}

  Listing run() {
    if (decode_header()) {
      stack_.push_back(Container{ContainerKind::kStream, pos_});
      while (!stopped_ && !stack_.empty()) {
        if (pos_ >= s_.size()) {
          const Container& top = stack_.back();
          fail(pos_, top.kind == ContainerKind::kStream
                         ? std::string("the stream ends without the END that closes it")
                         : "the stream ends inside the " + std::string(container_name(top.kind)) +
                               " opened at " + hex_offset(top.start) + ": expected a record or END");
          break;
        }
        decode_record();
      }
      if (!stopped_) {
        if (pos_ < s_.size()) {
          fail(pos_, plural(s_.size() - pos_, "byte") + " follow the END that closes the stream");
        } else {
          out_.complete = true;
        }
      }
    }
    return std::move(out_);
  }

 private:
  struct FontDef {
    std::size_t encoding;
    std::string name;  // quoted for display
  };
  struct StyleEntry {
    std::size_t font;
    std::uint8_t style;
  };
  struct Rgb {
    std::uint16_t r, g, b;
  };

  // ---- output -------------------------------------------------------------

  int depth() const { return stack_.empty() ? 0 : static_cast<int>(stack_.size()) - 1; }

  void emit(std::size_t offset, std::string text, int extra_depth = 0, LineKind kind = LineKind::kRecord) {
    ListingLine& line = out_.lines.emplace_back();
    line.offset = offset;
    line.depth = depth() + extra_depth;
    line.kind = kind;
    line.text = std::move(text);
  }
  void warn(std::size_t offset, std::string text, int extra_depth = 0) {
    emit(offset, std::move(text), extra_depth, LineKind::kWarning);
  }
  bool fail(std::size_t offset, std::string reason) {
    out_.error_offset = offset;
    out_.error_reason = reason;
    emit(offset, std::move(reason), 0, LineKind::kError);
    stopped_ = true;
    return false;
  }

  // ---- reading ------------------------------------------------------------

  // Fails unless `n` more bytes are available at the read position.
  bool need(std::size_t n, std::string_view what) {
    if (s_.size() - pos_ >= n) return true;
    const std::size_t left = s_.size() - pos_;
    return fail(pos_, "expected " + std::string(what) + " (" + plural(n, "byte") + "), but the stream ends" +
                          (left == 0 ? std::string() : " after " + plural(left, "more byte")));
  }
  std::uint8_t u8() { return s_[pos_++]; }
  std::uint16_t u16() {
    const std::uint16_t v = load_u16le(s_, pos_);
    pos_ += 2;
    return v;
  }

  // The variable-length unsigned integer: one byte below 255, else 0xFF and 16 bits.
  bool read_unsigned(std::string_view what, std::size_t& value) {
    const std::size_t at = pos_;
    if (!need(1, what)) return false;
    const std::uint8_t first = u8();
    if (first != 0xFF) {
      value = first;
      return true;
    }
    if (!need(2, std::string(what) + ", the 16 bits after its 0xFF prefix")) return false;
    value = u16();
    if (value < 0xFF) warn(at, std::string(what) + " " + std::to_string(value) + " uses the three-byte form");
    return true;
  }

  // A NUL-terminated byte string; the read position ends after the NUL.
  bool read_cstring(std::string_view what, std::span<const std::uint8_t>& bytes) {
    const std::size_t start = pos_;
    std::size_t end = start;
    while (end < s_.size() && s_[end] != 0) ++end;
    if (end == s_.size())
      return fail(start, "expected the NUL that ends " + std::string(what) + ", but the stream ends");
    bytes = s_.subspan(start, end - start);
    pos_ = end + 1;
    return true;
  }

  // ---- descriptions -------------------------------------------------------

  std::string font_description(std::size_t index) const {
    if (index >= 1 && index <= fonts_.size())
      return "font #" + std::to_string(index) + " " + fonts_[index - 1].name;
    return "font #" + std::to_string(index) + " (not defined before this point)";
  }

  std::string encoding_description(std::size_t index) const {
    if (index == 3) return "3 (Symbol)";
    if (index == 4) return "4 (QV Extra)";
    if (index >= kFirstEncodingDefIndex) {
      const std::size_t k = index - kFirstEncodingDefIndex;
      if (k < encodings_.size()) return std::to_string(index) + " (" + encodings_[k] + ")";
      return std::to_string(index) + " (not defined before this point)";
    }
    return std::to_string(index);
  }

  // The font of a definition by its quoted name alone, for CHAR lines.
  std::string font_name(std::size_t index) const {
    if (index >= 1 && index <= fonts_.size()) return fonts_[index - 1].name;
    return "font #" + std::to_string(index) + " (not defined before this point)";
  }

  std::string typeface_description(std::uint8_t byte) const {
    std::string out = std::to_string(byte) + " (";
    if (byte >= 129 && byte <= 140) {
      const std::size_t n = byte - 128u;
      out += kStyleKeys[n - 1];
      if (n <= styles_.size()) {
        const StyleEntry& e = styles_[n - 1];
        out += ": " + font_name(e.font) + " " + character_style_name(e.style);
      }
      return out + ")";
    }
    if (byte == kTypefaceExpandingGlyph) return out + "expanding glyph)";
    if (byte == kTypefaceSpace) return out + "space)";
    if (byte >= 128) return out + "typeface " + std::to_string(byte - 128) + ")";
    const std::size_t k = 128u - byte;
    out += "style definition #" + std::to_string(k);
    if (k <= font_styles_.size()) {
      const StyleEntry& e = font_styles_[k - 1];
      return out + ": " + font_name(e.font) + " " + character_style_name(e.style) + ")";
    }
    return out + ", not defined before this point)";
  }

  std::string colour_description(std::size_t index) const {
    if (index == 0) return "0 (default colour)";
    std::string out = std::to_string(index);
    if (index > colours_.size()) return out + " (no definition #" + out + " before this point)";
    const Rgb& c = colours_[index - 1];
    out += " (definition #" + out + ": " + rgb_text(c) + ")";
    return out;
  }

  static std::string rgb_text(const Rgb& c) {
    std::string out =
        "rgb(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) + ")";
    if (std::string_view name = known_colour_name(c.r, c.g, c.b); !name.empty())
      out += " " + std::string(name);
    return out;
  }

  // Names the next slot of a template, row of a pile or cell of a matrix.
  std::string next_child_label() {
    Container& p = stack_.back();
    const std::size_t k = p.children++;
    switch (p.kind) {
      case ContainerKind::kTmpl: {
        const TemplateDescription d = describe_template(p.selector, p.variation);
        std::string out = " (slot " + std::to_string(k + 1);
        if (k < d.slots.size()) out += ": " + std::string(d.slots[k]);
        return out + ")";
      }
      case ContainerKind::kPile: return " (row " + std::to_string(k + 1) + ")";
      case ContainerKind::kMatrix:
        if (p.columns == 0 || k >= p.rows * p.columns)
          return " (cell " + std::to_string(k + 1) + ", beyond the matrix)";
        return " (row " + std::to_string(k / p.columns + 1) + ", column " +
               std::to_string(k % p.columns + 1) + ")";
      default: --p.children; return {};
    }
  }

  // ---- header -------------------------------------------------------------

  bool decode_header() {
    if (!need(5, "the stream header: version, platform, product and product version")) return false;
    const std::uint8_t version = u8();
    const std::uint8_t platform = u8();
    const std::uint8_t product = u8();
    const std::uint8_t product_version = u8();
    const std::uint8_t product_subversion = u8();
    std::span<const std::uint8_t> key;
    if (!read_cstring("the application key of the header", key)) return false;
    if (!need(1, "the equation options byte of the header")) return false;
    const std::uint8_t options = u8();
    std::string text = "HEADER format version " + std::to_string(version) + ", platform " +
                       std::to_string(platform) + ", product " + std::to_string(product) +
                       ", product version " + std::to_string(product_version) + "." +
                       std::to_string(product_subversion) + ", key " + quote_bytes(key) + ", options " +
                       hex_byte(options);
    if (options == 0) text += " (the translation-failed placeholder)";
    emit(0, std::move(text));
    if (version != 5)
      warn(0, "format version " + std::to_string(version) + "; this inspector knows version 5");
    if (options > 1) warn(pos_ - 1, "equation options " + hex_byte(options) + " are neither 0 nor 1");
    return true;
  }

  // ---- records ------------------------------------------------------------

  void decode_record() {
    const std::size_t at = pos_;
    const std::uint8_t tag = s_[pos_];
    const Container& top = stack_.back();
    if (top.kind == ContainerKind::kEmbellishments && tag != kEmbell && tag != kEnd) {
      fail(at, "expected EMBELL or END in the embellishment list of the CHAR at " + hex_offset(top.start) +
                   ", found " + tag_label(tag));
      return;
    }
    switch (tag) {
      case kEnd: decode_end(); return;
      case kLine: decode_line(); return;
      case kChar: decode_char(); return;
      case kTmpl: decode_tmpl(); return;
      case kPile: decode_pile(); return;
      case kMatrix: decode_matrix(); return;
      case kEmbell: decode_embell(); return;
      case kFontStyleDef: decode_font_style_def(); return;
      case kColor: decode_color(); return;
      case kColorDef: decode_color_def(); return;
      case kFontDef: decode_font_def(); return;
      case kEqnPrefs: decode_eqn_prefs(); return;
      case kEncodingDef: decode_encoding_def(); return;
      case kTexSource: decode_tex_source(); return;
      case kRuler:
      case kSize:
        fail(at, std::string(record_tag_name(tag)) + " record (tag " + std::to_string(tag) +
                     "): this format's writer does not use it and its layout is not decoded");
        return;
      default:
        if (tag >= kFull && tag <= kSubSym) {
          ++pos_;
          emit(at, std::string(record_tag_name(tag)) + " (" + std::string(size_record_meaning(tag)) + ")");
          return;
        }
        fail(at, "unknown record tag " + hex_byte(tag) + " (" + std::to_string(tag) + ")");
        return;
    }
  }

  // Reads the options byte of a record whose length depends on it; any bit
  // outside `known` leaves the record's extent unknown and stops decoding.
  bool read_options(std::string_view record, std::uint8_t known, std::uint8_t& options) {
    if (!need(1, std::string(record) + " options")) return false;
    const std::size_t at = pos_;
    options = u8();
    if ((options & ~known) == 0) return true;
    return fail(at, std::string(record) + " options " + hex_byte(options) + " carry bits " +
                        hex_byte(static_cast<std::uint8_t>(options & ~known)) +
                        " that this format does not define, so the record's length is unknown");
  }

  void decode_end() {
    const std::size_t at = pos_++;
    const Container top = stack_.back();
    std::string text = "END of ";
    if (top.kind == ContainerKind::kTmpl) {
      text += "TMPL " + describe_template(top.selector, top.variation).name;
    } else {
      text += container_name(top.kind);
    }
    emit(at, std::move(text));
    if (top.kind == ContainerKind::kMatrix && top.children != top.rows * top.columns) {
      warn(at, "the MATRIX declares " + plural(top.rows * top.columns, "cell") + " but holds " +
                   plural(top.children, "line"));
    }
    stack_.pop_back();
  }

  void decode_line() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("LINE", kLineNull, options)) return;
    const std::string label = next_child_label();
    if (options & kLineNull) {
      emit(at, "LINE null" + label);
      return;
    }
    emit(at, "LINE" + label);
    stack_.push_back(Container{ContainerKind::kLine, at});
  }

  void decode_char() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("CHAR", kCharKnownOptions, options)) return;
    if (!need(3, "the typeface byte and 16-bit code of the CHAR")) return;
    const std::uint8_t typeface = u8();
    const std::uint16_t code = u16();
    const std::string code_text = describe_code(code);
    std::string rest;
    if (typeface == kTypefaceSpace && (code & 0xFF00) == 0xEF00) {
      rest += " (space, width " + std::to_string(code & 0xFF) + ")";
    }
    rest += " typeface " + typeface_description(typeface);
    if (options & kCharPosition) {
      if (!need(1, "the 8-bit font position of the CHAR")) return;
      rest += " position " + hex_byte(u8());
    }
    if (options & kCharFunctionStart) rest += " [function start]";
    if (options & kCharRawTex) rest += " [raw TeX]";
    if (options & kCharEmbellished) rest += " [embellished]";
    emit(at, "CHAR " + code_text + rest);
    // Only characters shown in quotes can join a folded run.
    if ((options & (kCharPosition | kCharEmbellished)) == 0 && code_text.back() == '\'' &&
        rest.front() == ' ') {
      out_.lines.back().code = code;
      out_.lines.back().run_key = rest;
    }
    if (options & kCharEmbellished) stack_.push_back(Container{ContainerKind::kEmbellishments, at});
  }

  void decode_tmpl() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("TMPL", 0, options)) return;
    if (!need(3, "the selector, variation and template options of the TMPL")) return;
    const std::uint8_t selector = u8();
    const std::uint8_t variation = u8();
    const std::uint8_t template_options = u8();
    const TemplateDescription d = describe_template(selector, variation);
    std::string text =
        "TMPL " + d.name + " (selector " + hex_byte(selector) + ", variation " + hex_byte(variation);
    if (!d.variation.empty()) text += ": " + d.variation;
    text += ")";
    if (template_options != 0) text += " template options " + hex_byte(template_options);
    emit(at, std::move(text));
    Container c{ContainerKind::kTmpl, at};
    c.selector = selector;
    c.variation = variation;
    stack_.push_back(c);
  }

  void decode_pile() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("PILE", 0, options)) return;
    if (!need(2, "the alignments of the PILE")) return;
    const std::uint8_t halign = u8();
    const std::uint8_t valign = u8();
    const std::string label = next_child_label();
    emit(at, "PILE horizontal alignment " + std::to_string(halign) + ", vertical alignment " +
                 std::to_string(valign) + label);
    stack_.push_back(Container{ContainerKind::kPile, at});
  }

  void decode_matrix() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("MATRIX", 0, options)) return;
    if (!need(5, "the alignments, justifications, rows and columns of the MATRIX")) return;
    const std::uint8_t valign = u8();
    const std::uint8_t hjust = u8();
    const std::uint8_t vjust = u8();
    const std::uint8_t rows = u8();
    const std::uint8_t columns = u8();
    const std::size_t row_bytes = (rows + 4u) / 4u;
    const std::size_t column_bytes = (columns + 4u) / 4u;
    if (!need(row_bytes + column_bytes, "the row and column partition bytes of the MATRIX")) return;
    auto partitions = [this](std::size_t n) {
      std::string out;
      for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) out += ' ';
        out += hex_byte(u8()).substr(2);
      }
      return out;
    };
    std::string text = "MATRIX " + plural(rows, "row") + " x " + plural(columns, "column") +
                       ", vertical alignment " + std::to_string(valign) + ", horizontal justification " +
                       std::to_string(hjust) + ", vertical justification " + std::to_string(vjust);
    text += ", row partitions " + partitions(row_bytes);
    text += ", column partitions " + partitions(column_bytes);
    emit(at, std::move(text));
    Container c{ContainerKind::kMatrix, at};
    c.rows = rows;
    c.columns = columns;
    stack_.push_back(c);
  }

  void decode_embell() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("EMBELL", 0, options)) return;
    if (!need(1, "the embellishment code of the EMBELL")) return;
    const std::uint8_t code = u8();
    std::string_view name = embellishment_name(code);
    emit(at, "EMBELL " + std::to_string(code) + " (" +
                 (name.empty() ? "unknown embellishment" : std::string(name)) + ")");
    if (stack_.back().kind != ContainerKind::kEmbellishments) {
      warn(at, "EMBELL outside the embellishment list of a CHAR");
    }
  }

  void decode_font_style_def() {
    const std::size_t at = pos_++;
    std::size_t font = 0;
    if (!read_unsigned("the font definition index of the FONT_STYLE_DEF", font)) return;
    if (!need(1, "the character style of the FONT_STYLE_DEF")) return;
    const std::uint8_t style = u8();
    font_styles_.push_back(StyleEntry{font, style});
    const std::size_t k = font_styles_.size();
    std::string text = "FONT_STYLE_DEF #" + std::to_string(k);
    if (k <= 128) text += " (typeface byte " + std::to_string(128 - k) + ")";
    text += ": " + font_description(font) + ", " + character_style_name(style);
    emit(at, std::move(text));
  }

  void decode_color() {
    const std::size_t at = pos_++;
    std::size_t index = 0;
    if (!read_unsigned("the colour index of the COLOR", index)) return;
    emit(at, "COLOR " + colour_description(index));
  }

  void decode_color_def() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("COLOR_DEF", 0, options)) return;
    if (!need(6, "the red, green and blue components of the COLOR_DEF")) return;
    Rgb c{};
    c.r = u16();
    c.g = u16();
    c.b = u16();
    colours_.push_back(c);
    emit(at, "COLOR_DEF #" + std::to_string(colours_.size()) + " " + rgb_text(c));
  }

  void decode_font_def() {
    const std::size_t at = pos_++;
    std::size_t encoding = 0;
    if (!read_unsigned("the encoding index of the FONT_DEF", encoding)) return;
    std::span<const std::uint8_t> name;
    if (!read_cstring("the font name of the FONT_DEF", name)) return;
    std::string shown = quote_bytes(name);
    if (std::equal(name.begin(), name.end(), std::begin(kSimSunGbk), std::end(kSimSunGbk))) {
      shown += " (SimSun in GBK)";
    }
    fonts_.push_back(FontDef{encoding, shown});
    emit(at, "FONT_DEF #" + std::to_string(fonts_.size()) + " " + shown + ", encoding " +
                 encoding_description(encoding));
  }

  void decode_encoding_def() {
    const std::size_t at = pos_++;
    std::span<const std::uint8_t> name;
    if (!read_cstring("the name of the ENCODING_DEF", name)) return;
    encodings_.push_back(quote_bytes(name));
    emit(at, "ENCODING_DEF #" + std::to_string(kFirstEncodingDefIndex + encodings_.size() - 1) + " " +
                 encodings_.back());
  }

  void decode_tex_source() {
    const std::size_t at = pos_++;
    std::size_t length = 0;
    if (!read_unsigned("the payload length of the TEX_SOURCE", length)) return;
    if (!need(length, "the TEX_SOURCE payload")) return;
    const std::span<const std::uint8_t> payload = s_.subspan(pos_, length);
    pos_ += length;
    emit(at, "TEX_SOURCE payload " + plural(length, "byte"));
    std::size_t nul = 0;
    while (nul < payload.size() && payload[nul] != 0) ++nul;
    if (nul == payload.size()) {
      warn(at, "the payload has no NUL after its language name", 1);
      emit(at, "bytes " + quote_bytes(payload), 1);
      return;
    }
    emit(at, "language " + quote_bytes(payload.first(nul)), 1);
    std::span<const std::uint8_t> text = payload.subspan(nul + 1);
    if (text.empty() || text.back() != 0) {
      warn(at, "the payload does not end with a NUL", 1);
    } else {
      text = text.first(text.size() - 1);
    }
    emit(at, "text " + quote_bytes(text), 1);
  }

  // ---- EQN_PREFS ------------------------------------------------------------

  // Reads `count` packed dimensions: per dimension a unit code, its number
  // characters and the terminator 15, two 4-bit codes per byte, high half
  // first; an odd final code leaves the low half of its byte as padding.
  bool decode_dimensions(std::size_t count, std::span<const std::string_view> names, std::string_view kind) {
    const std::size_t start = pos_;
    std::size_t nibble = 0;
    auto next = [&](std::uint8_t& v) {
      const std::size_t byte = start + nibble / 2;
      if (byte >= s_.size()) return false;
      v = (nibble % 2 == 0) ? static_cast<std::uint8_t>(s_[byte] >> 4)
                            : static_cast<std::uint8_t>(s_[byte] & 0x0F);
      ++nibble;
      return true;
    };
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t offset = start + nibble / 2;
      const std::string name =
          i < names.size() ? std::string(names[i]) : "#" + std::to_string(i + 1) + " (beyond the known keys)";
      auto truncated = [&] {
        pos_ = s_.size();
        return fail(pos_, "the stream ends inside EQN_PREFS " + std::string(kind) + " " + name);
      };
      std::uint8_t unit = 0;
      if (!next(unit)) return truncated();
      std::string number;
      bool bad = false;
      for (std::uint8_t c = 0;;) {
        if (!next(c)) return truncated();
        if (c == 15) break;
        if (c <= 9) {
          number += static_cast<char>('0' + c);
        } else if (c == 10) {
          number += '.';
        } else if (c == 11) {
          number += '-';
        } else {
          number += '?';
          bad = true;
        }
      }
      std::string_view unit_name = dimension_unit_name(unit);
      emit(offset,
           std::string(kind) + " " + name + " = " + number + " " +
               (unit_name.empty() ? "(unit code " + std::to_string(unit) + ")" : std::string(unit_name)),
           1);
      if (bad) warn(offset, "a number code of 12, 13 or 14 is not a digit, '.' or '-'", 1);
      if (number.empty()) warn(offset, "the dimension has no number", 1);
    }
    if (nibble % 2 == 1) {
      if ((s_[start + nibble / 2] & 0x0F) != 0) {
        warn(start + nibble / 2, "the padding half-byte after the " + std::string(kind) + " values is not 0",
             1);
      }
      ++nibble;
    }
    pos_ = start + nibble / 2;
    return true;
  }

  void decode_eqn_prefs() {
    const std::size_t at = pos_++;
    std::uint8_t options = 0;
    if (!read_options("EQN_PREFS", 0, options)) return;
    emit(at, "EQN_PREFS");
    const std::size_t sizes_at = pos_;
    if (!need(1, "the size count of the EQN_PREFS")) return;
    const std::size_t sizes = u8();
    if (sizes != kSizeKeys.size()) {
      warn(sizes_at,
           plural(sizes, "size value") + "; the definitions have " + std::to_string(kSizeKeys.size()), 1);
    }
    if (!decode_dimensions(sizes, kSizeKeys, "size")) return;
    const std::size_t spacing_at = pos_;
    if (!need(1, "the spacing count of the EQN_PREFS")) return;
    const std::size_t spacing = u8();
    if (spacing != kSpacingKeys.size()) {
      warn(spacing_at,
           plural(spacing, "spacing value") + "; the definitions have " + std::to_string(kSpacingKeys.size()),
           1);
    }
    if (!decode_dimensions(spacing, kSpacingKeys, "spacing")) return;
    const std::size_t styles_at = pos_;
    if (!need(1, "the style count of the EQN_PREFS")) return;
    const std::size_t count = u8();
    if (count != kStyleKeys.size()) {
      warn(styles_at, plural(count, "style") + "; the definitions have " + std::to_string(kStyleKeys.size()),
           1);
    }
    styles_.clear();
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t offset = pos_;
      const std::string name = i < kStyleKeys.size()
                                   ? std::string(kStyleKeys[i])
                                   : "#" + std::to_string(i + 1) + " (beyond the known keys)";
      std::size_t font = 0;
      if (!read_unsigned("the font definition index of EQN_PREFS style " + name, font)) return;
      if (!need(1, "the character style of EQN_PREFS style " + name)) return;
      const std::uint8_t style = u8();
      styles_.push_back(StyleEntry{font, style});
      emit(offset,
           "style " + name + " (typeface " + std::to_string(129 + i) + ") = " + font_description(font) +
               ", " + character_style_name(style),
           1);
    }
  }

  std::span<const std::uint8_t> s_;
  std::size_t pos_ = 0;
  Listing out_;
  std::vector<Container> stack_;
  bool stopped_ = false;

  std::vector<std::string> encodings_;   // ENCODING_DEF names in stream order
  std::vector<FontDef> fonts_;           // FONT_DEF #1 first
  std::vector<StyleEntry> styles_;       // the EQN_PREFS style table, typeface 1 first
  std::vector<StyleEntry> font_styles_;  // FONT_STYLE_DEF #1 (typeface byte 127) first
  std::vector<Rgb> colours_;             // COLOR_DEF #1 first
};

}  // namespace

Listing inspect_qvf(std::span<const std::uint8_t> stream) { return Decoder(stream).run(); }

}  // namespace quorvix::tools
