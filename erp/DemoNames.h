#pragma once

#include <string>
#include <vector>

namespace quill::erp {

class DemoRandom;

// A way an article is packed: its packing and transport units and how many
// kilograms each holds (0: not defined).
struct DemoPack {
  const char* label;  // added to the article's name
  const char* packingUnit;
  double packingFactor;
  const char* transportUnit;
  double transportFactor;
  double priceFactor;  // small packs cost more per kg, bulk less
};

// A product group of the demo distributor and what it sells.
struct DemoGroup {
  const char* code;
  const char* name;
  const char* prefix;  // of the generated article codes
  int vatIndex;
  double lowPrice;  // per kg, without VAT
  double highPrice;
  bool fixedPriceCandidates;  // commodities sold through price lines
  std::vector<const char*> products;
  std::vector<DemoPack> packs;
};

// Names, words and numbers that make the demo company look like a
// Portuguese feed and food distributor.
class DemoNames {
 public:
  static const std::vector<DemoGroup>& groups();
  static const DemoGroup& group(const std::string& code);
  static const DemoPack& sack25();

  static std::string personName(DemoRandom& random);
  static std::string companyName(DemoRandom& random, const std::string& town);
  static std::string town(DemoRandom& random);
  static std::string street(DemoRandom& random);
  static std::string postCode(DemoRandom& random);
  // A Portuguese company tax number with a valid check digit.
  static std::string taxNumber(DemoRandom& random);
};

}  // namespace quill::erp
