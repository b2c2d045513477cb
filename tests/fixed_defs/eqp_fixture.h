// Preferences texts for the tests: the settings of the built-in block, which
// a test can change or remove key by key.
#pragma once

#include <string>
#include <vector>

#include "support/temp_dir.h"

struct EqpEntry {
  std::string section;
  std::string key;
  std::string value;
};

class EqpText {
 public:
  EqpText() {
    const char* sizes[][2] = {{"Full", "12pt"},   {"Script", "58%"},        {"ScriptScript", "42%"},
                              {"Symbol", "150%"}, {"SubSymbol", "100%"},    {"User1", "75%"},
                              {"User2", "150%"},  {"SmallLargeIncr", "1pt"}};
    const char* spacing[][2] = {{"LineSpacing", "150%"},      {"MatrixRowSpacing", "150%"},
                                {"MatrixColSpacing", "100%"}, {"SuperscriptHeight", "45%"},
                                {"SubscriptDepth", "25%"},    {"SubSupGap", "8%"},
                                {"LimHeight", "25%"},         {"LimDepth", "100%"},
                                {"LimLineSpacing", "100%"},   {"NumerHeight", "35%"},
                                {"DenomDepth", "100%"},       {"FractBarOver", "8%"},
                                {"FractBarThick", "5%"},      {"SubFractBarThick", "2.5%"},
                                {"FractGap", "8%"},           {"FenceOver", "8%"},
                                {"OperSpacing", "100%"},      {"NonOperSpacing", "100%"},
                                {"CharWidth", "0%"},          {"MinGap", "8%"},
                                {"VertRadGap", "17%"},        {"HorizRadGap", "8%"},
                                {"RadWidth", "100%"},         {"EmbellGap", "12.5%"},
                                {"PrimeHeight", "45%"},       {"BoxStrokeThick", "5%"},
                                {"StrikeThruThick", "5%"},    {"MatrixLineThick", "5%"},
                                {"RadStrokeThick", "5%"},     {"HorizFenceGap", "10%"}};
    const char* styles[][2] = {
        {"Text", "Times New Roman"},     {"Function", "Times New Roman"}, {"Variable", "Times New Roman,I"},
        {"LCGreek", "Symbol,I"},         {"UCGreek", "Symbol"},           {"Symbol", "Symbol"},
        {"Vector", "Times New Roman,B"}, {"Number", "Times New Roman"},   {"User1", "Courier New"},
        {"User2", "Times New Roman"},    {"QVExtra", "QV Extra"}};
    for (auto& kv : sizes) entries_.push_back({"Sizes", kv[0], kv[1]});
    for (auto& kv : spacing) entries_.push_back({"Spacing", kv[0], kv[1]});
    for (auto& kv : styles) entries_.push_back({"Styles", kv[0], kv[1]});
  }

  // Replaces the value of `key` in `section`, or adds the key.
  EqpText& set(const std::string& section, const std::string& key, const std::string& value) {
    for (auto& e : entries_)
      if (e.section == section && e.key == key) {
        e.value = value;
        return *this;
      }
    entries_.push_back({section, key, value});
    return *this;
  }

  EqpText& remove(const std::string& section, const std::string& key) {
    std::erase_if(entries_, [&](const EqpEntry& e) { return e.section == section && e.key == key; });
    return *this;
  }

  // Text with one "[Section]" block per section, in the order first used.
  std::string str() const {
    std::string out;
    for (const char* section : {"Sizes", "Spacing", "Styles"}) {
      out += std::string("[") + section + "]\n";
      for (const auto& e : entries_)
        if (e.section == section) out += e.key + "=" + e.value + "\n";
    }
    return out;
  }

 private:
  std::vector<EqpEntry> entries_;
};

using quorvix::test_support::TempDir;
