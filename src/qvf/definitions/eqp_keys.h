// The keys of a preferences text, in the order of the EQN_PREFS record: the
// library reads them from preferences files, the record inspector names the
// values of the record by them.
#pragma once

#include <array>
#include <string_view>

namespace quorvix::qvf {

inline constexpr std::array<std::string_view, 8> kSizeKeys = {
    "Full", "Script", "ScriptScript", "Symbol", "SubSymbol", "User1", "User2", "SmallLargeIncr"};

inline constexpr std::array<std::string_view, 30> kSpacingKeys = {
    "LineSpacing",    "MatrixRowSpacing", "MatrixColSpacing", "SuperscriptHeight", "SubscriptDepth",
    "SubSupGap",      "LimHeight",        "LimDepth",         "LimLineSpacing",    "NumerHeight",
    "DenomDepth",     "FractBarOver",     "FractBarThick",    "SubFractBarThick",  "FractGap",
    "FenceOver",      "OperSpacing",      "NonOperSpacing",   "CharWidth",         "MinGap",
    "VertRadGap",     "HorizRadGap",      "RadWidth",         "EmbellGap",         "PrimeHeight",
    "BoxStrokeThick", "StrikeThruThick",  "MatrixLineThick",  "RadStrokeThick",    "HorizFenceGap"};

// Typeface numbers 1 to 12 of CHAR records follow this order. Every style but
// the last, the Far-East text style, is required in a preferences file.
inline constexpr std::array<std::string_view, 12> kStyleKeys = {"Text",    "Function", "Variable", "LCGreek",
                                                                "UCGreek", "Symbol",   "Vector",   "Number",
                                                                "User1",   "User2",    "QVExtra",  "TextFE"};

}  // namespace quorvix::qvf
