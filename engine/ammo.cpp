// Ammunition: the cartridge's designation, its weight and cost per shot, and
// its legality class.

#include "internal/run.h"

namespace brennick {
namespace {

constexpr const char* kBarrelLetter[] = {"S", "M", "L"};
constexpr const char* kPropellantSuffix[] = {"", "-LP", "-ETC", "-ETK", "-GA", "-GR"};

std::string Designation(const DesignRun& r) {
  const DesignInput& in = r.in;
  std::string d = GeneralNumberText(r.q.BoreMm, r.dec) + "mm";
  if (in.CaselessBox) d += "CL";
  d += ItemOr(kBarrelLetter, in.BarrelBox, "");
  d += ItemOr(kPropellantSuffix, in.PropellantBox, "");
  if (in.RecoillessCheckBox) d += in.ColdCountermassBox ? "RL-C" : "RL";
  return d + " (TL" + in.TLEdit + ")";
}

double CostPerShot(const DesignRun& r) {
  const DesignInput& in = r.in;
  const double bore = r.q.BoreMm;
  const int prop = in.PropellantBox;

  // Bigger rounds cost disproportionately more per pound.
  const double perPound = bore <= 7 ? 2 : bore <= 64 ? 20 : 100;
  double cost = Times(r.q.WeightPerShotLb, perPound);
  if (in.RecoillessCheckBox && in.ColdCountermassBox) cost = Times(cost, 1.5);
  // Chemical rounds with a case are the cheap, mass-produced kind.
  if (!in.CaselessBox && prop < kGauss) cost = Times(cost, 0.33);
  if (prop == kLiquid) cost = Times(cost, 1.5);
  if (prop == kETK && !in.HouseETCBox) cost = Times(cost, 1.5);
  if (prop == kGauss) cost = Times(cost, 5);
  if (prop == kGrav) cost = Times(cost, 4);
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
