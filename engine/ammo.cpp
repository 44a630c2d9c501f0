// Ammunition: the cartridge's designation, its weight and cost per shot, and
// its legality class.
#include <iterator>

#include "design.h"

namespace brennick {
namespace {

constexpr const char* kBarrelLetter[] = {"S", "M", "L"};
constexpr const char* kPropellantSuffix[] = {"", "-LP", "-ETC", "-ETK", "-GA", "-GR"};

template <std::size_t N>
const char* ItemText(const char* const (&texts)[N], int index) {
  return index >= 0 && index < static_cast<int>(N) ? texts[index] : "";
}

std::string Designation(const DesignRun& r) {
  const DesignInput& in = r.in;
  std::string d = GeneralNumberText(r.q.BoreMm, r.dec) + "mm";
  if (in.CaselessBox) d += "CL";
  d += ItemText(kBarrelLetter, in.BarrelBox);
  d += ItemText(kPropellantSuffix, in.PropellantBox);
  if (in.RecoillessCheckBox) d += in.ColdCountermassBox ? "RL-C" : "RL";
  return d + " (TL" + in.TLEdit + ")";
}

double CostPerShot(const DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;
  const int prop = in.PropellantBox;

  // Bigger rounds cost disproportionately more per pound.
  const double perPound = bore <= 7 ? 2 : bore <= 64 ? 20 : 100;
  double cost = StoreDouble(ext(r.q.WeightPerShotLb) * perPound);
  if (in.RecoillessCheckBox && in.ColdCountermassBox) cost = StoreDouble(ext(cost) * 1.5);
  // Chemical rounds with a case are the cheap, mass-produced kind.
  if (!in.CaselessBox && prop < kGauss) cost = StoreDouble(ext(cost) * 0.33);
  if (prop == kLiquid) cost = StoreDouble(ext(cost) * 1.5);
  if (prop == kETK && !in.HouseETCBox) cost = StoreDouble(ext(cost) * 1.5);
  if (prop == kGauss) cost = StoreDouble(ext(cost) * 5);
  if (prop == kGrav) cost = StoreDouble(ext(cost) * 4);
  return cost;
}

const char* LegalityClass(double bore) {
  if (bore <= 15) return "LC 3";
  if (bore <= 64) return "LC 2";
  return "LC 1";
}

}  // namespace

void RunAmmunitionStage(DesignRun& r) {
  r.Append(" ");
  r.Append("Ammunition");
  r.Append(Designation(r));
  r.Append("WPS " + GeneralNumberText(r.q.WeightPerShotLb, r.dec));
  r.Append("CPS " + GeneralNumberText(CostPerShot(r), r.dec));
  r.Append(LegalityClass(r.q.BoreMm));
}

}  // namespace brennick
